#include "project/ui/project_view_commands.h"

#include "project/ui/info_form.h"
#include "project/ui/project_window.h"
#include "shell/ui/main_window.h"

namespace vm::ui {

void InstallProjectViewCommands(TMainForm& mainForm) {
  TMainForm* main = &mainForm;
  mainForm.commands.Simulation = [main] {
    if (ProjectWindow* w = main->ActiveProject()) w->simulate();
  };
  mainForm.commands.Info = [main] {
    if (ProjectWindow* w = main->ActiveProject()) ShowInfoForm(w->project(), main);
  };
}

}  // namespace vm::ui
