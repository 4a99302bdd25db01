// Shared types of the GUI toolkit.
