// Placeholder so the machine library has a source until its first unit lands.
