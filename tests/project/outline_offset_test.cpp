// Offset outline of a figure for an elliptical tool: end points, corners and
// gentle vertices, the side of the outline for every direction of travel,
// paths that turn back or repeat points, and the arguments it refuses.
#include "project/outline_offset.h"

#include <gtest/gtest.h>

#include <cmath>

#include "turning_fixture.h"

namespace vm::test {
namespace {

class OutlineOffsetTest : public ProjectFixture {};

TEST_F(OutlineOffsetTest, OffsetsEveryPointToTheLeftOfTheTravel) {
  struct Case {
    const char* what;
    Pts points, outline;
  };
  const Case cases[] = {
      // The top of the ellipse (rx 40, ry 20) above a cut towards larger X.
      {"horizontal towards larger X", {{0, 0}, {100, 0}}, {{0, 20}, {100, 20}}},
      {"vertical upwards", {{0, 0}, {0, 100}}, {{-40, 0}, {-40, 100}}},
      // A corner of more than 0.1744444 rad: the offset lines' crossing.
      {"right-angle corner", {{0, 0}, {100, 0}, {100, 100}}, {{0, 20}, {60, 20}, {60, 100}}},
      // A vertex turning by about 0.1 rad: the ellipse point for the mean direction.
      {"gentle vertex", {{0, 0}, {1000, 0}, {2000, 100}}, {{0, 20}, {996, 20}, {1992, 120}}},
      // Towards smaller X the left side is below; the ends agree with the corner.
      {"corner travelling left",
       {{200, 0}, {100, 0}, {100, -100}},
       {{200, -20}, {140, -20}, {140, -100}}},
      {"straight on travelling left",
       {{200, 0}, {100, 0}, {0, 0}},
       {{200, -20}, {100, -20}, {0, -20}}},
      // A repeated point takes the offset of its neighbours.
      {"repeated point",
       {{0, 0}, {100, 0}, {100, 0}, {200, 0}},
       {{0, 20}, {100, 20}, {100, 20}, {200, 20}}},
      // Turning straight back: the tool rounds the end, no point at the origin.
      {"turning back",
       {{1000, 1000}, {1100, 1000}, {1050, 1000}},
       {{1000, 1020}, {1100, 1020}, {1050, 980}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto w = Project({c.points});
    w->makeOutline(0, 40, 20);
    EXPECT_EQ(w->Figures[0]->Outline, c.outline);
  }
}

TEST_F(OutlineOffsetTest, ShortFiguresAndBadArgumentsLeaveTheOutlineAlone) {
  auto w = Project({{{5, 5}}, {{0, 0}, {10, 0}}});
  w->Figures[0]->Outline = {{7, 7}};
  w->makeOutline(0, 40, 20);
  EXPECT_EQ(w->Figures[0]->Outline, (Pts{{7, 7}}));
  EXPECT_THROW(w->makeOutline(1, 0, 20), RangeError);
  EXPECT_THROW(w->makeOutline(1, 40, -1), RangeError);
  EXPECT_THROW(w->makeOutline(2, 40, 20), RangeError);
  EXPECT_THROW(w->makeOutline(-1, 40, 20), RangeError);
  EXPECT_TRUE(w->Figures[1]->Outline.empty());
}

// The clean-up pass on its points, for the tool rx 40, ry 20 over a cut
// towards larger X (the outline 20 above the straight parts).
TEST_F(OutlineOffsetTest, CleanUpReplacesTheRunsTheToolCannotFollow) {
  struct Case {
    const char* what;
    Pts points, outline;
  };
  const Case cases[] = {
      // A slot wider than the tool: the offsets of its corners are all good
      // and stay (40 in from the walls, 20 above the floor).
      {"slot the tool fits",
       {{0, 0}, {400, 0}, {400, -100}, {500, -100}, {500, 0}, {800, 0}},
       {{0, 20}, {440, 20}, {440, -80}, {460, -80}, {460, 20}, {800, 20}}},
      // A V-notch 60 wide: the corner offsets (431, 20), (430, 23), (429, 20)
      // loop back against the notch's first side. Outline point 1 turns back
      // (a cusp); the run from it is replaced by the crossing of the offset
      // lines of the notch's second side and the edge before the notch,
      // (429, 20), after which the outline runs straight on.
      {"V-notch narrower than the tool",
       {{0, 0}, {400, 0}, {430, -60}, {460, 0}, {800, 0}},
       {{0, 20}, {429, 20}, {429, 20}, {429, 20}, {800, 20}}},
      // A square notch 30 wide: the edge from the first point to the notch's
      // first corner offset (140, 20) runs along the edge after the notch,
      // which starts at (90, 20); the crossing of these two edges of one line
      // is the middle of their overlap, (115, 20), and it replaces every
      // point up to the one before that later edge's end.
      {"square notch narrower than the tool",
       {{0, 0}, {100, 0}, {100, -30}, {130, -30}, {130, 0}, {300, 0}},
       {{0, 20}, {115, 20}, {115, 20}, {115, 20}, {115, 20}, {300, 20}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MakeOutline(c.points, 40, 20), c.outline);
  }

  // A long saw-tooth with tall spikes: the pass ends, with one outline point
  // per figure point.
  Pts saw;
  for (int k = 0; k < 40; ++k) saw.push_back({k * 30, (k % 2) * (k % 3 == 0 ? 400 : 25)});
  EXPECT_EQ(MakeOutline(saw, 40, 20).size(), saw.size());
}

}  // namespace
}  // namespace vm::test
