// The job writer: turns a prepared cutting path into the binary job file that
// the transmission window streams to the controller, and the speed-to-period
// conversions and acceleration table shared with the machine link.
//
// Everything the writer reads from the settings, the machine link and the
// active project arrives in one JobSettings value handed to BeginJob, so this
// lowest library depends on nothing above it. The bytes of a job are gathered
// in memory and written in large blocks to a temporary file beside the job,
// which takes the job's name only once EndJob has completed it (see
// job_file.h). A failed create, write or close raises IoError; a job that
// fails or is abandoned before EndJob leaves the earlier job under its name.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

#include "drawing/byte_io.h"
#include "drawing/points.h"

namespace vm {

class JobFile;
class tfigura;

// Output target code of a job (held by the main window, set by the cut
// sequencer before a save).
using TJobOutputMode = std::int32_t;
inline constexpr TJobOutputMode JobTurningSpindle = 30;
inline constexpr TJobOutputMode JobTurningTable = 301;
inline constexpr TJobOutputMode JobRotarySpindle = 31;
inline constexpr TJobOutputMode JobRotaryTable = 311;
inline constexpr TJobOutputMode JobPlainCutting = 32;
inline constexpr TJobOutputMode JobSerialCutting = 33;

// A job must be smaller than the controller's buffer (4 MiB). The writer stops
// as soon as the job reaches it and raises MessageError ("Main_window",
// "ploterPrzekroczonyBufor"), rather than writing a file that can never be sent.
inline constexpr std::int64_t kMaxJobBytes = 4194304;

// What a job is written with. The defaults are those of a fresh settings
// store on a machine of the default family with no calibration.
struct JobSettings {
  TJobOutputMode JobOutputMode = JobPlainCutting;

  // Settings store (lengths in mm, speeds in mm/min, times in ms).
  double PrzeSpeed = 1000;         // travel speed
  double szybkoscObrobki = 1000;   // cutting speed
  double work_power = 20;          // heating power, %
  double CzasRozgrzewania = 1000;  // warm-up time
  double Pauza_w_kacie = 200;      // corner pause
  bool Wstrzymaj = false;          // hold after each layer
  bool Heavy = false;              // heavy material: ramp the rotary axis
  double skala = 100;              // project scale, %
  double il_obr_rys = 0;           // revolutions over the drawing's width
  double Ywrzeciona = 730;
  double Ynarzedzia = 0;
  double Xstolika = 1000;
  double Ystolika = 250;
  double Xnarzedzia = 0;
  double Srednicamaterialu = 500;
  std::int32_t Mode = 2;          // 0 turning, 1 rotary, 2 cutting, 3 serial cutting
  std::int32_t StolikSwitch = 0;  // 0 spindle, 1 table, 2 none
  std::int32_t rgAlgorytmObrotowego = 0;

  // Machine link.
  std::int32_t StepsPerTurn = 50000;
  std::int32_t SpeedFactor = 1;
  std::int32_t MaxTravelSpeed = 3000;
  std::int32_t MaxCuttingSpeed = 1500;
  bool FamilyJXFlag = false;
  double CalibrationX = 1.0;
  double CalibrationY = 1.0;

  // Job start point outside the material (mm), set by the cut sequencer.
  double RotaryStartX = 0;
  double RotaryStartY = 0;

  // Serial cutting: cut the model off after the last pass.
  bool ModelCutOffAtEnd = false;

  // Active project window.
  std::int32_t PassNumber = 0;
  std::int32_t ProjectWindowCount = 0;
  std::int32_t Width = 0;           // plotter units
  double FirstEntryInMaterial = 0;  // DajPoz1szegoWjazduWmat, mm

  // Status query of the machine link ("X"); the status byte, 0 when the query
  // failed. Only the power ramp of a serial job on a "JX" machine uses it; when
  // empty, no status is read.
  std::function<std::uint8_t()> ReadStatus;
};

// Step delays of the acceleration ramp, indexed by step.
std::uint16_t AccelDelay(std::int64_t i);

// Step period of a manual speed (mm/min); 0 gives maxTravelSpeed. Speeds too low
// for a 16-bit period get the longest period, 65535.
std::uint16_t SpeedToPeriod(std::uint16_t v, std::int32_t maxTravelSpeed);

// Step period of a feed (mm/min); 20 or less gives 40000.
std::uint16_t FeedToPeriod(std::uint16_t v);

// Head position of a job: X and Y in machine units (1/100 mm after
// calibration), Z in rotary steps, cumulative.
using TJobHead = TPoint3I;

// The head before the last-but-one move, before the last move and after it.
struct TCornerHistory {
  TPoint3I P0;
  TPoint3I P1;
  TPoint3I P2;
};

// The writer side of the drawing file class. One object serves one save:
// BeginJob, then WriteFigure (turning and rotary jobs) or MoveTo (plain and
// serial jobs) per figure, then EndJob.
class JobWriter {
 public:
  JobWriter();
  virtual ~JobWriter();
  JobWriter(const JobWriter&) = delete;
  JobWriter& operator=(const JobWriter&) = delete;

  // Resets the writer state, creates the job's temporary file and writes the
  // header of the settings' output code. A job begun earlier and not ended is
  // dropped.
  void BeginJob(const QString& fileName, const JobSettings& settings);
  // Writes the trailer, then flushes and closes the file and puts it in place
  // of the job's file. Destroying the writer before this has completed (an
  // error, a save given up) leaves no trace of the job.
  void EndJob();

  // One figure of a turning or rotary job; nothing for plain or serial jobs.
  // Angles are fractions of a revolution; on return `angle` holds the rotary
  // position reached.
  void WriteFigure(const tfigura& figure, std::uint8_t pen, int direction, double& angle,
                   double startAngle);
  // A cutting move to (x, y), plotter units relative to the project's minimum corner.
  void MoveTo(std::int32_t x, std::int32_t y);
  // Sets the head to (x, y) plotter units (already calibrated) and z steps, where
  // the corner history starts afresh.
  void SetStart(std::int32_t x, std::int32_t y, std::int32_t z);
  // A rotation by z revolutions at the position reached.
  void ReturnMove(double z);
  // A working-speed move to the start height.
  void CornerPause();
  // The hold sequence when holding after each layer is on.
  void PauseIfHold();
  // The heating power ramp of a "JX" machine.
  void PowerCommands(std::uint8_t channel, std::int32_t percent);

  // The cutting move to the absolute point (x, y) mm with a relative rotation of
  // z revolutions, with its corner pause or short-move period; empty when the
  // move has no steps. Advances JobHead and CornerHistory when it returns a move.
  QByteArray EncodeCut(double x, double y, double z);
  // Writes a rotation of z revolutions as an accelerating and decelerating
  // sequence of moves.
  void EncodeRamp(double z);

  // Writer state.
  TJobHead JobHead;
  TCornerHistory CornerHistory;
  bool WarmUpPending = false;
  std::uint8_t HeatChannel = 1;

  const JobSettings& Settings() const { return s_; }

 private:
  // A target of one axis: an absolute position in mm (calibrated on the way to
  // machine units) or the position the head already holds.
  struct AxisTarget {
    bool stay = true;
    double mm = 0;
  };
  static AxisTarget Stay() { return {}; }
  static AxisTarget At(double mm) { return {false, mm}; }

  QByteArray Cut(AxisTarget x, AxisTarget y, double z);
  QByteArray CutToMachine(std::int32_t tx, std::int32_t ty, double z);
  void WriteCut(AxisTarget x, AxisTarget y, double z);

  void WriteTurning(const tfigura& figure, int direction, double w);
  void WriteRotary(const tfigura& figure, int direction, double w);
  TPointI Scaled(const TPointI& p) const;
  double ScaledExtent(std::int32_t extent) const;
  void WarmUpIfPending();

  void Pause(std::int64_t ms);
  void PausePieces(std::int64_t ms);
  void Period(std::int64_t period);
  void SpeedSlot(int slot, std::int64_t period);
  void SelectSlot(int slot);
  void Power(int channel, std::int64_t level);
  void Relay(int state, int channel);
  void RampMove(std::int64_t steps, bool negative);
  void Append(const QByteArray& bytes);
  void FlushIfFull();
  void WriteOut();

  JobSettings s_;
  std::unique_ptr<JobFile> file_;
  ByteWriter out_;
  std::int64_t written_ = 0;  // bytes of this job already written to the file
};

}  // namespace vm
