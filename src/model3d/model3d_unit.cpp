// Placeholder so the model3d library has a source until its first unit lands.
