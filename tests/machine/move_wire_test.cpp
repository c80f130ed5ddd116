// The move-wire dialog against the controller emulator: the move command it
// sends for absolute and relative moves (clipped to the working area), the
// heating before the move, refusals, and the two service loops.
#include "machine/move_wire.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "drawing/move_encoding.h"
#include "drawing/units.h"
#include "link_fixture.h"

namespace vm::test {
namespace {

struct SentMove {
  int dx = 0, dy = 0, dz = 0;
  friend bool operator==(const SentMove&, const SentMove&) = default;
};

int Int24(const QByteArray& c, int i) {
  return static_cast<std::uint8_t>(c[i]) | (static_cast<std::uint8_t>(c[i + 1]) << 8) |
         (static_cast<std::uint8_t>(c[i + 2]) << 16);
}

std::ostream& operator<<(std::ostream& os, const SentMove& m) {
  return os << "(" << m.dx << ", " << m.dy << ", " << m.dz << ")";
}

// A probe that lets `rounds` - 1 questions pass and aborts at the next.
struct CountingProbe : AbortProbe {
  explicit CountingProbe(int rounds, int* asked) : rounds_(rounds), asked_(asked) {}
  bool aborted() override { return ++*asked_ >= rounds_; }
  int rounds_;
  int* asked_;
};

class MoveWireTest : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    ResetPrzesun();
    Dlgkonfig().Pauza_w_kacie.SetValue(0);
    Dlgkonfig().CzasRozgrzewania.SetValue(0);
    Dlgkonfig().Mode.SetItemIndex(2);
    przesun().hooks.Close = [this](ModalResult r) { closed.push_back(r); };
    przesun().FormCreate();
  }
  void TearDown() override {
    ResetPrzesun();
    LinkTest::TearDown();
  }

  // Machine position in 1/100 mm and steps.
  void PlaceWire(int x, int y, int z) {
    sim.With([&](sim::Controller& c) {
      c.SetPosition(x, y, z);
      c.SetHomed(true);
    });
    ReadPosition();
    ClearCommands();
  }
  void Enter(int mode, double x, double y, double z) {
    przesun().Przesun.SetItemIndex(mode);
    przesun().delta_x.SetValue(x);
    przesun().delta_y.SetValue(y);
    przesun().delta_z.SetValue(z);
  }
  std::vector<SentMove> Moves() {
    std::vector<SentMove> moves;
    for (const QByteArray& c : Commands()) {
      if (c[0] != 'A') continue;
      const int f = static_cast<std::uint8_t>(c[1]);
      moves.push_back({Int24(c, 5) * (f & 1 ? -1 : 1), Int24(c, 8) * (f & 2 ? -1 : 1),
                       Int24(c, 11) * (f & 4 ? -1 : 1)});
    }
    return moves;
  }
  // The received commands reduced to their letters and first bytes: "R10203"
  // style is hard to read, so heater commands are kept whole and every move
  // is "A".
  QStringList Sequence() {
    QStringList s;
    for (const QByteArray& c : Commands()) {
      if (c[0] == 'A') s << "A";
      if (c[0] == 'R') s << QString("R %1 %2").arg(int(c[1])).arg(int(c[2]));
    }
    return s;
  }

  std::vector<ModalResult> closed;
};

struct MoveCase {
  const char* name;
  int mode;  // Przesun
  int unit;
  int x, y, z;  // start: 1/100 mm, steps
  double ex, ey, ez;
  SentMove expected;
  double shownX, shownY;  // the X and Y edits afterwards
};

TEST_F(MoveWireTest, SendsTheMoveClippedToTheWorkingArea) {
  const double inchLimit = MmToUnit(1, 4800);
  const MoveCase cases[] = {
      {"absolute below zero goes to 0", 0, 0, 1000, 2000, 0, -5, 20, 0, {-1000, 0, 0}, 0, 20},
      {"absolute beyond the limit", 0, 0, 1000, 2000, 0, 5000, 20, 0, {479000, 0, 0}, 4800, 20},
      {"absolute beyond the limit in inches",
       0,
       1,
       0,
       0,
       0,
       200,
       0,
       0,
       {480000, 0, 0},
       inchLimit,
       0},
      {"absolute 370 degrees from 0 turns 10", 0, 0, 0, 0, 0, 0, 0, 370, {0, 0, 1389}, 0, 0},
      {"absolute 0 from three quarters turns back",
       0,
       0,
       0,
       0,
       37500,
       0,
       0,
       0,
       {0, 0, -37500},
       0,
       0},
      {"absolute exactly at the limits",
       0,
       0,
       1000,
       2000,
       0,
       4800,
       2400,
       0,
       {479000, 238000, 0},
       4800,
       2400},
      {"relative -50 at 30 stops at 0", 1, 0, 3000, 5000, 0, -50, 10, 0, {-3000, 1000, 0}, -50, 10},
      {"relative exactly to 0", 1, 0, 3000, 5000, 0, -30, -50, 0, {-3000, -5000, 0}, -30, -50},
      {"relative exactly to the limits",
       1,
       0,
       470000,
       230000,
       0,
       100,
       100,
       0,
       {10000, 10000, 0},
       100,
       100},
      {"relative past the Y limit", 1, 0, 0, 239000, 0, 0, 50, 0, {0, 1000, 0}, 0, 50},
      {"relative -720 degrees", 1, 0, 0, 0, 0, 0, 0, -720, {0, 0, -100000}, 0, 0},
      {"relative in inches", 1, 1, 0, 0, 0, 1, 2, 0, {2540, 5080, 0}, 1, 2},
  };
  for (const MoveCase& c : cases) {
    SCOPED_TRACE(c.name);
    CurrentUnit = c.unit;
    PlaceWire(c.x, c.y, c.z);
    closed.clear();
    Enter(c.mode, c.ex, c.ey, c.ez);
    przesun().WykonajClick();
    EXPECT_EQ(Moves(), std::vector<SentMove>{c.expected});
    EXPECT_NEAR(przesun().delta_x.Value(), c.shownX, 1e-9);
    EXPECT_NEAR(przesun().delta_y.Value(), c.shownY, 1e-9);
    EXPECT_EQ(closed, std::vector<ModalResult>{ModalResult::OK});
  }
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(MoveWireTest, HeatsByWorkModeBeforeTheCalibratedMove) {
  Machine.CalibrationX = 1.1;
  struct {
    int mode;
    const char* heater;
  } const cases[] = {{0, "R 1 3"}, {1, "R 1 2"}, {2, "R 1 2"}, {3, "R 1 2"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    Dlgkonfig().Mode.SetItemIndex(c.mode);
    PlaceWire(0, 0, 0);
    Enter(1, 10, 0, 0);
    przesun().WykonajClick();
    EXPECT_EQ(Sequence(), QStringList({c.heater, "A"}));
    EXPECT_EQ(Moves(), (std::vector<SentMove>{{1100, 0, 0}}));
  }
  EXPECT_FALSE(SaveZRequested);
}

TEST_F(MoveWireTest, RotationAsksTheManualWindowToKeepZ) {
  PlaceWire(0, 0, 0);
  Enter(1, 0, 0, 90);
  przesun().WykonajClick();
  EXPECT_EQ(Moves(), (std::vector<SentMove>{{0, 0, 12500}}));
  EXPECT_TRUE(SaveZRequested);
}

TEST_F(MoveWireTest, NoChangeSendsNothingAndLeavesTheHeaterOff) {
  const struct {
    const char* name;
    int mode;
    int x;
    double ex;
  } cases[] = {
      {"relative zero", 1, 1000, 0},
      {"absolute to where it stands", 0, 1000, 10},
      // Outside the range already (machine not homed): never turned round.
      {"relative further out below zero", 1, -1000, -5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    PlaceWire(c.x, 0, 0);
    closed.clear();
    Enter(c.mode, c.ex, 0, 0);
    przesun().WykonajClick();
    EXPECT_EQ(Sequence(), QStringList());
    EXPECT_EQ(closed, std::vector<ModalResult>{ModalResult::OK});
  }
}

TEST_F(MoveWireTest, MoveTooLongForOneCommandIsRefusedColdAndKeepsTheDialogOpen) {
  PlaceWire(0, 0, 0);
  Enter(1, 0, 0, 1e6);  // 138,888,889 steps: beyond 24 bits
  przesun().WykonajClick();
  EXPECT_EQ(Sequence(), QStringList());
  ASSERT_EQ(messages.requests.size(), 1);
  // A rotation inside any working area: the message says what is wrong.
  EXPECT_EQ(messages.requests[0].text, Tr("Move_wire", "ruchZaDlugi"));
  EXPECT_TRUE(closed.empty());

  // The test move of the same amounts is refused the same way.
  messages.requests.clear();
  przesun().testClick();
  EXPECT_EQ(Sequence(), QStringList());
  ASSERT_EQ(messages.requests.size(), 1);
  EXPECT_EQ(messages.requests[0].text, Tr("Move_wire", "ruchZaDlugi"));
}

TEST_F(MoveWireTest, LostLinkSendsNoMoveAndCloses) {
  PlaceWire(0, 0, 0);
  sim.SetSilent(true);
  Enter(1, 10, 0, 0);
  przesun().WykonajClick();
  sim.SetSilent(false);
  EXPECT_EQ(Sequence(), QStringList());
  EXPECT_EQ(closed, std::vector<ModalResult>{ModalResult::OK});
  EXPECT_EQ(LinkMessages(), 1);
}

TEST_F(MoveWireTest, KeysInTheEdits) {
  PlaceWire(0, 0, 0);
  Enter(1, 10, 0, 0);
  przesun().delta_xKeyDown(Tprzesun::kKeyEscape);
  EXPECT_EQ(Sequence(), QStringList());
  przesun().delta_xKeyDown(Tprzesun::kKeyEnter);
  EXPECT_EQ(Moves(), (std::vector<SentMove>{{1000, 0, 0}}));
  EXPECT_EQ(closed, (std::vector<ModalResult>{ModalResult::Cancel, ModalResult::OK}));
}

TEST_F(MoveWireTest, TestMoveGoesBackAndForthUntilAbortedWithoutHeating) {
  PlaceWire(10000, 10000, 0);
  int asked = 0;
  przesun().hooks.MakeAbortProbe = [&] { return std::make_unique<CountingProbe>(2, &asked); };
  Enter(1, 10, -20, 36);
  przesun().testClick();
  const SentMove forth{1000, -2000, 5000}, back{-1000, 2000, -5000};
  EXPECT_EQ(Moves(), (std::vector<SentMove>{forth, back, forth, back}));
  EXPECT_EQ(Sequence().filter("R"), QStringList());
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(MoveWireTest, HeaterTestSwitchesOffTheChannelItSwitchedOn) {
  for (int mode : {0, 2}) {
    SCOPED_TRACE(mode);
    Dlgkonfig().Mode.SetItemIndex(mode);
    const int channel = mode == 0 ? 3 : 2;
    ClearCommands();
    int asked = 0;
    przesun().hooks.MakeAbortProbe = [&] { return std::make_unique<CountingProbe>(2, &asked); };
    przesun().TestGrzalkiClick();
    const QString on = QString("R 1 %1").arg(channel), off = QString("R 0 %1").arg(channel);
    EXPECT_EQ(Sequence(), QStringList({on, off, on, off}));
    EXPECT_FALSE(sim.With([&](sim::Controller& c) { return c.Relay(channel); }));
  }
  // Every reply came as expected: no lost link was reported.
  EXPECT_TRUE(messages.requests.isEmpty());
}

TEST_F(MoveWireTest, HeaterTestTakesTheExtraByteAfterSwitchingOn) {
  // A controller that sends one more byte after switching the heater on: the
  // test takes it and every later reply stays in step.
  sim.With([](sim::Controller& c) { c.SetRelayOnExtraByte(true); });
  int asked = 0;
  przesun().hooks.MakeAbortProbe = [&] { return std::make_unique<CountingProbe>(3, &asked); };
  przesun().TestGrzalkiClick();
  EXPECT_EQ(Sequence(), QStringList({"R 1 2", "R 0 2", "R 1 2", "R 0 2", "R 1 2", "R 0 2"}));
  EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
  EXPECT_TRUE(messages.requests.isEmpty());
  EXPECT_FALSE(LinkFailed());
  ReadPosition();  // the next exchange reads its own reply
  EXPECT_FALSE(LinkFailed());
}

// Aborts at its first question: the operator's key press taken by a wait.
struct AbortAtOnce : AbortProbe {
  bool aborted() override { return true; }
};

TEST_F(MoveWireTest, AWaitGivenUpStopsTheMachineAndEndsEveryLoop) {
  // The loops' own probe would let them run 100 rounds: only the wait that
  // was given up can end them after one.
  struct Row {
    const char* what;
    bool machineMoving;  // a long move runs when the button is pressed
    std::function<void()> click;
    QStringList sequence;  // moves and heater commands after the click
  } rows[] = {
      {"execute", true, [] { przesun().WykonajClick(); }, {}},
      {"test move", false, [] { przesun().testClick(); }, {"A"}},
      {"heater test", true, [] { przesun().TestGrzalkiClick(); }, {"R 1 2", "R 0 2"}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    sim.With([](sim::Controller& c) { c.SetSpeedUp(1); });
    PlaceWire(10000, 10000, 0);
    Enter(1, 1000, 0, 0);  // 1 m: half a minute of motion
    if (r.machineMoving) {
      StartMoveX(100000);
    }
    ClearCommands();
    closed.clear();
    int asked = 0;
    przesun().hooks.MakeAbortProbe = [&] { return std::make_unique<CountingProbe>(100, &asked); };
    SetWaitProbeFactory([] { return std::make_unique<AbortAtOnce>(); });
    r.click();
    SetWaitProbeFactory(nullptr);
    EXPECT_EQ(Sequence(), r.sequence);
    const auto commands = Commands();
    const auto stop = std::find(commands.begin(), commands.end(), QByteArray("Y"));
    ASSERT_NE(stop, commands.end());
    EXPECT_TRUE(
        std::none_of(stop, commands.end(), [](const QByteArray& c) { return c[0] == 'A'; }));
    EXPECT_EQ(asked, 0);
    EXPECT_TRUE(closed.empty());  // nothing was done: the dialog stays open
    ReadStatus();
    EXPECT_FALSE(PlotState.Status & kStatusBusy);
    EXPECT_FALSE(sim.With([](sim::Controller& c) { return c.Relay(2); }));
  }
  EXPECT_TRUE(messages.requests.isEmpty());
}

}  // namespace
}  // namespace vm::test
