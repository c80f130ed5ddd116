#include "machine/ploter.h"

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <chrono>
#include <thread>
#include <utility>

#include "drawing/definicje.h"
#include "drawing/move_encoding.h"
#include "drawing/rounding.h"
#include "machine/machine_globals.h"
#include "machine/serial.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"
#include "shell/options.h"

namespace vm {

namespace {

// The current exchange has lost a reply byte: the rest of its reply is not
// waited for.
bool g_exchangeFailed = false;
// The link's failure has been shown and the controller has not answered since.
bool g_failureReported = false;
// Makes the operator's probe for the waits that are given none.
WaitProbeFactory g_waitProbeFactory;

void WaitMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ReportLinkFailure(const QString& caption) {
  if (g_failureReported) return;
  g_failureReported = true;
  ShowMessageBox(Tr("Control", "ploterBrakLacznosci"), true, caption);
}

void StartExchange(const QByteArray& text, bool report) {
  DiscardInput();
  g_exchangeFailed = false;
  SendString(text);
  if (SerialState.PortError || SerialState.LastError != 0) {
    g_exchangeFailed = true;
    SerialState.PortError = true;
    if (report) ReportLinkFailure(QStringLiteral("wr "));
  }
}

// Reads an 8-character identity text after "H" n; false when the reply broke off.
bool ReadIdentityText(int n, QByteArray& out) {
  SendCommand(Bytes({'H', n}));
  ReadAck(2);
  QByteArray text;
  for (int i = 0; i < 8 && !LinkFailed(); ++i) text.append(static_cast<char>(ReadReplyByte()));
  if (LinkFailed()) return false;
  out = text;
  return true;
}

void ApplyLimitOption(const char* name, std::int32_t& limit) {
  QString value;
  if (!GetOptionValue(QString::fromLatin1(name), value)) return;
  bool ok = false;
  const int v = value.trimmed().toInt(&ok);
  if (ok) limit = v;
}

}  // namespace

QByteArray Bytes(std::initializer_list<int> values) {
  QByteArray s;
  for (int v : values) s.append(static_cast<char>(v));
  return s;
}

void Command(const QByteArray& text) {
  SendCommand(text);
  ReadAck(1);
}

void SendCommand(const QByteArray& text) { StartExchange(text, true); }

void SendCommandSilently(const QByteArray& text) { StartExchange(text, false); }

std::uint8_t ReadReplyByte() {
  if (g_exchangeFailed) {
    SerialState.LastError = kReadTimedOut;
    return 0;
  }
  const std::uint8_t b = ReadByte();
  if (SerialState.LastError != 0) {
    // A missing byte ends the exchange: waiting for the rest would only cost
    // more time-outs, and reading it later would shift the next replies.
    g_exchangeFailed = true;
    SerialState.PortError = true;
    ReportLinkFailure(QString());
    return 0;
  }
  g_failureReported = false;
  return b;
}

void ReadAck(int count) {
  for (int i = 0; i < count; ++i) ReadReplyByte();
}

std::int32_t ReadInt24() {
  const std::int32_t b0 = ReadReplyByte();
  const std::int32_t b1 = ReadReplyByte();
  const std::int32_t b2 = ReadReplyByte();
  std::int32_t v = b0 | (b1 << 8) | (b2 << 16);
  if (v & 0x800000) v -= 0x1000000;
  return v;
}

std::uint16_t ReadWord() {
  const std::uint16_t lo = ReadReplyByte();
  const std::uint16_t hi = ReadReplyByte();
  return static_cast<std::uint16_t>(lo | (hi << 8));
}

bool LinkFailed() { return SerialState.PortError || SerialState.LastError != 0; }

void ReadStatus() {
  SerialState.PortError = false;
  SendCommand("X");
  const std::uint8_t status = g_exchangeFailed ? 0 : ReadReplyByte();
  PlotState.Status = LinkFailed() ? 0 : status;
}

void StopMotion() {
  Command("Y");
  ReadStatus();
}

void ReadPosition() {
  SendCommand("E");
  ReadAck(2);
  const std::int32_t x = ReadInt24();
  const std::int32_t y = ReadInt24();
  const std::int32_t z = ReadInt24();
  // A broken-off reply leaves the last known position.
  if (LinkFailed()) return;
  PlotState.X = Round(x / Machine.CalibrationX);
  PlotState.Y = Round(y / Machine.CalibrationY);
  PlotState.Z = z % Machine.StepsPerTurn;
}

void ReadValueO() {
  SendCommand("O");
  ReadAck(2);
  const std::int32_t v = ReadInt24();
  if (!LinkFailed()) PlotState.OValue = Round(v / Machine.CalibrationY);
}

void ReadPower() {
  SendCommand("J");
  ReadAck(2);
  const std::uint8_t channel = ReadReplyByte();
  const std::uint8_t power = ReadReplyByte();
  if (LinkFailed()) return;
  PlotState.PowerChannel = channel;
  PlotState.Power = power;
}

void ReadSpeeds() {
  for (int k = 0; k <= 3; ++k) {
    SendCommand(Bytes({'I', k}));
    ReadAck(2);
    const std::uint8_t slot = ReadReplyByte();
    const std::uint32_t period = ReadWord();
    if (LinkFailed()) return;
    PlotState.SpeedSlot = slot;
    const std::uint32_t scaled = period * static_cast<std::uint32_t>(Machine.SpeedFactor);
    PlotState.Speeds[k] = scaled > 0xFFFF ? 0 : static_cast<std::uint16_t>(scaled);
  }
  SendCommand(Bytes({'I', 255}));
  ReadAck(2);
  const std::uint8_t slot = ReadReplyByte();
  const std::uint16_t actual = ReadWord();
  if (LinkFailed()) return;
  PlotState.SpeedSlot = slot;
  PlotState.ActualSpeed = actual;
  if (PlotState.SpeedSlot <= 3) PlotState.Speed = PlotState.Speeds[PlotState.SpeedSlot];
}

void SetSpeed(std::uint16_t period) {
  ReadStatus();
  if (LinkFailed()) return;
  if (PlotState.SpeedSlot <= 3) {
    // Only a command that was sent has an acknowledge byte to read.
    QByteArray word;
    WordToChars(period, word);
    Command(QByteArray(1, 'V') + static_cast<char>(PlotState.SpeedSlot) + word);
  }
  ReadSpeeds();
}

void HeaterRelayOn() {
  if (PlotState.Status & kStatusRelay) Command(Bytes({'R', 1, PlotState.PowerChannel}));
}

void SetPowerLevel() {
  HeaterRelayOn();
  const int channel = PlotState.PowerChannel;
  if (channel >= 1 && channel <= 3) {
    Command(Bytes({'T', channel, PlotState.Power & 0xFF}));
    HeaterRelayOn();
  }
}

void ToggleHeater() {
  if (PlotState.Status & kStatusRelay) {
    Command(Bytes({'R', 0, PlotState.PowerChannel}));
  } else if (Machine.FamilyJXFlag) {
    PowerRamp(PlotState.PowerChannel, PlotState.Power * 100 / 255);
  } else {
    Command(Bytes({'R', 1, PlotState.PowerChannel}));
  }
}

void PowerRamp(int channel, int percent) {
  percent = std::clamp(percent, 0, 100);
  const int target = percent * 255 / 100;
  const double pause = Dlgkonfig().Pauza_w_kacie.Value();
  const int steps = pause > 600 ? Round(pause) / 60 : 10;
  Command(Bytes({'R', 0, channel}));
  if (LinkFailed()) return;
  WaitMs(100);
  Command(Bytes({'T', channel, 4}));
  if (LinkFailed()) return;
  WaitMs(100);
  Command(Bytes({'R', 1, channel}));
  for (int i = 1; i <= steps && !LinkFailed(); ++i) {
    const int level = i * target / steps;
    Command(Bytes({'T', channel, level}));
    if (LinkFailed()) return;
    if (level >= 13) {
      ReadStatus();
      if (LinkFailed() || (PlotState.Status & kStatusWireBroken)) return;
    }
    Command(Bytes({'R', 1, channel}));
  }
}

void SetWaitProbeFactory(WaitProbeFactory factory) { g_waitProbeFactory = std::move(factory); }

bool WaitWhileBusy(AbortProbe* probe, int timeoutMs) {
  Machine.WaitingIdle = true;
  QElapsedTimer clock;
  clock.start();
  WaitMs(1);
  ReadStatus();
  std::unique_ptr<AbortProbe> operatorProbe;
  if (!probe && (PlotState.Status & kStatusBusy) && g_waitProbeFactory) {
    operatorProbe = g_waitProbeFactory();
    probe = operatorProbe.get();
  }
  bool idle = true;
  while (PlotState.Status & kStatusBusy) {
    if ((probe && probe->aborted()) || clock.elapsed() >= timeoutMs) {
      // The operator (or the time-out) gives up the wait: the motion is
      // stopped so that nothing is sent to a machine still moving.
      StopMotion();
      idle = false;
      break;
    }
    WaitMs(10);
    ReadStatus();
  }
  Machine.WaitingIdle = false;
  return idle && !LinkFailed();
}

void ReadMachineInfo() {
  // A reply that breaks off leaves what was known before; the exchanges that
  // would follow it are not tried.
  QByteArray text;
  if (ReadIdentityText(0, text)) {
    PlotState.Producer = text;
    if (ReadIdentityText(1, text)) {
      PlotState.Model = text;
      // A family's factors replace the defaults, never those of the machine
      // connected before.
      Machine.ResetFamily();
      if (PlotState.Model.startsWith("JX")) {
        Machine.FamilyJXFlag = true;
        Machine.MaxTravelSpeed = 1000;
        Machine.MaxCuttingSpeed = 1000;
        Machine.SpeedFactor = 3;
      }
      if (ReadIdentityText(2, text)) {
        PlotState.Version = text;
        SendCommand(Bytes({'H', 4}));
        ReadAck(2);
        const std::int32_t minutes = ReadInt24();
        const std::uint16_t jobs = ReadWord();
        ReadAck(3);
        if (!LinkFailed()) {
          PlotState.RunningMinutes = minutes;
          PlotState.FileCount = jobs;
          SendCommand(Bytes({'H', 3}));
          ReadAck(2);
          const int x = ReadWord();
          const int y = ReadWord();
          const int z = ReadWord();
          ReadAck(2);
          if (!LinkFailed()) {
            if (x >= 1000 && x <= 10000) WorkingAreaLimits.X = x;
            if (y >= 600 && y <= 10000) WorkingAreaLimits.Y = y;
            if (z >= 1 && z <= 50000) WorkingAreaLimits.Z = z;
          }
        }
      }
    }
  }
  ApplyLimitOption("limitX", WorkingAreaLimits.X);
  ApplyLimitOption("limitY", WorkingAreaLimits.Y);
}

double RotationAngle() { return PlotState.Z * 360.0 / Machine.StepsPerTurn; }

void LoadCalibration() {
  Machine.CalibrationX = 1 + Dlgkonfig().feKalibracjaX.Value() / 100;
  Machine.CalibrationY = 1 + Dlgkonfig().feKalibracjaY.Value() / 100;
}

void SelectStepsPerTurn() {
  if (PlotState.Model.startsWith("KJ") && Dlgkonfig().StolikSwitch.ItemIndex() == 1) {
    Machine.StepsPerTurn = 250000;
  } else if (HasSwitch(QStringLiteral("Zgear40"))) {
    Machine.StepsPerTurn = 100000;
  } else {
    Machine.StepsPerTurn = 50000;
  }
}

void JogMove(int key, AbortProbe* probe) {
  if (!WaitWhileBusy(probe)) return;
  const double lx = WorkingAreaLimits.X * 100.0;
  const double ly = WorkingAreaLimits.Y * 100.0;
  const double x = PlotState.X;
  const double y = PlotState.Y;
  const bool homed = PlotState.Status & kStatusHomed;
  double dX = 0, dY = 0, dZ = 0;
  switch (key) {
    case 33:
      dZ = -10;
      break;
    case 34:
      dZ = 10;
      break;
    case 37:
    case 100:
      dX = homed ? -x : -lx;
      break;
    case 39:
    case 102:
      dX = lx - x;
      break;
    case 38:
    case 104:
      dY = ly - y;
      break;
    // Before homing the position is unknown: the jog down runs by the X
    // travel, like the jog to the left.
    case 40:
    case 98:
      dY = homed ? -y : -lx;
      break;
    case 97: {
      const double m = Round(std::min(x, y));
      dX = -m;
      dY = -m;
      break;
    }
    case 99: {
      const double m = Round(std::min(lx - x, y));
      dX = m;
      dY = -m;
      break;
    }
    case 103: {
      const double m = Round(std::min(x, ly - y));
      dX = -m;
      dY = m;
      break;
    }
    case 105: {
      const double m = Round(std::min(lx - x, ly - y));
      dX = m;
      dY = m;
      break;
    }
    default:
      return;
  }
  if (dX == 0 && dY == 0 && dZ == 0) return;
  const int mode = Dlgkonfig().Mode.ItemIndex();
  if (mode == 0) {
    Command(Bytes({'R', 1, 3}));
  } else if (mode >= 1 && mode <= 3) {
    if (Machine.FamilyJXFlag) {
      PowerRamp(2, PlotState.Power * 100 / 255);
    } else {
      Command(Bytes({'R', 1, 2}));
    }
  }
  if (LinkFailed()) return;
  if (!Machine.FamilyJXFlag) WaitMs(Round(Dlgkonfig().Pauza_w_kacie.Value()));
  QByteArray cmd;
  std::int32_t count = 0;
  EncodeMove(Machine.SpeedFactor, Round(dX * Machine.CalibrationX),
             Round(dY * Machine.CalibrationY), cmd, count, Round(dZ * Machine.StepsPerTurn));
  if (count > 0 && !cmd.isEmpty()) Command(cmd);
  WaitMs(1);
  if (dZ != 0) SaveZRequested = true;
}

void ResetPloter() {
  g_exchangeFailed = false;
  g_failureReported = false;
  g_waitProbeFactory = nullptr;
}

}  // namespace vm
