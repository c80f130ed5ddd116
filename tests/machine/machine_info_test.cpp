// Identity, working area and family factors read from the controller.
#include "link_fixture.h"

namespace vm::test {
namespace {

using MachineInfoTest = LinkTest;

TEST_F(MachineInfoTest, ReadsIdentityCountersAndAcceptedWorkingArea) {
  sim.With([](sim::Controller& c) {
    c.SetIdentity("Maker", "R600", "2.05");
    c.SetCounters(1234, 77);
  });
  // Each row is reported by the machine in turn; the limits carry over.
  struct Row {
    int x, y, z;
    std::int32_t limitX, limitY, limitZ;
  } rows[] = {
      {900, 599, 0, 4800, 2400, 360},              // all outside: the previous limits stay
      {1000, 600, 1, 1000, 600, 1},                // lower bounds accepted
      {10000, 10000, 50000, 10000, 10000, 50000},  // upper bounds accepted
      {10001, 10001, 50001, 10000, 10000, 50000},  // beyond them ignored
      {3000, 1500, 360, 3000, 1500, 360},
  };
  for (const Row& r : rows) {
    sim.With([&](sim::Controller& c) { c.SetWorkingArea(r.x, r.y, r.z); });
    ReadMachineInfo();
    EXPECT_EQ(WorkingAreaLimits.X, r.limitX) << r.x;
    EXPECT_EQ(WorkingAreaLimits.Y, r.limitY) << r.y;
    EXPECT_EQ(WorkingAreaLimits.Z, r.limitZ) << r.z;
  }
  EXPECT_EQ(PlotState.Producer, QByteArray("Maker   "));
  EXPECT_EQ(PlotState.Model, QByteArray("R600    "));
  EXPECT_EQ(PlotState.Version, QByteArray("2.05    "));
  EXPECT_EQ(PlotState.RunningMinutes, 1234);
  EXPECT_EQ(PlotState.FileCount, 77);
  EXPECT_EQ(LinkMessages(), 0);
}

TEST_F(MachineInfoTest, CommandLineLimitsReplaceTheMachinesUnlessNotANumber) {
  sim.With([](sim::Controller& c) { c.SetWorkingArea(2000, 1000, 360); });
  SetCommandLine({"limitX'3000'", "limitY'abc'"});
  ReadMachineInfo();
  EXPECT_EQ(WorkingAreaLimits.X, 3000);
  EXPECT_EQ(WorkingAreaLimits.Y, 1000);
}

TEST_F(MachineInfoTest, FamilyFactorsFollowTheMachineConnectedNow) {
  sim.With([](sim::Controller& c) { c.SetIdentity("Maker", "JX-2", "1"); });
  ReadMachineInfo();
  EXPECT_TRUE(Machine.FamilyJXFlag);
  EXPECT_EQ(Machine.SpeedFactor, 3);
  EXPECT_EQ(Machine.MaxTravelSpeed, 1000);
  EXPECT_EQ(Machine.MaxCuttingSpeed, 1000);

  // Another machine on the same line: the defaults come back.
  sim.With([](sim::Controller& c) { c.SetIdentity("Maker", "KJ-7", "1"); });
  ReadMachineInfo();
  EXPECT_FALSE(Machine.FamilyJXFlag);
  EXPECT_EQ(Machine.SpeedFactor, 1);
  EXPECT_EQ(Machine.MaxTravelSpeed, 3000);
  EXPECT_EQ(Machine.MaxCuttingSpeed, 1500);

  // Steps per turntable revolution by family, table choice and gear switch.
  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  SelectStepsPerTurn();
  EXPECT_EQ(Machine.StepsPerTurn, 250000);
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  SelectStepsPerTurn();
  EXPECT_EQ(Machine.StepsPerTurn, 50000);
  SetCommandLine({"zgear40"});
  SelectStepsPerTurn();
  EXPECT_EQ(Machine.StepsPerTurn, 100000);
}

TEST_F(MachineInfoTest, SilentControllerCostsOneTimeOutAndOneMessage) {
  sim.SetSilent(true);
  ClearCommands();
  sim.ClearReceived();
  ReadMachineInfo();
  EXPECT_TRUE(LinkFailed());
  EXPECT_EQ(LinkMessages(), 1);
  // Nothing after the first unanswered exchange was tried, nothing was lost.
  EXPECT_EQ(sim.Received(), Bytes({'H', 0}));
  EXPECT_EQ(PlotState.Producer, QByteArray("Corvanta"));
  EXPECT_EQ(PlotState.Model, QByteArray("R584    "));
  // Further failed exchanges (here a dead line, which fails at once) are not
  // reported again until the machine answers.
  sim.HangUp();
  ReadStatus();
  EXPECT_EQ(LinkMessages(), 1);
  EXPECT_EQ(PlotState.Status, 0);
}

}  // namespace
}  // namespace vm::test
