// Headers and trailers of every output code, the start positions and the
// power ramp of "JX" machines.
#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "job_writer_fixture.h"

namespace vm::test {
namespace {

using JobWriterHeader = JobWriterTest;

const QStringList kTrailer = {"p 1", "r 0 2"};

TEST_F(JobWriterHeader, PlainCuttingHeaderWithTheDefaultSettings) {
  const QByteArray bytes = Job(JobSettings{}, [](JobWriter&) {});
  EXPECT_EQ(Hex(bytes),
            "76 00 20 03 76 01 20 03 74 01 33 72 01 01 70 01 66 01 70 FA 70 FA 70 FA 70 FA "
            "70 01 72 00 02");

  // The drawing file object writes jobs the same way.
  Thpgl t;
  t.BeginJob(Path(), JobSettings{});
  t.EndJob();
  EXPECT_EQ(ReadAll(Path()), bytes);
}

TEST_F(JobWriterHeader, HeaderOfEveryOutputCode) {
  const QStringList speeds = {"v 0 800", "v 1 800"};
  const QStringList jxSpeeds = {"v 0 267", "v 1 267"};  // speed factor 3
  const QStringList warmUp = {"p 250", "p 250", "p 250", "p 250"};
  struct Case {
    TJobOutputMode mode;
    bool jx;
    QStringList header;
  } cases[] = {
      {JobTurningSpindle, false, speeds + QStringList{"t 3 51", "r 1 3"}},
      {JobTurningTable, false, speeds + QStringList{"t 3 51", "r 1 3"}},
      {JobRotarySpindle, false, speeds + QStringList{"t 1 51", "r 1 1"}},
      {JobRotaryTable, false, speeds + QStringList{"t 1 51", "r 1 1"}},
      {JobPlainCutting, false, speeds + QStringList{"t 1 51", "r 1 1", "p 1", "f 1"} + warmUp},
      {JobSerialCutting, false, speeds + QStringList{"t 1 51", "r 1 1", "f 1"}},
      {JobTurningSpindle, true, jxSpeeds},
      {JobRotaryTable, true, jxSpeeds},
      {JobPlainCutting, true, jxSpeeds + QStringList{"p 1", "f 1"} + warmUp},
  };
  for (const Case& c : cases) {
    JobSettings s;
    s.JobOutputMode = c.mode;
    s.FamilyJXFlag = c.jx;
    if (c.jx) s.SpeedFactor = 3;
    EXPECT_EQ(Commands(Job(s, [](JobWriter&) {})), c.header + kTrailer)
        << "code " << c.mode << (c.jx ? " JX" : "");
  }
}

TEST_F(JobWriterHeader, PlainCuttingChannelAndWarmUpPieces) {
  JobSettings s;
  s.Mode = 0;  // turning without table or spindle is cut plainly, on channel 3
  s.StolikSwitch = 2;
  s.CzasRozgrzewania = 1100;
  EXPECT_EQ(Commands(Job(s, [](JobWriter&) {})),
            (QStringList{"v 0 800", "v 1 800", "t 3 51", "r 1 3", "p 1", "f 1", "p 250", "p 250",
                         "p 250", "p 250", "p 100"} +
             kTrailer));
  s.CzasRozgrzewania = 0;
  EXPECT_EQ(Commands(Job(s, [](JobWriter&) {})).mid(6), QStringList{"p 0"} + kTrailer);
}

TEST_F(JobWriterHeader, StartPositionsOfEachCode) {
  JobSettings s;
  s.FirstEntryInMaterial = 12.34;
  s.RotaryStartX = 100.5;
  s.RotaryStartY = 200.25;
  struct Case {
    TJobOutputMode mode;
    TPoint3I head;
    TPoint3I history;  // the history keeps the position before the start position
  } cases[] = {
      {JobTurningSpindle, {1234, 20025, 0}, {1234, 0, 0}},
      {JobTurningTable, {10050, 1234, 0}, {0, 1234, 0}},
      {JobRotarySpindle, {0, 20025, 0}, {0, 0, 0}},
      {JobRotaryTable, {10050, 20025, 0}, {0, 0, 0}},
      {JobPlainCutting, {0, 0, 0}, {0, 0, 0}},
      {JobSerialCutting, {0, 0, 0}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    s.JobOutputMode = c.mode;
    JobWriter w;
    w.BeginJob(Path(), s);
    EXPECT_EQ(w.JobHead, c.head) << c.mode;
    EXPECT_EQ(w.CornerHistory.P0, c.history) << c.mode;
    EXPECT_EQ(w.CornerHistory.P2, c.history) << c.mode;
    EXPECT_TRUE(w.WarmUpPending);
    w.EndJob();
  }

  // The head holds machine units: start positions are calibrated as the wire's
  // move to them was.
  s.CalibrationX = 1.02;
  s.CalibrationY = 0.98;
  s.RotaryStartY = 200.3;
  const struct {
    TJobOutputMode mode;
    TPoint3I head;
  } calibrated[] = {
      {JobTurningSpindle, {1259, 19629, 0}},
      {JobTurningTable, {10251, 1209, 0}},
      {JobRotaryTable, {10251, 19629, 0}},
  };
  for (const auto& c : calibrated) {
    s.JobOutputMode = c.mode;
    JobWriter w;
    w.BeginJob(Path(), s);
    EXPECT_EQ(w.JobHead, c.head) << c.mode;
    w.EndJob();
  }
}

TEST_F(JobWriterHeader, SerialJobOnAJXMachineRampsThePower) {
  JobSettings s;
  s.JobOutputMode = JobSerialCutting;
  s.FamilyJXFlag = true;
  s.SpeedFactor = 3;
  int reads = 0;
  s.ReadStatus = [&] {
    ++reads;
    return std::uint8_t{0x40};
  };
  QStringList ramp = {"r 0 1", "p 100", "t 1 4", "p 100", "r 1 1"};
  for (int level : {5, 10, 15, 20, 25, 30, 35, 40, 45, 51}) {
    ramp << QString("t 1 %1").arg(level) << "r 1 1";
  }
  EXPECT_EQ(Commands(Job(s, [](JobWriter&) {})),
            (QStringList{"v 0 267", "v 1 267", "t 1 51"} + ramp + QStringList{"f 1"} + kTrailer));
  EXPECT_EQ(reads, 8);  // the status is read once the level passes 12
}

TEST_F(JobWriterHeader, PowerRampEndsAtOnceOnABrokenWire) {
  JobSettings s;
  s.ReadStatus = [] { return std::uint8_t{0x80}; };
  // After the ten commands of the plain-cutting header.
  EXPECT_EQ(Commands(Job(s, [](JobWriter& w) { w.PowerCommands(2, 20); })).mid(10),
            (QStringList{"r 0 2", "p 100", "t 2 4", "p 100", "r 1 2", "t 2 5", "r 1 2", "t 2 10",
                         "r 1 2", "t 2 15"} +
             kTrailer));
}

TEST_F(JobWriterHeader, PowerRampStepsFollowALongCornerPause) {
  JobSettings s;
  s.Pauza_w_kacie = 1200;  // 20 steps
  const QStringList all = Commands(Job(s, [](JobWriter& w) { w.PowerCommands(1, 100); }));
  const QStringList ramp = all.mid(10, all.size() - 12);
  EXPECT_EQ(ramp.size(), 5 + 2 * 20);
  EXPECT_EQ(ramp.at(5), "t 1 12");
  EXPECT_EQ(ramp.at(ramp.size() - 2), "t 1 255");

  JobWriter w;
  w.BeginJob(Path(), s);
  EXPECT_THROW(w.PowerCommands(1, 101), RangeError);  // a level above 255
}

TEST_F(JobWriterHeader, SerialTrailerCutsTheModelOffAfterTheLastPass) {
  JobSettings s;
  s.JobOutputMode = JobSerialCutting;
  s.ModelCutOffAtEnd = true;
  s.Width = 4000;  // 100 mm: half of it plus the larger of that and the radius 250 mm
  const QStringList header = {"v 0 800", "v 1 800", "t 1 51", "r 1 1", "f 1"};
  struct Case {
    int pass, windows;
    bool cutOff;
    QStringList tail;
  } cases[] = {
      {2, 2, true, {"p 10", "p 200", "a 30000 30000 0 0"}},
      {3, 3, true, {"p 10", "p 200", "a 30000 -30000 0 0"}},
      {2, 3, true, {}},
      {2, 2, false, {}},
  };
  for (const Case& c : cases) {
    s.PassNumber = c.pass;
    s.ProjectWindowCount = c.windows;
    s.ModelCutOffAtEnd = c.cutOff;
    EXPECT_EQ(Commands(Job(s, [](JobWriter&) {})), header + c.tail + kTrailer)
        << "pass " << c.pass << " of " << c.windows;
  }
}

TEST_F(JobWriterHeader, FileErrorsRaiseIoError) {
  JobWriter w;
  EXPECT_THROW(w.BeginJob(dir_.filePath("missing/out.cn"), JobSettings{}), IoError);

  JobWriter full;
  full.BeginJob("/dev/full", JobSettings{});
  EXPECT_THROW(full.EndJob(), IoError);
}

}  // namespace
}  // namespace vm::test
