// The move-wire dialog's logic (Tprzesun): moves the wire to given machine
// coordinates or by a given amount in X, Y and rotation in one move command,
// and runs the two service loops (a back-and-forth test move and a heater
// on/off test).
//
// X and Y are typed in the current length unit, the rotation in degrees. The
// move never leaves the working area: targets and amounts are clipped to 0
// and the machine's limits before anything is sent, and a move that the move
// command cannot carry is refused before the wire is heated.
//
// The dialog widget (machine/ui/move_wire_dialog.h) shows the controls held
// here and forwards its events; closing, the cursor and the abort probe of
// the loops come through Hooks.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "machine/abort_probe.h"
#include "shell/float_edit.h"
#include "shell/konfig_controls.h"
#include "shell/messages.h"

namespace vm {

class Tprzesun {
 public:
  // Key codes delta_xKeyDown acts on.
  static constexpr int kKeyEnter = 13;
  static constexpr int kKeyEscape = 27;

  struct Hooks {
    // Closes the dialog with the given result.
    std::function<void(ModalResult)> Close;
    std::function<void()> SetWaitCursor, RestoreCursor;
    // The probe that ends a test loop (a key press or a left click). Without
    // one a loop runs one round.
    std::function<std::unique_ptr<AbortProbe>()> MakeAbortProbe;
  };

  Tprzesun();
  Tprzesun(const Tprzesun&) = delete;
  Tprzesun& operator=(const Tprzesun&) = delete;

  Hooks hooks;

  // --- controls ---
  TTntRadioGroup Przesun;  // 0 to machine coordinates, 1 by the given amount
  TFloatEdit delta_x;      // current length unit
  TFloatEdit delta_y;      // current length unit
  TFloatEdit delta_z;      // degrees
  QString Caption;
  QString WykonajCaption;
  QString CancelCaption;
  QString TestCaption;
  QString TestGrzalkiCaption;
  QString Label4Caption = QStringLiteral("[mm]");  // unit of X
  QString Label5Caption = QStringLiteral("[mm]");  // unit of Y

  // --- handlers ---
  // Texts from the language file.
  void FormCreate();
  // The unit labels follow the current length unit.
  void FormActivate();
  // Execute: waits for the machine, computes the move, heats the wire and
  // sends the move; closes with OK. A move too long for one command is
  // refused with a message and the dialog stays open; so does the dialog,
  // with nothing sent, when the operator gives up the wait for the machine.
  void WykonajClick();
  // Back and forth by the three amounts until the probe aborts, a wait for
  // the machine is given up or the link fails.
  void testClick();
  // Heater on and off until the probe aborts, a wait for the machine is given
  // up or the link fails; the heater is left off.
  void TestGrzalkiClick();
  // Key down in one of the three edits: Enter executes, Escape cancels.
  void delta_xKeyDown(int key);

  // Switches the wire heater on the way the work mode heats it.
  void HeaterOnForMode();

 private:
  void Close(ModalResult result);
};

// The one move-wire dialog of the program.
Tprzesun& przesun();
// A fresh dialog (tests).
void ResetPrzesun();

}  // namespace vm
