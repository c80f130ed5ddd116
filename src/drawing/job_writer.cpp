// The job writer: header, figures, moves and trailer of the binary job file.
#include "drawing/job_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/job_file.h"
#include "drawing/matma.h"
#include "drawing/move_encoding.h"
#include "drawing/rounding.h"

namespace vm {

namespace {

// Step delays of the acceleration ramp. They fall roughly as 4257 / sqrt(i)
// (entry 0 twice entry 1) but follow no exact formula.
constexpr std::array<std::uint16_t, 256> AccelDelayTable = {
    8514, 4257, 3010, 2458, 2128, 1904, 1738, 1609, 1505, 1419, 1346, 1283, 1229, 1180, 1137, 1099,
    1064, 1032, 1003, 976,  952,  929,  907,  887,  869,  851,  834,  819,  804,  790,  777,  764,
    752,  741,  730,  719,  709,  699,  690,  681,  673,  664,  656,  649,  641,  634,  627,  620,
    614,  608,  601,  595,  590,  584,  579,  573,  568,  563,  558,  554,  549,  544,  540,  536,
    531,  527,  523,  519,  516,  512,  508,  505,  501,  498,  494,  491,  488,  484,  481,  478,
    475,  472,  469,  467,  464,  461,  458,  456,  453,  450,  448,  445,  443,  441,  438,  436,
    434,  431,  429,  427,  425,  423,  421,  419,  417,  415,  413,  411,  409,  407,  405,  403,
    401,  400,  398,  396,  394,  393,  391,  389,  388,  386,  384,  383,  381,  380,  378,  377,
    375,  374,  372,  371,  370,  368,  367,  365,  364,  363,  361,  360,  359,  358,  356,  355,
    354,  353,  351,  350,  349,  348,  347,  345,  344,  343,  342,  341,  340,  339,  338,  337,
    335,  334,  333,  332,  331,  330,  329,  328,  327,  326,  325,  324,  323,  323,  322,  321,
    320,  319,  318,  317,  316,  315,  314,  314,  313,  312,  311,  310,  309,  308,  308,  307,
    306,  305,  304,  304,  303,  302,  301,  301,  300,  299,  298,  298,  297,  296,  295,  295,
    294,  293,  293,  292,  291,  290,  290,  289,  288,  288,  287,  286,  286,  285,  284,  284,
    283,  283,  282,  281,  281,  280,  279,  279,  278,  278,  277,  276,  276,  275,  275,  274,
    273,  273,  272,  272,  271,  271,  270,  270,  269,  268,  268,  267,  267,  266,  266,  265,
};

// A direction change whose cosine is at most this (about 29.5 degrees or more)
// is a corner.
constexpr double CornerCosine = 0.87;

// The longest pause of one "p" command, ms.
constexpr std::int64_t MaxPause = 250;

// The job bytes are written to the file in blocks of this size.
constexpr qsizetype WriteBlock = 1 << 20;

// Plotter units to mm.
double Mm(std::int64_t units) { return PlotterUnitsToMm(CheckedCast<std::int32_t>(units)); }

TPoint3I Flat(const TPoint3I& p) { return {p.X, p.Y, 0}; }

TPoint3I Flat(const TPointI& p) { return {p.X, p.Y, 0}; }

// The move command by the relative amounts, empty when it has no steps.
QByteArray Move(std::int32_t factor, std::int32_t dX, std::int32_t dY, std::int32_t dZ) {
  QByteArray cmd;
  std::int32_t count = 0;
  EncodeMove(factor, dX, dY, cmd, count, dZ);
  return count > 0 ? cmd : QByteArray();
}

}  // namespace

std::uint16_t AccelDelay(std::int64_t i) {
  return AccelDelayTable[static_cast<std::size_t>(std::clamp<std::int64_t>(i, 0, 255))];
}

std::uint16_t SpeedToPeriod(std::uint16_t v, std::int32_t maxTravelSpeed) {
  if (v == 0) return CheckedCast<std::uint16_t>(maxTravelSpeed);
  // 800000 / v does not fit 16 bits below 13 mm/min: the slowest period stands in.
  const double period = std::min(600000.0 / (v * 0.75), 65535.0);
  return RoundTo<std::uint16_t>(period);
}

std::uint16_t FeedToPeriod(std::uint16_t v) {
  if (v <= 20) return 40000;
  const std::int32_t v100 = static_cast<std::int32_t>(v) * 100;
  return RoundTo<std::uint16_t>(1000000.0 / (v100 / 60.0) / 0.75);
}

JobWriter::JobWriter() = default;

JobWriter::~JobWriter() = default;

// ---- Low-level commands ----

void JobWriter::Pause(std::int64_t ms) {
  out_.U8('p').U8(ms);
  FlushIfFull();
}

void JobWriter::PausePieces(std::int64_t ms) {
  // Never more than 250 ms in one command; a negative time is no pause.
  ms = std::max<std::int64_t>(ms, 0);
  while (ms > MaxPause) {
    Pause(MaxPause);
    ms -= MaxPause;
  }
  Pause(ms);
}

void JobWriter::Period(std::int64_t period) {
  out_.U8('l').U16(period);
  FlushIfFull();
}

void JobWriter::SpeedSlot(int slot, std::int64_t period) {
  out_.U8('v').U8(slot).U16(period);
  FlushIfFull();
}

void JobWriter::SelectSlot(int slot) {
  out_.U8('f').U8(slot);
  FlushIfFull();
}

void JobWriter::Power(int channel, std::int64_t level) {
  out_.U8('t').U8(channel).U8(level);
  FlushIfFull();
}

void JobWriter::Relay(int state, int channel) {
  out_.U8('r').U8(state).U8(channel);
  FlushIfFull();
}

void JobWriter::Append(const QByteArray& bytes) {
  out_.Raw(bytes);
  FlushIfFull();
}

void JobWriter::FlushIfFull() {
  // Checked after every command: a runaway path stops at the buffer's size.
  if (written_ + out_.size() >= kMaxJobBytes) {
    throw MessageError(QStringLiteral("Main_window"), QStringLiteral("ploterPrzekroczonyBufor"));
  }
  if (out_.size() >= WriteBlock) WriteOut();
}

void JobWriter::WriteOut() {
  if (!file_) throw IoError("job file is not open");
  if (written_ + out_.size() >= kMaxJobBytes) {
    throw MessageError(QStringLiteral("Main_window"), QStringLiteral("ploterPrzekroczonyBufor"));
  }
  const QByteArray bytes = out_.take();
  out_ = ByteWriter();
  if (bytes.isEmpty()) return;
  file_->Write(bytes);
  written_ += bytes.size();
}

// ---- Begin and end ----

void JobWriter::BeginJob(const QString& fileName, const JobSettings& settings) {
  if (settings.StepsPerTurn <= 0) throw RangeError("steps per revolution must be positive");
  s_ = settings;
  file_.reset();
  out_ = ByteWriter();
  written_ = 0;

  // Positions of the head are machine units, that is after calibration: the
  // start positions are calibrated like every target of a move.
  const std::int32_t mode = s_.JobOutputMode;
  JobHead = {0, 0, 0};
  if (mode == JobTurningSpindle) {
    JobHead.X = Round(s_.CalibrationX * s_.FirstEntryInMaterial * 100);
  } else if (mode == JobTurningTable) {
    JobHead.Y = Round(s_.CalibrationY * s_.FirstEntryInMaterial * 100);
  }
  CornerHistory = {JobHead, JobHead, JobHead};

  file_ = std::make_unique<JobFile>(fileName);

  const std::int32_t startX = Round(s_.CalibrationX * s_.RotaryStartX * 100);
  const std::int32_t startY = Round(s_.CalibrationY * s_.RotaryStartY * 100);
  switch (mode) {
    case JobTurningSpindle:
    case JobTurningTable:
      HeatChannel = 3;
      break;
    case JobPlainCutting:
      HeatChannel = (s_.Mode == 0 && s_.StolikSwitch == 2) ? 3 : 1;
      break;
    default:
      HeatChannel = 1;
      break;
  }
  switch (mode) {
    case JobTurningSpindle:
    case JobRotarySpindle:
      JobHead.Y = startY;
      break;
    case JobTurningTable:
      JobHead.X = startX;
      break;
    case JobRotaryTable:
      JobHead.Y = startY;
      JobHead.X = startX;
      break;
    default:
      break;
  }

  const auto speeds = [&] {
    SpeedSlot(0, FeedToPeriod(RoundTo<std::uint16_t>(s_.PrzeSpeed * s_.SpeedFactor)));
    SpeedSlot(1, FeedToPeriod(RoundTo<std::uint16_t>(s_.szybkoscObrobki * s_.SpeedFactor)));
  };
  const auto power = [&] { Power(HeatChannel, RoundTo<std::uint8_t>(s_.work_power * 255 / 100)); };

  switch (mode) {
    case JobTurningSpindle:
    case JobTurningTable:
    case JobRotarySpindle:
    case JobRotaryTable:
      speeds();
      if (!s_.FamilyJXFlag) {
        power();
        Relay(1, HeatChannel);
      }
      break;
    case JobPlainCutting:
      speeds();
      if (!s_.FamilyJXFlag) {
        power();
        Relay(1, HeatChannel);
      }
      Pause(1);
      SelectSlot(1);
      PausePieces(Round(s_.CzasRozgrzewania));
      break;
    case JobSerialCutting:
      speeds();
      power();
      if (s_.FamilyJXFlag) {
        PowerCommands(HeatChannel, Round(s_.work_power));
      } else {
        Relay(1, HeatChannel);
      }
      SelectSlot(1);
      break;
    default:
      break;
  }
  WarmUpPending = true;
}

void JobWriter::EndJob() {
  if (s_.JobOutputMode == JobSerialCutting && s_.ModelCutOffAtEnd &&
      s_.PassNumber == s_.ProjectWindowCount) {
    double w = Mm(Round(s_.skala * s_.Width / 100 / 2));
    w = w + std::max(w, s_.Srednicamaterialu / 2);
    WriteCut(At(s_.PassNumber % 2 == 0 ? w : -w), At(0), 0);
  }
  Pause(1);
  Relay(0, 2);

  WriteOut();
  // The file is released whatever happens: a failed commit has removed it.
  const std::unique_ptr<JobFile> file = std::move(file_);
  file->Commit();
}

// ---- Moves ----

QByteArray JobWriter::EncodeCut(double x, double y, double z) { return Cut(At(x), At(y), z); }

QByteArray JobWriter::Cut(AxisTarget x, AxisTarget y, double z) {
  // A position the head already holds is taken as it stands: it is in machine
  // units already and must not be calibrated a second time.
  const std::int32_t tx = x.stay ? JobHead.X : Round(s_.CalibrationX * x.mm * 100);
  const std::int32_t ty = y.stay ? JobHead.Y : Round(s_.CalibrationY * y.mm * 100);
  return CutToMachine(tx, ty, z);
}

void JobWriter::WriteCut(AxisTarget x, AxisTarget y, double z) { Append(Cut(x, y, z)); }

QByteArray JobWriter::CutToMachine(std::int32_t tx, std::int32_t ty, double z) {
  const std::int32_t dX = CheckedSub(tx, JobHead.X);
  const std::int32_t dY = CheckedSub(ty, JobHead.Y);
  const std::int32_t dZ = Round(s_.StepsPerTurn * z);
  QByteArray move = Move(s_.SpeedFactor, dX, dY, dZ);
  if (move.isEmpty()) return {};
  move[0] = 'a';

  const std::int32_t newZ = CheckedAdd(JobHead.Z, dZ);
  JobHead = {tx, ty, newZ};
  CornerHistory.P0 = CornerHistory.P1;
  CornerHistory.P1 = CornerHistory.P2;
  CornerHistory.P2 = JobHead;
  const TCornerHistory& h = CornerHistory;

  // The corner test looks at the direction in the XY plane only; a move without
  // XY length counts as a reversal, so the first move of a job (the history
  // holds three equal points) is always a corner.
  const double cosine = CosAngle3(Flat(h.P0), Flat(h.P1), Flat(h.P2));
  ByteWriter s;
  if (cosine <= CornerCosine) {
    // Corner: "p" 10, then the corner pause in pieces of at most 250 ms, then
    // the move that leaves the corner.
    s.U8('p').U8(10);
    if (s_.Mode >= 0 && s_.Mode <= 3) {
      std::int64_t n = std::max<std::int64_t>(Round(s_.Pauza_w_kacie), 0);
      std::int64_t pieces = 0;
      while (n > MaxPause) {
        ++pieces;
        n -= MaxPause;
      }
      s.U8('p').U8(n);
      for (std::int64_t i = 0; i < pieces; ++i) s.U8('p').U8(MaxPause);
    }
    s.Raw(move);
    return s.take();
  }

  // Short-move rule: a short move after a long one gets a 1 ms pause before it;
  // after a short one, the step period that suits its length follows it.
  const std::int64_t k = Round64(Distance3I(h.P1, h.P2) + 0.5);
  if (k < 256) {
    if (Distance3I(h.P0, h.P1) >= 1024) {
      s.U8('p').U8(1);
      s.Raw(move);
    } else {
      s.Raw(move);
      s.U8('l').U16(AccelDelay(k - 1) / 2);
    }
    return s.take();
  }
  return move;
}

void JobWriter::RampMove(std::int64_t steps, bool negative) {
  if (steps <= 0) return;
  const std::int32_t dZ = CheckedCast<std::int32_t>(negative ? -steps : steps);
  QByteArray move = Move(s_.SpeedFactor, 0, 0, dZ);
  if (move.isEmpty()) return;
  move[0] = 'a';
  Append(move);
}

void JobWriter::EncodeRamp(double z) {
  if (z == 0) return;
  // A rotation too small for one step still gets the ramp's opening and
  // closing periods; only its pieces of zero steps are left out.
  const std::int64_t n = Round(z * s_.StepsPerTurn);
  const bool negative = n < 0;
  const std::int64_t h = negative ? -n : n;

  // The ramp reaches the travel speed in 1 s; a rotary step counts as a
  // hundredth of a unit in the speed formulas.
  const double a = (s_.PrzeSpeed / 60) / 1.0;
  std::int64_t d = Round64(1.0 * 1.0 * a * 50);
  if (h / 2 < d) d = h / 2;
  const std::int64_t cruise = h - 2 * d;

  Pause(1);
  Period(0xFFFF);

  const auto chunkAt = [](double speed) { return Round64(speed / 60 * 0.1 * 100); };
  std::int64_t done = 0;
  double v = 20.0;
  std::int64_t chunk = chunkAt(v);
  // The period of the speed reached; when the ramp is too short for any
  // accelerating piece, the cruise runs at the starting speed.
  std::uint16_t period = FeedToPeriod(RoundTo<std::uint16_t>(v));

  while (chunk > 0 && done + chunk < d) {
    done += chunk;
    v = a * std::sqrt(done / 100.0 * 2 / a) * 60;
    period = FeedToPeriod(RoundTo<std::uint16_t>(v));
    RampMove(chunk, negative);
    Period(period);
    chunk = chunkAt(v);
  }

  std::int64_t m = d + cruise - done;
  RampMove(m, negative);
  Period(period);
  done += m;

  std::int64_t rest = d;
  chunk = chunkAt(v);
  while (chunk > 0 && rest - chunk >= 1) {
    rest -= chunk;
    done += chunk;
    v = a * std::sqrt(rest / 100.0 * 2 / a) * 60;
    period = FeedToPeriod(RoundTo<std::uint16_t>(v));
    RampMove(chunk, negative);
    Period(period);
    chunk = chunkAt(v);
  }

  m = h - done;
  RampMove(m, negative);
  Period(period);

  Pause(1);
  Period(0x0101);
  JobHead.Z = CheckedAdd(JobHead.Z, CheckedCast<std::int32_t>(n));
}

void JobWriter::MoveTo(std::int32_t x, std::int32_t y) {
  const std::int32_t sx = Round(s_.skala * x / 100);
  const std::int32_t sy = Round(s_.skala * y / 100);
  WriteCut(At(Mm(sx)), At(Mm(sy)), 0);
}

void JobWriter::SetStart(std::int32_t x, std::int32_t y, std::int32_t z) {
  JobHead.X = Round(Mm(Round(s_.skala * x / 100)) * 100);
  JobHead.Y = Round(Mm(Round(s_.skala * y / 100)) * 100);
  JobHead.Z = z;
  // The job starts here: the first move leaves this point, and the corner test
  // of the move after it measures the turn from this move, not from a move out
  // of the project's origin that was never made.
  CornerHistory = {JobHead, JobHead, JobHead};
}

void JobWriter::ReturnMove(double z) { WriteCut(Stay(), Stay(), z); }

void JobWriter::CornerPause() {
  Pause(1);
  SelectSlot(1);
  WriteCut(Stay(), At(s_.RotaryStartY), 0);
}

void JobWriter::PauseIfHold() {
  if (!s_.Wstrzymaj) return;
  Pause(1);
  Relay(0, 2);
  Pause(1);
  out_.U8('w');
  FlushIfFull();
  WarmUpPending = true;
}

void JobWriter::PowerCommands(std::uint8_t channel, std::int32_t percent) {
  const std::int64_t top = static_cast<std::int64_t>(percent) * 255 / 100;
  const std::int64_t steps = s_.Pauza_w_kacie > 600 ? Round(s_.Pauza_w_kacie) / 60 : 10;
  Relay(0, channel);
  Pause(100);
  Power(channel, 4);
  Pause(100);
  Relay(1, channel);
  for (std::int64_t k = 1; k <= steps; ++k) {
    const std::int64_t level = k * top / steps;
    Power(channel, level);
    if (level > 12 && s_.ReadStatus && (s_.ReadStatus() & 0x80) != 0) return;  // wire broken
    Relay(1, channel);
  }
}

// ---- Figures of turning and rotary jobs ----

TPointI JobWriter::Scaled(const TPointI& p) const {
  return {Round(s_.skala * p.X / 100), Round(s_.skala * p.Y / 100)};
}

double JobWriter::ScaledExtent(std::int32_t extent) const {
  return Mm(Round(s_.skala * extent / 100));
}

void JobWriter::WarmUpIfPending() {
  if (WarmUpPending && !s_.FamilyJXFlag) {
    PausePieces(Round(s_.CzasRozgrzewania));
    WarmUpPending = false;
  }
}

void JobWriter::WriteFigure(const tfigura& figure, std::uint8_t /*pen*/, int direction,
                            double& angle, double startAngle) {
  const std::int32_t mode = s_.JobOutputMode;
  const bool turning = mode == JobTurningSpindle || mode == JobTurningTable;
  const bool rotary = mode == JobRotarySpindle || mode == JobRotaryTable;
  if (!turning && !rotary) return;
  if (figure.Points.size() < 2) return;

  // Alignment: the shortest rotation from the position reached to the start
  // angle, folded into (-0.5, 0.5] whatever the sign of the position.
  const std::int32_t spt = s_.StepsPerTurn;
  double w = static_cast<double>(spt - JobHead.Z % spt) / spt + startAngle;
  w -= std::floor(w);
  if (w > 0.5) w -= 1;

  if (turning) {
    WriteTurning(figure, direction, w);
  } else {
    WriteRotary(figure, direction, w);
  }
  angle = static_cast<double>(JobHead.Z % spt) / spt;
}

void JobWriter::WriteTurning(const tfigura& figure, int direction, double w) {
  // Code 30 runs along X with the height in Y; on the turntable (301) the roles
  // of X and Y are exchanged.
  const bool table = s_.JobOutputMode == JobTurningTable;
  const double startHeight = table ? s_.RotaryStartX : s_.RotaryStartY;
  const std::int32_t offX =
      table ? CheckedSub(MmToPlotterUnits(s_.Xstolika), MmToPlotterUnits(s_.Xnarzedzia)) : 0;
  const std::int32_t offY =
      table ? 0 : CheckedSub(MmToPlotterUnits(s_.Ywrzeciona), MmToPlotterUnits(s_.Ynarzedzia));
  const auto along = [&](const TPointI& p) { return table ? p.Y : p.X; };
  const auto height = [&](const TPointI& p) { return table ? p.X : p.Y; };
  const auto cut = [&](AxisTarget a, AxisTarget ht, double z) {
    if (table) {
      WriteCut(ht, a, z);
    } else {
      WriteCut(a, ht, z);
    }
  };

  // Pitch: mm of the drawing per revolution, or no rotation while cutting.
  const double extent = ScaledExtent(table ? figure.AxisHeight : figure.AxisWidth);
  const bool rotates = s_.il_obr_rys != 0;
  if (rotates && extent == 0) {
    throw MessageError("Project_window", "osObrotuBezWymiaru");
  }
  const double pitch = rotates ? extent / s_.il_obr_rys : 0;

  const auto raw = [&](std::size_t i) { return Scaled(figure.Points[i]); };
  const auto offset = [&](const TPointI& p) {
    return TPointI{CheckedAdd(p.X, offX), CheckedAdd(p.Y, offY)};
  };

  TPointI p = offset(raw(0));
  SelectSlot(0);
  cut(At(Mm(along(p))), Stay(), 0);
  cut(At(Mm(along(p))), At(startHeight), 0);
  if (w != 0) cut(At(Mm(along(p))), Stay(), w);

  Pause(1);
  Relay(1, HeatChannel);
  WarmUpIfPending();

  Pause(1);
  WriteCut(At(Mm(p.X)), At(Mm(p.Y)), 0);
  Pause(1);
  SelectSlot(1);

  const auto cuttingSpeed = [&](double turns, double dH, double dA, double path) {
    const double time = path / s_.szybkoscObrobki;
    double speed = time > 0 ? Length3(s_.StepsPerTurn * turns / 100, dH, dA) / time : 20;
    if (speed < 20) speed = 20;
    if (speed > s_.MaxCuttingSpeed) speed = s_.MaxCuttingSpeed;
    return FeedToPeriod(RoundTo<std::uint16_t>(s_.SpeedFactor * speed));
  };

  const std::size_t count = figure.Points.size();
  for (std::size_t i = 1; i < count; ++i) {
    const TPointI qRaw = raw(i);
    const TPointI q = offset(qRaw);
    // The circumference at the point's distance from the axis.
    const double r = std::abs(Mm(height(qRaw))) * 2 * std::numbers::pi;
    const double dH = std::abs(Mm(static_cast<std::int64_t>(height(p)) - height(q)));
    const double dA = std::abs(Mm(static_cast<std::int64_t>(along(p)) - along(q)));
    double turns = rotates ? dA / pitch : 0;
    double arc = r * turns;
    double path = std::sqrt(arc * arc + dH * dH + dA * dA);
    if (path > 0) {
      const std::uint16_t period = cuttingSpeed(turns, dH, dA, path);
      WriteCut(At(Mm(q.X)), At(Mm(q.Y)), direction * turns);
      SpeedSlot(1, period);
    }

    // A corner inside the figure gets one full revolution in place.
    if (i + 1 < count) {
      const TPointI next = offset(raw(i + 1));
      if (CosAngle3(Flat(p), Flat(q), Flat(next)) <= CornerCosine) {
        turns = rotates ? 1 : 0;
        arc = r;
        path = std::sqrt(arc * arc);
        if (arc > 0) {
          const std::uint16_t period = cuttingSpeed(turns, 0, 0, path);
          WriteCut(At(Mm(q.X)), At(Mm(q.Y)), direction * turns);
          SpeedSlot(1, period);
        }
      }
    }
    p = q;
  }

  Pause(1);
  SelectSlot(0);
  cut(At(Mm(along(p))), At(startHeight), 0);
}

void JobWriter::WriteRotary(const tfigura& figure, int direction, double w) {
  const bool table = s_.JobOutputMode == JobRotaryTable;
  const std::int32_t offX = table ? MmToPlotterUnits(s_.Xstolika) : 0;
  const std::int32_t offY = MmToPlotterUnits(table ? s_.Ystolika : s_.Ywrzeciona);
  const auto point = [&](std::size_t i) {
    const TPointI sp = Scaled(figure.Points[i]);
    return TPointI{CheckedAdd(sp.X, offX), CheckedAdd(sp.Y, offY)};
  };

  // One revolution per il_obr_rys-th of the axis figure's extent.
  const double extent = ScaledExtent(table ? figure.AxisHeight : figure.AxisWidth);
  const bool rotates = s_.il_obr_rys != 0;
  if (rotates && extent == 0) {
    throw MessageError("Project_window", "osObrotuBezWymiaru");
  }

  TPointI p = point(0);
  if (table) {
    WriteCut(Stay(), At(Mm(p.Y)), 0);
    WriteCut(At(s_.RotaryStartX), At(Mm(p.Y)), 0);
  } else {
    SelectSlot(0);
    WriteCut(At(Mm(p.X)), Stay(), 0);
  }

  if (w != 0) {
    if (s_.Heavy) {
      EncodeRamp(w);
    } else {
      WriteCut(Stay(), Stay(), w);
    }
  }

  Pause(1);
  Relay(1, HeatChannel);
  WarmUpIfPending();
  Pause(1);
  SelectSlot(1);

  if (table) {
    WriteCut(At(Mm(p.X)), At(Mm(p.Y)), 0);
  } else {
    WriteCut(Stay(), At(Mm(p.Y)), 0);
    PausePieces(Round(s_.Pauza_w_kacie));
  }

  const std::size_t count = figure.Points.size();
  for (std::size_t i = 1; i < count; ++i) {
    const TPointI q = point(i);
    const double dX = std::abs(Mm(static_cast<std::int64_t>(p.X) - q.X));
    const double dY = std::abs(Mm(static_cast<std::int64_t>(p.Y) - q.Y));
    const double turns = rotates ? s_.il_obr_rys * (table ? dY : dX) / extent : 0;
    if (std::sqrt(dX * dX + dY * dY) > 0) {
      WriteCut(At(Mm(q.X)), At(Mm(q.Y)), direction * turns);
    }
    p = q;
  }

  if (table) {
    WriteCut(At(s_.RotaryStartX), At(Mm(p.Y)), 0);
    Pause(1);
  } else {
    if (s_.rgAlgorytmObrotowego == 0) {
      WriteCut(At(Mm(p.X)), At(s_.RotaryStartY), 0);
    } else {
      WriteCut(At(Mm(p.X)), At(Mm(p.Y)), 0);
    }
    Pause(1);
    SelectSlot(0);
  }
}

}  // namespace vm
