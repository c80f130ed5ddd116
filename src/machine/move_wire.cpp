#include "machine/move_wire.h"

#include <cmath>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/matma.h"
#include "drawing/move_encoding.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "machine/machine_globals.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"

namespace vm {

namespace {

int Mode() { return Dlgkonfig().Mode.ItemIndex(); }

// Longest wait for the byte some controllers send after switching the heater
// on; a reply byte takes well under a millisecond on the line.
constexpr int kExtraReplyWaitMs = 100;

// The heating channel of the work mode: the profile wire (3) in turning,
// the cutting wire (2) otherwise.
int HeaterChannel() { return Mode() == 0 ? 3 : 2; }

// A move in machine units: X and Y in 1/100 mm (calibrated), the rotation in
// steps. The command is empty when the move has no steps.
QByteArray MoveCommand(double dXmm, double dYmm, double revolutions) {
  const std::int32_t z = Round(Machine.StepsPerTurn * revolutions);
  const std::int32_t y = Round(dYmm * Machine.CalibrationY * 100);
  const std::int32_t x = Round(dXmm * Machine.CalibrationX * 100);
  QByteArray cmd;
  std::int32_t count = 0;
  EncodeMove(Machine.SpeedFactor, x, y, cmd, count, z);
  return cmd;
}

// Clips a relative amount so that `current + amount` stays in 0..limit. A move
// that starts outside that range is never turned round: it only stops.
double ClipAmount(double current, double amount, double limit) {
  double clipped = amount;
  if (amount < 0 && current + amount < 0) clipped = -current;
  if (amount > 0 && current + amount > limit) clipped = limit - current;
  if ((amount < 0 && clipped > 0) || (amount > 0 && clipped < 0)) clipped = 0;
  return clipped;
}

void SetupEdit(TFloatEdit& edit) {
  edit.SetIncrement(1);  // MinValue == MaxValue: no range
  edit.SetValue(0);
}

}  // namespace

Tprzesun::Tprzesun()
    : Przesun(QStringLiteral("Przesun"), {QString(), QString()}, 1),
      delta_x(QStringLiteral("delta_x")),
      delta_y(QStringLiteral("delta_y")),
      delta_z(QStringLiteral("delta_z")) {
  SetupEdit(delta_x);
  SetupEdit(delta_y);
  SetupEdit(delta_z);
}

void Tprzesun::Close(ModalResult result) {
  if (hooks.Close) hooks.Close(result);
}

void Tprzesun::FormCreate() {
  Caption = Tr("Move_wire", "caption");
  WykonajCaption = Tr("Move_wire", "wykonaj.caption");
  CancelCaption = Tr("Move_wire", "cancel.caption");
  TestCaption = Tr("Move_wire", "test.caption");
  TestGrzalkiCaption = Tr("Move_wire", "TestGrzalki.caption");
  Przesun.SetCaption(Tr("Move_wire", "przesun.caption"));
  Przesun.SetItems({Tr("Move_wire", "przesun.Item0"), Tr("Move_wire", "przesun.Item1")});
}

void Tprzesun::FormActivate() {
  const QString unit = UnitLabel(CurrentUnit);
  Label4Caption = unit;
  Label5Caption = unit;
}

void Tprzesun::HeaterOnForMode() {
  if (Mode() == 0) {
    Command(Bytes({'R', 1, 3}));
  } else if (Machine.FamilyJXFlag) {
    PowerRamp(2, PlotState.Power * 100 / 255);
  } else {
    Command(Bytes({'R', 1, 2}));
  }
  if (!Machine.FamilyJXFlag) WaitTime(Dlgkonfig().Pauza_w_kacie.Value());
}

void Tprzesun::WykonajClick() {
  // The move is computed from where the wire stands once the machine is
  // idle; with the link gone there is nothing to move (the failure has been
  // shown by the command layer). A wait the operator gave up stopped the
  // machine: nothing is sent and the dialog stays open.
  if (!WaitWhileBusy() && !LinkFailed()) return;
  if (!LinkFailed()) ReadPosition();
  if (LinkFailed()) {
    Close(ModalResult::OK);
    return;
  }

  const double limitX = WorkingAreaLimits.X;
  const double limitY = WorkingAreaLimits.Y;
  const double curX = PlotState.X / 100.0;
  const double curY = PlotState.Y / 100.0;
  double dX = 0, dY = 0, r = 0;
  if (Przesun.ItemIndex() == 0) {
    // Machine coordinates: the target is clipped to the working area and the
    // edit shows where the wire will go.
    const auto target = [](TFloatEdit& edit, double limit) {
      if (edit.Value() < 0) edit.SetValue(0);
      double mm = UnitToMm(CurrentUnit, edit.Value());
      if (mm > limit) {
        mm = limit;
        edit.SetValue(MmToUnit(CurrentUnit, limit));
      }
      return mm;
    };
    dX = target(delta_x, limitX) - curX;
    dY = target(delta_y, limitY) - curY;
    double turns = delta_z.Value() / 360;
    turns -= std::floor(turns);  // into [0, 1)
    r = turns - double(PlotState.Z) / Machine.StepsPerTurn;
  } else {
    dX = ClipAmount(curX, UnitToMm(CurrentUnit, delta_x.Value()), limitX);
    dY = ClipAmount(curY, UnitToMm(CurrentUnit, delta_y.Value()), limitY);
    r = delta_z.Value() / 360;
  }
  if (dX == 0 && dY == 0 && r == 0) {
    Close(ModalResult::OK);
    return;
  }

  // The command is built before the wire is heated: a move it cannot carry
  // is refused with the heating still off.
  QByteArray cmd;
  try {
    cmd = MoveCommand(dX, dY, r);
  } catch (const RangeError&) {
    ShowMessageBox(Tr("Move_wire", "ruchZaDlugi"), true);
    return;
  }
  if (!cmd.isEmpty()) {
    if (hooks.SetWaitCursor) hooks.SetWaitCursor();
    HeaterOnForMode();
    Delay(Dlgkonfig().CzasRozgrzewania.Value());
    SendCommand(cmd);
    ReadAck();
    if (hooks.RestoreCursor) hooks.RestoreCursor();
    if (r != 0) SaveZRequested = true;
  }
  Close(ModalResult::OK);
}

void Tprzesun::testClick() {
  if (!WaitWhileBusy()) return;
  // The test moves by the amounts as the dialog shows them, as Execute would.
  QByteArray forth, back;
  try {
    const double x = UnitToMm(CurrentUnit, delta_x.Value());
    const double y = UnitToMm(CurrentUnit, delta_y.Value());
    const double r = delta_z.Value() / 360;
    forth = MoveCommand(x, y, r);
    back = MoveCommand(-x, -y, -r);
  } catch (const RangeError&) {
    ShowMessageBox(Tr("Move_wire", "ruchZaDlugi"), true);
    return;
  }
  if (forth.isEmpty()) return;  // nothing to move

  // A key or click taken by a wait (which then stops the machine) ends the
  // loop as one taken by the loop's own probe does.
  std::unique_ptr<AbortProbe> probe = hooks.MakeAbortProbe ? hooks.MakeAbortProbe() : nullptr;
  const auto leg = [](const QByteArray& move) {
    SendCommand(move);
    ReadAck();
    if (!WaitWhileBusy() || !WaitWhileBusy()) return false;
    Delay(100);
    return !LinkFailed();
  };
  while (leg(forth) && leg(back)) {
    if (!probe || probe->aborted()) break;
  }
}

void Tprzesun::TestGrzalkiClick() {
  std::unique_ptr<AbortProbe> probe = hooks.MakeAbortProbe ? hooks.MakeAbortProbe() : nullptr;
  const double warmUp = Dlgkonfig().CzasRozgrzewania.Value();
  // A key or click taken by a wait ends the loop too, the heater switched off.
  for (;;) {
    HeaterOnForMode();
    // Some controllers answer switching the heater on with one byte more than
    // its acknowledge: it is taken here, where it belongs. A controller that
    // sends none costs no lost link, only this short wait.
    if (!LinkFailed()) ReadOptionalByte(kExtraReplyWaitMs);
    const bool heated = WaitWhileBusy();
    if (heated) Delay(warmUp);
    // Off on the channel that was switched on.
    Command(Bytes({'R', 0, HeaterChannel()}));
    if (!heated || !WaitWhileBusy()) break;
    Delay(warmUp);
    if (LinkFailed() || !probe || probe->aborted()) break;
  }
}

void Tprzesun::delta_xKeyDown(int key) {
  if (key == kKeyEnter) {
    WykonajClick();
  } else if (key == kKeyEscape) {
    Close(ModalResult::Cancel);
  }
}

namespace {
std::unique_ptr<Tprzesun> g_przesun;
}

Tprzesun& przesun() {
  if (!g_przesun) g_przesun = std::make_unique<Tprzesun>();
  return *g_przesun;
}

void ResetPrzesun() { g_przesun.reset(); }

}  // namespace vm
