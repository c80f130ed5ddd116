// The program block: the application title, the long-lived windows in their
// order, then the event loop.
#include <QApplication>
#include <QStatusBar>

#include "drawing/definicje.h"
#include "machine/machine_globals.h"
#include "machine/manual_control.h"
#include "machine/ploter.h"
#include "machine/transmit.h"
#include "machine/ui/base_points_dialog.h"
#include "machine/ui/event_abort_probe.h"
#include "machine/ui/manual_window.h"
#include "machine/ui/move_wire_dialog.h"
#include "machine/ui/sequencer_commands.h"
#include "machine/ui/transmit_window.h"
#include "model3d/ui/generator_dialog.h"
#include "model3d/ui/model_info_dialog.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"
#include "project/turning.h"
#include "project/ui/generator_windows.h"
#include "project/ui/info_form.h"
#include "project/ui/project_view_commands.h"
#include "project/ui/project_window.h"
#include "shell/global_record.h"
#include "shell/konfig.h"
#include "shell/options.h"
#include "shell/program_info.h"
#include "shell/ui/about_box.h"
#include "shell/ui/application.h"
#include "shell/ui/fltedit_widget.h"
#include "shell/ui/hpgl_save_dialog.h"
#include "shell/ui/konfig_dialog.h"
#include "shell/ui/main_window.h"
#include "shell/ui/message_box_ui.h"
#include "shell/ui/shell_open_ui.h"

int main(int argc, char** argv) {
  // Errors raised while an event is handled are shown, and the program goes on.
  vm::ui::TApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(vm::ApplicationTitle));
  vm::SetCommandLineFromApplication();
  vm::ui::InstallMessageBoxHandler();
  vm::ui::InstallShellOpenHandler();

  // Project windows report to the main window's status line and use the
  // hourglass cursor during long work.
  vm::ProjectHooks().SetWaitCursor = [] { QApplication::setOverrideCursor(Qt::WaitCursor); };
  vm::ProjectHooks().RestoreCursor = [] { QApplication::restoreOverrideCursor(); };
  // Plain cutting prepares through its hook; a key press or a left click
  // stops its connector search.
  vm::InstallPlainCutting();
  vm::SetPlainCuttingProbeFactory([] {
    auto probe = std::make_shared<vm::ui::EventAbortProbe>();
    return std::function<bool()>([probe] { return probe->aborted(); });
  });
  // Turning and rotary cutting prepare through their hooks.
  vm::InstallTurning();
  // Every wait for a moving machine ends on a key press or a left click,
  // which stops the machine.
  vm::SetWaitProbeFactory([] { return std::make_unique<vm::ui::EventAbortProbe>(); });

  vm::ui::TMainForm mainForm;
  if (!mainForm.FormCreate()) return 1;  // the reason has been shown
  vm::ui::InstallProjectViewCommands(mainForm);
  vm::ProjectHooks().ShowMainStatus = [&mainForm](const QString& text) {
    mainForm.statusBar()->showMessage(text);
    mainForm.statusBar()->repaint();
  };

  // The settings store reads the machine's limits and acts on the windows
  // through these hooks.
  vm::TKonfigHooks& konfig = vm::KonfigHooks();
  konfig.MaxCuttingSpeed = [] { return double(vm::Machine.MaxCuttingSpeed); };
  konfig.MaxTravelSpeed = [] { return double(vm::Machine.MaxTravelSpeed); };
  konfig.FamilyJX = [] { return vm::Machine.FamilyJXFlag; };
  konfig.LoadCalibration = [] { vm::LoadCalibration(); };
  konfig.SetProjectDirections = [&mainForm](int direction) {
    const std::uint8_t d = direction < 0 ? 255 : 1;
    for (vm::ui::ProjectWindow* w : mainForm.Projects()) {
      w->project().FeedDirection = d;
      w->project().LoadFeedDirection = d;
    }
  };
  konfig.OpenDialogFilterIndex = [] { return vm::GlobalSettings().OpenFilterIndex; };
  konfig.ClearStatusBar = [&mainForm] { mainForm.statusBar()->clearMessage(); };
  vm::ui::InstallEditBeep();

  // The settings dialog: second of the long-lived windows.
  vm::ui::TDlgkonfigDialog settingsDialog(vm::Dlgkonfig(), &mainForm);
  vm::Dlgkonfig().FormCreate();
  mainForm.SetSettingsDialog(&settingsDialog);

  // The base-points dialog: third of the long-lived windows. It reads
  // "base.txt" now and writes it back when it is destroyed at the end; the
  // manual control window shows it and it moves through go to point.
  vm::ui::BasePointsDialog basePoints(vm::Punkty_bazowe(), &mainForm);
  // Shown from the manual control window, which stays on top: the dialog must
  // come above it.
  basePoints.setWindowFlag(Qt::WindowStaysOnTopHint);
  vm::Punkty_bazowe().hooks.GoToPoint = [](bool wait, std::uint8_t slot, double x, double y,
                                           double z) {
    return vm::ster().gotopoint(wait, slot, x, y, z);
  };
  vm::ster().hooks.ShowBasePoints = [&basePoints] { basePoints.exec(); };

  // The About box: fourth of the long-lived windows. It reads the machine's
  // identity through the machine link each time it is shown.
  vm::ui::TAboutBoxDialog aboutBox({.ReadStatus = [] { vm::ReadStatus(); },
                                    .LinkFailed = [] { return vm::LinkFailed(); },
                                    .ReadMachineInfo = [] { vm::ReadMachineInfo(); }},
                                   &mainForm);
  mainForm.commands.About = [&aboutBox] { aboutBox.exec(); };

  // The 3D serial-cut generator: fifth of the long-lived windows. Its command
  // opens a fresh generator dialog at the main window's bottom-right corner.
  vm::ui::TfGenSerDialog genSer(&mainForm, &mainForm);
  vm::ui::InstallGenSerCommand(mainForm);

  // The model info dialog: sixth of the long-lived windows. The serial-cut
  // generator shows its own copy through ShowModelInfoDialog.
  vm::ui::TfModelInfoDialog modelInfo(&mainForm);
  vm::ui::InstallSaveAsHpglCommand(mainForm);

  // The arch-cutting dialog: seventh of the long-lived windows; with it the
  // Duplicate and arch-cutting commands.
  const auto generators = vm::ui::InstallGenerators(mainForm);

  // The move-wire dialog: eighth of the long-lived windows, shown modally by
  // the manual control window.
  vm::ui::MoveWireDialog moveWire(vm::przesun(), &mainForm);
  moveWire.setWindowFlag(Qt::WindowStaysOnTopHint);  // above the manual control window
  vm::ster().hooks.ShowMoveDialog = [&moveWire] { moveWire.exec(); };

  // The transmission window: ninth of the long-lived windows; the cut
  // sequencer shows it through vm::TransmitJobFile.
  vm::ui::TransmitWindow transmitWindow(vm::transmisja(), &mainForm);
  vm::ui::InstallCutSequencer(mainForm);

  // The project info window: tenth of the long-lived windows, shown modally
  // by the Info command and by a right click in a project window.
  vm::ui::CreateInfoForm(&mainForm);

  // The manual control window: eleventh of the long-lived windows. Its
  // creation opens the serial port; the Manual control command shows it.
  vm::ui::ManualWindow manualWindow(vm::ster(), &mainForm);
  mainForm.commands.ManualControl = [] { vm::sterowanieClick(); };

  mainForm.showMaximized();
  const int rc = app.exec();
  vm::Dlgkonfig().FormDestroy();
  return rc;
}
