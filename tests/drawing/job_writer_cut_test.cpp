// Cutting moves: the corner pause, the short-move rule, calibration and the
// moves of plain and serial jobs.
#include <gtest/gtest.h>

#include <QFileInfo>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "job_writer_fixture.h"

namespace vm::test {
namespace {

using JobWriterCut = JobWriterTest;

// The commands a job body wrote, without the ten commands of the default
// plain-cutting header and the trailer.
QStringList Body(const QStringList& all) { return all.mid(10, all.size() - 12); }

TEST_F(JobWriterCut, CornerPauseAndShortMoveRule) {
  JobSettings s;
  s.Pauza_w_kacie = 600;
  const QStringList corner = {"p 10", "p 100", "p 250", "p 250"};
  const QStringList body = Body(Commands(Job(s, [](JobWriter& w) {
    w.SetStart(0, 0, 0);
    w.MoveTo(800, 0);     // 20 mm: the first move is a corner
    w.MoveTo(900, 0);     // 2.50 mm after a long move: "p" 1 before it
    w.MoveTo(1000, 0);    // 2.50 mm after a short move: the period follows it
    w.MoveTo(1102, 0);    // 2.55 mm: neither
    w.MoveTo(1102, 0);    // no move at all
    w.MoveTo(1102, 400);  // a right angle
  })));
  EXPECT_EQ(body, (corner +
                   QStringList{"a 2000 2000 0 0", "p 1", "a 250 250 0 0", "a 250 250 0 0", "l 134",
                               "a 256 255 0 0"} +
                   corner + QStringList{"a 1000 0 1000 0"}))
      << Join(body);
}

// The same rules byte for byte: pauses, the "a" form with its direction flags
// and 24-bit fields, and the little-endian step period.
TEST_F(JobWriterCut, MovesAreWrittenByteForByte) {
  const QByteArray bytes = Job(JobSettings{}, [](JobWriter& w) {
    w.SetStart(0, 0, 0);
    w.MoveTo(800, 0);     // corner: 20 mm
    w.MoveTo(900, 0);     // 2.50 mm after a long move
    w.MoveTo(1000, 0);    // 2.50 mm after a short move
    w.MoveTo(900, -100);  // back down-left: a corner
  });
  EXPECT_EQ(Hex(bytes.mid(26, bytes.size() - 31)),
            "70 0A 70 C8 61 00 D0 07 00 D0 07 00 00 00 00 00 00 00 "
            "70 01 61 00 FA 00 00 FA 00 00 00 00 00 00 00 00 "
            "61 00 FA 00 00 FA 00 00 00 00 00 00 00 00 6C 86 00 "
            "70 0A 70 C8 61 03 62 01 00 FA 00 00 FA 00 00 00 00 00");
}

// The job starts where SetStart puts the head: the move after the first one is
// a corner or a straight continuation by the turn it makes from the first move.
TEST_F(JobWriterCut, TheSecondMoveTurnsFromTheFirst) {
  struct Case {
    TPointI start, first, second;  // plotter units
    QStringList secondCommands;
  } cases[] = {
      // Up, then diagonally: a turn of 45 degrees is a corner.
      {{4000, 0}, {4000, 4000}, {8000, 8000}, {"p 10", "p 200", "a 14143 10000 10000 0"}},
      // Straight on along X, far from the origin in Y: no corner.
      {{0, 4000}, {400, 4000}, {800, 4000}, {"a 1000 1000 0 0"}},
  };
  for (const Case& c : cases) {
    JobWriter w;
    w.BeginJob(Path(), JobSettings{});
    w.SetStart(c.start.X, c.start.Y, 0);
    w.MoveTo(c.first.X, c.first.Y);
    // 40 plotter units to the mm.
    EXPECT_EQ(Commands(w.EncodeCut(c.second.X / 40.0, c.second.Y / 40.0, 0)), c.secondCommands)
        << c.second.X << ", " << c.second.Y;
    w.EndJob();
  }
}

TEST_F(JobWriterCut, CornerPauseIsSplitIntoPiecesOfAtMost250) {
  struct Case {
    double pause;
    int mode;
    QStringList prefix;
  } cases[] = {
      {600, 2, {"p 10", "p 100", "p 250", "p 250"}},
      {250, 2, {"p 10", "p 250"}},
      {251, 3, {"p 10", "p 1", "p 250"}},
      {0, 0, {"p 10", "p 0"}},
      {600, -1, {"p 10"}},  // no work mode chosen: only the short pause
  };
  for (const Case& c : cases) {
    JobSettings s;
    s.Pauza_w_kacie = c.pause;
    s.Mode = c.mode;
    JobWriter w;
    w.BeginJob(Path(), s);
    EXPECT_EQ(Commands(w.EncodeCut(1, 0, 0)), c.prefix + QStringList{"a 100 100 0 0"})
        << c.pause << " ms, mode " << c.mode;
    w.EndJob();
  }
}

// The move after a first move along X: where the corner test and the
// short-move rule switch over.
TEST_F(JobWriterCut, CornerAndShortMoveThresholds) {
  struct Case {
    double first;    // mm along X
    double x, y, z;  // the next move: mm relative to the first, revolutions
    QStringList commands;
  } cases[] = {
      // A turn of 29.5 degrees: cosine 0.87002 is a straight continuation, 0.86959 a corner.
      {10, 8.70, 4.93, 0, {"a 1000 870 493 0"}},
      {10, 8.70, 4.94, 0, {"p 10", "p 200", "a 1001 870 494 0"}},
      // After a move of 10.24 mm a short move gets "p" 1; after 10.23 mm its period.
      {10.24, 1, 0, 0, {"p 1", "a 100 100 0 0"}},
      {10.23, 1, 0, 0, {"a 100 100 0 0", "l 213"}},  // k = Round(100.5) = 100: AccelDelay(99)
      {5, 2.54, 0, 0, {"a 254 254 0 0", "l 133"}},   // k = 254: AccelDelay(253) div 2
      {5, 2.55, 0, 0, {"a 256 255 0 0"}},            // k = 256: nothing added
      // Rotation steps count in the length: 1 mm with 200 steps is k = 224.
      {5, 1, 0, 0.004, {"a 224 100 0 200", "l 142"}},
  };
  for (const Case& c : cases) {
    JobWriter w;
    w.BeginJob(Path(), JobSettings{});
    ASSERT_FALSE(w.EncodeCut(c.first, 0, 0).isEmpty());
    EXPECT_EQ(Commands(w.EncodeCut(c.first + c.x, c.y, c.z)), c.commands)
        << "after " << c.first << " mm: " << c.x << ", " << c.y << ", " << c.z;
    w.EndJob();
  }
}

TEST_F(JobWriterCut, AMoveWithoutStepsLeavesTheStateAlone) {
  JobWriter w;
  w.BeginJob(Path(), JobSettings{});
  ASSERT_FALSE(w.EncodeCut(10, 0, 0).isEmpty());
  const TPoint3I head = w.JobHead;
  const TCornerHistory history = w.CornerHistory;
  EXPECT_TRUE(w.EncodeCut(10.001, 0, 0).isEmpty());  // rounds to the same position
  EXPECT_EQ(w.JobHead, head);
  EXPECT_EQ(w.CornerHistory.P0, history.P0);
  EXPECT_EQ(w.CornerHistory.P1, history.P1);
  w.EndJob();
}

// The moves of a plain job, summed from the start, reach every point of the
// path scaled and calibrated once.
TEST_F(JobWriterCut, MovesSumToThePathInMachineUnits) {
  JobSettings s;
  s.skala = 150;
  s.CalibrationX = 1.02;
  s.CalibrationY = 0.98;
  const std::vector<TPointI> path = {{0, 0},       {4000, 0},     {4000, 2000},
                                     {4013, 2009}, {-1000, 2000}, {0, 0}};
  const std::vector<sim::JobCommand> moves = Moves(Job(s, [&](JobWriter& w) {
    w.SetStart(0, 0, 0);
    for (const TPointI& p : path) w.MoveTo(p.X, p.Y);
  }));
  ASSERT_EQ(moves.size(), path.size() - 1);  // the first point is where the job starts
  std::int64_t x = 0, y = 0;
  for (std::size_t i = 0; i < moves.size(); ++i) {
    x += moves[i].dx;
    y += moves[i].dy;
    const TPointI& p = path[i + 1];
    EXPECT_EQ(x, Round(1.02 * (Round(1.5 * p.X) * 1000.0 / 40000) * 100)) << i;
    EXPECT_EQ(y, Round(0.98 * (Round(1.5 * p.Y) * 1000.0 / 40000) * 100)) << i;
    EXPECT_EQ(moves[i].dz, 0);
  }
}

// Positions the head already holds are in machine units: a move that keeps an
// axis must not move it, whatever the calibration.
TEST_F(JobWriterCut, CalibrationIsAppliedOnce) {
  JobSettings s;
  s.CalibrationX = 1.05;
  s.CalibrationY = 0.97;
  s.RotaryStartY = 30;
  const QStringList body = Body(Commands(Job(s, [](JobWriter& w) {
    w.SetStart(0, 0, 0);
    w.MoveTo(800, 400);  // 20 mm, 10 mm
    w.ReturnMove(0.25);  // a turn in place
    w.CornerPause();     // back to the start height at the X reached
  })));
  EXPECT_EQ(body,
            (QStringList{"p 10", "p 200", "a 2314 2100 970 0", "p 10", "p 200", "a 12500 0 0 12500",
                         "p 1", "f 1", "p 10", "p 200", "a 1940 0 1940 0"}))
      << Join(body);
}

TEST_F(JobWriterCut, SetStartScalesAndWritesNothing) {
  JobSettings s;
  s.skala = 50;
  JobWriter w;
  w.BeginJob(Path(), s);
  w.SetStart(801, -400, 7);
  EXPECT_EQ(w.JobHead, (TPoint3I{1000, -500, 7}));  // Round(400.5) = 400 units = 10 mm
  w.EndJob();
  EXPECT_EQ(Commands(ReadAll(Path())).size(), 12);
}

TEST_F(JobWriterCut, PositionsBeyond32BitsAreRangeErrors) {
  JobWriter w;
  w.BeginJob(Path(), JobSettings{});
  EXPECT_THROW(w.EncodeCut(3e7, 0, 0), RangeError);
  EXPECT_EQ(w.JobHead, (TPoint3I{0, 0, 0}));
  w.EndJob();
}

// A path that would make a job of hundreds of megabytes stops at the machine's
// buffer size: the writer refuses it at once instead of writing on.
TEST_F(JobWriterCut, AJobStopsAsSoonAsItReachesTheBufferSize) {
  JobWriter w;
  w.BeginJob(Path(), JobSettings{});
  std::int64_t moves = 0;
  try {
    // 1 mm moves straight on: at least 14 bytes each, over 100 MB in all.
    for (; moves < 7'500'000; ++moves) w.MoveTo(static_cast<std::int32_t>(40 * (moves + 1)), 0);
    FAIL() << "the job was not stopped";
  } catch (const MessageError& e) {
    EXPECT_EQ(e.section(), "Main_window");
    EXPECT_EQ(e.key(), "ploterPrzekroczonyBufor");
  }
  // Stopped at the limit: no more moves than 4 MiB can hold, and not long before.
  EXPECT_LE(moves, kMaxJobBytes / 14);
  EXPECT_GT(moves, kMaxJobBytes / 20);
  EXPECT_LT(QFileInfo(Path()).size(), kMaxJobBytes);

  // The next job of the same writer starts from nothing.
  EXPECT_NO_THROW({
    w.BeginJob(Path(), JobSettings{});
    w.MoveTo(400, 0);
    w.EndJob();
  });
  EXPECT_TRUE(sim::DecodeJob(ReadAll(Path())).ok());
}

}  // namespace
}  // namespace vm::test
