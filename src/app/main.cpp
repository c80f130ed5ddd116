// The program block: the application title, the long-lived windows in their
// order, then the event loop.
#include <QApplication>
#include <QStatusBar>

#include "drawing/definicje.h"
#include "project/okno_plt.h"
#include "shell/konfig.h"
#include "shell/options.h"
#include "shell/program_info.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box_ui.h"
#include "shell/ui/shell_open_ui.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(vm::ApplicationTitle));
  vm::SetCommandLineFromApplication();
  vm::ui::InstallMessageBoxHandler();
  vm::ui::InstallShellOpenHandler();

  // Project windows report to the main window's status line and use the
  // hourglass cursor during long work.
  vm::ProjectHooks().SetWaitCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  vm::ProjectHooks().RestoreCursor = [] { QApplication::restoreOverrideCursor(); };

  vm::ui::TMainForm mainForm;
  if (!mainForm.FormCreate()) return 1;  // the reason has been shown
  vm::ProjectHooks().ShowMainStatus = [&mainForm](const QString& text) {
    mainForm.statusBar()->showMessage(text);
    mainForm.statusBar()->repaint();
  };

  vm::Dlgkonfig().FormCreate();

  mainForm.showMaximized();
  return app.exec();
}
