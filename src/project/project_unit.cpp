// Placeholder so the project library has a source until its first unit lands.
