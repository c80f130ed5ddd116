// Opening documents with the desktop's associated program.
#pragma once

namespace vm::ui {

// Installs a platform::ShellOpen handler built on QDesktopServices.
void InstallShellOpenHandler();

}  // namespace vm::ui
