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

// A notch narrower than the tool and a saw-tooth with spikes: the clean-up
// ends, keeps one outline point per figure point and keeps the tool out of
// the notch.
TEST_F(OutlineOffsetTest, CleanUpOfNarrowNotchesAndSpikes) {
  const Pts notch{{0, 0}, {100, 0}, {100, -30}, {130, -30}, {130, 0}, {300, 0}};
  const Pts outline = MakeOutline(notch, 40, 20);
  ASSERT_EQ(outline.size(), notch.size());
  for (const TPointI& p : outline) EXPECT_GE(p.Y, 18) << p.X;

  Pts saw;
  for (int k = 0; k < 40; ++k) saw.push_back({k * 30, (k % 2) * (k % 3 == 0 ? 400 : 25)});
  EXPECT_EQ(MakeOutline(saw, 40, 20).size(), saw.size());
}

}  // namespace
}  // namespace vm::test
