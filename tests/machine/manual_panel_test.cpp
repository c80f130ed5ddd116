// The manual control panel: activation, the poll, jogging by key, button and
// joystick, heating, speed and power bars, the turntable ramp, pause and
// continue, and the serial repetitions; end to end against the emulator
// where the link matters.
#include <functional>
#include <utility>

#include "drawing/job_writer.h"
#include "drawing/rounding.h"
#include "drawing/units.h"
#include "machine/axis_setup.h"
#include "machine/virtual_keys.h"
#include "manual_fixture.h"

namespace vm::test {
namespace {

using ManualPanelTest = ManualTest;

TEST(ManualRules, AxisSetupByteByModelAndTable) {
  struct Row {
    const char* model;
    int stolik;
    int byte;
  } rows[] = {
      {"Q 12    ", 1, 0}, {"Q5      ", 2, 0}, {"Q6      ", 1, 2}, {"R584    ", 0, 0},
      {"R584    ", 1, 2}, {"R584    ", 2, 2}, {"", 1, 2},         {"", 0, 0},
  };
  for (const Row& r : rows)
    EXPECT_EQ(AxisSetupByte(r.model, r.stolik), r.byte) << r.model << " " << r.stolik;
}

TEST(ManualRules, NumpadSpeedSteps) {
  struct Row {
    int position;
    bool add;
    int result;
  } rows[] = {
      {1000, true, 1100}, {999, true, 1009}, {95, true, 96}, {100, false, 90},
      {12, false, 11},    {10, false, 10},   {5, true, 5},   {2950, true, 3000},
  };
  for (const Row& r : rows)
    EXPECT_EQ(NumpadSpeedStep(r.position, r.add, 3000), r.result) << r.position << " " << r.add;
}

TEST(ManualRules, JoystickDirectionAndSpeed) {
  struct Row {
    std::uint32_t x, y, buttons;
    int direction;
  } rows[] = {
      {40000, 20000, 0, 5},  {32768, 32768, 0, 0},   {37768, 27768, 0, 0},  {20000, 32768, 0, -1},
      {32768, 40000, 0, -4}, {20000, 40000, 0, -5},  {40000, 40000, 0, -3}, {20000, 20000, 0, 3},
      {40000, 40000, 8, 8},  {32768, 32768, 12, -8}, {32768, 32768, 5, 16},
  };
  for (const Row& r : rows)
    EXPECT_EQ(JoystickDirectionOf({r.x, r.y, r.buttons}), r.direction) << r.x << " " << r.y;
  EXPECT_EQ(JoystickSpeedOf({40000, 20000, 0}, 3000), Round(12768 / 32768.0 * 3000));
  EXPECT_EQ(JoystickSpeedOf({0, 32768, 0}, 1000), 1000);
}

TEST(ManualRules, KeysMapOntoTheWindowsCodes) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Left, false), kKeyLeft);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_9, true), 105);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_0, true), kKeyNumpad0);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_9, false), 0);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, true), kKeyAdd);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_Plus, false), 0);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_PageDown, false), kKeyPageDown);
}

TEST_F(ManualPanelTest, CreationOpensThePortAndPollsOnlyARealController) {
  ClosePort();
  ASSERT_TRUE(ster().FormCreate());
  EXPECT_TRUE(ster().Polling());
  EXPECT_TRUE(PortIsOpen());
  EXPECT_EQ(ster().Caption, Tr("Control", "caption"));
  ster().FormDestroy();
  EXPECT_FALSE(PortIsOpen());

  // A line that echoes is no controller.
  ResetTster();
  sim.SetEcho(true);
  ASSERT_TRUE(ster().FormCreate());
  EXPECT_FALSE(ster().Polling());
  sim.SetEcho(false);

  ResetTster();
  ClosePort();
  qputenv("VM_COM1", "/nonexistent/tty");
  EXPECT_FALSE(ster().FormCreate());
  EXPECT_EQ(Shown().back(), Tr("Control", "bladLaczaSzer"));
  EXPECT_FALSE(PortIsOpen());
}

TEST_F(ManualPanelTest, ActivationSwitchesTheHeatingOffAndSetsUpTheAxis) {
  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  sim.With([](sim::Controller& c) { c.SetSlotPeriod(0, 800); });
  ClearCommands();
  ster().FormActivate();
  EXPECT_TRUE(HasCommand(Bytes({'R', 0, 2})));  // plain cutting: channel 2
  EXPECT_TRUE(HasCommand(Bytes({'S', 2})));
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.AxisSetup(); }), 2);
  EXPECT_TRUE(ster().Polling());
  EXPECT_EQ(ster().GroupBox1Caption, Tr("Control", "groupBox1.caption") + "[mm]");
  EXPECT_EQ(ster().VScroll.Position, 1000);  // the active slot's speed, 800000 / 800
  ster().FormDeactivate();
  EXPECT_FALSE(ster().Polling());

  // Leaving the window after the rotary axis was turned remembers where it is.
  ster().FormActivate();
  ster().OnKeyDown(kKeyPageUp);
  ASSERT_TRUE(WaitFor([&] {
    return sim.With(
        [](sim::Controller& c) { return c.CurrentPosition(sim::Controller::Clock::now()).z != 0; });
  }));
  ster().OnKeyUp(kKeyPageUp);
  EXPECT_TRUE(SaveZRequested);
  ster().FormDeactivate();
  const auto z = sim.With(
      [](sim::Controller& c) { return c.CurrentPosition(sim::Controller::Clock::now()).z; });
  EXPECT_NE(SavedZ, 0);
  EXPECT_EQ(SavedZ, z % 50000);

  sim.HangUp();
  ster().FormActivate();
  EXPECT_FALSE(ster().Polling());
}

TEST_F(ManualPanelTest, MainWindowCommandSetsUpTheAxisAndAlwaysShowsTheWindow) {
  int shown = 0;
  ster().hooks.Show = [&] { ++shown; };
  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  sim.With([](sim::Controller& c) { c.SetIdentity("Maker", "Q5-2", "1"); });
  ClearCommands();
  sterowanieClick();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(PlotState.Model, QByteArray("Q5-2    "));
  EXPECT_TRUE(HasCommand(Bytes({'S', 0})));

  sim.HangUp();
  sterowanieClick();
  EXPECT_EQ(shown, 2);
}

TEST_F(ManualPanelTest, PollShowsPositionSpeedWireAndEnableStates) {
  sim.With([](sim::Controller& c) {
    c.SetPosition(123456, 2540, 12500);
    c.SetSlotPeriod(0, 800);
  });
  Dlgkonfig().StolikSwitch.SetItemIndex(2);
  ster().Timer1Timer();
  EXPECT_EQ(ster().wmx, QStringLiteral("1234.56"));
  EXPECT_EQ(ster().wmy, QStringLiteral("25.40"));
  EXPECT_EQ(ster().wmz, QStringLiteral("90.00"));
  EXPECT_EQ(ster().SzybkoscCaption, Tr("Control", "szybkoscPrzestawcza") + "[mm/min]");
  EXPECT_EQ(ster().VScroll.Position, 1000);
  EXPECT_TRUE(ster().stan_drutu.isEmpty());
  EXPECT_TRUE(ster().Enabled.ku && ster().Enabled.Bazuj && ster().Enabled.k_zalwyl);
  EXPECT_FALSE(ster().Enabled.kzu || ster().Enabled.kzd);  // no rotary axis

  CurrentUnit = 1;
  sim.With([](sim::Controller& c) {
    c.SetWireBroken(true);
    c.SetIdentity("Maker", "JX-1", "1");
  });
  Command(Bytes({'R', 1, 1}));
  ReadMachineInfo();
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  ster().Timer1Timer();
  EXPECT_EQ(ster().wmy, QStringLiteral("1.000"));
  EXPECT_EQ(ster().stan_drutu, Tr("Control", "sprawdzBezpiecznik"));
  EXPECT_TRUE(ster().Enabled.kzu);
  EXPECT_TRUE(ster().HeatingShownOn());

  StartLongJob();
  ster().Timer1Timer();
  EXPECT_FALSE(ster().Enabled.ku || ster().Enabled.kd || ster().Enabled.kl || ster().Enabled.kr);
  EXPECT_FALSE(ster().Enabled.kzu || ster().Enabled.Bazuj || ster().Enabled.keyprzesun);
  EXPECT_FALSE(ster().Enabled.k_zalwyl);
}

TEST_F(ManualPanelTest, PollWaitsForTheOperatorAndClosesOnALostLink) {
  bool waiting = true;
  int closed = 0;
  ster().hooks.MessageWaiting = [&] { return waiting; };
  ster().hooks.Close = [&] { ++closed; };
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_TRUE(Commands().empty());

  waiting = false;
  ster().FormActivate();
  sim.HangUp();
  ster().Timer1Timer();
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(ster().Polling());
}

TEST_F(ManualPanelTest, JogKeysMoveUntilReleasedAndALostReleaseStopsAtDeactivation) {
  SetMachine(1000, 1000, 0, true);
  ReadPosition();  // as the poll keeps it
  ClearCommands();
  ster().OnKeyDown(kKeyRight);
  EXPECT_TRUE(Machine.JogActive);
  ster().OnKeyDown(kKeyLeft);  // ignored while the jog runs
  auto moves = Moves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].dx, 480000 - 1000);
  // The heating comes on before the wire moves.
  const int heat = IndexOf(Bytes({'R', 1, 2}));
  ASSERT_GE(heat, 0);
  EXPECT_GT(IndexOfMove(), heat);
  ster().OnKeyUp(kKeyRight);
  EXPECT_FALSE(Machine.JogActive);
  EXPECT_EQ(Commands().back(), QByteArray("X"));
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_GT(IndexOf("Y"), IndexOfMove());

  // The window loses the focus while the key is held: its release never
  // comes, the jog is stopped all the same.
  ClearCommands();
  ster().OnKeyDown(kKeyUp);
  ster().MMouseDown(Tster::Button::kl);
  ster().FormDeactivate();
  EXPECT_FALSE(Machine.JogActive);
  EXPECT_EQ(CountOf("Y"), 1);
  ReadStatus();
  EXPECT_FALSE(PlotState.Status & kStatusBusy);

  // Keys do not jog while a job runs (the buttons are off then too).
  StartLongJob();
  ster().OnKeyDown(kKeyDown);
  EXPECT_TRUE(Moves().empty());
  EXPECT_FALSE(Machine.JogActive);
}

TEST_F(ManualPanelTest, JogButtonsStopOnRelease) {
  struct Row {
    Tster::Button button;
    int dx, dy;
  } rows[] = {{Tster::Button::ku, 0, 240000 - 100000},
              {Tster::Button::kd, 0, -100000},
              {Tster::Button::kl, -100000, 0},
              {Tster::Button::kr, 480000 - 100000, 0}};
  for (const Row& r : rows) {
    SetMachine(100000, 100000, 0, true);
    ReadPosition();
    ClearCommands();
    ster().MMouseDown(r.button);
    ster().MMouseUp(r.button);
    const auto moves = Moves();
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].dx, r.dx);
    EXPECT_EQ(moves[0].dy, r.dy);
    EXPECT_EQ(CountOf("Y"), 1);
  }
}

TEST_F(ManualPanelTest, HeatingSpeedAndPowerReachTheController) {
  ster().FormActivate();
  const int channel = PlotState.PowerChannel;
  const auto relay = [&] { return sim.With([&](sim::Controller& c) { return c.Relay(channel); }); };
  ASSERT_FALSE(relay());
  ster().k_zalwylClick();
  EXPECT_TRUE(relay());
  EXPECT_TRUE(ster().HeatingShownOn());
  ster().OnKeyDown(kKeyInsert);
  EXPECT_FALSE(relay());

  ster().PScroll.SetPosition(80);
  EXPECT_EQ(ster().PowerLabel, QStringLiteral("80"));
  EXPECT_EQ(sim.With([&](sim::Controller& c) { return c.PowerLevel(channel); }), 204);

  struct Row {
    int position;
    const char* label;
  } rows[] = {{1500, "1500"}, {95, "95"}, {1234, "1230"}, {100, "100"}};
  for (const Row& r : rows) {
    ster().VScroll.SetPosition(r.position);
    EXPECT_EQ(ster().speedlabel, QString::fromLatin1(r.label));
    const int slot = sim.With([](sim::Controller& c) { return c.ActiveSlot(); });
    EXPECT_EQ(sim.With([&](sim::Controller& c) { return c.SlotPeriod(slot); }),
              FeedToPeriod(r.position));
  }
  ster().OnKeyDown(kKeyAdd);
  EXPECT_EQ(ster().VScroll.Position, 110);

  // Fine jog while Ctrl is held; the bar's speed comes back on release.
  ster().OnKeyDown(kKeyCtrl);
  const int slot = sim.With([](sim::Controller& c) { return c.ActiveSlot(); });
  EXPECT_EQ(sim.With([&](sim::Controller& c) { return c.SlotPeriod(slot); }), FeedToPeriod(11));
  ster().OnKeyUp(kKeyCtrl);
  EXPECT_EQ(sim.With([&](sim::Controller& c) { return c.SlotPeriod(slot); }), FeedToPeriod(110));
}

TEST_F(ManualPanelTest, JogSpeedOfAFastStepFamilyReadsBackAsSet) {
  // Periods read back are multiplied by the speed factor 3 of this family;
  // the bar must not shrink to a third at every poll.
  sim.With([](sim::Controller& c) { c.SetIdentity("Maker", "JX-1", "1"); });
  ster().FormActivate();
  ASSERT_EQ(Machine.SpeedFactor, 3);
  ster().VScroll.SetPosition(900);
  for (int i = 0; i < 3; ++i) ster().Timer1Timer();
  EXPECT_NEAR(ster().VScroll.Position, 900, 2);
}

TEST_F(ManualPanelTest, JoystickJogsByDirectionAndTogglesTheHeatingOnce) {
  SetMachine(100000, 100000, 0, true);
  joystickDevices = 1;
  joystick = {40000, 20000, 0};
  ClearCommands();
  ster().Timer1Timer();
  ster().Timer1Timer();  // same direction: no new move
  auto moves = Moves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_GT(moves[0].dx, 0);
  EXPECT_EQ(moves[0].dx, moves[0].dy);  // up-right, as numpad 9
  EXPECT_EQ(ster().JoystickDirection(), 5);
  EXPECT_EQ(ster().VScroll.Position, Round(12768 / 32768.0 * Machine.MaxTravelSpeed));

  joystick = {32768, 32768, 0};
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_TRUE(Moves().empty());

  // The jog switched the heating on; the held button switches it off once,
  // not at every tick (a second toggle would switch it on again).
  joystick = {32768, 32768, 1};
  ster().Timer1Timer();
  ster().Timer1Timer();
  ReadStatus();
  EXPECT_FALSE(PlotState.Status & kStatusRelay);

  // The stick unplugged while it jogs: the jog stops.
  joystick = {32768, 0, 0};
  ster().Timer1Timer();
  ClearCommands();
  joystickDevices = 0;
  ster().Timer1Timer();
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_EQ(ster().JoystickDirection(), 0);
}

TEST_F(ManualPanelTest, HeavyTurntableRampsUpInOneSecondAndDownAfterRelease) {
  Dlgkonfig().Heavy.SetChecked(true);
  sim.With([](sim::Controller& c) { c.SetSlotPeriod(2, 800); });  // 1000 mm/min
  Command(Bytes({'F', 2}));
  ReadSpeeds();
  ster().OnKeyDown(kKeyPageUp);
  EXPECT_TRUE(ster().Accelerating());
  EXPECT_EQ(ster().RampAcceleration(), 17);
  ASSERT_EQ(Moves().size(), 1u);
  EXPECT_EQ(Moves()[0].dz, -10 * 50000);
  std::vector<double> speeds;
  for (int i = 0; i < 10; ++i) {
    ster().Timer1Timer();
    speeds.push_back(ster().RampSpeed());
  }
  EXPECT_NEAR(speeds[0], 102, 1e-9);
  EXPECT_NEAR(speeds[4], 510, 1e-9);
  EXPECT_EQ(speeds[9], 1000);  // capped at the slot's speed
  EXPECT_FALSE(ster().Accelerating());

  ster().OnKeyUp(kKeyPageUp);
  EXPECT_TRUE(ster().Decelerating());
  EXPECT_FALSE(ster().zamknijClick());  // the window stays open meanwhile
  ClearCommands();
  int ticks = 0;
  while (ster().Decelerating() && ticks < 20) {
    ster().Timer1Timer();
    ++ticks;
  }
  EXPECT_EQ(ticks, 10);
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_EQ(sim.With([](sim::Controller& c) { return c.SlotPeriod(2); }), 800);
  EXPECT_TRUE(ster().zamknijClick());
}

TEST_F(ManualPanelTest, TurntableReleasedEarlyOrTooSlowForARampStillStops) {
  Dlgkonfig().Heavy.SetChecked(true);
  Command(Bytes({'F', 2}));
  struct Row {
    int period;
    int maxTicks;
  } rows[] = {
      {800, 4},    // released during the ramp up
      {32000, 1},  // 25 mm/min: no ramp at all
  };
  for (const Row& r : rows) {
    sim.With([&](sim::Controller& c) { c.SetSlotPeriod(2, r.period); });
    ReadSpeeds();
    ster().MMouseDown(Tster::Button::kzd);
    ster().Timer1Timer();
    ster().MMouseUp(Tster::Button::kzd);
    EXPECT_FALSE(ster().Accelerating());
    ClearCommands();
    int ticks = 0;
    while (ster().Decelerating() && ticks < 50) {
      ster().Timer1Timer();
      ++ticks;
    }
    EXPECT_LE(ticks, r.maxTicks) << r.period;
    EXPECT_EQ(CountOf("Y"), 1);
    EXPECT_EQ(sim.With([](sim::Controller& c) { return c.SlotPeriod(2); }), r.period);
  }
}

TEST_F(ManualPanelTest, PauseRetreatsByModeAndContinueReturnsAndResumes) {
  struct Row {
    int mode, stolik;
    int retreatDy;
  } rows[] = {{2, 0, 0}, {0, 0, 5000}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.mode);
    Dlgkonfig().Mode.SetItemIndex(r.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(r.stolik);
    SetMachine(10000, 10000, 0, true);
    StartLongJob();
    ReadPosition();
    RotaryStartY = PlotState.Y / 100.0 + 50;
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1000); });
    ASSERT_TRUE(ster().wstrzymaj());
    // The job stops first; the wire leaves the material hot (the heating is
    // switched on before the retreat) and is switched off only afterwards.
    const int q = IndexOf("Q");
    const int off = IndexOf(Bytes({'R', 0, 2}));
    ASSERT_GE(q, 0);
    EXPECT_GT(off, q);
    EXPECT_EQ(IndexOfMove(), IndexOfMove(q));
    EXPECT_EQ(Commands().back(), Bytes({'F', 2}));
    const auto moves = Moves();
    ASSERT_EQ(moves.size(), r.retreatDy ? 1u : 0u);
    if (r.retreatDy) {
      EXPECT_EQ(moves[0].dy, r.retreatDy);
      const int heat = IndexOf(Bytes({'R', 1, 3}), q);
      ASSERT_GT(heat, q);
      EXPECT_LT(heat, IndexOfMove());
      EXPECT_LT(IndexOfMove(), off);
    } else {
      EXPECT_EQ(IndexOfMove(), -1);
    }
    ReadStatus();
    EXPECT_EQ(PlotState.Status & 0x28, 0x28);
    EXPECT_FALSE(ster().wstrzymaj());  // nothing runs any more

    ClearCommands();
    ster().kontynuuj();
    // The wire is heated before it goes back into the material, and the job
    // continues only once it is back.
    const QByteArray heatOn = r.mode == 0 ? Bytes({'R', 1, 3}) : Bytes({'R', 1, 1});
    const int heat = IndexOf(heatOn);
    const int k = IndexOf("K");
    ASSERT_GE(heat, 0);
    EXPECT_GT(k, heat);
    EXPECT_LT(IndexOf(Bytes({'F', 1})), heat);
    // The heating is switched on again after "K" as well.
    EXPECT_GT(IndexOf(heatOn, k), k);
    const auto back = Moves();
    ASSERT_EQ(back.size(), r.retreatDy ? 1u : 0u);
    if (r.retreatDy) {
      EXPECT_EQ(back[0].dy, -r.retreatDy);
      EXPECT_GT(IndexOfMove(), heat);
      EXPECT_LT(IndexOfMove(), k);
    }
    ReadStatus();
    EXPECT_TRUE(PlotState.Status & kStatusJobRunning);
    SendCommandSilently("C");
    ReadAck();
  }
  EXPECT_TRUE(messages.requests.isEmpty());

  // A held job only needs "G".
  SetMachine(10000, 10000, 0, true);
  StartLongJob(true);
  ReadStatus();
  ASSERT_EQ(PlotState.Status & 0x12, 0x12);
  ClearCommands();
  ster().kontynuuj();
  EXPECT_EQ(Commands().size(), 2u);
  EXPECT_EQ(Commands().back(), QByteArray("G"));
  ReadStatus();
  EXPECT_FALSE(PlotState.Status & kStatusHeld);
}

// The operator's probe of the waits, answering as `answer` says.
struct ProbeOf : AbortProbe {
  explicit ProbeOf(std::function<bool()> a) : answer(std::move(a)) {}
  bool aborted() override { return answer(); }
  std::function<bool()> answer;
};

TEST_F(ManualPanelTest, JogLetGoOrGivenUpWhileTheMachineStillMovesStartsNothing) {
  // While a jog waits for the machine the operator's input is taken: the
  // release of the jog's own key or button, or a key or click that gives
  // the wait up (the wait then stops the machine).
  struct Row {
    const char* what;
    bool heavy;
    std::function<void()> press, release;
    bool letGo;  // released while waiting, else the wait is given up
  } rows[] = {
      {"key let go", false, [] { ster().OnKeyDown(kKeyRight); }, [] { ster().OnKeyUp(kKeyRight); },
       true},
      {"button let go", false, [] { ster().MMouseDown(Tster::Button::kr); },
       [] { ster().MMouseUp(Tster::Button::kr); }, true},
      {"turntable key let go", true, [] { ster().OnKeyDown(kKeyPageUp); },
       [] { ster().OnKeyUp(kKeyPageUp); }, true},
      {"key, wait given up", false, [] { ster().OnKeyDown(kKeyRight); },
       [] { ster().OnKeyUp(kKeyRight); }, false},
      {"button, wait given up", false, [] { ster().MMouseDown(Tster::Button::kr); },
       [] { ster().MMouseUp(Tster::Button::kr); }, false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Dlgkonfig().Heavy.SetChecked(r.heavy);
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
    SetMachine(100000, 100000, 0, true);
    ReadPosition();
    QByteArray move;
    std::int32_t count = 0;
    EncodeMove(1, 2000, 0, move, count, 0);  // 20 mm: over half a second
    Command(move);
    ClearCommands();
    bool released = false;
    SetWaitProbeFactory([&] {
      return std::make_unique<ProbeOf>([&] {
        if (!r.letGo) return true;
        if (!released) r.release();
        released = true;
        return false;
      });
    });
    r.press();
    SetWaitProbeFactory(nullptr);
    EXPECT_TRUE(Moves().empty());
    // Letting a heavy turntable's key go only asks for the ramp down: the
    // machine ends its motion by itself.
    EXPECT_EQ(CountOf("Y"), r.heavy ? 0 : 1);
    EXPECT_FALSE(ster().Decelerating());  // no turn to ramp down
    if (!r.letGo) r.release();
    EXPECT_FALSE(Machine.JogActive);
    ReadStatus();
    EXPECT_FALSE(PlotState.Status & kStatusBusy);
  }
}

TEST_F(ManualPanelTest, PauseAndContinueGivenUpByTheOperatorSendNoFurtherMove) {
  Dlgkonfig().Mode.SetItemIndex(0);
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  SetMachine(10000, 10000, 0, true);
  StartLongJob();
  ReadPosition();
  RotaryStartY = PlotState.Y / 100.0 + 500;  // a long retreat
  SetWaitProbeFactory([] { return std::make_unique<ProbeOf>([] { return true; }); });

  // The retreat is stopped; the heating goes off and the jog speed is
  // selected all the same.
  EXPECT_FALSE(ster().wstrzymaj());
  EXPECT_EQ(Moves().size(), 1u);
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_TRUE(HasCommand(Bytes({'R', 0, 2})));
  EXPECT_EQ(Commands().back(), Bytes({'F', 2}));
  ReadStatus();
  EXPECT_EQ(PlotState.Status & 0x29, 0x28);  // stopped, can continue, idle

  // The return to where the job stopped is stopped: the job is not
  // continued and the heating switched on for it goes off again.
  ReadPosition();
  SetMachine(PlotState.X + 100000, PlotState.Y, 0, true);
  ClearCommands();
  ster().kontynuuj();
  SetWaitProbeFactory(nullptr);
  EXPECT_EQ(Moves().size(), 1u);
  EXPECT_EQ(CountOf("Y"), 1);
  EXPECT_FALSE(HasCommand("K"));
  EXPECT_TRUE(HasCommand(Bytes({'R', 1, 3})));
  EXPECT_EQ(Commands().back(), Bytes({'R', 0, 3}));
  EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(3); }));
  ReadStatus();
  EXPECT_EQ(PlotState.Status & 0x2B, 0x28);  // still stopped, not running
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(ManualPanelTest, SerialRepetitionRunsTheBufferOneShiftLowerOnlyAfterItWasSeenRunning) {
  SetMachine(10000, 9500, 0, true);
  sim.With([](sim::Controller& c) { c.SetSpeedUp(2); });
  RotaryStartX = 100;
  RotaryStartY = 100;
  SerialPassStep = 10;
  SerialPassesLeft = 1;
  SerialCutActive = true;
  ster().SerialSeriesStarted();
  LoadJob(PauseJob(20));

  // An idle machine whose series the poll never saw running repeats nothing.
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_EQ(CountOf("A") + CountOf("G"), 0);
  EXPECT_EQ(SerialPassesLeft, 1);
  EXPECT_TRUE(SerialCutActive);

  // Seen running, then ended normally: one shift lower, then "G".
  RunBuffer();
  ster().Timer1Timer();
  ASSERT_TRUE(WaitFor([&] { return !JobRunning(); }));
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_EQ(SerialPassesLeft, 0);
  EXPECT_DOUBLE_EQ(RotaryStartY, 90);
  EXPECT_TRUE(HasCommand(Bytes({'F', 1})));
  EXPECT_EQ(Commands().back(), QByteArray("G"));
  const auto moves = Moves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].dx, 0);
  EXPECT_EQ(moves[0].dy, -500);

  // The last repetition ends the series: nothing more is started.
  ster().Timer1Timer();
  ASSERT_TRUE(WaitFor([&] { return !JobRunning(); }));
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_FALSE(SerialCutActive);
  EXPECT_EQ(CountOf("A") + CountOf("G"), 0);
}

TEST_F(ManualPanelTest, SerialRepetitionOutsideTheWorkingAreaEndsTheSeries) {
  SetMachine(10000, 9500, 0, true);
  sim.With([](sim::Controller& c) { c.SetSpeedUp(2); });
  LoadJob(PauseJob(20));
  RotaryStartX = 100;
  RotaryStartY = 5;
  SerialPassStep = 10;
  SerialPassesLeft = 3;
  SerialCutActive = true;
  ster().SerialSeriesStarted();
  RunBuffer();
  ster().Timer1Timer();
  ASSERT_TRUE(WaitFor([&] { return !JobRunning(); }));
  ClearCommands();
  ster().Timer1Timer();
  EXPECT_FALSE(SerialCutActive);
  EXPECT_FALSE(HasCommand("G"));
  EXPECT_EQ(CountOf("A"), 0);
  EXPECT_EQ(Shown().back(), Tr("Control", "punktPozaObszarem"));
}

}  // namespace
}  // namespace vm::test
