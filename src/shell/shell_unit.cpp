// Placeholder so the shell library has a source until its first unit lands.
