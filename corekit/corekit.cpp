// corekit: utility library.
