// The manual control window's logic against the controller emulator: a fresh
// window, no waits from the settings, no joystick unless a test gives one.
#pragma once

#include <algorithm>

#include "drawing/move_encoding.h"
#include "link_fixture.h"
#include "machine/manual_control.h"
#include "sim/job_decoder.h"
#include "support/wait_for.h"

namespace vm::test {

// A move command as the controller received it, with signed deltas.
struct ReceivedMove {
  int count = 0;
  int dx = 0, dy = 0, dz = 0;
};

inline int Int24At(const QByteArray& c, int i) {
  return static_cast<std::uint8_t>(c[i]) | (static_cast<std::uint8_t>(c[i + 1]) << 8) |
         (static_cast<std::uint8_t>(c[i + 2]) << 16);
}

inline ReceivedMove DecodeMove(const QByteArray& c) {
  const int flags = static_cast<std::uint8_t>(c[1]);
  ReceivedMove m;
  m.count = Int24At(c, 2);
  m.dx = Int24At(c, 5) * (flags & 1 ? -1 : 1);
  m.dy = Int24At(c, 8) * (flags & 2 ? -1 : 1);
  m.dz = Int24At(c, 11) * (flags & 4 ? -1 : 1);
  return m;
}

class ManualTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ResetTster();
    Dlgkonfig().Pauza_w_kacie.SetValue(0);
    Dlgkonfig().CzasRozgrzewania.SetValue(0);
    ster().hooks.JoystickCount = [this] { return joystickDevices; };
    ster().hooks.ReadJoystick = [this](platform::JoystickState& s) {
      if (joystickDevices < 1) return false;
      s = joystick;
      return true;
    };
  }
  void TearDown() override {
    ResetTster();
    LinkTest::TearDown();
  }

  // One command and its acknowledge byte.
  void Command(const QByteArray& c) {
    SendCommand(c);
    ReadAck();
  }
  std::vector<ReceivedMove> Moves() {
    std::vector<ReceivedMove> moves;
    for (const QByteArray& c : Commands())
      if (c[0] == 'A') moves.push_back(DecodeMove(c));
    return moves;
  }
  // Received commands that begin with `prefix`.
  int CountOf(const QByteArray& prefix) {
    const auto commands = Commands();
    return static_cast<int>(
        std::count_if(commands.begin(), commands.end(),
                      [&](const QByteArray& c) { return c.startsWith(prefix); }));
  }
  // Position of the first received command equal to `exact` (or, with
  // `prefix`, beginning with it) at or after `from`; -1 when there is none.
  int IndexOf(const QByteArray& exact, int from = 0, bool prefix = false) {
    const auto commands = Commands();
    for (int i = std::max(from, 0); i < static_cast<int>(commands.size()); ++i) {
      if (prefix ? commands[i].startsWith(exact) : commands[i] == exact) return i;
    }
    return -1;
  }
  int IndexOfMove(int from = 0) { return IndexOf("A", from, true); }
  bool HasCommand(const QByteArray& exact) {
    const auto commands = Commands();
    return std::find(commands.begin(), commands.end(), exact) != commands.end();
  }
  void SetMachine(std::int64_t x, std::int64_t y, std::int64_t z, bool homed) {
    sim.With([&](sim::Controller& c) {
      c.SetPosition(x, y, z);
      c.SetHomed(homed);
    });
  }
  // Texts of the boxes shown so far.
  QStringList Shown() const {
    QStringList t;
    for (const MessageRequest& r : messages.requests) t << r.text;
    return t;
  }

  // Clears the controller's buffer, sends it `job` (job-file bytes) and
  // waits until the controller holds every command of it.
  void LoadJob(const QByteArray& job) {
    SendCommandSilently("C");
    ReadAck();
    SendString(job);
    const std::size_t expected = sim::DecodeJob(job).commands.size();
    ASSERT_TRUE(WaitFor([&] {
      return sim.With([](sim::Controller& c) { return c.JobBuffer().size(); }) == expected;
    }));
  }
  // Starts the job in the buffer and sees it running.
  void RunBuffer() {
    SendCommandSilently("G");
    ReadAck();
    ReadStatus();
    ASSERT_TRUE(PlotState.Status & kStatusJobRunning);
  }
  // A job that does nothing but wait `pauses` x 250 ms (at the emulator's
  // speed-up).
  static QByteArray PauseJob(int pauses) {
    QByteArray job;
    for (int i = 0; i < pauses; ++i) job += QByteArray("p") + char(250);
    return job;
  }
  bool JobRunning() {
    return sim.With([](sim::Controller& c) {
      return (c.Status(sim::Controller::Clock::now()) & sim::Controller::kJobRunning) != 0;
    });
  }

  // Puts a job of one long move into the controller and starts it; with
  // `held` the job first holds (status 0x02 with 0x10).
  void StartLongJob(bool held = false) {
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
    QByteArray move;
    std::int32_t count = 0;
    EncodeMove(1, 1000000, 0, move, count, 0);
    move[0] = 'a';
    LoadJob((held ? QByteArray("w") : QByteArray()) + move);
    RunBuffer();
    ClearCommands();
  }

  int joystickDevices = 0;
  platform::JoystickState joystick;
};

}  // namespace vm::test
