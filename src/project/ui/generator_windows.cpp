// Generator window services and command installation.
#include "project/ui/generator_windows.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include "project/ui/arch_cutting_dialog.h"
#include "project/ui/duplication_dialog.h"
#include "project/ui/project_window.h"
#include "shell/ui/main_window.h"

namespace vm::ui {

ProjectWindow* WindowOf(TMainForm& main, const TMDIChild* project) {
  for (ProjectWindow* w : main.Projects())
    if (&w->project() == project) return w;
  return nullptr;
}

TGeneratorWindows MdiGeneratorWindows(TMainForm& main) {
  TMainForm* m = &main;
  TGeneratorWindows h;
  h.Create = [m]() -> TMDIChild* { return &m->CreateMDIChild()->project(); };
  h.Free = [m](TMDIChild* p) {
    ProjectWindow* w = WindowOf(*m, p);
    if (w == nullptr) return;
    QWidget* sub = w->parentWidget();
    // Closed, then detached at once, so the window no longer counts as open
    // while its deletion is pending.
    if (QPointer<QMdiSubWindow> mdiSub = qobject_cast<QMdiSubWindow*>(sub)) {
      mdiSub->close();
      if (mdiSub && m->mdiArea()->subWindowList().contains(mdiSub.data())) {
        m->mdiArea()->removeSubWindow(mdiSub);
        mdiSub->deleteLater();
      }
    } else {
      w->close();
    }
    m->UpdateMenuItems();
  };
  h.Shown = [m](TMDIChild* p) {
    if (ProjectWindow* w = WindowOf(*m, p)) {
      w->syncCaption();
      w->paintNow();
    }
    m->UpdateMenuItems();
  };
  h.Maximise = [m](TMDIChild* p) {
    if (ProjectWindow* w = WindowOf(*m, p))
      if (QWidget* sub = w->parentWidget()) sub->showMaximized();
  };
  h.PlaceLike = [m](TMDIChild* p, const TMDIChild* like) {
    ProjectWindow* w = WindowOf(*m, p);
    ProjectWindow* src = WindowOf(*m, like);
    if (w == nullptr || src == nullptr) return;
    QWidget* sub = w->parentWidget();
    QWidget* srcSub = src->parentWidget();
    if (sub == nullptr || srcSub == nullptr) return;
    sub->showNormal();
    sub->setGeometry(srcSub->geometry());
  };
  return h;
}

TGenerators::TGenerators(TMainForm& main) : arch_(std::make_unique<TfZaginaczDialog>(&main)) {
  TMainForm* m = &main;
  main.commands.Duplicate = [m] {
    if (ProjectWindow* w = m->ActiveProject()) ShowDuplicateDialog(w->project(), m);
  };
  TfZaginaczDialog* arch = arch_.get();
  main.commands.ArchCutting = [m, arch] {
    if (ProjectWindow* w = m->ActiveProject()) ShowArchCuttingDialog(*arch, w->project());
  };
}

TGenerators::~TGenerators() = default;

std::unique_ptr<TGenerators> InstallGenerators(TMainForm& main) {
  return std::make_unique<TGenerators>(main);
}

}  // namespace vm::ui
