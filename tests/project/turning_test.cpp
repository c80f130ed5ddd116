// Turning preparation: the axis line on the spindle and on the table, the
// shift of the project onto it, the direction of the profile, the path
// length, the failures that close the window, re-preparation and the
// turning order.
#include <gtest/gtest.h>

#include <cmath>

#include "project/turning_steps.h"
#include "turning_fixture.h"

namespace vm::test {
namespace {

class TurningTest : public TurningFixture {};

TEST_F(TurningTest, SpindleTakesTheLowestHorizontalLineAndMovesItToTheOrigin) {
  // A horizontal line of three points is no axis line, however low it lies.
  auto w = Project({{{0, 100}, {500, 100}},
                    {{100, 200}, {300, 250}},
                    {{20, 40}, {520, 40}},
                    {{10, 10}, {100, 10}, {200, 10}}});
  ASSERT_TRUE(w->toczenie());
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "osMaBycPonizejProfilu")});
  ASSERT_EQ(w->AxisFigure, 2);
  EXPECT_EQ(PointsOf(*w, 2), (Pts{{0, 0}, {500, 0}}));
  EXPECT_EQ(PointsOf(*w, 0), (Pts{{-20, 60}, {480, 60}}));
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{80, 160}, {280, 210}}));
  EXPECT_EQ(w->Figures[1]->fig_pp, (TPointI{80, 160}));
  EXPECT_EQ(w->Figures[1]->fig_pk, (TPointI{280, 210}));
  // MinX is the axis start even where a figure reaches further left; the
  // three-point line lies below the axis, which is only a warning.
  EXPECT_EQ(w->MinX, 0);
  EXPECT_EQ(w->MaxX, 520 - 20);
  EXPECT_EQ(w->MinY, -30);
  EXPECT_EQ(w->MaxY, 210);
  EXPECT_EQ(w->Width, 500);
  EXPECT_EQ(w->Height, 240);
  for (const auto& f : w->Figures) {
    EXPECT_EQ(f->AxisWidth, 500);
    EXPECT_EQ(f->AxisHeight, 0);
    EXPECT_EQ(f->Cut, f.get() != w->Figures[2].get());
  }
  EXPECT_DOUBLE_EQ(w->PathLength, 500 + std::hypot(200, 50) + 190);
  EXPECT_EQ(w->SelectedFigure, -1);
}

TEST_F(TurningTest, ProfileBelowTheSpindleAxisIsAWarning) {
  auto w = Project({{{0, 100}, {1000, 100}}, {{0, 99}, {500, 300}, {1000, 100}}});
  w->StatusBar.SimpleText = "Figures: 2";
  ASSERT_TRUE(w->toczenie());
  EXPECT_EQ(Errors(), QStringList{Tr("Project_window", "osMaBycPonizejProfilu")});
  EXPECT_FALSE(w->CloseRequested);
  EXPECT_EQ(w->MinY, -1);
  EXPECT_EQ(w->MaxY, 200);
  EXPECT_TRUE(w->StatusBar.SimpleText.isEmpty());
  EXPECT_EQ(mainStatus.last(), QString());
  EXPECT_EQ(restores, waits);
}

TEST_F(TurningTest, TableTakesTheLowestVerticalLineAndKeepsMinYAtZero) {
  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  // Lines at X 100 (from Y 50) and X 300 (from Y 20): the lower one is the
  // axis. The profile runs from right to left and dips below the axis start;
  // the upright figure has no rule of its own on the table.
  auto w = Project({{{100, 50}, {100, 500}},
                    {{500, 0}, {350, 300}},
                    {{300, 20}, {300, 400}},
                    {{320, 30}, {320, 90}}});
  ASSERT_TRUE(w->toczenie());
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
  ASSERT_EQ(w->AxisFigure, 2);
  EXPECT_EQ(PointsOf(*w, 2), (Pts{{0, 0}, {0, 380}}));
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{50, 280}, {200, -20}}));
  EXPECT_EQ(PointsOf(*w, 3), (Pts{{20, 10}, {20, 70}}));
  EXPECT_EQ(w->MinX, -200);
  EXPECT_EQ(w->MaxX, 200);
  EXPECT_EQ(w->MinY, 0);
  EXPECT_EQ(w->MaxY, 480);
  EXPECT_EQ(w->Figures[0]->AxisHeight, 380);
}

TEST_F(TurningTest, SpindleDirectionRules) {
  struct Case {
    Pts drawn, prepared;
  };
  const Case cases[] = {
      {{{300, 50}, {200, 70}, {100, 80}}, {{100, 80}, {200, 70}, {300, 50}}},  // right to left
      {{{100, 80}, {300, 50}}, {{100, 80}, {300, 50}}},                        // already right
      {{{200, 10}, {250, 50}, {200, 90}}, {{200, 90}, {250, 50}, {200, 10}}},  // upwards: turned
      {{{200, 90}, {150, 50}, {200, 10}}, {{200, 90}, {150, 50}, {200, 10}}},  // downwards stays
  };
  for (const Case& c : cases) {
    auto w = Project({{{0, 0}, {1000, 0}}, c.drawn});
    ASSERT_TRUE(w->toczenie());
    EXPECT_EQ(PointsOf(*w, 1), c.prepared);
  }
}

TEST_F(TurningTest, MissingAxisOrProfileClosesTheWindow) {
  struct Case {
    bool rotary;
    int stolik;
    std::vector<Pts> figures;
    const char* key;
  };
  const Pts profile{{0, 10}, {50, 60}, {100, 10}};
  const Pts horizontal{{0, 0}, {100, 0}}, vertical{{0, 0}, {0, 100}}, point{{5, 5}, {5, 5}};
  const Case cases[] = {
      {false, 0, {profile, vertical}, "projektBrakOsiObrotuPozProsta"},
      {false, 0, {profile, point}, "projektBrakOsiObrotuPozProsta"},
      {false, 1, {profile, horizontal}, "projektBrakOsiObrotu"},
      {false, 0, {horizontal}, "projektBrakProfilu"},
      {false, 1, {vertical}, "projektBrakProfilu"},
      {true, 0, {profile, vertical}, "projektBrakOsiObrotuPozProsta"},
      {true, 1, {profile, horizontal}, "projektBrakOsiObrotuPionProsta"},
      {true, 2, {profile, horizontal, vertical}, "BrakSposobuMocowaniaMaterialu"},
      {true, 1, {vertical}, "projektBrakProfilu"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key);
    Dlgkonfig().StolikSwitch.SetItemIndex(c.stolik);
    messages.requests.clear();
    auto w = Project(c.figures);
    EXPECT_FALSE(c.rotary ? w->ciecie_obrotowe() : w->toczenie());
    EXPECT_TRUE(w->CloseRequested);
    EXPECT_EQ(Errors(), QStringList{Tr("Project_window", c.key)});
    EXPECT_EQ(restores, waits);
  }
}

TEST_F(TurningTest, LoadedDrawingIsPreparedForTurning) {
  Dlgkonfig().Mode.SetItemIndex(0);
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  TMDIChild w;
  ASSERT_TRUE(w.Load(Write("turn.plt", "PU1000,400;PD0,400;PU400,400;PD400,800,1600,800;PU;")));
  EXPECT_FALSE(w.CloseRequested);
  ASSERT_EQ(w.AxisFigure, 0);
  EXPECT_EQ(PointsOf(w, 0), (Pts{{1000, 0}, {0, 0}}));  // the axis is not turned round
  EXPECT_EQ(PointsOf(w, 1), (Pts{{400, 0}, {400, 400}, {1600, 400}}));
  EXPECT_DOUBLE_EQ(w.PathLength, 1600);
}

// A project prepared again after the settings changed starts from its
// drawing: what plain cutting added goes, and an earlier axis is cut again.
TEST_F(TurningTest, PreparingAgainStartsFromTheDrawing) {
  auto w = Project({{{0, 100}, {1000, 100}}, {{500, 100}, {500, 900}}, {{0, 300}, {900, 600}}});
  auto connector = std::make_unique<tfigura>();
  connector->Points = {{0, 50}, {400, 50}};
  connector->TurnParent = -1;
  const std::int32_t c = w->AddLacznik(std::move(connector), 0);
  w->Figures[static_cast<std::size_t>(c)]->Kind = 3;

  ASSERT_TRUE(w->toczenie());
  ASSERT_EQ(w->FigureCount(), 3);
  EXPECT_EQ(w->AxisFigure, 0);
  const Pts once = PointsOf(*w, 2);
  ASSERT_TRUE(w->toczenie());
  EXPECT_EQ(PointsOf(*w, 2), once);

  Dlgkonfig().StolikSwitch.SetItemIndex(1);
  ASSERT_TRUE(w->toczenie());
  EXPECT_EQ(w->AxisFigure, 1);
  EXPECT_TRUE(w->Figures[0]->Cut);
  EXPECT_FALSE(w->Figures[1]->Cut);
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{0, 800}, {0, 0}}));  // turned downwards on the spindle
}

TEST_F(TurningTest, TurningOrderPutsTurnedFiguresBeforeTheirSource) {
  // 0 source S, 1 its first pass, 2 an unrelated figure (marked as axis),
  // 3 the second pass, 4 a figure of depth 3 that no rule numbers.
  auto w = Project(
      {{{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{0, 2}, {1, 2}}, {{0, 3}, {1, 3}}, {{0, 4}, {1, 4}}});
  const std::int32_t depth[] = {0, 1, 0, 2, 3}, parent[] = {-1, 0, -1, 0, -1};
  for (int i = 0; i < 5; ++i) {
    w->Figures[i]->Depth = depth[i];
    w->Figures[i]->TurnParent = parent[i];
  }
  w->AxisFigure = 2;
  w->sortuj_toczenie();
  Pts firstPoints;
  for (const auto& f : w->Figures) firstPoints.push_back(f->Points.front());
  EXPECT_EQ(firstPoints, (Pts{{0, 4}, {0, 1}, {0, 3}, {0, 0}, {0, 2}}));
  std::vector<std::int32_t> orderNo, index;
  for (const auto& f : w->Figures) {
    orderNo.push_back(f->OrderNo);
    index.push_back(f->Index);
  }
  EXPECT_EQ(orderNo, (std::vector<std::int32_t>{-1, 1, 2, 3, 4}));
  EXPECT_EQ(index, (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
  // Indexes into the list follow their figures.
  EXPECT_EQ(w->AxisFigure, 4);
  EXPECT_EQ(w->Figures[1]->TurnParent, 3);
  EXPECT_EQ(w->Figures[2]->TurnParent, 3);
}

TEST_F(TurningTest, TurningOrderEndsOnParentCycles) {
  auto w = Project({{{0, 0}, {1, 0}}, {{0, 1}, {1, 1}}, {{0, 2}, {1, 2}}});
  w->Figures[0]->TurnParent = 1;
  w->Figures[1]->TurnParent = 0;
  w->Figures[2]->TurnParent = 2;
  w->sortuj_toczenie();
  Pts firstPoints;
  for (const auto& f : w->Figures) firstPoints.push_back(f->Points.front());
  EXPECT_EQ(firstPoints, (Pts{{0, 1}, {0, 0}, {0, 2}}));
}

}  // namespace
}  // namespace vm::test
