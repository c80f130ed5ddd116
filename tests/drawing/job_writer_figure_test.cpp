// Figures of turning and rotary jobs: the moves, the rotation, the alignment
// angle and the warm-up.
#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/rounding.h"
#include "job_writer_fixture.h"

namespace vm::test {
namespace {

using JobWriterFigure = JobWriterTest;

tfigura Figure(std::vector<TPointI> points, std::int32_t axisWidth, std::int32_t axisHeight) {
  tfigura f;
  f.Points = std::move(points);
  f.AxisWidth = axisWidth;
  f.AxisHeight = axisHeight;
  return f;
}

JobSettings Settings(TJobOutputMode mode) {
  JobSettings s;
  s.JobOutputMode = mode;
  s.RotaryStartX = 900;
  s.RotaryStartY = 900;
  return s;
}

QStringList WithoutHeaderAndTrailer(const QStringList& all, int header) {
  return all.mid(header, all.size() - header - 2);
}

// Two revolutions over the 100 mm axis: 50 mm per revolution. The figure runs
// 50 mm along the axis at 10 mm above it, turns a right corner (a full
// revolution in place) and rises 20 mm.
TEST_F(JobWriterFigure, TurningOnTheSpindle) {
  JobSettings s = Settings(JobTurningSpindle);
  s.il_obr_rys = 2;
  const tfigura f = Figure({{0, 400}, {2000, 400}, {2000, 1200}}, 4000, 0);
  double angle = -1;
  const QStringList body = WithoutHeaderAndTrailer(
      Commands(Job(s, [&](JobWriter& w) { w.WriteFigure(f, 1, 1, angle, 0); })), 4);
  EXPECT_EQ(body, (QStringList{"f 0", "p 1", "r 1 3", "p 250", "p 250", "p 250", "p 250", "p 1",
                               "p 10", "p 200", "a 16000 0 -16000 0", "p 1", "f 1",
                               // along the axis with one revolution, at the cutting speed limit
                               "p 10", "p 200", "a 50250 5000 0 50000", "v 1 533",
                               // the corner revolution
                               "p 10", "p 200", "a 50000 0 0 50000", "v 1 533",
                               // rising without rotation at the cutting speed
                               "p 10", "p 200", "a 2000 0 2000 0", "v 1 800",
                               // back to the start height
                               "p 1", "f 0", "a 14000 0 14000 0"}))
      << Join(body);
  EXPECT_EQ(angle, 0);

  // Without revolutions over the drawing nothing turns: the corner still sets
  // the slowest cutting speed, with no move.
  s.il_obr_rys = 0;
  const QStringList flat = WithoutHeaderAndTrailer(
      Commands(Job(s, [&](JobWriter& w) { w.WriteFigure(f, 1, 1, angle, 0); })), 4);
  EXPECT_EQ(flat, (QStringList{"f 0",
                               "p 1",
                               "r 1 3",
                               "p 250",
                               "p 250",
                               "p 250",
                               "p 250",
                               "p 1",
                               "p 10",
                               "p 200",
                               "a 16000 0 -16000 0",
                               "p 1",
                               "f 1",  //
                               "p 10",
                               "p 200",
                               "a 5000 5000 0 0",
                               "v 1 800",
                               "v 1 40000",
                               "p 10",
                               "p 200",
                               "a 2000 0 2000 0",
                               "v 1 800",  //
                               "p 1",
                               "f 0",
                               "a 14000 0 14000 0"}))
      << Join(flat);
}

// On the turntable the roles of X and Y are exchanged: the mirrored figure
// gives the mirrored moves.
TEST_F(JobWriterFigure, TurningOnTheTableMirrorsTheSpindle) {
  JobSettings spindle = Settings(JobTurningSpindle);
  spindle.il_obr_rys = 2;
  spindle.Ywrzeciona = 730;
  JobSettings table = Settings(JobTurningTable);
  table.il_obr_rys = 2;
  table.Xstolika = 730;
  const std::vector<TPointI> points = {{0, 400}, {2000, 400}, {2000, 1200}, {600, 1300}};
  std::vector<TPointI> mirrored;
  for (const TPointI& p : points) mirrored.push_back({p.Y, p.X});

  double angle = 0;
  const tfigura f = Figure(points, 4000, 0);
  const tfigura g = Figure(mirrored, 0, 4000);
  QStringList expected;
  for (const sim::JobCommand& c : sim::DecodeJob(Job(spindle, [&](JobWriter& w) {
                                    w.WriteFigure(f, 1, -1, angle, 0);
                                  })).commands) {
    sim::JobCommand m = c;
    std::swap(m.dx, m.dy);
    expected << m.ToString();
  }
  EXPECT_EQ(Commands(Job(table, [&](JobWriter& w) { w.WriteFigure(g, 1, -1, angle, 0); })),
            expected);
}

TEST_F(JobWriterFigure, RotaryCuttingAboutTheSpindle) {
  JobSettings s = Settings(JobRotarySpindle);
  s.il_obr_rys = 1;  // one revolution over the 100 mm axis
  const tfigura f = Figure({{400, 400}, {2400, 400}, {4400, 800}}, 4000, 0);
  const QStringList cut = {"f 0", "p 10", "p 200", "a 1000 1000 0 0",  //
                           "p 1", "r 1 1", "p 250", "p 250", "p 250", "p 250", "p 1", "f 1",
                           // down to the profile height, then the corner pause
                           "p 10", "p 200", "a 16000 0 -16000 0", "p 200",
                           // half a revolution per 50 mm, turning the other way
                           "p 10", "p 200", "a 25496 5000 0 -25000", "a 25515 5000 1000 -25000"};
  const QStringList end = {"p 1", "f 0"};
  // The wire leaves the material, or stays in it at the last point.
  const QStringList leave = {"p 10", "p 200", "a 15000 0 15000 0"};
  for (int algorithm : {0, 1}) {
    s.rgAlgorytmObrotowego = algorithm;
    double angle = -1;
    const QStringList body = WithoutHeaderAndTrailer(
        Commands(Job(s, [&](JobWriter& w) { w.WriteFigure(f, 1, -1, angle, 0); })), 4);
    EXPECT_EQ(body, cut + (algorithm == 0 ? leave : QStringList{}) + end) << Join(body);
    EXPECT_EQ(angle, 0);
  }
}

// The table's axis is vertical: the travel runs along Y at the start X, the
// rotation follows the Y extent, and the wire goes back to the start X.
TEST_F(JobWriterFigure, RotaryCuttingOnTheTable) {
  JobSettings s = Settings(JobRotaryTable);
  s.il_obr_rys = 1;  // one revolution over the 100 mm axis height
  const tfigura f = Figure({{400, 400}, {800, 2400}, {1600, 4400}}, 0, 4000);
  double angle = -1;
  const QStringList body = WithoutHeaderAndTrailer(Commands(Job(s,
                                                                [&](JobWriter& w) {
                                                                  w.JobHead.Z =
                                                                      10000;  // 0.2 revolution
                                                                  w.WriteFigure(f, 1, 1, angle, 0);
                                                                })),
                                                   4);
  EXPECT_EQ(body,
            (QStringList{// along Y to the first point's height (the start X is reached)
                         "p 10", "p 200", "a 64000 0 -64000 0",
                         // the alignment back to the start angle
                         "p 10", "p 200", "a 10000 0 0 -10000",  //
                         "p 1", "r 1 1", "p 250", "p 250", "p 250", "p 250", "p 1", "f 1",
                         // into the material to the first point
                         "p 10", "p 200", "a 11000 11000 0 0",
                         // half a revolution per 50 mm in Y
                         "p 10", "p 200", "a 25515 1000 5000 25000", "a 25574 2000 5000 25000",
                         // back to the start X
                         "p 10", "p 200", "a 14000 -14000 0 0", "p 1"}))
      << Join(body);
  EXPECT_EQ(angle, 0);
}

// A move that keeps an axis must not move it: the head's position is already
// calibrated.
TEST_F(JobWriterFigure, KeptAxesStayStillUnderCalibration) {
  struct Case {
    TJobOutputMode mode;
    bool keepsY;  // the axis kept on the way to the start: Y for the spindle, X for the table
  } cases[] = {{JobTurningSpindle, true},
               {JobTurningTable, false},
               {JobRotarySpindle, true},
               {JobRotaryTable, false}};
  for (const Case& c : cases) {
    JobSettings s = Settings(c.mode);
    s.CalibrationX = 1.03;
    s.CalibrationY = 0.97;
    const tfigura f = Figure({{400, 800}, {2400, 1200}}, 4000, 4000);
    double angle = 0;
    const QByteArray bytes = Job(s, [&](JobWriter& w) {
      w.JobHead.Z = 10000;  // 0.2 revolution: the figure starts with an alignment
      w.WriteFigure(f, 1, 1, angle, 0);
    });
    int moves = 0;
    const std::vector<sim::JobCommand> all = sim::DecodeJob(bytes).commands;
    for (std::size_t i = 4; i < all.size(); ++i) {  // after the header
      const sim::JobCommand& cmd = all[i];
      if (cmd.letter == 'r' && cmd.value == 1) break;  // heating on: the cut begins
      if (cmd.letter != 'a') continue;
      ++moves;
      EXPECT_EQ(c.keepsY ? cmd.dy : cmd.dx, 0)
          << "code " << c.mode << ": " << cmd.ToString().toStdString();
    }
    EXPECT_GE(moves, 2) << c.mode;  // the travel and the alignment at least
  }
}

// The moves of a figure, summed from the start position, pass through the
// figure's points with the axis offsets, scaled and calibrated once, in machine
// units, and end at the start height (start X on the table).
TEST_F(JobWriterFigure, MovesSumToTheFigureInMachineUnits) {
  const double calX = 1.03, calY = 0.97;
  const auto cx = [&](double v) { return Round(calX * v); };
  const auto cy = [&](double v) { return Round(calY * v); };
  // 10, 20 mm and 60, 30 mm; one revolution per 50 mm of the 100 mm axis.
  const tfigura f = Figure({{400, 800}, {2400, 1200}}, 4000, 4000);
  struct Case {
    TJobOutputMode mode;
    TPoint3I start;
    std::vector<TPoint3I> reached;
  } cases[] = {
      // Spindle axis 730 mm up: along X, then down to the figure, one turn over 50 mm.
      {JobTurningSpindle,
       {cx(1230), cy(90000), 0},
       {{cx(1000), cy(90000), 0},
        {cx(1000), cy(75000), 0},
        {cx(6000), cy(76000), -50000},
        {cx(6000), cy(90000), -50000}}},
      // Table axis 1000 mm across: the same with X and Y exchanged; 10 mm is 0.2 turn.
      {JobTurningTable,
       {cx(90000), cy(1230), 0},
       {{cx(90000), cy(2000), 0},
        {cx(101000), cy(2000), 0},
        {cx(106000), cy(3000), -10000},
        {cx(90000), cy(3000), -10000}}},
      {JobRotarySpindle,
       {0, cy(90000), 0},
       {{cx(1000), cy(90000), 0},
        {cx(1000), cy(75000), 0},
        {cx(6000), cy(76000), -50000},
        {cx(6000), cy(90000), -50000}}},
      // Table at 1000, 250 mm.
      {JobRotaryTable,
       {cx(90000), cy(90000), 0},
       {{cx(90000), cy(27000), 0},
        {cx(101000), cy(27000), 0},
        {cx(106000), cy(28000), -10000},
        {cx(90000), cy(28000), -10000}}},
  };
  for (const Case& c : cases) {
    JobSettings s = Settings(c.mode);
    s.il_obr_rys = 2;
    s.CalibrationX = calX;
    s.CalibrationY = calY;
    s.FirstEntryInMaterial = 12.3;
    double angle = 0;
    TPoint3I at = c.start;
    std::vector<TPoint3I> reached;
    for (const sim::JobCommand& m :
         Moves(Job(s, [&](JobWriter& w) { w.WriteFigure(f, 1, -1, angle, 0); }))) {
      at = {at.X + m.dx, at.Y + m.dy, at.Z + m.dz};
      reached.push_back(at);
    }
    EXPECT_EQ(reached, c.reached) << "code " << c.mode;
  }
}

TEST_F(JobWriterFigure, AlignmentTakesTheShortestTurnFromAnyPosition) {
  struct Case {
    std::int32_t z;
    double start;
    std::int32_t turn;
    double angle;
  } cases[] = {
      {45000, 0, 5000, 0},          // 0.9 to 0: +0.1
      {-15000, 0, 15000, 0},        // -0.3 to 0: +0.3
      {-45000, 0.8, -15000, -0.2},  // -0.9 (that is 0.1) to 0.8: -0.3
      {0, 0.5, 25000, 0.5},         // half a turn goes forward
      {120000, 0.25, -7500, 0.25},  // 2.4 to 0.25: -0.15
  };
  for (const Case& c : cases) {
    JobSettings s = Settings(JobRotarySpindle);
    const tfigura f = Figure({{400, 400}, {2400, 400}}, 4000, 0);
    double angle = 7;
    const QByteArray bytes = Job(s, [&](JobWriter& w) {
      w.JobHead.Z = c.z;
      w.WriteFigure(f, 1, 1, angle, c.start);
    });
    std::int32_t turned = 0;
    for (const sim::JobCommand& m : Moves(bytes)) turned += m.dz;
    EXPECT_EQ(turned, c.turn) << c.z << " to " << c.start;
    EXPECT_DOUBLE_EQ(angle, c.angle) << c.z << " to " << c.start;
  }
}

TEST_F(JobWriterFigure, AnAxisWithoutExtentIsAClearError) {
  const tfigura flat = Figure({{0, 400}, {2000, 400}}, 0, 0);
  const tfigura tiny = Figure({{0, 400}, {2000, 400}}, 1, 1);  // 0 units at 1 %
  for (TJobOutputMode mode :
       {JobTurningSpindle, JobTurningTable, JobRotarySpindle, JobRotaryTable}) {
    JobSettings s = Settings(mode);
    s.il_obr_rys = 1;
    JobWriter w;
    w.BeginJob(Path(), s);
    double angle = 0;
    try {
      w.WriteFigure(flat, 1, 1, angle, 0);
      ADD_FAILURE() << "no error for code " << mode;
    } catch (const MessageError& e) {
      EXPECT_EQ(e.section(), "Project_window");
      EXPECT_EQ(e.key(), "osObrotuBezWymiaru");
    }
    s.skala = 1;
    w.BeginJob(Path(), s);
    EXPECT_THROW(w.WriteFigure(tiny, 1, 1, angle, 0), MessageError) << mode;
    // Without a rotation over the drawing the extent is not needed.
    s.il_obr_rys = 0;
    w.BeginJob(Path(), s);
    EXPECT_NO_THROW(w.WriteFigure(flat, 1, 1, angle, 0)) << mode;
    w.EndJob();
  }
}

TEST_F(JobWriterFigure, PlainJobsAndShortFiguresWriteNothing) {
  const tfigura line = Figure({{0, 400}, {2000, 400}}, 4000, 4000);
  const tfigura point = Figure({{0, 400}}, 4000, 4000);
  JobSettings plain;
  const QByteArray empty = Job(plain, [](JobWriter&) {});
  double angle = 0;
  EXPECT_EQ(Job(plain, [&](JobWriter& w) { w.WriteFigure(line, 1, 1, angle, 0); }), empty);
  JobSettings serial = Settings(JobSerialCutting);
  EXPECT_EQ(
      Commands(Job(serial, [&](JobWriter& w) { w.WriteFigure(line, 1, 1, angle, 0); })).size(), 7);
  JobSettings rotary = Settings(JobRotarySpindle);
  EXPECT_EQ(
      Commands(Job(rotary, [&](JobWriter& w) { w.WriteFigure(point, 1, 1, angle, 0); })).size(), 6);
}

TEST_F(JobWriterFigure, AHoldMakesTheNextFigureWarmUpAgain) {
  const tfigura f = Figure({{400, 400}, {2400, 400}}, 4000, 0);
  for (bool hold : {false, true}) {
    JobSettings s = Settings(JobRotarySpindle);
    s.CzasRozgrzewania = 300;  // "p" 250, "p" 50
    s.Wstrzymaj = hold;
    const QStringList all = Commands(Job(s, [&](JobWriter& w) {
      double angle = 0;
      w.WriteFigure(f, 1, 1, angle, 0);
      w.PauseIfHold();
      EXPECT_EQ(w.WarmUpPending, hold);
      w.WriteFigure(f, 1, 1, angle, 0);
    }));
    EXPECT_EQ(all.count("p 50"), hold ? 2 : 1);
    EXPECT_EQ(all.count("w"), hold ? 1 : 0);
    if (hold) {
      const qsizetype at = all.indexOf("w");
      EXPECT_EQ(all.mid(at - 3, 4), (QStringList{"p 1", "r 0 2", "p 1", "w"}));
    }
  }
}

}  // namespace
}  // namespace vm::test
