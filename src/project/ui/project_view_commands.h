// Binds the main window's simulation and info commands to the active project
// window.
#pragma once

namespace vm::ui {

class TMainForm;

// File > Simulation (F1, tool button): the simulation of the active project
// window. File > Info: the info window of the active project window.
void InstallProjectViewCommands(TMainForm& mainForm);

}  // namespace vm::ui
