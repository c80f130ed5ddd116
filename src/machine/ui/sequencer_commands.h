// Binds the cut-job sequencer to the main window: its hooks (project windows,
// focus, output code, the Start-from-buffer item, the wait probe), the
// serial-cut dialog and the cutting commands of the menu and tool buttons.
#pragma once

namespace vm::ui {

class TMainForm;

// Installs Start, Stop, Continue, Start from a layer, Cut one layer and Start
// from buffer. The project info command stays as the project views set it.
void InstallCutSequencer(TMainForm& mainForm);

}  // namespace vm::ui
