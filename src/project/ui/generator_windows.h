// The project-window services of the generators on the main window's MDI
// area, and the installation of the Duplicate and arch-cutting commands.
#pragma once

#include <memory>

#include "project/generated_project.h"

namespace vm::ui {

class TMainForm;
class ProjectWindow;
class TfZaginaczDialog;

// Create, Free, Shown, Maximise and PlaceLike on `main`'s project windows.
TGeneratorWindows MdiGeneratorWindows(TMainForm& main);

// The project window showing `project`, or nullptr.
ProjectWindow* WindowOf(TMainForm& main, const TMDIChild* project);

// The generators' long-lived part: the arch-cutting dialog. Made at start-up
// (seventh of the long-lived windows); installs both commands on `main`.
class TGenerators {
 public:
  explicit TGenerators(TMainForm& main);
  ~TGenerators();
  TfZaginaczDialog& archDialog() { return *arch_; }

 private:
  std::unique_ptr<TfZaginaczDialog> arch_;
};

std::unique_ptr<TGenerators> InstallGenerators(TMainForm& main);

}  // namespace vm::ui
