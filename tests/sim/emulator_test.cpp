// The controller emulator spoken to through the program's real serial code:
// motion over time, the job buffer, homing, the broken wire and the line faults.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "machine/serial.h"
#include "sim/sim.h"
#include "support/wait_for.h"

namespace {

using vm::sim::Controller;
using vm::test::WaitFor;

QByteArray B(std::initializer_list<int> v) {
  QByteArray s;
  for (int x : v) s.append(static_cast<char>(x));
  return s;
}

QByteArray Move(int flags, int count, int dx, int dy, int dz) {
  QByteArray s = B({'A', flags});
  for (int v : {count, dx, dy, dz}) s += B({v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF});
  return s;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class EmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    vm::ResetSerial();
    QString error;
    ASSERT_TRUE(sim.Start(&error)) << error.toStdString();
    qputenv("VM_COM1", sim.SlavePath().toLocal8Bit());
    ASSERT_TRUE(vm::OpenPortIndex(0)) << vm::SerialState.LastError;
  }
  void TearDown() override {
    vm::ResetSerial();
    sim.Stop();
    qunsetenv("VM_COM1");
  }

  // Sends a command and reads `n` reply bytes; fails the test on a time-out.
  QByteArray Ask(const QByteArray& cmd, int n) {
    vm::SendString(cmd);
    EXPECT_FALSE(vm::SerialState.PortError);
    QByteArray reply;
    for (int i = 0; i < n; ++i) {
      const auto b = vm::ReadByte();
      if (vm::SerialState.LastError != 0) {
        ADD_FAILURE() << "reply of '" << cmd.left(1).toStdString() << "' broke off after " << i;
        break;
      }
      reply.append(static_cast<char>(b));
    }
    return reply;
  }
  int Status() { return static_cast<std::uint8_t>(Ask("X", 1).at(0)); }
  // The model's own status and X position, read without an exchange.
  int ModelStatus() {
    return sim.With([](Controller& c) { return c.Status(Controller::Clock::now()); });
  }
  std::int64_t ModelX() {
    return sim.With([](Controller& c) { return c.CurrentPosition(Controller::Clock::now()).x; });
  }
  // X, Y, Z of the "E" reply.
  std::array<std::int32_t, 3> Position() {
    const QByteArray r = Ask("E", 11);
    std::array<std::int32_t, 3> p{};
    for (int i = 0; i < 3; ++i)
      p[i] = vm::sim::ReadInt24(reinterpret_cast<const std::uint8_t*>(r.constData()) + 2 + 3 * i);
    return p;
  }

  vm::sim::Simulator sim;
};

TEST_F(EmulatorTest, StopLeavesAPartialMoveAndClearsTheBusyBit) {
  sim.With([](Controller& c) { c.SetPosition(0, 0, 0); });
  // 10000 steps at period 800 (0.6 ms a step): six seconds of motion.
  Ask(B({'F', 2}), 1);
  Ask(Move(0, 10000, 10000, 0, 0), 1);
  EXPECT_TRUE(Status() & Controller::kBusy);
  ASSERT_TRUE(WaitFor([&] { return ModelX() > 0; }));
  Ask("Y", 1);
  EXPECT_FALSE(Status() & Controller::kBusy);
  const auto p = Position();
  EXPECT_GT(p[0], 0);
  EXPECT_LT(p[0], 10000);
  EXPECT_EQ(Position()[0], p[0]);  // it stays where it stopped
}

TEST_F(EmulatorTest, RepliesCarryTheLayoutsOfTheProtocol) {
  sim.With([](Controller& c) {
    c.SetIdentity("Maker", "JX300", "2.1");
    c.SetWorkingArea(3000, 1500, 7);
    c.SetCounters(-2, 513);
    c.SetPosition(-1, 0x123456, -75000);
  });
  EXPECT_EQ(Ask(B({'H', 1}), 10).mid(2), QByteArray("JX300   "));
  EXPECT_EQ(Ask(B({'H', 3}), 10).mid(2), B({0xB8, 0x0B, 0xDC, 0x05, 7, 0, 0, 0}));
  EXPECT_EQ(Ask(B({'H', 4}), 10).mid(2), B({0xFE, 0xFF, 0xFF, 0x01, 0x02, 0, 0, 0}));
  EXPECT_EQ(Position(), (std::array<std::int32_t, 3>{-1, 0x123456, -75000}));
  Ask(B({'V', 3, 0x34, 0x12}), 1);
  Ask(B({'F', 3}), 1);
  EXPECT_EQ(Ask(B({'I', 3}), 5).mid(2), B({3, 0x34, 0x12}));
  EXPECT_EQ(Ask(B({'I', 255}), 5).mid(2), B({3, 0, 0}));  // idle: no running period
  Ask(B({'T', 2, 200}), 1);
  Ask(B({'R', 1, 2}), 1);
  EXPECT_EQ(Ask("J", 4).mid(2), B({2, 200}));
  EXPECT_TRUE(Status() & Controller::kRelay);
}

TEST_F(EmulatorTest, JobRunsFromTheBufferWithHoldStopAndContinue) {
  sim.With([](Controller& c) {
    c.SetSpeedUp(20);
    c.SetPosition(0, 0, 0);
  });
  Ask("C", 1);
  // relay on, a move, a hold, a second move (six seconds), relay off
  vm::SendString(
      B({'r', 1, 1,    'f',  1,    'a',  0,    100,  0, 0, 100, 0, 0, 0, 0,   0, 0,   0, 0, 'w',
         'a', 0, 0xA0, 0x86, 0x01, 0xA0, 0x86, 0x01, 0, 0, 0,   0, 0, 0, 'p', 5, 'r', 0, 1}));
  // The controller confirms the received job once the line is quiet.
  EXPECT_EQ(vm::ReadByte(), Controller::kAck);
  EXPECT_EQ(sim.With([](Controller& c) { return c.JobBuffer().size(); }), 7u);
  EXPECT_EQ(Status() & Controller::kJobRunning, 0);

  Ask("G", 1);
  ASSERT_TRUE(WaitFor([&] { return ModelStatus() & Controller::kHeld; }));
  EXPECT_EQ(Status() & (Controller::kJobRunning | Controller::kHeld | Controller::kRelay),
            Controller::kJobRunning | Controller::kHeld | Controller::kRelay);
  EXPECT_EQ(Position()[0], 100);
  Ask("G", 1);  // resumes the held job
  ASSERT_TRUE(WaitFor([&] { return ModelX() > 100; }));
  Ask("Q", 1);  // stops it in the middle of the long move
  const int stopped = Status();
  EXPECT_EQ(stopped & (Controller::kStopped | Controller::kJobRunning), Controller::kStopped);
  const auto p = Position();
  EXPECT_GT(p[0], 100);
  EXPECT_LT(p[0], 100100);
  // The rest of the move is run at once.
  sim.With([](Controller& c) { c.SetSpeedUp(1000); });
  Ask("K", 1);
  EXPECT_TRUE(WaitFor([&] { return !(Status() & Controller::kJobRunning); }));
  EXPECT_EQ(Position()[0], 100100);
  EXPECT_EQ(Status() & Controller::kRelay, 0);
  EXPECT_EQ(sim.With([](Controller& c) { return c.JobCount(); }), 1);
}

// The program ends a transfer with a status query and then reads the reply to
// the job: the confirmation follows the status, whatever the timing; with
// no command it comes on its own once the line is quiet.
TEST(ControllerModelTest, JobIsConfirmedAfterTheReplyToTheNextCommand) {
  const auto t0 = Controller::Clock::now();
  Controller c(t0);
  const auto feed = [&](const QByteArray& bytes, Controller::Time at) {
    QByteArray out;
    for (const char b : bytes) out += c.Receive(static_cast<std::uint8_t>(b), at);
    return out;
  };
  EXPECT_EQ(feed("C", t0), B({Controller::kAck}));
  EXPECT_TRUE(feed(B({'p', 5, 'w'}), t0).isEmpty());
  const auto late = t0 + 2 * Controller::kJobQuietTime;
  EXPECT_EQ(feed("X", late), B({0, Controller::kAck}));
  EXPECT_TRUE(c.Advance(late + 2 * Controller::kJobQuietTime).isEmpty());

  EXPECT_TRUE(feed(B({'p', 5}), late).isEmpty());
  EXPECT_TRUE(c.Advance(late + Controller::kJobQuietTime / 2).isEmpty());
  EXPECT_EQ(c.Advance(late + Controller::kJobQuietTime), B({Controller::kAck}));
  EXPECT_EQ(feed("X", late + 2 * Controller::kJobQuietTime), B({0}));
  // A job dropped by the abort bytes is not confirmed.
  EXPECT_TRUE(feed(B({'p', 5, '@'}), late).isEmpty());
  EXPECT_TRUE(c.Advance(late + 2 * Controller::kJobQuietTime).isEmpty());
}

// One heating relay: a jog heats channel 2 and the heating key, which knows
// only the power channel 1, must still switch it off; a job heating channel 1
// ends with "r" 0 2 and leaves the wire cold.
TEST_F(EmulatorTest, HeatingRelayIsOneRelayWhateverChannelSwitchesItOff) {
  Ask(B({'R', 1, 2}), 1);
  EXPECT_TRUE(Status() & Controller::kRelay);
  Ask(B({'R', 1, 0}), 1);  // no channel: nothing changes
  EXPECT_TRUE(sim.With([](Controller& c) { return c.Relay(2); }));
  Ask(B({'R', 1, 3}), 1);  // switched over to another channel
  EXPECT_FALSE(sim.With([](Controller& c) { return c.Relay(2); }));
  EXPECT_TRUE(sim.With([](Controller& c) { return c.Relay(3); }));
  Ask(B({'R', 0, 1}), 1);
  EXPECT_EQ(Status() & Controller::kRelay, 0);

  sim.With([](Controller& c) { c.SetSpeedUp(20); });
  Ask("C", 1);
  vm::SendString(B({'r', 1, 1, 'p', 5, 'r', 0, 2}));
  EXPECT_EQ(vm::ReadByte(), Controller::kAck);
  Ask("G", 1);
  EXPECT_TRUE(WaitFor([&] { return !(Status() & Controller::kJobRunning); }));
  EXPECT_EQ(Status() & Controller::kRelay, 0);
}

TEST_F(EmulatorTest, AbortBytesDropTheBuffer) {
  Ask("C", 1);
  vm::SendString(B({'p', 1, 'a', 0, 9}));  // a move cut short by the abort
  vm::SendString(QByteArray(20, '@'));
  Status();  // answered only after the bytes before it were taken
  EXPECT_TRUE(sim.With([](Controller& c) { return c.JobBuffer().empty(); }));
}

TEST_F(EmulatorTest, HomingBringsXAndYToZeroAndSetsTheHomedBit) {
  sim.With([](Controller& c) {
    c.SetSpeedUp(100);
    c.SetPosition(5000, 3000, 10);
  });
  EXPECT_EQ(Status() & Controller::kHomed, 0);
  for (const char* axis : {"B1", "B2"}) {
    Ask(axis, 1);
    EXPECT_TRUE(WaitFor([&] { return !(Status() & Controller::kBusy); }));
  }
  EXPECT_TRUE(Status() & Controller::kHomed);
  EXPECT_EQ(Position(), (std::array<std::int32_t, 3>{0, 0, 10}));
}

TEST_F(EmulatorTest, BrokenWireShowsWhileTheRelayIsOnAndStopsTheJob) {
  sim.With([](Controller& c) { c.BreakWireAtJobCommand(1); });
  Ask("C", 1);
  vm::SendString(B({'r', 1, 1, 'p', 50, 'r', 0, 1}));
  vm::ReadByte();
  Ask("G", 1);
  ASSERT_TRUE(WaitFor([&] { return !(ModelStatus() & Controller::kJobRunning); }));
  const int s = Status();
  EXPECT_TRUE(s & Controller::kWireBroken);
  EXPECT_EQ(s & (Controller::kStopped | Controller::kJobRunning), Controller::kStopped);
  Ask(B({'R', 0, 1}), 1);
  EXPECT_FALSE(Status() & Controller::kWireBroken);
}

TEST_F(EmulatorTest, LineFaults) {
  sim.SetEcho(true);
  EXPECT_EQ(Status(), 88);
  sim.SetEcho(false);

  sim.SetShortReplies(1);
  vm::SendString(B({'H', 0}));
  for (int i = 0; i < 9; ++i) vm::ReadByte();
  EXPECT_EQ(vm::SerialState.LastError, 0u);
  sim.SetShortReplies(0);

  sim.ClearReceived();
  sim.SetStopReading(true);
  vm::SendString(QByteArray(100, 'p'));
  SleepMs(30);
  EXPECT_TRUE(sim.Received().isEmpty());
  sim.SetStopReading(false);
  WaitFor([&] { return sim.Received().size() >= 100; });
  EXPECT_EQ(sim.Received(), QByteArray(100, 'p'));
}

TEST_F(EmulatorTest, EveryByteValuePassesTheLine) {
  QByteArray all;
  for (int i = 0; i < 256; ++i) all.append(static_cast<char>(i));
  sim.SetSilent(true);
  sim.ClearReceived();
  vm::SendString(all);
  EXPECT_FALSE(vm::SerialState.PortError);
  WaitFor([&] { return sim.Received().size() >= 256; });
  EXPECT_EQ(sim.Received(), all);
}

TEST_F(EmulatorTest, ThrottleKeepsToTheLineRate) {
  sim.SetSilent(true);
  sim.ClearReceived();
  // The bytes wait in the line, so that the emulator alone sets the pace.
  sim.SetStopReading(true);
  vm::SendString(QByteArray(480, 'w'));
  ASSERT_FALSE(vm::SerialState.PortError);
  sim.SetThrottle(true);
  const std::int64_t paced = sim.PacedBytesIn();
  sim.SetStopReading(false);
  EXPECT_TRUE(WaitFor([&] { return sim.Received().size() >= 480; }));
  EXPECT_EQ(sim.Received().size(), 480);
  // Every byte was taken in on its own and paid its line time.
  EXPECT_TRUE(WaitFor([&] { return sim.PacedBytesIn() - paced >= 480; }));
  EXPECT_EQ(sim.PacedBytesIn() - paced, 480);
}

}  // namespace
