#include "machine/ui/sequencer_commands.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "machine/sequencer.h"
#include "machine/ui/event_abort_probe.h"
#include "machine/ui/serial_cut_dialog.h"
#include "model3d/generator.h"
#include "project/ui/project_window.h"
#include "shell/ui/main_window.h"

namespace vm::ui {

void InstallCutSequencer(TMainForm& mainForm) {
  TMainForm* main = &mainForm;
  TSequencerHooks& h = CutSequencer().hooks;
  h.ActiveProject = [main]() -> TMDIChild* {
    ProjectWindow* w = main->ActiveProject();
    return w ? &w->project() : nullptr;
  };
  h.Projects = [main] {
    std::vector<TMDIChild*> out;
    for (ProjectWindow* w : main->Projects()) out.push_back(&w->project());
    return out;
  };
  h.Activate = [main](TMDIChild& project) {
    for (ProjectWindow* w : main->Projects()) {
      if (&w->project() != &project) continue;
      if (auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget())) {
        main->mdiArea()->setActiveSubWindow(sub);
      }
      w->setFocus();
      return;
    }
  };
  h.JobOutputMode = [main] { return main->JobOutputMode; };
  h.SetJobOutputMode = [main](int code) { main->JobOutputMode = code; };
  h.SetStartFromBufferVisible = [main](bool visible) {
    if (QAction* a = main->action(QStringLiteral("Startzbufora1"))) a->setVisible(visible);
  };
  // The 3D generator's choice to cut the model off after the last pass.
  h.ModelCutOffAtEnd = [] { return ModelCutOffAtEnd; };
  h.MakeAbortProbe = [] { return std::make_unique<EventAbortProbe>(); };
  InstallSerialCutDialog(main);

  mainForm.commands.Start = [] { CutSequencer().Start1Click(); };
  mainForm.commands.Stop = [] { CutSequencer().Wstrzymaj1Click(); };
  mainForm.commands.Continue = [] { CutSequencer().Kontynuacja1Click(); };
  mainForm.commands.StartFromLayer = [] { CutSequencer().Startodwybranej1Click(); };
  mainForm.commands.CutLayer = [] { CutSequencer().Tnijwybran1Click(); };
  mainForm.commands.StartFromBuffer = [] { CutSequencer().Startzbufora1Click(); };
}

}  // namespace vm::ui
