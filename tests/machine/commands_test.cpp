// The interactive commands and their decoding, end to end against the emulator.

#include "link_fixture.h"
#include "support/wait_for.h"

namespace vm::test {
namespace {

using CommandsTest = LinkTest;

// Levels of the "T" commands the controller received on `channel`.
std::vector<int> PowerLevels(const std::vector<QByteArray>& commands, int channel) {
  std::vector<int> levels;
  for (const QByteArray& c : commands)
    if (c[0] == 'T' && c[1] == channel) levels.push_back(static_cast<std::uint8_t>(c[2]));
  return levels;
}

TEST_F(CommandsTest, PositionIsDividedByCalibrationAndZKeepsItsSign) {
  Dlgkonfig().feKalibracjaX.SetValue(2);
  Dlgkonfig().feKalibracjaY.SetValue(-2);
  LoadCalibration();
  // Minus one and a half revolutions of the rotary axis.
  sim.With([](sim::Controller& c) { c.SetPosition(10200, -9800, -75000); });
  ReadPosition();
  EXPECT_EQ(PlotState.X, 10000);
  EXPECT_EQ(PlotState.Y, 10000 * -1);
  EXPECT_EQ(PlotState.Z, -25000);
  EXPECT_DOUBLE_EQ(RotationAngle(), -180.0);
  // The emulator's "O" value is the Y where the last "Q" stopped.
  SendCommand("Q");
  ReadAck();
  ReadValueO();
  EXPECT_EQ(PlotState.OValue, -10000);
}

TEST_F(CommandsTest, SpeedsAreMultipliedByTheSpeedFactorAndZeroOnOverflow) {
  Machine.SpeedFactor = 3;
  sim.With([](sim::Controller& c) {
    c.SetSlotPeriod(0, 400);
    c.SetSlotPeriod(1, 30000);  // 90000 does not fit 16 bits
  });
  SendCommand(Bytes({'F', 1}));
  ReadAck();
  ReadSpeeds();
  EXPECT_EQ(PlotState.Speeds[0], 1200);
  EXPECT_EQ(PlotState.Speeds[1], 0);
  EXPECT_EQ(PlotState.SpeedSlot, 1);
  EXPECT_EQ(PlotState.Speed, 0);
  EXPECT_EQ(PlotState.ActualSpeed, 0);

  SetSpeed(500);  // into the active slot
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.SlotPeriod(1); }), 500);
  EXPECT_EQ(PlotState.Speed, 1500);

  // The period of the running motion is taken as reported, not multiplied.
  sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
  SendCommand(Bytes({'A', 0, 0x40, 0x42, 0x0F, 0x40, 0x42, 0x0F, 0, 0, 0, 0, 0, 0}));
  ReadAck();
  ReadSpeeds();
  EXPECT_EQ(PlotState.ActualSpeed, 500);
  StopMotion();
}

TEST_F(CommandsTest, PowerAndHeaterFollowTheRelayState) {
  PlotState.PowerChannel = 2;
  PlotState.Power = 128;
  ReadStatus();
  SetPowerLevel();  // relay off: only the level is sent
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.PowerLevel(2); }), 128);
  EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
  ToggleHeater();
  EXPECT_TRUE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
  ReadStatus();
  ToggleHeater();
  EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
  ReadPower();
  EXPECT_EQ(PlotState.PowerChannel, 2);
  EXPECT_EQ(PlotState.Power, 128);

  // The "JX" family switches the heater on with the soft start, up to the
  // level of the power setting (128 of 255: 50 %, 127).
  Machine.FamilyJXFlag = true;
  ReadStatus();
  ClearCommands();
  ToggleHeater();
  const std::vector<int> levels = PowerLevels(Commands(), 2);
  ASSERT_EQ(levels.size(), 11u);
  EXPECT_EQ(levels.front(), 4);
  EXPECT_EQ(levels.back(), 127);
  EXPECT_TRUE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
}

TEST_F(CommandsTest, PowerRampSendsItsLevelsAndStopsAtABrokenWire) {
  Dlgkonfig().Pauza_w_kacie.SetValue(1200);  // 20 steps
  ClearCommands();
  PowerRamp(1, 100);
  std::vector<int> expected{4};
  for (int i = 1; i <= 20; ++i) expected.push_back(i * 255 / 20);
  EXPECT_EQ(PowerLevels(Commands(), 1), expected);
  EXPECT_EQ(expected[1], 12);
  EXPECT_EQ(expected.back(), 255);
  EXPECT_TRUE(sim.With([](sim::Controller& c) { return c.Relay(1); }));

  // The wire breaks once the power reaches 100: the ramp ends at the level
  // that reported it, and the relay is not switched on again after it.
  sim.With([](sim::Controller& c) { c.BreakWireAtPower(100); });
  ClearCommands();
  PowerRamp(1, 100);
  const auto commands = Commands();
  EXPECT_EQ(PowerLevels(commands, 1), std::vector<int>(expected.begin(), expected.begin() + 9));
  EXPECT_EQ(commands.back(), QByteArray("X"));
  EXPECT_TRUE(PlotState.Status & kStatusWireBroken);
}

TEST_F(CommandsTest, StaleInputIsDiscardedBeforeTheNextCommand) {
  sim.With([](sim::Controller& c) { c.SetHomed(true); });
  // The controller confirms a job once the line is quiet: that byte arrives
  // when nobody waits for it any more.
  SendCommandSilently("C");
  ReadAck();
  SendString(Bytes({'p', 1}));
  ASSERT_TRUE(WaitFor([&] { return sim.BytesWaitingForProgram() == 1; }));
  ReadStatus();
  EXPECT_EQ(PlotState.Status, kStatusHomed);
}

TEST_F(CommandsTest, ShortReplyEndsTheExchangeAtItsFirstTimeOutAndKeepsTheRest) {
  sim.With([](sim::Controller& c) { c.SetPosition(100, 200, 300); });
  ReadPosition();
  sim.SetShortReplies(1);
  sim.With([](sim::Controller& c) { c.SetPosition(5, 5, 5); });
  ReadPosition();  // one time-out
  EXPECT_TRUE(LinkFailed());
  EXPECT_EQ(SerialState.LastError, kReadTimedOut);
  EXPECT_EQ(LinkMessages(), 1);
  // A broken-off reply does not overwrite what was known.
  EXPECT_EQ(PlotState.X, 100);
  EXPECT_EQ(PlotState.Y, 200);
  EXPECT_EQ(PlotState.Z, 300);
  // The next exchange reads its own reply, not the remains of the last.
  sim.SetShortReplies(0);
  sim.With([](sim::Controller& c) { c.SetHomed(true); });
  ReadStatus();
  EXPECT_FALSE(LinkFailed());
  EXPECT_EQ(PlotState.Status, kStatusHomed);
  ReadPosition();
  EXPECT_EQ(PlotState.X, 5);
}

TEST_F(CommandsTest, EchoingLineReadsAsStatus88) {
  sim.SetEcho(true);
  ReadStatus();
  EXPECT_FALSE(LinkFailed());
  EXPECT_EQ(PlotState.Status, kNoControllerStatus);
}

TEST_F(CommandsTest, DeadLineFailsFastWithOneMessage) {
  sim.HangUp();
  const int timeOuts = SerialReadTimeouts();
  ReadStatus();
  ReadPosition();
  ReadMachineInfo();
  // No exchange waited out a time-out on the dead line.
  EXPECT_EQ(SerialReadTimeouts(), timeOuts);
  EXPECT_TRUE(SerialState.PortError);
  EXPECT_FALSE(PortIsOpen());
  EXPECT_EQ(PlotState.Status, 0);
  ASSERT_EQ(LinkMessages(), 1);
  EXPECT_EQ(messages.requests[0].caption, QStringLiteral("wr "));
  EXPECT_EQ(messages.requests[0].text, Tr("Control", "ploterBrakLacznosci"));
  EXPECT_NE(messages.requests[0].text, QStringLiteral("error"));
}

struct CountingProbe : AbortProbe {
  int calls = 0;
  int abortAt;
  explicit CountingProbe(int n) : abortAt(n) {}
  bool aborted() override { return ++calls >= abortAt; }
};

TEST_F(CommandsTest, WaitWhileBusyEndsWhenIdleOnAbortOrTimeOut) {
  // Idle at once.
  EXPECT_TRUE(WaitWhileBusy());
  EXPECT_FALSE(Machine.WaitingIdle);

  // A long move (60 s of motion even at the emulator's speed-up).
  sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
  const QByteArray move = Bytes({'A', 0, 0x40, 0x42, 0x0F, 0x40, 0x42, 0x0F, 0, 0, 0, 0, 0, 0});
  SendCommand(move);
  ReadAck();
  CountingProbe probe(3);
  ClearCommands();
  EXPECT_FALSE(WaitWhileBusy(&probe));
  EXPECT_EQ(probe.calls, 3);
  EXPECT_NE(std::find(Commands().begin(), Commands().end(), QByteArray("Y")), Commands().end());
  EXPECT_FALSE(PlotState.Status & kStatusBusy);

  SendCommand(move);
  ReadAck();
  EXPECT_FALSE(WaitWhileBusy(nullptr, 50));
  EXPECT_FALSE(PlotState.Status & kStatusBusy);
  EXPECT_FALSE(Machine.WaitingIdle);

  // A line lost while the machine moves ends the wait as a failure.
  SendCommand(move);
  ReadAck();
  sim.HangUp();
  EXPECT_FALSE(WaitWhileBusy());
  EXPECT_FALSE(Machine.WaitingIdle);
}

TEST_F(CommandsTest, JogMovesTowardsTheEndOfTravel) {
  Dlgkonfig().Pauza_w_kacie.SetValue(0);
  Dlgkonfig().Mode.SetItemIndex(2);
  WorkingAreaLimits = {3000, 1500, 360};
  struct Case {
    int key;
    bool homed;
    std::int32_t dx, dy, dz;
  } cases[] = {
      {37, true, -1000, 0, 0},        {100, false, -300000, 0, 0}, {39, true, 299000, 0, 0},
      {104, true, 0, 148000, 0},      {40, true, 0, -2000, 0},     {98, false, 0, -300000, 0},
      {97, true, -1000, -1000, 0},    {99, true, 2000, -2000, 0},  {103, true, -1000, 1000, 0},
      {105, true, 148000, 148000, 0}, {33, true, 0, 0, -500000},   {34, true, 0, 0, 500000},
  };
  for (const Case& c : cases) {
    sim.With([&](sim::Controller& m) {
      m.SetPosition(1000, 2000, 0);
      m.SetHomed(c.homed);
    });
    ReadStatus();
    ReadPosition();
    SaveZRequested = false;
    ClearCommands();
    JogMove(c.key);
    const auto commands = Commands();
    ASSERT_GE(commands.size(), 2u) << c.key;
    EXPECT_EQ(commands[commands.size() - 2], Bytes({'R', 1, 2})) << c.key;
    QByteArray move = commands.back();
    ASSERT_EQ(move.size(), 14) << c.key;
    move[0] = 'a';
    const auto decoded = sim::DecodeJob(move);
    ASSERT_EQ(decoded.commands.size(), 1u);
    EXPECT_EQ(decoded.commands[0].dx, c.dx) << c.key;
    EXPECT_EQ(decoded.commands[0].dy, c.dy) << c.key;
    EXPECT_EQ(decoded.commands[0].dz, c.dz) << c.key;
    EXPECT_EQ(SaveZRequested, c.dz != 0) << c.key;
    SendCommand("Y");
    ReadAck();
  }
  // Before homing a jog down runs by the X travel, also on a machine whose
  // Y travel is the longer one.
  WorkingAreaLimits = {1000, 2400, 360};
  sim.With([](sim::Controller& m) { m.SetHomed(false); });
  ReadStatus();
  ClearCommands();
  JogMove(40);
  QByteArray down = Commands().back();
  down[0] = 'a';
  EXPECT_EQ(sim::DecodeJob(down).commands.at(0).dy, -100000);
  SendCommand("Y");
  ReadAck();

  // The heater the jog switches on follows the work mode and the family.
  Dlgkonfig().Mode.SetItemIndex(0);
  ClearCommands();
  JogMove(39);
  EXPECT_EQ(Commands().at(Commands().size() - 2), Bytes({'R', 1, 3}));
  StopMotion();
  Dlgkonfig().Mode.SetItemIndex(1);
  Machine.FamilyJXFlag = true;
  PlotState.Power = 255;
  ClearCommands();
  JogMove(39);
  EXPECT_EQ(PowerLevels(Commands(), 2).back(), 255);
  EXPECT_EQ(Commands().back()[0], 'A');
  StopMotion();

  ClearCommands();
  JogMove(65);                       // not a jog key
  EXPECT_EQ(Commands().size(), 1u);  // only the wait's status query
}

}  // namespace
}  // namespace vm::test
