// Model of the machine's controller as the emulator plays it: the interactive
// commands and their replies, the status bits, time-based motion, speed slots,
// heating, identity, working area, counters, homing and the job buffer.
//
// The model does no I/O: the emulator feeds it the received bytes with the
// time they arrived and writes back what it returns. All times are real
// times; `SetSpeedUp` shortens every motion and pause for quick tests.
#pragma once

#include <QByteArray>
#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "sim/job_decoder.h"

namespace vm::sim {

class Controller {
 public:
  using Clock = std::chrono::steady_clock;
  using Time = Clock::time_point;

  // Value of every acknowledge byte (the program never checks it).
  static constexpr std::uint8_t kAck = 0x06;
  // The controller confirms a received job with one acknowledge byte, right
  // after its reply to the next interactive command (the program ends a
  // transfer with a status query and then reads the job's reply), or on its
  // own once the line has been quiet this long after the job bytes.
  static constexpr std::chrono::milliseconds kJobQuietTime{300};

  // Status bits.
  static constexpr std::uint8_t kBusy = 0x01;
  static constexpr std::uint8_t kJobRunning = 0x02;
  static constexpr std::uint8_t kRelay = 0x04;
  static constexpr std::uint8_t kStopped = 0x08 | 0x20;
  static constexpr std::uint8_t kHeld = 0x10;
  static constexpr std::uint8_t kHomed = 0x40;
  static constexpr std::uint8_t kWireBroken = 0x80;

  struct Position {
    std::int64_t x = 0, y = 0, z = 0;
  };

  explicit Controller(Time now = Clock::now());

  // Takes one received byte; returns the reply bytes (often none until a
  // command is complete).
  QByteArray Receive(std::uint8_t byte, Time now);
  // Brings motion and the running job up to `now`; returns bytes the
  // controller sends on its own (the confirmation of a received job).
  QByteArray Advance(Time now);

  // --- set-up (tests and the emulator program) ---
  // Texts are padded with blanks or cut to 8 characters.
  void SetIdentity(const QByteArray& producer, const QByteArray& model, const QByteArray& version);
  void SetWorkingArea(int x, int y, int z);
  void SetCounters(int minutes, int jobs);
  void SetPosition(std::int64_t x, std::int64_t y, std::int64_t z);
  void SetHomed(bool homed);
  void SetSpeedUp(double factor);
  void SetSlotPeriod(int slot, int period);
  // The wire breaks when a switched-on channel reaches this power level (0: never).
  void BreakWireAtPower(int level);
  // The wire breaks when the job reaches the command with this index (-1: never).
  void BreakWireAtJobCommand(int index);
  void SetWireBroken(bool broken);
  // A controller that answers switching a relay on with one byte more than
  // its acknowledge.
  void SetRelayOnExtraByte(bool extra) { relayOnExtraByte_ = extra; }

  // --- inspection ---
  std::uint8_t Status(Time now);
  Position CurrentPosition(Time now);
  bool Relay(int channel) const;
  int PowerLevel(int channel) const;
  int ActiveSlot() const { return activeSlot_; }
  int SlotPeriod(int slot) const;
  int AxisSetup() const { return axisSetup_; }
  int JobCount() const { return jobs_; }
  const std::vector<JobCommand>& JobBuffer() const { return job_; }
  std::size_t JobIndex() const { return jobIndex_; }
  bool JobRunning() const { return jobRunning_; }
  // Every complete interactive command as received, letter first.
  const std::vector<QByteArray>& Commands() const { return log_; }
  void ClearCommands() { log_.clear(); }

 private:
  struct Motion {
    bool active = false;
    Time start;
    Clock::duration duration{};
    Position from;
    Position delta;
    int period = 0;
    int homingAxis = 0;  // 1 X, 2 Y, 4 Z while homing
  };

  void Execute(const QByteArray& cmd, Time now, QByteArray& reply);
  void ExecuteJobCommand(const JobCommand& c);
  void StartMotion(Time start, std::int64_t dx, std::int64_t dy, std::int64_t dz, int count,
                   int period, int homingAxis = 0);
  void FinishMotion();
  void FreezeMotion(Time now, Position* remaining);
  void Update(Time now);
  void UpdateMotion(Time now);
  void RunJob(Time now);
  void StopJob(Time now);
  void SwitchRelay(bool on, int channel);
  void CheckWire();
  int MovePeriod() const;
  Clock::duration Scaled(double seconds) const;
  bool AnyRelay() const;

  QByteArray pending_;
  std::vector<QByteArray> log_;

  QByteArray producer_ = "Corvanta";
  QByteArray model_ = "R584    ";
  QByteArray version_ = "1.07    ";
  int areaX_ = 4800, areaY_ = 2400, areaZ_ = 360;
  int minutes_ = 0, jobs_ = 0;

  Position pos_;
  Motion motion_;
  bool homedX_ = false, homedY_ = false;
  double speedUp_ = 1.0;

  std::array<int, 4> periods_{400, 1600, 800, 800};
  int activeSlot_ = 0;
  int overridePeriod_ = 0;  // "L" / "l": period of the moves that follow
  bool overrideActive_ = false;
  bool slowTurn_ = false;
  int axisSetup_ = 0;

  std::array<bool, 4> relay_{};
  std::array<int, 4> power_{};
  int powerChannel_ = 1;
  bool wireBroken_ = false;
  bool relayOnExtraByte_ = false;
  int breakLevel_ = 0;
  int breakAtCommand_ = -1;

  std::int32_t oValue_ = 0;

  // Job buffer and its run.
  std::vector<JobCommand> job_;
  bool jobBytesUnconfirmed_ = false;
  Time lastJobByte_;
  bool jobRunning_ = false;
  bool jobHeld_ = false;
  bool jobStopped_ = false;
  std::size_t jobIndex_ = 0;
  Time jobCursor_;   // virtual time at which the previous job command ended
  Position resume_;  // rest of a move interrupted by "Q", run again by "K"
  bool hasResume_ = false;
};

}  // namespace vm::sim
