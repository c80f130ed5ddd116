// The walker of the plain-cutting tree that the saver and the replay share:
// the order of the items, the open-figure rules, the serial pass, and that
// the walk leaves the project as it was.
#include <gtest/gtest.h>

#include "drawing/errors.h"
#include "project/cut_path.h"
#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;
using test::Hang;
using test::Items;

// A closed square entered at its corner 0, a connector from its corner 2 and
// a triangle at the connector's end.
std::unique_ptr<TMDIChild> SquareConnectorTriangle() {
  auto w = std::make_unique<TMDIChild>();
  AddFig(*w, {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}).typ = 1;
  tfigura& conn = AddFig(*w, {{100, 100}, {150, 150}});
  conn.Kind = 3;
  conn.typ = 0;
  Hang(conn, 0, 2, 0);
  tfigura& tri = AddFig(*w, {{150, 150}, {200, 150}, {150, 200}, {150, 150}});
  tri.typ = 1;
  Hang(tri, 1, 1, 0);
  Finish(*w);
  w->FirstFigure = 0;
  return w;
}

TEST(CutPath, WalksChildrenWhereTheyHangTowardsTheHigherNeighbour) {
  auto w = SquareConnectorTriangle();
  const TCutPath path = WalkCutPath(*w);
  EXPECT_EQ(path.FirstFigure, 0);
  EXPECT_EQ(path.Start, (TPointI{0, 0}));
  // The square leaves corner 0 towards (0, 100), its higher neighbour, so it
  // runs backwards; the connector is cut there and back.
  EXPECT_EQ(Items(path), "E0 C0.4 C0.3 C0.2 E1 C1.1 E2 C2.3 C2.2 C2.1 C2.0 C1.0 C0.1 C0.0");
  EXPECT_EQ(path.Items[5].point, (TPointI{150, 150}));
}

// An open polyline entered at its last point with a triangle hanging at its
// stored vertex 1.
std::unique_ptr<TMDIChild> OpenEnteredAtItsEnd() {
  auto w = std::make_unique<TMDIChild>();
  tfigura& line = AddFig(*w, {{0, 0}, {10, 0}, {20, 0}, {30, 0}});
  line.typ = 0;
  line.EntryVertex = 3;
  tfigura& tri = AddFig(*w, {{10, 0}, {20, 10}, {10, 20}, {10, 0}});
  tri.typ = 1;
  Hang(tri, 0, 1, 0);
  Finish(*w);
  w->FirstFigure = 0;
  return w;
}

TEST(CutPath, OpenFigureEnteredAtItsEndRunsFromThereAndBackWithoutChangingTheProject) {
  auto w = OpenEnteredAtItsEnd();
  const test::Snapshot before = test::Take(*w);
  const TCutPath path = WalkCutPath(*w);
  EXPECT_EQ(path.Start, (TPointI{30, 0}));
  // Walked as if reversed: the triangle comes up at stored vertex 1, then the
  // wire comes back along the line to where it entered.
  EXPECT_EQ(Items(path), "E0 C0.2 C0.1 E1 C1.3 C1.2 C1.1 C1.0 C0.0 R0.0 R0.1 R0.2 R0.3 C0.3");
  EXPECT_TRUE(path.Items.back().walkVertexZero);
  EXPECT_EQ(test::Take(*w), before);
  // A second walk of the unchanged project gives the same path.
  EXPECT_EQ(Items(WalkCutPath(*w)), Items(path));
}

TEST(CutPath, OpenFigureEnteredAtAnInnerVertexComesBackAlongItself) {
  auto w = OpenEnteredAtItsEnd();
  w->Figures[0]->EntryVertex = 1;  // the wire enters at (10, 0)
  Hang(*w->Figures[1], 0, 2, 0);   // the triangle hangs at (20, 0)
  const TCutPath path = WalkCutPath(*w);
  EXPECT_EQ(path.Start, (TPointI{10, 0}));
  // To the far end, back to the first point and forward to the entry: no
  // straight move across the part.
  EXPECT_EQ(Items(path), "E0 C0.2 E1 C1.3 C1.2 C1.1 C1.0 C0.3 R0.3 R0.2 R0.1 R0.0 C0.0 C0.1");
  TCutPathRules serial;
  serial.Serial = true;
  // The triangle, walked backward, is still closed in a serial pass.
  EXPECT_EQ(Items(WalkCutPath(*w, serial)),
            "E0 C0.2 E1 C1.3 C1.2 C1.1 C1.0 C0.3 R0.3 R0.2 R0.1 R0.0 C0.0 C0.1");
  // One open figure alone ends at its first point.
  w->Figures.pop_back();
  w->SingleOpenFigure = true;
  EXPECT_EQ(Items(WalkCutPath(*w)), "E0 C0.2 C0.3 R0.3 R0.2 R0.1 R0.0");
}

TEST(CutPath, SaverRulesSerialPassAndFrameNotCut) {
  auto w = OpenEnteredAtItsEnd();
  TCutPathRules serial;
  serial.Serial = true;  // no return along the open first figure; the triangle closed
  EXPECT_EQ(Items(WalkCutPath(*w, serial)), "E0 C0.2 C0.1 E1 C1.3 C1.2 C1.1 C1.0 C0.0");
  TCutPathRules frame;
  frame.CutFirstFigure = false;  // the first figure's own edges make no moves
  EXPECT_EQ(Items(WalkCutPath(*w, frame)), "E0 E1 C1.3 C1.2 C1.1 C1.0 R0.0 R0.1 R0.2 R0.3");
}

TEST(CutPath, SerialPassStillCutsFiguresHangingWhereItEnds) {
  // Two triangles hang at the square's closing vertex 4, where a serial pass
  // of four steps ends.
  auto w = SquareConnectorTriangle();
  w->Figures[0]->EntryVertex = 0;
  tfigura& sq = *w->Figures[0];
  sq.Points = {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}};  // forward from 0
  tfigura& a = AddFig(*w, {{0, 0}, {-10, 0}, {0, -10}, {0, 0}});
  a.typ = 1;
  Hang(a, 0, 4, 0);
  tfigura& b = AddFig(*w, {{0, 0}, {-20, 0}, {0, -20}, {0, 0}});
  b.typ = 1;
  Hang(b, 0, 4, 0);
  TCutPathRules serial;
  serial.Serial = true;
  // The square ends on its vertex 4 and the triangles there follow; the
  // connector is cut out and back, the triangle at its end all round.
  EXPECT_EQ(Items(WalkCutPath(*w, serial)).toStdString(),
            "E0 C0.1 C0.2 E1 C1.1 E2 C2.3 C2.2 C2.1 C2.0 C1.0 C0.3 C0.4 E3 C3.1 C3.2 C3.3 E4 C4.1 "
            "C4.2 C4.3");
}

TEST(CutPath, SerialPassBringsTheWireBackToWhereAFigureHangs) {
  // A square run forward from its corner 0 with an open polyline hanging at
  // its corner 1: the polyline is cut and the wire comes back along it before
  // the square goes on, as in plain cutting; only the first figure's own
  // steps end one early.
  TMDIChild w;
  AddFig(w, {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}}).typ = 1;
  tfigura& line = AddFig(w, {{0, 100}, {50, 150}, {100, 150}});
  line.typ = 0;
  Hang(line, 0, 1, 0);
  Finish(w);
  w.FirstFigure = 0;
  TCutPathRules serial;
  serial.Serial = true;
  EXPECT_EQ(Items(WalkCutPath(w, serial)),
            "E0 C0.1 E1 C1.1 C1.2 R1.2 R1.1 R1.0 C1.0 C0.2 C0.3 C0.4");
}

TEST(CutPath, SingleOpenFigureDoesNotComeBack) {
  struct Case {
    const char* name;
    std::vector<TPointI> points;
    std::optional<std::int32_t> entry;
    const char* items;
  };
  const Case cases[] = {
      {"from its start", {{0, 0}, {10, 0}, {20, 5}, {30, 0}}, 0, "E0 C0.1 C0.2 C0.3"},
      {"from its end", {{0, 0}, {10, 0}, {20, 5}, {30, 0}}, 3, "E0 C0.2 C0.1 C0.0"},
      {"line from its start", {{0, 0}, {30, 0}}, 0, "E0 C0.1"},
      // The line is still cut when entered at its end.
      {"line from its end", {{0, 0}, {30, 0}}, 1, "E0 C0.0"},
  };
  for (const Case& c : cases) {
    TMDIChild w;
    tfigura& f = AddFig(w, c.points);
    f.typ = 0;
    Finish(w);
    w.SingleOpenFigure = true;
    TCutPathRules rules;
    rules.FirstEntry = c.entry;
    EXPECT_EQ(Items(WalkCutPath(w, rules)), c.items) << c.name;
    EXPECT_EQ(f.EntryVertex, 0) << c.name;  // the override is not written back
  }
}

TEST(CutPath, SingleOpenFigureEntryFollowsTheFeedDirection) {
  TMDIChild w;
  tfigura& f = AddFig(w, {{0, 0}, {10, 5}, {30, 0}});
  Finish(w);
  EXPECT_EQ(SingleOpenFigureEntry(w, 1), 0);
  EXPECT_EQ(SingleOpenFigureEntry(w, 255), 2);
  f.Points = {{30, 0}, {10, 5}, {0, 0}};
  EXPECT_EQ(SingleOpenFigureEntry(w, 1), 2);
  EXPECT_EQ(SingleOpenFigureEntry(w, 255), 0);
  f.Points = {{0, 0}, {0, 9}};  // equal X: +1 takes the last point
  EXPECT_EQ(SingleOpenFigureEntry(w, 1), 1);
}

TEST(CutPath, UnsoundTreesAreWalkedSafely) {
  auto w = SquareConnectorTriangle();
  // A figure not reached by the preparation keeps a stale parent; another
  // hangs from itself: neither is walked.
  tfigura& stale = AddFig(*w, {{0, 0}, {5, 5}});
  Hang(stale, 0, 0, 0);
  stale.Unlinked = true;
  tfigura& self = AddFig(*w, {{0, 0}, {5, 5}});
  Hang(self, 4, 0, 0);
  // A link vertex that does not exist never comes up.
  tfigura& lost = AddFig(*w, {{0, 0}, {5, 5}});
  Hang(lost, 0, 99, 0);
  EXPECT_EQ(Items(WalkCutPath(*w)),
            "E0 C0.4 C0.3 C0.2 E1 C1.1 E2 C2.3 C2.2 C2.1 C2.0 C1.0 C0.1 C0.0");

  // Entry vertices outside the point list are refused.
  w->Figures[2]->EntryVertex = 4;
  EXPECT_THROW(WalkCutPath(*w), RangeError);
  w->Figures[2]->EntryVertex = 0;
  TCutPathRules rules;
  rules.FirstEntry = -1;
  EXPECT_THROW(WalkCutPath(*w, rules), RangeError);
  w->FirstFigure = 7;
  EXPECT_THROW(WalkCutPath(*w), RangeError);

  TMDIChild empty;
  EXPECT_EQ(WalkCutPath(empty).FirstFigure, -1);
  EXPECT_TRUE(WalkCutPath(empty).Items.empty());
}

}  // namespace
}  // namespace vm
