// Process-wide objects of the application.
