// The simulation replay: the step rule of animated moves, the sequence of
// dots, waits and pauses for small paths, aborting, and that the replay
// leaves the project as it was.
#include "project/replay.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;
using test::Hang;

// Records what the replay draws as text: "pen FF copy", "D8,8" (a dot),
// "W2" (a wait).
class RecordingCanvas : public TReplayCanvas {
 public:
  void SetPen(TColour colour, TPenMode mode) override {
    events << QStringLiteral("pen %1 %2")
                  .arg(colour, 0, 16)
                  .arg(mode == TPenMode::Merge ? "merge" : "copy");
  }
  void Dot(QPoint p) override { events << QStringLiteral("D%1,%2").arg(p.x()).arg(p.y()); }
  void Wait(std::int32_t ms) override { events << QStringLiteral("W%1").arg(ms); }
  // Where the recalibrations came: the number of events before each.
  void RecalibrateWait() override { recalibrations.push_back(events.size()); }
  QString Text() const { return events.join(' '); }
  QStringList events;
  std::vector<qsizetype> recalibrations;
};

// Aborts at its n-th question (never when n is 0).
class CountingProbe : public AbortProbe {
 public:
  explicit CountingProbe(int abortAt = 0) : abortAt_(abortAt) {}
  bool aborted() override { return ++calls == abortAt_; }
  int calls = 0;

 private:
  int abortAt_;
};

TEST(Replay, AnimationStepsFollowTheStepRule) {
  struct Case {
    QPoint from, to;
    std::vector<QPoint> steps;
  };
  const Case cases[] = {
      {{0, 0}, {5, 0}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}}},
      {{0, 0}, {3, 4}, {{1, 1}, {1, 2}, {2, 3}, {3, 3}, {3, 4}}},
      {{5, 0}, {0, 0}, {{4, 0}, {3, 0}, {2, 0}, {1, 0}, {0, 0}}},  // truncation toward zero
      {{10, 10}, {7, 6}, {{9, 9}, {9, 8}, {8, 7}, {7, 7}, {7, 6}}},
      {{0, 0}, {1, 1}, {{1, 1}}},  // one step lands on the target, not past it
      {{0, 0}, {0, 0}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnimationSteps(c.from, c.to), c.steps)
        << c.from.x() << "," << c.from.y() << " -> " << c.to.x() << "," << c.to.y();
  }
}

// Pixels at scale 1: (7 + X, 8 - Y) for a project of 4 x 4 units.
class PlainReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    // A single open figure: right 2, then up 2.
    AddFig(w, {{0, 0}, {2, 0}, {2, 2}}).typ = 0;
    AddFig(w, {{4, 4}, {4, 4}}).typ = 0;  // a far point only to span the box
    w.Figures[1]->Unlinked = true;
    Finish(w);
    w.FirstFigure = 0;
    w.SingleOpenFigure = true;
    s.Mode = 2;
    s.Pauza_w_kacie = 200;  // pauses of 50 ms
    const auto c = test::UnitScaleClient(4, 4);
    t = ComputeViewTransform(w, c.right, c.bottom, c.statusBar, s);
    ASSERT_EQ(t.ToPixel({0, 0}), QPoint(7, 8));
  }
  QString Run(int abortAt = 0) {
    CountingProbe probe(abortAt);
    TReplay replay(w, t, s, canvas, probe);
    replay.Run();
    probes = probe.calls;
    return canvas.Text();
  }
  TMDIChild w;
  TViewSettings s;
  TViewTransform t;
  RecordingCanvas canvas;
  int probes = 0;
};

TEST_F(PlainReplay, StepsPausesAndNoReturnForASingleOpenFigure) {
  // Pause at the figure's start, two dots a segment (2 ms each), a corner
  // pause at each sharp vertex.
  EXPECT_EQ(Run(), "pen ff copy W50 D8,8 W2 D9,8 W2 W50 D9,7 W2 D9,6 W2 W50");
  EXPECT_EQ(probes, 4);
  // The waits are measured afresh before the first of them.
  EXPECT_EQ(canvas.recalibrations, std::vector<qsizetype>{0});
  EXPECT_FALSE(w.SimulationAborted);
}

TEST_F(PlainReplay, FeedDirectionPicksTheEndWithoutChangingTheProject) {
  w.FeedDirection = 255;  // towards smaller X: entered at (2, 2)
  const test::Snapshot before = test::Take(w);
  EXPECT_EQ(Run(), "pen ff copy W50 D9,7 W2 D9,8 W2 W50 D8,8 W2 D7,8 W2 W50");
  EXPECT_EQ(test::Take(w), before);
  // The same replay again: nothing was reversed for good.
  canvas.events.clear();
  EXPECT_EQ(Run(), "pen ff copy W50 D9,7 W2 D9,8 W2 W50 D8,8 W2 D7,8 W2 W50");
}

TEST_F(PlainReplay, KeyOrClickStopsTheReplayAtOnce) {
  EXPECT_EQ(Run(2), "pen ff copy W50 D8,8 W2 D9,8 W2");
  EXPECT_EQ(probes, 2);
  EXPECT_TRUE(w.SimulationAborted);
  // The next replay starts afresh.
  canvas.events.clear();
  Run();
  EXPECT_FALSE(w.SimulationAborted);
}

TEST(Replay, TreeReplayPausesAtTheRightCornersOfAReversedFigure) {
  // A lead-in line entered at its end (3, 0), a square hanging at its start.
  TMDIChild w;
  tfigura& line = AddFig(w, {{1, 0}, {2, 0}, {3, 0}});
  line.typ = 0;
  line.EntryVertex = 2;
  // Only the stored vertex 0 (1, 0) is a corner.
  line.VertexRecs = {{1.5, 5, 1}, {0.0, 5, 1}, {0.0, 5, 1}};
  tfigura& sq = AddFig(w, {{1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}});
  sq.typ = 1;
  sq.VertexRecs.assign(5, TVertexRec{0.0, 10, 0});
  Hang(sq, 0, 0, 0);
  Finish(w);  // box (0, 0) - (3, 1): pixel (7 + X, 8 - Y) with a 3 x 1 client at scale 1
  w.FirstFigure = 0;
  TViewSettings s;
  s.Pauza_w_kacie = 40;  // pauses of 10 ms
  const auto c = test::UnitScaleClient(3, 1);
  const TViewTransform t = ComputeViewTransform(w, c.right, c.bottom, c.statusBar, s);
  ASSERT_EQ(t.ToPixel({0, 0}), QPoint(7, c.bottom - 7));
  const int y0 = c.bottom - 7;
  const test::Snapshot before = test::Take(w);
  RecordingCanvas canvas;
  CountingProbe probe;
  TReplay(w, t, s, canvas, probe).PlainCutting();
  const auto D = [](int x, int y) { return QStringLiteral("D%1,%2").arg(x).arg(y); };
  // From (3, 0): cut to (2, 0), to the corner (1, 0) (pause), the square
  // (pause at its start), back along the line to (3, 0) and to it again.
  const QStringList expected = {
      "pen ff copy",
      "W10",  // the line begins
      D(9, y0),
      "W2",  // to (2, 0)
      D(8, y0),
      "W2",
      "W10",  // to (1, 0), a corner
      "W10",  // the square begins
      D(8, y0 - 1),
      "W2",
      D(7, y0 - 1),
      "W2",
      D(7, y0),
      "W2",
      D(8, y0),
      "W2",
      // the return: (1, 0) is already reached, then (2, 0) and (3, 0)
      "W10",
      D(9, y0),
      "W2",
      D(10, y0),
      "W2",
      // at the line's start again after a vertex that did not pause
      "W10",
  };
  EXPECT_EQ(canvas.events, expected);
  EXPECT_EQ(test::Take(w), before);

  // Serial cutting shows the serial pass the job will cut: no way back along
  // the line, the square still cut.
  s.Mode = 3;
  RecordingCanvas serial;
  TReplay(w, t, s, serial, probe).Run();
  EXPECT_FALSE(serial.events.contains(D(10, y0)));
  EXPECT_TRUE(serial.events.contains(D(7, y0 - 1)));
}

TEST(Replay, RotaryReplayTieGoesBackwardAndTravelsHome) {
  TMDIChild w;
  tfigura& f = AddFig(w, {{0, 4}, {4, 0}});  // both ends 4 from (0, 0)
  f.Cut = true;
  Finish(w);
  TViewSettings s;
  s.Mode = 1;
  s.CatDir = 2;
  const auto c = test::UnitScaleClient(4, 4);
  const TViewTransform t = ComputeViewTransform(w, c.right, c.bottom, c.statusBar, s);
  RecordingCanvas canvas;
  CountingProbe probe;
  TReplay replay(w, t, s, canvas, probe);
  replay.Run();
  // Travel from the corner (7, 8) to (4, 0) = (11, 8): four 1 ms steps; then
  // the cut towards (0, 4) = (7, 4) in the merge mode; then home.
  EXPECT_EQ(canvas.events.mid(0, 5), (QStringList{"pen ff merge", "W1", "W1", "W1", "W1"}));
  EXPECT_EQ(canvas.events.at(5), "D10,7");
  EXPECT_EQ(replay.PenPos(), QPoint(7, 8));
  EXPECT_EQ(canvas.events.back(), "W1");
  EXPECT_EQ(canvas.recalibrations, std::vector<qsizetype>{0});

  // Turning skips figures without an order number; the axis is not cut.
  s.Mode = 0;
  s.StolikSwitch = 0;
  RecordingCanvas turning;
  TReplay(w, t, s, turning, probe).Run();
  EXPECT_EQ(turning.events.filter(QStringLiteral("D")).size(), 0);
}

}  // namespace
}  // namespace vm
