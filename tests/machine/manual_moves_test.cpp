// Go to point, the slow turn of a heavy turntable and homing, end to end
// against the controller emulator.
#include <functional>

#include "manual_fixture.h"

namespace vm::test {
namespace {

using ManualMovesTest = ManualTest;

TEST_F(ManualMovesTest, GoToPointSelectsTheSlotTurnsTheShorterWayAndWaits) {
  Dlgkonfig().feKalibracjaX.SetValue(2);
  LoadCalibration();
  SetMachine(10200, 20000, 45000, true);  // X 100 mm after calibration
  ClearCommands();
  ASSERT_TRUE(ster().gotopoint(true, 1, 150.0, 50.0, 5000));

  const auto commands = Commands();
  const auto f = std::find(commands.begin(), commands.end(), Bytes({'F', 1}));
  const auto a = std::find_if(commands.begin(), commands.end(),
                              [](const QByteArray& c) { return c[0] == 'A'; });
  ASSERT_NE(f, commands.end());
  ASSERT_NE(a, commands.end());
  EXPECT_LT(f - commands.begin(), a - commands.begin());
  const auto moves = Moves();
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].dx, 5100);    // 50 mm, calibrated
  EXPECT_EQ(moves[0].dy, -15000);  // -150 mm
  EXPECT_EQ(moves[0].dz, 10000);   // 45000 -> 5000 forward, not 40000 back
  // It waited for the machine: the position read at the end is the target's.
  EXPECT_FALSE(sim.With([](sim::Controller& c) {
    return c.Status(sim::Controller::Clock::now());
  }) & kStatusBusy);
  EXPECT_EQ(PlotState.Y, 5000);
  EXPECT_EQ(PlotState.Z, 5000);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(ManualMovesTest, GoToPointRefusesWithoutMovingAndSaysWhy) {
  struct Row {
    const char* what;
    std::function<void()> setUp;
    double x, y;
    bool ok;
    const char* key;  // message shown, or nullptr
  };
  const Row rows[] = {
      {"beyond X of a homed machine", [] {}, 4800.5, 10, false, "punktPozaObszarem"},
      {"below Y of a homed machine", [] {}, 10, -0.5, false, "punktPozaObszarem"},
      {"at the corner of the area", [] {}, 4800, 2400, true, nullptr},
      {"moving",
       [&] {
         sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
         StartMoveX(1000000);
       },
       10, 10, false, "nieMoznaPrzesuwac"},
      {"running a job", [&] { StartLongJob(); }, 10, 10, false, "nieMoznaPrzesuwac"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1000); });
    SetMachine(100000, 100000, 0, true);
    r.setUp();
    ClearCommands();
    messages.requests.clear();
    EXPECT_EQ(ster().gotopoint(false, 0, r.x, r.y, 0), r.ok);
    EXPECT_EQ(Moves().size(), r.ok ? 1u : 0u);
    if (r.key) {
      EXPECT_EQ(Shown(), QStringList{Tr("Control", r.key)});
      EXPECT_NE(Tr("Control", r.key), QStringLiteral("error"));
    } else {
      EXPECT_TRUE(Shown().isEmpty());
    }
    StopMotion();
    SendCommandSilently("C");
    ReadAck();
  }
  // Before homing the position is not tied to the area: no limit applies.
  SetMachine(0, 0, 0, false);
  EXPECT_TRUE(ster().gotopoint(true, 0, -10, 0, 0));
}

TEST_F(ManualMovesTest, GoToPointWithoutLinkSaysSoUnderItsOwnCaption) {
  sim.HangUp();
  EXPECT_FALSE(ster().gotopoint(true, 0, 10, 10, 0));
  ASSERT_FALSE(messages.requests.isEmpty());
  EXPECT_EQ(messages.requests.back().text, Tr("Control", "ploterBrakLacznosci"));
  EXPECT_EQ(messages.requests.back().caption, QStringLiteral("Goto point"));
}

TEST_F(ManualMovesTest, HeavyTurntableTurnsSlowlyFirstThenMovesInXY) {
  Dlgkonfig().Heavy.SetChecked(true);
  Dlgkonfig().PrzeSpeed.SetValue(600);
  struct Row {
    std::int64_t fromZ;
    double toZ;
    int turned;  // steps the rotation moves add up to
  } rows[] = {
      {10000, 40000, -20000},  // the shorter way is backwards
      {0, 100, 100},           // shorter than both ramps: a triangle
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.turned);
    SetMachine(0, 0, r.fromZ, true);
    ClearCommands();
    const bool ok = ster().gotopoint(true, 0, 10, 0, r.toZ);
    const auto commands = Commands();
    ASSERT_TRUE(ok);
    const auto moves = Moves();
    ASSERT_GE(moves.size(), 3u);
    int turned = 0;
    for (std::size_t i = 0; i + 1 < moves.size(); ++i) {
      EXPECT_EQ(moves[i].dx, 0);
      EXPECT_EQ(moves[i].dy, 0);
      EXPECT_NE(moves[i].dz, 0);
      EXPECT_EQ(moves[i].dz < 0, r.turned < 0);
      turned += moves[i].dz;
    }
    EXPECT_EQ(turned, r.turned);
    EXPECT_EQ(moves.back().dx, 1000);
    EXPECT_EQ(moves.back().dz, 0);
    // The turn is bracketed by "P" 1 and runs from the longest period to the
    // controller's own again; the move in X and Y follows the closed bracket.
    EXPECT_EQ(CountOf("P"), 2);
    const int open = IndexOf(Bytes({'P', 1}));
    const int close = IndexOf(Bytes({'P', 1}), open + 1);
    const int slowest = IndexOf(Bytes({'L', 255, 255}));
    const int own = IndexOf(Bytes({'L', 1, 1}));
    EXPECT_LT(IndexOf(Bytes({'F', 0})), open);
    EXPECT_LT(open, slowest);
    EXPECT_LT(slowest, IndexOfMove());
    EXPECT_GT(close, IndexOfMove());
    EXPECT_GT(own, close);
    int lastMove = -1;
    for (int i = IndexOfMove(); i >= 0; i = IndexOfMove(i + 1)) lastMove = i;
    EXPECT_GT(lastMove, own);
    EXPECT_EQ(IndexOfMove(close), lastMove);
  }
}

TEST_F(ManualMovesTest, SlowTurnGivenUpStopsTheTurntableClosesTheBracketAndSaysSo) {
  Dlgkonfig().PrzeSpeed.SetValue(600);
  // A turn of 5000 steps with answers: the commands up to its first move of
  // the slow-down (the first move after the longest one, the cruise).
  SetMachine(0, 0, 0, true);
  ClearCommands();
  ASSERT_TRUE(ster().obroc_spokojnie(5000));
  const auto all = Commands();
  int cruise = -1;
  int longest = 0;
  for (int i = 0; i < static_cast<int>(all.size()); ++i) {
    if (all[i][0] == 'A' && std::abs(DecodeMove(all[i]).dz) > longest) {
      longest = std::abs(DecodeMove(all[i]).dz);
      cruise = i;
    }
  }
  ASSERT_GT(cruise, 0);
  const int slowDown = IndexOfMove(cruise + 1);
  ASSERT_GT(slowDown, cruise);

  struct Row {
    const char* what;
    int answered;  // commands the controller still answers
    int timeOuts;  // reads that waited their whole time-out
    int firstUnanswered;
  } rows[] = {
      // The slow-down's acknowledge is read again before the turn is given up.
      {"silent from the slow-down", slowDown, kSlowTurnAckRetries + 1, slowDown},
      {"silent from the start", 0, 1, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    sim.SetSilent(false);
    SetMachine(0, 0, 0, true);
    ResetPloter();
    ReadStatus();  // finds the link again after the last row's failure
    messages.requests.clear();
    ClearCommands();
    sim.SilenceAfterCommands(r.answered);
    const int before = SerialReadTimeouts();
    EXPECT_FALSE(ster().obroc_spokojnie(5000));
    EXPECT_EQ(SerialReadTimeouts() - before, r.timeOuts);
    EXPECT_TRUE(Shown().contains(Tr("Control", "obrotPrzerwany")));
    // After the command left unanswered: "Y" stops the turntable, the bracket
    // is closed, and no move follows. Nothing waits for their replies: the
    // emulator may still be taking them in.
    ASSERT_TRUE(WaitFor([&] {
      const auto c = Commands();
      return !c.empty() && c.back() == Bytes({'L', 1, 1});
    }));
    const auto commands = Commands();
    const int stop = IndexOf("Y", r.firstUnanswered + 1);
    ASSERT_GT(stop, r.firstUnanswered);
    EXPECT_EQ(std::vector<QByteArray>(commands.begin() + stop, commands.end()),
              (std::vector<QByteArray>{"Y", Bytes({'P', 1}), Bytes({'L', 1, 1})}));
    EXPECT_EQ(CountOf("P"), 2);
  }
  sim.SetSilent(false);
}

TEST_F(ManualMovesTest, HomingRunsTheAxesOfTheMachineAndWorkMode) {
  struct Row {
    int mode, stolik;
    const char* model;
    QByteArray homing;  // the digits of the "B" commands
    int rotaryMove;     // rotation of a move that brings the axis to 0
  } rows[] = {
      {2, 0, "R584    ", "12", 0},   // plain cutting: X and Y only
      {0, 0, "R584    ", "124", 0},  // the rotary axis homes too
      {1, 1, "R584    ", "124", 0},
      {0, 1, "KJ-1    ", "12", -300},  // these turntables are turned to 0 instead
      {1, 1, "JX-3    ", "12", -300},
      {0, 2, "R584    ", "12", 0},  // no rotary axis
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.model + std::to_string(r.mode) + std::to_string(r.stolik));
    Dlgkonfig().Mode.SetItemIndex(r.mode);
    Dlgkonfig().StolikSwitch.SetItemIndex(r.stolik);
    PlotState.Model = r.model;
    SetMachine(1000, 2000, 300, false);
    ClearCommands();
    ster().bazujClick();
    QByteArray homing;
    for (const QByteArray& c : Commands())
      if (c[0] == 'B') homing.append(c[1]);
    EXPECT_EQ(homing, r.homing);
    const auto moves = Moves();
    if (r.rotaryMove != 0) {
      ASSERT_EQ(moves.size(), 1u);
      EXPECT_EQ(moves[0].dz, r.rotaryMove);
    } else {
      EXPECT_TRUE(moves.empty());
    }
    ReadStatus();
    EXPECT_TRUE(PlotState.Status & kStatusHomed);
  }
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(ManualMovesTest, HomeOnAHomedMachineGoesToTheOrigin) {
  struct Row {
    int rgBazowanie;
    std::vector<std::pair<int, int>> moves;
  } rows[] = {
      {1, {{-1000, 0}, {0, -2000}}},  // first X, then Y
      {0, {{-1000, -2000}}},
  };
  for (const Row& r : rows) {
    Dlgkonfig().rgBazowanie.SetItemIndex(r.rgBazowanie);
    SetMachine(1000, 2000, 0, true);
    ClearCommands();
    ster().bazujClick();
    WaitWhileBusy();
    EXPECT_EQ(CountOf("B"), 0);
    const auto moves = Moves();
    ASSERT_EQ(moves.size(), r.moves.size());
    for (std::size_t i = 0; i < moves.size(); ++i) {
      EXPECT_EQ(moves[i].dx, r.moves[i].first);
      EXPECT_EQ(moves[i].dy, r.moves[i].second);
    }
  }
}

// Aborts at its first question.
struct AbortAtOnce : AbortProbe {
  bool aborted() override { return true; }
};

TEST_F(ManualMovesTest, HomingIsRefusedWhileMovingAndAKeyEndsIt) {
  sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
  SetMachine(100000, 100000, 0, false);
  ster().hooks.MakeAbortProbe = [] { return std::make_unique<AbortAtOnce>(); };
  ClearCommands();
  ster().bazujClick();
  // X stopped twice; Y does not start on its own.
  EXPECT_EQ(CountOf("B"), 1);
  EXPECT_EQ(CountOf("Y"), 2);
  ReadStatus();
  EXPECT_FALSE(PlotState.Status & kStatusBusy);

  StartMoveX(100000);
  ClearCommands();
  ster().bazujClick();
  EXPECT_EQ(CountOf("B"), 0);
  EXPECT_EQ(Shown().back(), Tr("Control", "ploterBazowanieNiemozliwe"));
}

// Commands sent after the first "Y" that are moves.
int MovesAfterStop(const std::vector<QByteArray>& commands) {
  const auto stop = std::find(commands.begin(), commands.end(), QByteArray("Y"));
  return static_cast<int>(
      std::count_if(stop, commands.end(), [](const QByteArray& c) { return c[0] == 'A'; }));
}

TEST_F(ManualMovesTest, AWaitGivenUpStopsTheMachineAndEndsTheOperation) {
  Dlgkonfig().PrzeSpeed.SetValue(600);
  Dlgkonfig().rgBazowanie.SetItemIndex(1);
  struct Row {
    const char* what;
    bool heavy;
    std::function<bool()> operation;
    int moves;  // moves sent, none of them after the "Y"
  } rows[] = {
      // One move; its wait is given up.
      {"go to point", false, [] { return ster().gotopoint(true, 0, 0, 1000, 0); }, 1},
      // The slow turn is stopped: the move in X and Y does not follow it.
      {"go to point on a heavy turntable", true,
       [] { return ster().gotopoint(true, 0, 0, 1000, 20000); }, -1},
      // Home on a homed machine: X to 0 first; the move in Y does not follow.
      {"home to the origin", false,
       [] {
         ster().bazujClick();
         return false;
       },
       1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    Dlgkonfig().Heavy.SetChecked(r.heavy);
    // Slowed down: the last chunk of the turn still runs when its wait asks.
    sim.With([](sim::Controller& c) { c.SetSpeedUp(0.1); });
    SetMachine(200000, 100000, 0, true);
    ClearCommands();
    SetWaitProbeFactory([] { return std::make_unique<AbortAtOnce>(); });
    EXPECT_FALSE(r.operation());
    SetWaitProbeFactory(nullptr);
    const auto commands = Commands();
    EXPECT_EQ(CountOf("Y"), 1);
    EXPECT_EQ(MovesAfterStop(commands), 0);
    const auto moves = Moves();
    if (r.moves >= 0) {
      EXPECT_EQ(static_cast<int>(moves.size()), r.moves);
    }
    for (const ReceivedMove& m : moves) {
      EXPECT_EQ(m.dx, r.heavy ? 0 : -200000);  // a turn is never followed by the move in X
      EXPECT_EQ(m.dy, 0);
    }
    ReadStatus();
    EXPECT_FALSE(PlotState.Status & kStatusBusy);
  }
  EXPECT_TRUE(messages.requests.isEmpty());
}

}  // namespace
}  // namespace vm::test
