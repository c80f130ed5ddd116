#include "machine/manual_control.h"

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/job_writer.h"
#include "drawing/move_encoding.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "machine/axis_setup.h"
#include "machine/machine_globals.h"
#include "machine/ploter.h"
#include "machine/serial.h"
#include "machine/virtual_keys.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

namespace {

void WaitMs(double ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

QByteArray WithWord(QByteArray s, std::uint16_t w) {
  QByteArray word;
  WordToChars(w, word);
  return s + word;
}

bool Busy() { return PlotState.Status & kStatusBusy; }
bool Running() { return PlotState.Status & kStatusJobRunning; }
bool Homed() { return PlotState.Status & kStatusHomed; }
int Mode() { return Dlgkonfig().Mode.ItemIndex(); }
int Stolik() { return Dlgkonfig().StolikSwitch.ItemIndex(); }
bool HeavyTable() { return Dlgkonfig().Heavy.Checked(); }

std::uint16_t Period(double feed) {
  return FeedToPeriod(RoundTo<std::uint16_t>(std::clamp(feed, 0.0, 65535.0)));
}

// Step period the controller is given for a jog speed (mm/min). Periods
// read back are multiplied by the speed factor (ReadSpeeds), so a period is
// sent divided by it, as the job writer does: the bar then reads back the
// speed it set on every machine family.
std::uint16_t JogPeriod(double speed) { return Period(speed * Machine.SpeedFactor); }

// A period as ReadSpeeds reported it, to be given back to the controller.
std::uint16_t SlotWord(std::uint16_t reported) {
  return static_cast<std::uint16_t>(reported / std::max(Machine.SpeedFactor, 1));
}

std::uint16_t SpeedOf(std::uint32_t period) {
  return SpeedToPeriod(static_cast<std::uint16_t>(std::min<std::uint32_t>(period, 0xFFFF)),
                       Machine.MaxTravelSpeed);
}

QString UnitSuffix(const char* perWhat = "") {
  return QStringLiteral("[") + UnitName(CurrentUnit) + QString::fromLatin1(perWhat) +
         QStringLiteral("]");
}

QString Length(std::int32_t hundredths) {
  const double mm = hundredths / 100.0;
  if (CurrentUnit == 0) return QString::number(mm, 'f', 2);
  return QString::number(MmToUnit(CurrentUnit, mm), 'f', 3);
}

// Reads one acknowledge byte and, when it is late, reads again a few times:
// while the turntable slows down the controller may confirm late. False when
// it never came (the link is then marked failed).
bool ReadAckPatiently() {
  for (int attempt = 0; attempt <= kSlowTurnAckRetries; ++attempt) {
    ReadByte();
    if (SerialState.LastError == 0) return true;
    if (SerialState.PortError) break;  // the line is gone, not just slow
  }
  SerialState.PortError = true;
  return false;
}

}  // namespace

// Marks an operation in progress: the poll does not interleave its commands
// with the operation's (a homing wait handles events, and so timer ticks).
struct Tster::OperationScope {
  explicit OperationScope(Tster& t) : t_(t) { ++t_.depth_; }
  ~OperationScope() { --t_.depth_; }
  Tster& t_;
};

int NumpadSpeedStep(int p, bool add, int maxTravelSpeed) {
  const int step = p >= 1000 ? 100 : p >= 100 ? 10 : p >= 10 ? 1 : 0;
  return add ? std::min(p + step, maxTravelSpeed) : std::max(p - step, 10);
}

int JoystickDirectionOf(const platform::JoystickState& js) {
  int direction = 0;
  if (js.X > 37768) direction += 1;
  if (js.X < 27768) direction -= 1;
  if (js.Y > 37768) direction -= 4;
  if (js.Y < 27768) direction += 4;
  if (js.Buttons & 8) direction = 8;
  if (js.Buttons & 4) direction = -8;
  if (js.Buttons & 1) direction = 16;
  return direction;
}

int JoystickSpeedOf(const platform::JoystickState& js, int maxTravelSpeed) {
  const int deflection =
      std::max(std::abs(static_cast<int>(js.Y) - 32768), std::abs(static_cast<int>(js.X) - 32768));
  return Round(Round(deflection) / 32768.0 * maxTravelSpeed);
}

void TScrollBarModel::SetPosition(int position) {
  position = std::clamp(position, Min, std::max(Min, Max));
  if (position == Position) return;
  Position = position;
  if (OnChange) OnChange();
}

void TScrollBarModel::SetMax(int max) {
  Max = max;
  SetPosition(Position);
}

Tster::Tster() {
  VScroll.Min = 20;
  VScroll.Max = 3000;
  VScroll.Position = 100;
  PScroll.Min = 0;
  PScroll.Max = 100;
  PScroll.Position = 50;
  chwilowa.Min = 1;
  chwilowa.Max = 3000;
  chwilowa.Position = 1;
  VScroll.OnChange = [this] { VScrollChange(); };
  PScroll.OnChange = [this] { PScrollChange(); };
  timer_.setInterval(100);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Timer1Timer(); });
  hooks.JoystickCount = [] { return platform::JoystickDeviceCount(); };
  hooks.ReadJoystick = [](platform::JoystickState& s) { return platform::ReadJoystick(0, s); };
}

bool Tster::HeatingShownOn() const { return PlotState.Status & kStatusRelay; }

void Tster::Notify() {
  if (hooks.Changed) hooks.Changed();
}

bool Tster::FormCreate() {
  rampTime_ = 0;
  accelerating_ = decelerating_ = false;
  rampSpeed_ = kRampStartSpeed;
  WaitMs(100);

  Caption = Tr("Control", "caption");
  stan_drutu = Tr("Control", "zerwanyDrut");
  GroupBox1Caption = Tr("Control", "groupBox1.caption");
  SzybkoscCaption = Tr("Control", "szybkosc");
  MocCaption = Tr("Control", "moc");
  BazujCaption = Tr("Control", "bazuj.caption");
  ZamknijCaption = Tr("Control", "zamknij.caption");
  KeyprzesunCaption = Tr("Control", "keyprzesun.caption");
  Hints.kzd = Tr("Control", "kzd.Hint");
  Hints.kzu = Tr("Control", "kzu.Hint");
  Hints.k_zalwyl = Tr("Control", "k_zalwyl.Hint");
  Hints.kl = Tr("Control", "kl.Hint");
  Hints.kr = Tr("Control", "kr.Hint");
  Hints.ku = Tr("Control", "ku.Hint");
  Hints.kd = Tr("Control", "kd.Hint");
  BaseCaption = Tr("Control", "base.Caption");

  if (!OpenPort()) {
    ClosePort();
    ShowMessageBox(Tr("Control", "bladLaczaSzer"), true);
    Notify();
    return false;
  }
  ReadStatus();
  if (!LinkFailed() && PlotState.Status != kNoControllerStatus) {
    ReadMachineInfo();
    timer_.start();
  }
  if (SerialState.PortError) stan_drutu = Tr("Control", "brakLacznosci");
  if (Machine.FamilyJXFlag) {
    TFltEditU& travel = Dlgkonfig().PrzeSpeed;
    travel.SetMaxValue(1000);
    if (travel.Value() > 1000) travel.SetValue(1000);
  }
  Notify();
  return true;
}

void Tster::FormActivate() {
  OperationScope busy(*this);
  GroupBox1Caption = Tr("Control", "groupBox1.caption") + UnitSuffix();
  SaveZRequested = false;
  WaitMs(10);
  if (Dlgkonfig().PortChanged()) {
    ClosePort();
    WaitMs(200);
    OpenPort();
  }
  Machine.JogActive = false;
  ReadStatus();
  if (LinkFailed()) {
    timer_.stop();
    Notify();
    return;
  }
  ReadMachineInfo();
  if (Running()) {
    ReadPower();
    PScroll.SetPosition(Round(PlotState.Power * 100 / 255.0));
  } else {
    ReadPower();
    PlotState.PowerChannel = Mode() == 0 ? 3 : 2;
    Command(Bytes({'R', 0, PlotState.PowerChannel}));
    PScroll.SetPosition(Round(PlotState.Power * 100 / 255.0));
    SendAxisSetup();
  }
  ReadSpeeds();
  VScroll.SetMax(Machine.MaxTravelSpeed);
  if (PlotState.Speed != 0) VScroll.SetPosition(SpeedOf(PlotState.Speed));
  savedBar_ = SpeedOf(PlotState.Speed);
  ReadPosition();
  ReadValueO();
  lastSlot_ = lastChannel_ = 255;
  VScrollChange();
  timer_.start();
  Notify();
}

void Tster::StopJogs() {
  // A jog runs until its key or button is released; when the window loses
  // the focus that release never comes, so the motion is stopped here.
  const bool jogging = Machine.JogActive || buttonJog_ || joyDirection_ != 0;
  Machine.JogActive = false;
  buttonJog_ = false;
  joyDirection_ = 0;
  lastKey_ = 0;
  if (accelerating_ || decelerating_) {
    accelerating_ = decelerating_ = false;
    StopMotion();
    if (PlotState.SpeedSlot <= 3) SetSpeed(SlotWord(rampSlotValue_));
  } else if (jogging) {
    StopMotion();
  }
}

void Tster::FormDeactivate() {
  OperationScope busy(*this);
  timer_.stop();
  StopJogs();
  if (SaveZRequested) {
    ReadPosition();
    SavedZ = PlotState.Z;
  }
  Notify();
}

void Tster::FormDestroy() {
  timer_.stop();
  ClosePort();
}

void Tster::Timer1Timer() {
  if (depth_ > 0) return;
  // A job transfer holds the port (or still drains after an abort): the
  // poll waits for it rather than break in.
  if (PortLent()) return;
  OperationScope busy(*this);

  // Turntable ramp down: a tenth of a second less of the ramp per tick.
  if (decelerating_) {
    if (acceleration_ > 0) {
      rampTime_ = rampSpeed_ / 60 / acceleration_ - 0.1;
      rampSpeed_ = acceleration_ * rampTime_ * 60;
    } else {
      rampSpeed_ = 0;  // no ramp to run: the slot is slower than the ramp's start
    }
    if (rampSpeed_ > kRampStartSpeed) {
      SetSpeed(JogPeriod(rampSpeed_));
    } else {
      StopMotion();
      decelerating_ = false;
      SetSpeed(SlotWord(rampSlotValue_));
    }
  }
  // Turntable ramp up to the jog slot's speed.
  if (accelerating_) {
    rampTime_ += 0.1;
    rampSpeed_ = acceleration_ * rampTime_ * 60;
    const double target = SpeedOf(rampSlotValue_);
    if (rampSpeed_ > target) {
      rampSpeed_ = target;
      accelerating_ = false;
    }
    SetSpeed(JogPeriod(rampSpeed_));
  }

  if (hooks.MessageWaiting && hooks.MessageWaiting()) {
    Notify();
    return;
  }
  ReadStatus();
  if (SerialState.PortError) {
    timer_.stop();
    if (hooks.Close) hooks.Close();
    return;
  }
  ReadPosition();
  ReadSpeeds();
  ReadPower();

  if (!(PlotState.Status & kStatusWireBroken)) {
    stan_drutu.clear();
  } else {
    stan_drutu =
        Machine.FamilyJXFlag ? Tr("Control", "sprawdzBezpiecznik") : Tr("Control", "zerwanyDrut");
  }

  std::uint32_t v = PlotState.ActualSpeed;
  if (v != 0) {
    if (Running()) v *= static_cast<std::uint32_t>(Machine.SpeedFactor);
    const int speed = SpeedOf(v);
    chwilowa.SetPosition(speed);
    chwilowaLabel = QString::number(speed);
  }

  const char* speedKey = "szybkosc";
  if (PlotState.SpeedSlot == 0) speedKey = "szybkoscPrzestawcza";
  if (PlotState.SpeedSlot == 1) speedKey = "szybkoscRobocza";
  SzybkoscCaption = Tr("Control", speedKey) + UnitSuffix("/min");
  if (PlotState.SpeedSlot == 2) {
    VScroll.SetMax(Machine.MaxTravelSpeed);
  } else if (PlotState.SpeedSlot <= 3) {
    VScroll.SetMax(3000 / Machine.SpeedFactor);
  }
  if (PlotState.Speed != 0) VScroll.SetPosition(SpeedOf(PlotState.Speed));

  if (PlotState.PowerChannel != lastChannel_) {
    lastChannel_ = PlotState.PowerChannel;
    if (PlotState.PowerChannel == 1) MocCaption = Tr("Control", "mocRobocza");
    if (PlotState.PowerChannel == 2) MocCaption = Tr("Control", "moc");
    if (PlotState.PowerChannel == 3) MocCaption = Tr("Control", "mocDrutProfil");
    PScroll.SetPosition(Round(PlotState.Power * 100 / 255.0));
  }

  wmz = QString::number(RotationAngle(), 'f', 2);
  wmx = Length(PlotState.X);
  wmy = Length(PlotState.Y);

  const bool running = Running();
  Enabled.ku = Enabled.kd = Enabled.kl = Enabled.kr = !running;
  Enabled.k_zalwyl = Enabled.Bazuj = Enabled.keyprzesun = !running;
  Enabled.kzu = Enabled.kzd = !running && Stolik() != 2;

  ReadJoystickStep(running);
  SerialRepetition();
  Notify();
}

void Tster::ReadJoystickStep(bool running) {
  if (running || !hooks.JoystickCount || !hooks.ReadJoystick) return;
  const bool present = hooks.JoystickCount() > 0;
  if (!present && joyDirection_ == 0) return;
  platform::JoystickState js;
  int direction = 0;
  if (present && hooks.ReadJoystick(js)) {
    direction = JoystickDirectionOf(js);
    if (direction != 0) VScroll.SetPosition(JoystickSpeedOf(js, Machine.MaxTravelSpeed));
  }
  // A stick that cannot be read (unplugged) counts as let go: its jog stops.
  if (direction == joyDirection_) return;
  ReadStatus();
  if (Busy() || direction == 0) {
    StopMotion();
    if (!WaitWhileBusy()) {
      // Stopped by the operator (or the link is gone): the new direction
      // starts no jog; the stick has to move again.
      joyDirection_ = direction;
      return;
    }
  }
  ReadPosition();
  switch (direction) {
    case 1:
      JogMove(102);
      break;
    case 3:
      JogMove(103);
      break;
    case 4:
      JogMove(104);
      break;
    case 5:
      JogMove(105);
      break;
    case 8:
      JogMove(kKeyPageUp);
      break;
    case 16:
      k_zalwylClick();
      break;
    case -8:
      JogMove(kKeyPageDown);
      break;
    case -5:
      JogMove(97);
      break;
    case -4:
      JogMove(98);
      break;
    case -3:
      JogMove(99);
      break;
    case -1:
      JogMove(100);
      break;
    default:
      break;
  }
  joyDirection_ = direction;
}

void Tster::SerialRepetition() {
  if (!SerialCutActive) {
    seriesJobSeen_ = false;
    return;
  }
  ReadStatus();
  // A failed query says nothing about the job: no repetition is started.
  if (LinkFailed()) return;
  if (Running()) {
    seriesJobSeen_ = true;
    return;
  }
  // Only the end of a series this poll saw running starts the next one: an
  // idle machine before the series started, or after it was stopped and
  // cleared, repeats nothing.
  if (!seriesJobSeen_) return;
  seriesJobSeen_ = false;
  // A job that the operator stopped, or that the controller stopped for a
  // broken wire, ends the series: it is never run again on its own.
  const bool stopped = PlotState.Status & (kStatusJobStopped | kStatusCanContinue);
  if (stopped || (PlotState.Status & kStatusWireBroken) || SerialPassesLeft < 1) {
    SerialCutActive = false;
    return;
  }
  SerialPassesLeft -= 1;
  RotaryStartY -= SerialPassStep;
  ReadPosition();
  Command(WithWord(Bytes({'V', 1}),
                   Period(Round(Dlgkonfig().szybkoscObrobki.Value() * Machine.SpeedFactor))));
  Command(Bytes({'F', 1}));
  if (!gotopoint(true, 1, RotaryStartX, RotaryStartY, SavedZ)) {
    // The series cannot go on where it should (the reason was shown): it is
    // not run again somewhere else.
    SerialCutActive = false;
    return;
  }
  SendCommandSilently("G");
  ReadAck();
}

void Tster::SerialSeriesStarted() { seriesJobSeen_ = false; }

void Tster::OnKeyDown(int key) {
  const bool repeat = key == lastKey_;
  lastKey_ = key;
  if (key == kKeyCtrl && !repeat) {
    // Fine jog at a tenth of the speed while Ctrl is held.
    savedBar_ = VScroll.Position;
    SetSpeed(JogPeriod(VScroll.Position / 10));
  }
  if (Machine.JogActive) return;
  if (IsJogKey(key)) {
    JogKey(key);
    return;
  }
  switch (key) {
    case kKeyPageUp:
    case kKeyPageDown:
      TurnKey(key);
      break;
    case kKeyHome:
      bazujClick();
      break;
    case kKeyInsert:
    case kKeyNumpad0:
      ToggleHeatingKey();
      break;
    case kKeyNumpad5:
      ReadStatus();
      if (!Running()) StopMotion();
      break;
    case kKeyAdd:
    case kKeySubtract: {
      // The bar's own change handler sets the speed; when the bar stays where
      // it is the speed is set here.
      const int before = VScroll.Position;
      VScroll.SetPosition(NumpadSpeedStep(before, key == kKeyAdd, Machine.MaxTravelSpeed));
      if (VScroll.Position == before) SetSpeed(JogPeriod(VScroll.Position));
      Notify();
      break;
    }
    default:
      break;
  }
}

void Tster::JogKey(int key) {
  OperationScope busy(*this);
  Machine.JogActive = true;
  if (hooks.ClearFocus) hooks.ClearFocus();
  ReadStatus();
  // The jog buttons are off while a job runs; their keys are too.
  if (LinkFailed() || Running()) {
    Machine.JogActive = false;
    return;
  }
  if (ReadyToJog(Machine.JogActive)) JogMove(key);
}

void Tster::TurnKey(int key) {
  if (decelerating_) return;
  OperationScope busy(*this);
  Machine.JogActive = true;
  if (hooks.ClearFocus) hooks.ClearFocus();
  ReadStatus();
  if (LinkFailed() || Running()) {
    Machine.JogActive = false;
    return;
  }
  if (!ReadyToJog(Machine.JogActive)) return;
  if (HeavyTable()) {
    startZ(key);
  } else {
    JogMove(key);
  }
}

bool Tster::ReadyToJog(const bool& held) {
  const bool wasDecelerating = decelerating_;
  if (WaitWhileBusy() && held) return true;
  // No jog starts: a release taken while waiting leaves no ramp to run down.
  decelerating_ = wasDecelerating;
  return false;
}

void Tster::ToggleHeatingKey() {
  OperationScope busy(*this);
  ReadStatus();
  // The ramp of the "JX" family takes a while: the button shows pressed
  // from its start.
  if (Machine.FamilyJXFlag && !(PlotState.Status & kStatusRelay)) PlotState.Status |= kStatusRelay;
  Notify();
  ReadStatus();
  ToggleHeater();
  ReadStatus();
  Notify();
}

void Tster::OnKeyUp(int key) {
  OperationScope busy(*this);
  if (IsJogKey(key)) {
    Machine.JogActive = false;
    StopMotion();
    return;
  }
  switch (key) {
    case kKeyCtrl:
      SetSpeed(JogPeriod(savedBar_));
      lastKey_ = 0;
      break;
    case kKeyPageUp:
    case kKeyPageDown:
      Machine.JogActive = false;
      if (accelerating_ || decelerating_) {
        // The ramp down takes over from wherever the ramp up is.
        accelerating_ = false;
        decelerating_ = true;
      } else if (HeavyTable()) {
        decelerating_ = true;
      } else {
        StopMotion();
      }
      break;
    default:
      break;
  }
}

void Tster::MMouseDown(Button button) {
  OperationScope busy(*this);
  ReadStatus();
  if (SerialState.PortError) ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
  const auto jog = [this](int key) {
    buttonJog_ = true;
    if (ReadyToJog(buttonJog_)) JogMove(key);
  };
  switch (button) {
    case Button::ku:
      jog(104);
      break;
    case Button::kl:
      jog(100);
      break;
    case Button::kr:
      jog(102);
      break;
    case Button::kd:
      jog(98);
      break;
    case Button::kzu:
    case Button::kzd: {
      if (decelerating_) break;
      const int key = button == Button::kzu ? kKeyPageUp : kKeyPageDown;
      buttonJog_ = true;
      if (!ReadyToJog(buttonJog_)) break;
      if (HeavyTable()) {
        startZ(key);
      } else {
        JogMove(key);
      }
      break;
    }
    case Button::kstop:
      StopMotion();
      break;
  }
}

void Tster::MMouseUp(Button button) {
  OperationScope busy(*this);
  switch (button) {
    case Button::ku:
    case Button::kl:
    case Button::kr:
    case Button::kd:
      buttonJog_ = false;
      StopMotion();
      break;
    case Button::kzu:
    case Button::kzd:
      buttonJog_ = false;
      if (accelerating_ || decelerating_) {
        accelerating_ = false;
        decelerating_ = true;
      } else if (HeavyTable()) {
        decelerating_ = true;
      } else {
        StopMotion();
      }
      break;
    case Button::kstop:
      break;
  }
  Notify();
}

void Tster::k_zalwylClick() {
  ToggleHeatingKey();
  PScrollChange();
}

void Tster::VScrollChange() {
  const int p = VScroll.Position;
  if (CurrentUnit == 0) {
    speedlabel = QString::number(p <= 100 ? p : (p + 5) / 10 * 10);
  } else {
    speedlabel = QString::number(MmToUnit(CurrentUnit, p), 'f', 1);
  }
  SetSpeed(JogPeriod(p));
  Notify();
}

void Tster::PScrollChange() {
  ReadPower();
  PowerLabel = QString::number(PScroll.Position);
  PlotState.Power = static_cast<std::uint16_t>(Round(PScroll.Position * 255 / 100.0));
  SetPowerLevel();
  Notify();
}

void Tster::startZ(int key) {
  OperationScope busy(*this);
  rampTime_ = 0;
  ReadStatus();
  rampSlotValue_ = PlotState.Speeds[2];
  const double perSecond = SpeedOf(rampSlotValue_) / 60.0;
  acceleration_ = perSecond > 0 ? Round(perSecond) : 0;
  decelerating_ = false;
  rampSpeed_ = kRampStartSpeed;
  // A slot slower than 30 mm/min has no ramp to climb: the turn runs at the
  // slot's own speed and stops at once on release.
  accelerating_ = acceleration_ > 0;
  if (accelerating_) SetSpeed(JogPeriod(kRampStartSpeed));
  JogMove(key);
}

void Tster::powtorz() {
  ReadStatus();
  if (LinkFailed()) ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
}

bool Tster::SendMove(std::int32_t dX, std::int32_t dY, std::int32_t dZ) {
  QByteArray cmd;
  std::int32_t count = 0;
  EncodeMove(Machine.SpeedFactor, Round(dX * Machine.CalibrationX),
             Round(dY * Machine.CalibrationY), cmd, count, dZ);
  if (cmd.isEmpty()) return false;
  SendCommand(cmd);
  return true;
}

bool Tster::gotopoint(bool wait, std::uint8_t slot, double x, double y, double z) {
  OperationScope busy(*this);
  ReadStatus();
  if (LinkFailed()) {
    ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true, QStringLiteral("Goto point"));
    return false;
  }
  if (PlotState.Status & (kStatusBusy | kStatusJobRunning)) {
    ShowMessageBox(Tr("Control", "nieMoznaPrzesuwac"), true);
    return false;
  }
  // Once homed the position is known: a point beyond the travel is refused
  // instead of driving the wire against the end of an axis.
  const bool finite = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
  const bool outside =
      !finite || std::abs(z) > TMoveCmd::kMax24 ||
      (Homed() ? (x < 0 || y < 0 || x > WorkingAreaLimits.X || y > WorkingAreaLimits.Y)
               : (std::abs(x) > 1e6 || std::abs(y) > 1e6));
  if (outside) {
    ShowMessageBox(Tr("Control", "punktPozaObszarem"), true);
    return false;
  }
  ReadPosition();
  Command(Bytes({'F', slot}));
  const std::int64_t dX = Round64(x * 100) - PlotState.X;
  const std::int64_t dY = Round64(y * 100) - PlotState.Y;
  std::int64_t dZ = Round64(z - PlotState.Z);
  const std::int32_t half = Machine.StepsPerTurn / 2;
  if (dZ > half) dZ -= Machine.StepsPerTurn;
  if (dZ < -half) dZ += Machine.StepsPerTurn;
  const double length =
      std::sqrt(double(dX) * double(dX) + double(dY) * double(dY) + double(dZ) * double(dZ));
  const std::int64_t count = Round64(length + 0.5);
  // A wait given up by the operator (or its time-out) stopped the machine:
  // the move is not made and no further move follows.
  bool ok = WaitWhileBusy();
  if (ok && count > 0) {
    try {
      bool sent = false;
      if (dZ != 0 && HeavyTable()) {
        if (!obroc_spokojnie(static_cast<std::int32_t>(dZ))) return false;
        sent = SendMove(static_cast<std::int32_t>(dX), static_cast<std::int32_t>(dY), 0);
      } else {
        sent = SendMove(static_cast<std::int32_t>(dX), static_cast<std::int32_t>(dY),
                        static_cast<std::int32_t>(dZ));
      }
      if (sent) ReadAck();
    } catch (const RangeError&) {
      // A move longer than one command can carry.
      ShowMessageBox(Tr("Control", "punktPozaObszarem"), true);
      return false;
    }
    ok = !LinkFailed() && (!wait || WaitWhileBusy());
  }
  ok = ok && !LinkFailed();
  ReadPosition();
  return ok && !LinkFailed();
}

bool Tster::obroc_spokojnie(std::int32_t steps) {
  if (steps == 0) return true;
  OperationScope busy(*this);
  const bool negative = steps < 0;
  const double t = 1.0;
  const double a = (Dlgkonfig().PrzeSpeed.Value() / 60) / t;
  std::int64_t d = Round64(t * t * a * 50);
  const std::int64_t h = std::llabs(static_cast<std::int64_t>(steps));
  if (h / 2 < d) d = h / 2;  // too short to reach the speed: a triangle
  const std::int64_t cruise = h - 2 * d;
  const auto chunkOf = [](double q) {
    return std::max<std::int64_t>(Round64(q / 60 * 0.1 * 100), 1);
  };
  const auto move = [&](std::int64_t n) {
    SendMove(0, 0, static_cast<std::int32_t>(negative ? -n : n));
  };
  // The controller stopped confirming: the turntable is stopped and the
  // slow-turn bracket closed, written without waiting for replies that may
  // never come, and the operator is told.
  const auto broken = [&](bool bracketOpen = true) {
    SendCommandSilently("Y");
    if (bracketOpen) {
      SendCommandSilently(Bytes({'P', 1}));
      SendCommandSilently(Bytes({'L', 1, 1}));
    }
    ShowMessageBox(Tr("Control", "obrotPrzerwany"), true);
    return false;
  };

  Command(Bytes({'P', 1}));
  // An opening that could not even be written opened no bracket.
  if (LinkFailed()) return broken(SerialState.LastError == kReadTimedOut);
  if (!WaitWhileBusy()) {
    if (LinkFailed()) return broken();
    // Given up by the operator: the bracket is closed as after a turn and
    // nothing is turned.
    Command(Bytes({'P', 1}));
    Command(Bytes({'L', 1, 1}));
    return false;
  }
  double q = kRampStartSpeed;
  std::uint16_t period = 0xFFFF;
  Command(WithWord("L", period));
  if (LinkFailed()) return broken();

  // Speed up in chunks of a tenth of a second each.
  std::int64_t r = 0;
  std::int64_t s = chunkOf(q);
  while (r + s < d) {
    r += s;
    q = a * std::sqrt(r / 100.0 * 2 / a) * 60;
    move(s);
    ReadAck();
    period = Period(q);
    Command(WithWord("L", period));
    if (LinkFailed()) return broken();
    s = chunkOf(q);
  }
  // Cruise.
  const std::int64_t m = d + cruise - r;
  if (m > 0) {
    move(m);
    ReadAck();
    Command(WithWord("L", period));
    if (LinkFailed()) return broken();
    r += m;
  }
  // Slow down; the controller may confirm late here.
  std::int64_t D = d;
  s = chunkOf(q);
  while (D - s >= 1) {
    D -= s;
    r += s;
    q = a * std::sqrt(D / 100.0 * 2 / a) * 60;
    move(s);
    if (!ReadAckPatiently()) return broken();
    period = Period(q);
    SendCommand(WithWord("L", period));
    if (!ReadAckPatiently()) return broken();
    s = chunkOf(q);
  }
  // The rest.
  const std::int64_t f = h - r;
  if (f > 0) {
    move(f);
    ReadAck();
    Command(WithWord("L", period));
  }
  Command(Bytes({'P', 1}));
  Command(Bytes({'L', 1, 1}));
  // A wait given up by the operator stopped the turn short of its end.
  const bool idle = WaitWhileBusy();
  // The bracket is closed already.
  if (LinkFailed()) return broken(false);
  return idle;
}

bool Tster::wstrzymaj() {
  OperationScope busy(*this);
  // The operator's Stop ends a repeated serial series: what was stopped is
  // not started again lower down.
  SerialCutActive = false;
  seriesJobSeen_ = false;
  ReadStatus();
  if (LinkFailed() || !Running()) return false;
  Command("Q");
  WaitMs(10);
  // A wait given up by the operator leaves the wire where the machine
  // stopped: no retreat is made.
  bool ok = WaitWhileBusy();
  ReadPosition();
  ReadValueO();
  pauseX_ = PlotState.X;
  pauseY_ = PlotState.Y;
  pauseZ_ = PlotState.Z;
  const double x = PlotState.X / 100.0;
  const double y = PlotState.Y / 100.0;
  const double z = PlotState.Z;
  if (ok && Mode() == 0) {
    Command(Bytes({'R', 1, 3}));
    if (Stolik() != 0) {
      ok = gotopoint(true, 0, std::min(x, RotaryStartX), y, z);
    } else {
      ok = gotopoint(true, 0, x, std::max(y, RotaryStartY), z);
    }
  } else if (ok && Mode() == 1 && !RotaryOnTable) {
    ok = gotopoint(true, 0, x, std::min(y, RotaryStartY), z);
  }
  WaitMs(10);
  ok = ok && WaitWhileBusy();
  // The heating goes off and the jog speed is selected in every case.
  Command(Bytes({'R', 0, 2}));
  Command(Bytes({'F', 2}));
  return ok && !LinkFailed();
}

void Tster::kontynuuj() {
  OperationScope busy(*this);
  ReadStatus();
  if (LinkFailed()) return;
  const std::uint16_t s = PlotState.Status;
  const int mode = Mode();
  const int workPower = Round(Dlgkonfig().work_power.Value());
  if ((s & kStatusJobRunning) && (s & kStatusHeld)) {
    if (Machine.FamilyJXFlag) PowerRamp(2, workPower);
    Command("G");
    return;
  }
  if ((s & (kStatusJobRunning | kStatusBusy)) || !(s & kStatusCanContinue) ||
      !(s & kStatusJobStopped))
    return;
  ReadStatus();
  ReadPosition();
  ReadValueO();
  Command(Bytes({'F', 1}));
  if (mode >= 1 && mode <= 3) {
    if (Machine.FamilyJXFlag) {
      PowerRamp(2, workPower);
    } else {
      Command(Bytes({'R', 1, 1}));
    }
  } else if (mode == 0) {
    Command(Bytes({'R', 1, 3}));
  }
  WaitMs(Dlgkonfig().CzasRozgrzewania.Value());
  bool ok = true;
  if (mode == 0 || mode == 1) ok = gotopoint(true, 0, pauseX_ / 100.0, pauseY_ / 100.0, pauseZ_);
  ok = ok && WaitWhileBusy();
  if (ok) {
    Command(Bytes({'F', 1}));
    ok = WaitWhileBusy();
  }
  if (!ok) {
    // The return was refused or given up (the machine was stopped): the job
    // stays stopped as the pause left it, with the heating off, and is not
    // continued.
    const int channel = mode == 0 ? 3 : Machine.FamilyJXFlag ? 2 : 1;
    Command(Bytes({'R', 0, channel}));
    return;
  }
  Command("K");
  if (mode >= 1 && mode <= 3 && !Machine.FamilyJXFlag) {
    Command(Bytes({'R', 1, 1}));
  } else if (mode == 0) {
    Command(Bytes({'R', 1, 3}));
  }
}

bool Tster::HomingStep(const char* command) {
  SendCommand(command);
  ReadAck();
  WaitMs(100);
  ReadStatus();
  std::unique_ptr<AbortProbe> probe = hooks.MakeAbortProbe ? hooks.MakeAbortProbe() : nullptr;
  QElapsedTimer clock;
  clock.start();
  bool aborted = false;
  while (Busy()) {
    if ((probe && probe->aborted()) || clock.elapsed() >= kHomingTimeoutMs) {
      aborted = true;
      break;
    }
    WaitMs(10);
    ReadStatus();
  }
  WaitMs(100);
  if (aborted) {
    StopMotion();
    StopMotion();
  }
  return !aborted && !LinkFailed();
}

void Tster::bazujClick() {
  OperationScope busy(*this);
  ReadStatus();
  if (LinkFailed()) {
    ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true);
    return;
  }
  if (PlotState.Status & (kStatusBusy | kStatusJobRunning)) {
    ShowMessageBox(Tr("Control", "ploterBazowanieNiemozliwe"), true);
    return;
  }
  const int mode = Mode();
  if (Homed()) ReadPosition();
  if (Homed() && (PlotState.X != 0 || PlotState.Y != 0)) {
    const double z = mode == 2 ? PlotState.Z : 0;
    if (Dlgkonfig().rgBazowanie.ItemIndex() == 1) {
      if (!gotopoint(false, 0, 0, PlotState.Y / 100.0, z)) return;
      // A wait given up by the operator ends the move to the origin.
      if (!WaitWhileBusy()) return;
    }
    gotopoint(false, 0, 0, 0, z);
    return;
  }
  if (hooks.SetWaitCursor) hooks.SetWaitCursor();
  // A key or click that stops one axis ends the homing: the next axis does
  // not start on its own.
  bool ok = HomingStep("B1") && HomingStep("B2");
  if (ok && mode != 2) {
    const QByteArray& model = PlotState.Model;
    const bool turntableFamily =
        Stolik() == 1 &&
        (model.startsWith("KJ") || model.startsWith("YX") || model.startsWith("JX"));
    if (turntableFamily) {
      ReadPosition();
      gotopoint(false, 0, PlotState.X / 100.0, PlotState.Y / 100.0, 0);
    } else if (Stolik() != 2) {
      HomingStep("B4");
    }
  }
  if (hooks.RestoreCursor) hooks.RestoreCursor();
}

void Tster::kstopClick() {
  SerialCutActive = false;
  seriesJobSeen_ = false;
  ReadStatus();
  if (!Running()) return;
  if (hooks.SetWaitCursor) hooks.SetWaitCursor();
  wstrzymaj();
  if (hooks.RestoreCursor) hooks.RestoreCursor();
}

bool Tster::zamknijClick() { return !decelerating_; }

void Tster::keyprzesunClick() {
  if (hooks.ShowMoveDialog) hooks.ShowMoveDialog();
}

void Tster::BaseClick() {
  ReadStatus();
  if (Homed()) {
    if (hooks.ShowBasePoints) hooks.ShowBasePoints();
  } else {
    ShowMessageBox(Tr("Control", "wykonajBazowanie"), true);
  }
}

namespace {
std::unique_ptr<Tster> g_ster;
}

Tster& ster() {
  if (!g_ster) g_ster = std::make_unique<Tster>();
  return *g_ster;
}

void ResetTster() { g_ster.reset(); }

void sterowanieClick() {
  ReadStatus();
  if (!LinkFailed()) {
    ReadMachineInfo();
    SelectStepsPerTurn();
    SendAxisSetup();
  }
  if (ster().hooks.Show) ster().hooks.Show();
}

}  // namespace vm
