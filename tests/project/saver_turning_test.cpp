// The turning and rotary-cutting savers: passes a figure with their turn
// steps and directions, the nearer end first for single passes, the figures
// skipped, the hold between rotary passes and the closing move, and that
// figures reversed for a pass come back in drawing order, also after an error.
#include <gtest/gtest.h>

#include <functional>

#include "drawing/errors.h"
#include "saver_fixture.h"
#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;
using test::Join;

constexpr std::int32_t kSteps = 50000;  // steps per revolution

int Sign(std::int32_t v) { return (v > 0) - (v < 0); }

tfigura& CutFigure(TMDIChild& w, std::initializer_list<TPointI> points, std::int32_t orderNo = 1) {
  tfigura& f = AddFig(w, points);
  f.Cut = true;
  f.OrderNo = orderNo;
  return f;
}

class TurningSaver : public test::SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    Dlgkonfig().ilosckrokow.SetValue(1);
    Dlgkonfig().KierunekObrotow.SetItemIndex(0);
    Dlgkonfig().dopasujKierunek.SetChecked(false);
  }
  // The first figure's points, to see that the save leaves them as drawn.
  std::vector<TPointI> Drawn() const { return w.Figures[0]->Points; }
  TMDIChild w;
};

TEST_F(TurningSaver, PassesTurnByOneStepEachInTheOrderOfCatDir) {
  // A 100 mm line along the axis with one revolution over its width: every
  // pass is one cut of exactly one revolution, so the rotary position at the
  // start of a pass is the pass's start angle.
  struct Case {
    const char* name;
    int catDir;
    bool matchDirection;
    int kierunek;
    std::vector<int> dx;      // direction of the cut along the axis, per pass
    std::vector<int> dz;      // sense of rotation, per pass
    std::vector<int> startZ;  // rotary position at the start of the cut, mod one turn
  };
  const Case cases[] = {
      {"both ways", 2, true, 0, {1, -1, 1, -1}, {1, -1, 1, -1}, {0, 12500, 25000, 37500}},
      {"both ways, same sense",
       2,
       false,
       0,
       {1, -1, 1, -1},
       {1, 1, 1, 1},
       {0, 12500, 25000, 37500}},
      {"right", 0, true, 0, {1, 1, 1, 1}, {1, 1, 1, 1}, {0, 12500, 25000, 37500}},
      // Reversed passes add a step to the angle reached: the first starts a step on.
      {"left", 1, true, 0, {-1, -1, -1, -1}, {-1, -1, -1, -1}, {12500, 25000, 37500, 0}},
      {"right, turning left", 0, true, 1, {1, 1, 1, 1}, {-1, -1, -1, -1}, {0, 12500, 25000, 37500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMDIChild fresh;
    tfigura& f = CutFigure(fresh, {{0, 400}, {4000, 400}});
    f.AxisWidth = 4000;
    Finish(fresh);
    Dlgkonfig().ilosckrokow.SetValue(4);
    Dlgkonfig().CatDir.SetItemIndex(c.catDir);
    Dlgkonfig().dopasujKierunek.SetChecked(c.matchDirection);
    Dlgkonfig().KierunekObrotow.SetItemIndex(c.kierunek);
    JobSettings job = Job(JobTurningSpindle, 0);
    job.il_obr_rys = 1;
    job.RotaryStartY = 50;
    fresh.Save_toczenie_wrzeciono(Path(), 0, 0, job);

    std::vector<int> dx, dz, startZ;
    std::int64_t z = 0;
    for (const sim::JobCommand& m : Moves(Bytes())) {
      if (m.dx != 0 && m.dz != 0) {  // the cut: along the axis while turning
        dx.push_back(Sign(m.dx));
        dz.push_back(Sign(m.dz));
        startZ.push_back(static_cast<int>(((z % kSteps) + kSteps) % kSteps));
        EXPECT_EQ(std::abs(m.dz), kSteps);
      }
      z += m.dz;
    }
    EXPECT_EQ(dx, c.dx);
    EXPECT_EQ(dz, c.dz);
    EXPECT_EQ(startZ, c.startZ);
    EXPECT_EQ(fresh.Figures[0]->Points, (std::vector<TPointI>{{0, 400}, {4000, 400}}));
  }
}

TEST_F(TurningSaver, AnglesAndPassesCarryFromFigureToFigure) {
  // Two lines along the axis, 10 mm and 25 mm, with one revolution over the
  // axis's 100 mm: their cuts turn 0.1 and 0.25 revolution. Four passes each,
  // alternating: a forward pass starts at its step's angle, a reversed one a
  // step after where the previous pass ended; the second figure starts again
  // at step 0, turning there from where the first figure's last pass ended.
  struct Case {
    const char* name;
    TJobOutputMode code;
    int workMode;
    bool table;  // the axis is vertical: the lines run along Y
  };
  const Case cases[] = {{"turning, spindle", JobTurningSpindle, 0, false},
                        {"turning, turntable", JobTurningTable, 0, true},
                        {"rotary cutting, spindle", JobRotarySpindle, 1, false},
                        {"rotary cutting, turntable", JobRotaryTable, 1, true}};
  Dlgkonfig().ilosckrokow.SetValue(4);
  Dlgkonfig().CatDir.SetItemIndex(2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMDIChild fresh;
    const auto line = [&](std::int32_t from, std::int32_t to, std::int32_t height) {
      tfigura& f = c.table ? CutFigure(fresh, {{-height, from}, {-height, to}})
                           : CutFigure(fresh, {{from, height}, {to, height}});
      f.AxisWidth = f.AxisHeight = 4000;
    };
    line(0, 400, 800);
    line(1000, 2000, 1200);
    Finish(fresh);
    JobSettings job = Job(c.code, c.workMode);
    job.il_obr_rys = 1;
    job.RotaryStartX = 700;
    job.RotaryStartY = 800;
    if (c.code == JobTurningSpindle) {
      fresh.Save_toczenie_wrzeciono(Path(), 0, 1, job);
    } else if (c.code == JobTurningTable) {
      fresh.Save_toczenie_stolik(Path(), 0, 1, job);
    } else {
      fresh.Save_ciecie_obrotowe(Path(), 0, 1, job);
    }

    std::vector<int> along, startZ, turn;
    std::int64_t z = 0;
    for (const sim::JobCommand& m : Moves(Bytes())) {
      const std::int32_t d = c.table ? m.dy : m.dx;
      if (d != 0 && m.dz != 0) {  // a cut: along the axis while turning
        along.push_back(Sign(d));
        startZ.push_back(static_cast<int>(((z % kSteps) + kSteps) % kSteps));
        turn.push_back(m.dz);
      }
      z += m.dz;
    }
    EXPECT_EQ(along, (std::vector<int>{1, -1, 1, -1, 1, -1, 1, -1}));
    // In revolutions: 0, 0.35, 0.5, 0.85, then 0, 0.5, 0.5, 0.
    EXPECT_EQ(startZ, (std::vector<int>{0, 17500, 25000, 42500, 0, 25000, 25000, 0}));
    EXPECT_EQ(turn, (std::vector<int>{5000, 5000, 5000, 5000, 12500, 12500, 12500, 12500}));
    const TPointI first = c.table ? TPointI{-800, 0} : TPointI{0, 800};
    EXPECT_EQ(fresh.Figures[0]->Points.front(), first);
  }
}

// The cut moves of each figure of a turning job: the moves between "f 1"
// (working speed) and the next "f 0".
std::vector<std::vector<sim::JobCommand>> CutsPerFigure(const std::vector<sim::JobCommand>& job) {
  std::vector<std::vector<sim::JobCommand>> out;
  bool cutting = false;
  for (const sim::JobCommand& c : job) {
    if (c.letter == 'f') {
      cutting = c.value == 1;
      if (cutting) out.emplace_back();
    } else if (c.letter == 'a' && cutting) {
      out.back().push_back(c);
    }
  }
  return out;
}

TEST_F(TurningSaver, SinglePassStartsAtTheEndNearerToWhereThePreviousEnded) {
  Dlgkonfig().CatDir.SetItemIndex(2);
  // The start positions as the cut sequencer sets them for a 500 mm block
  // (the writer's defaults: spindle axis at Y 730 mm, turntable axis at
  // X 1000 mm): the wire starts 250 mm from the axis, level with the first
  // entry (the first figure's first point along the axis). The nearer end is
  // measured from there in the figures' own frame, relative to the axis.
  struct Case {
    const char* name;
    bool table;
    double firstEntry, startX, startY;  // mm
    std::vector<std::vector<TPointI>> figures;
    std::vector<std::pair<int, int>> firstCut;  // signs of the first cut of each figure
  };
  const Case cases[] = {
      // The wire starts 250 mm above the profile's first point, (0, 10000):
      // that end is nearer than (9000, 3000), though the machine's start
      // height of 980 mm lies nearer to the other end.
      {"spindle", false, 0, 0, 980, {{{0, 400}, {9000, 3000}}}, {{1, 1}}},
      // From (4000, 10000) the first line's first point is nearer; the second
      // starts where the first ended; the third, with both ends equally far,
      // starts at its first point.
      {"spindle, one after another",
       false,
       100,
       0,
       980,
       {{{4000, 400}, {0, 400}}, {{4000, 800}, {8000, 800}}, {{8000, 0}, {8000, 1600}}},
       {{-1, 0}, {1, 0}, {0, 1}}},
      // The turntable's start X of 750 mm is 250 mm left of the axis:
      // (-10000, 400) in the figure's frame, nearer to (-2400, 400) than to
      // (-800, 3000). Taken as it stands, 750 mm would put the wire in at the
      // end nearer the axis.
      {"table", true, 10, 750, 250, {{{-2400, 400}, {-800, 3000}}}, {{1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TMDIChild fresh;
    for (const auto& points : c.figures) {
      tfigura& f = AddFig(fresh, points);
      f.Cut = true;
      f.OrderNo = 1;
    }
    Finish(fresh);
    JobSettings job = Job(c.table ? JobTurningTable : JobTurningSpindle, 0);
    job.FirstEntryInMaterial = c.firstEntry;
    job.RotaryStartX = c.startX;
    job.RotaryStartY = c.startY;
    if (c.table) {
      fresh.Save_toczenie_stolik(Path(), 0, fresh.FigureCount() - 1, job);
    } else {
      fresh.Save_toczenie_wrzeciono(Path(), 0, fresh.FigureCount() - 1, job);
    }
    const auto cuts = CutsPerFigure(Decode(Bytes()));
    ASSERT_EQ(cuts.size(), c.firstCut.size());
    for (std::size_t i = 0; i < cuts.size(); ++i) {
      ASSERT_FALSE(cuts[i].empty());
      EXPECT_EQ(std::make_pair(Sign(cuts[i][0].dx), Sign(cuts[i][0].dy)), c.firstCut[i]) << i;
    }
    for (std::size_t i = 0; i < c.figures.size(); ++i)
      EXPECT_EQ(fresh.Figures[i]->Points, c.figures[i]) << i;
  }
}

TEST_F(TurningSaver, TurningSkipsFiguresWithoutOrderNumberRotaryCuttingDoesNot) {
  CutFigure(w, {{0, 400}, {4000, 400}});
  CutFigure(w, {{0, 800}, {4000, 800}}, 0);    // no order number
  AddFig(w, {{0, 0}, {4000, 0}}).Cut = false;  // the rotation axis
  Finish(w);
  const auto relaysOn = [&](int channel) {
    int n = 0;
    for (const auto& c : Decode(Bytes()))
      n += c.letter == 'r' && c.value == 1 && c.channel == channel;
    return n - 1;  // the header switches the heating on once
  };
  w.Save_toczenie_wrzeciono(Path(), 0, 2, Job(JobTurningSpindle, 0));
  EXPECT_EQ(relaysOn(3), 1);
  w.Save_ciecie_obrotowe(Path(), 0, 2, Job(JobRotarySpindle, 1));
  EXPECT_EQ(relaysOn(1), 2);
}

TEST_F(TurningSaver, RotaryPassesHoldBetweenThemAndTheJobEndsAtTheStartHeight) {
  CutFigure(w, {{0, 400}, {4000, 400}});
  Finish(w);
  Dlgkonfig().ilosckrokow.SetValue(3);
  JobSettings job = Job(JobRotarySpindle, 1);
  job.Wstrzymaj = true;
  job.RotaryStartY = 800;
  job.rgAlgorytmObrotowego = 1;  // each pass ends at the figure's last point
  w.Save_ciecie_obrotowe(Path(), 0, 0, job);
  const auto cmds = Decode(Bytes());
  int holds = 0;
  for (const auto& c : cmds) holds += c.letter == 'w';
  EXPECT_EQ(holds, 2);  // between three passes, not after the last
  // The last pass ends at slot 0; the closing move at working speed goes
  // from the line's height (730 + 10 mm) to the start height, a corner after
  // the cut along X; then the trailer.
  const QStringList shape = Shape(Bytes());
  const QStringList tail = {"p 1",   "f 0",        "p 1", "f 1",  "p 10",
                            "p 200", "a 0 6000 0", "p 1", "r 0 2"};
  ASSERT_GE(shape.size(), tail.size());
  EXPECT_EQ(shape.mid(shape.size() - tail.size()), tail) << Join(shape);
}

TEST_F(TurningSaver, StatusLineAndAFailedSaveRestoreEverything) {
  CutFigure(w, {{0, 400}, {4000, 400}});  // no axis width
  Finish(w);
  Dlgkonfig().CatDir.SetItemIndex(1);  // cut reversed
  JobSettings job = Job(JobTurningSpindle, 0);
  w.Save_toczenie_wrzeciono(Path(), 0, 0, job);
  EXPECT_EQ(status, (QStringList{"Write file " + Path(), ""}));

  // Revolutions over a figure without width: the writer refuses in the
  // middle of a reversed pass.
  job.il_obr_rys = 1;
  status.clear();
  EXPECT_THROW(w.Save_toczenie_wrzeciono(Path(), 0, 0, job), MessageError);
  EXPECT_EQ(Drawn(), (std::vector<TPointI>{{0, 400}, {4000, 400}}));
  EXPECT_EQ(w.Reader, nullptr);
  EXPECT_EQ(restoredCursors, waitCursors);
  EXPECT_EQ(status.back(), "");

  EXPECT_THROW(
      w.Save_ciecie_obrotowe(dir.filePath("no/such/out.cn"), 0, 0, Job(JobRotarySpindle, 1)),
      IoError);
  EXPECT_THROW(w.Save_toczenie_wrzeciono(Path(), 0, 1, job), RangeError);
  EXPECT_EQ(restoredCursors, waitCursors);
}

}  // namespace
}  // namespace vm
