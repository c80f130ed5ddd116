// Placeholder so the ui library has a source until its first widget lands.
