// Preparation of a project's cutting path for the current work mode: turning
// (plain cutting when neither table nor spindle is chosen), rotary cutting, or
// plain cutting for modes 2 and 3. Used by re-preparation after the settings
// dialog: it starts from the project's kept drawing, so the result is what a
// fresh load in the current mode gives.
#pragma once

namespace vm {

class TMDIChild;

// False when the preparation failed (its reason has been shown and the window
// has been asked to close).
bool PrepareForCurrentMode(TMDIChild& project);

}  // namespace vm
