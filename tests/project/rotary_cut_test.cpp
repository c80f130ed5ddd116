// Rotary-cutting preparation: which line is the axis on the spindle and on
// the table, the shift onto it, the axis flags and the profile on the axis.
#include <gtest/gtest.h>

#include <cmath>

#include "turning_fixture.h"

namespace vm::test {
namespace {

class RotaryCutTest : public TurningFixture {};

TEST_F(RotaryCutTest, TableTakesTheRightmostVerticalLine) {
  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  // Two lines at X 300: the first of them wins.
  auto w = Project({{{100, 0}, {100, 500}},
                    {{300, 20}, {300, 400}},
                    {{600, 100}, {250, 200}},
                    {{300, 50}, {300, 60}},
                    {{0, 0}, {50, 0}}});
  ASSERT_TRUE(w->ciecie_obrotowe());
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
  ASSERT_EQ(w->AxisFigure, 1);
  EXPECT_TRUE(w->VerticalAxis);
  EXPECT_FALSE(w->HorizontalAxis);
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{0, 0}, {0, 380}}));
  EXPECT_EQ(PointsOf(*w, 2), (Pts{{-50, 180}, {300, 80}}));  // turned to run towards larger X
  EXPECT_EQ(w->MinX, -300);
  EXPECT_EQ(w->MaxX, 300);
  EXPECT_EQ(w->MinY, -20);
  EXPECT_EQ(w->MaxY, 480);
  EXPECT_EQ(w->Width, 600);
  EXPECT_EQ(w->Height, 500);
  EXPECT_FALSE(w->ProfileOnAxis);
  EXPECT_FALSE(w->Figures[1]->Cut);
}

TEST_F(RotaryCutTest, SpindleTakesTheLowestHorizontalLineAndKeepsTheListOrder) {
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  // The profile hangs below the axis: its highest point is on the axis.
  auto w = Project(
      {{{0, 100}, {800, 100}}, {{100, -300}, {400, 40}, {700, -300}}, {{50, 40}, {750, 40}}});
  w->Figures[1]->Depth = 1;  // no turning order in rotary cutting
  ASSERT_TRUE(w->ciecie_obrotowe());
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
  ASSERT_EQ(w->AxisFigure, 2);
  EXPECT_TRUE(w->HorizontalAxis);
  EXPECT_EQ(PointsOf(*w, 2), (Pts{{0, 0}, {700, 0}}));
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{50, -340}, {350, 0}, {650, -340}}));
  EXPECT_EQ(w->MaxY, 60);
  EXPECT_FALSE(w->ProfileOnAxis);

  auto below = Project({{{0, 0}, {800, 0}}, {{100, -300}, {400, 0}, {700, -300}}});
  ASSERT_TRUE(below->ciecie_obrotowe());
  EXPECT_TRUE(below->ProfileOnAxis);
  EXPECT_DOUBLE_EQ(below->PathLength, 2 * std::hypot(300, 300));
}

}  // namespace
}  // namespace vm::test
