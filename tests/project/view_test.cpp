// The project window's drawing rules: the fit of the project into the window,
// the colours of the figures, picking with the mouse and the coordinates
// display, and the simulation command's direction rules.
#include <gtest/gtest.h>

#include "project/figure_colours.h"
#include "project/project_view.h"
#include "project/simulation_command.h"
#include "project_fixture.h"
#include "shell/fltedit_format.h"
#include "shell/interfejs.h"
#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;

class ViewTest : public test::ProjectFixture {};

TEST_F(ViewTest, TransformFitsTheProjectAboveTheStatusBar) {
  TMDIChild w;
  AddFig(w, {{100, 200}, {4100, 2200}});
  Finish(w);
  // 420 x 230 client, status bar 20: width 400 and height 230 - 10 - 40 = 180 available.
  const TViewTransform t = ComputeViewTransform(w, 420, 230, 20, TViewSettings{});
  ASSERT_TRUE(t.Valid);
  EXPECT_DOUBLE_EQ(t.Scale, 180.0 / 2001);
  EXPECT_EQ(t.Left, 7);
  EXPECT_EQ(t.BaseLine, 230 - 20 - 7);
  EXPECT_EQ(t.ToPixel({100, 200}), QPoint(7, 203));
  // 4000 x 0.08996 = 359.82 -> 360; 2000 x 0.08996 = 179.91 -> 180.
  EXPECT_EQ(t.ToPixel({4100, 2200}), QPoint(367, 23));

  // A wide window: the width decides.
  EXPECT_DOUBLE_EQ(ComputeViewTransform(w, 420, 2000, 20, TViewSettings{}).Scale, 400.0 / 4001);
}

TEST_F(ViewTest, TurningOnAnAxisMakesRoomForTheMaterialRadius) {
  TMDIChild w;
  AddFig(w, {{0, 0}, {4000, 2000}});
  Finish(w);
  TViewSettings s;
  s.Srednicamaterialu = 500;  // radius 250 mm = 10000 units, above the height of 2000
  for (int table : {0, 1}) {
    s.Mode = 0;
    s.StolikSwitch = table;
    EXPECT_DOUBLE_EQ(ComputeViewTransform(w, 420, 230, 20, s).Scale, 180.0 / 10001) << table;
  }
  s.StolikSwitch = 2;  // no axis: the project alone
  EXPECT_DOUBLE_EQ(ComputeViewTransform(w, 420, 230, 20, s).Scale, 180.0 / 2001);
  s.Srednicamaterialu = 50;  // radius below the height
  s.StolikSwitch = 0;
  EXPECT_DOUBLE_EQ(ComputeViewTransform(w, 420, 230, 20, s).Scale, 180.0 / 2001);
}

TEST_F(ViewTest, ProjectWithoutWidthOrHeightIsNotDrawnNorPicked) {
  struct Case {
    const char* name;
    std::vector<TPointI> points;
  };
  const Case cases[] = {{"horizontal line", {{0, 50}, {100, 50}}},
                        {"vertical line", {{20, 0}, {20, 100}}}};
  for (const Case& c : cases) {
    TMDIChild w;
    auto f = std::make_unique<tfigura>();
    f->Points = c.points;
    w.AddFigure(std::move(f));
    Finish(w);
    TProjectView view;
    EXPECT_TRUE(view.FormPaint(w, 400, 300, 20, TViewSettings{}).empty()) << c.name;
    EXPECT_FALSE(view.Transform().Valid) << c.name;
    EXPECT_EQ(PickFigure(w, view.Transform(), QPoint(7, 273)), -1) << c.name;
  }
  TMDIChild empty;
  TProjectView view;
  EXPECT_TRUE(view.FormPaint(empty, 400, 300, 20, TViewSettings{}).empty());
}

TEST_F(ViewTest, FigureColoursFollowTheWorkMode) {
  TMDIChild w;
  AddFig(w, {{0, 0}, {100, 0}, {100, 100}, {0, 0}}).typ = 1;  // 0 closed
  AddFig(w, {{0, 0}, {50, 50}}).typ = 0;                      // 1 open
  tfigura& unlinkedOpen = AddFig(w, {{10, 0}, {60, 50}});     // 2 open, not reached
  unlinkedOpen.typ = 0;
  unlinkedOpen.Unlinked = true;
  Finish(w);
  w.AxisFigure = 0;

  struct Case {
    int mode, table;
    TColour closed, open, unlinked;
  };
  const Case cases[] = {
      {0, 2, kColourBlack, kColourBlue, kColourBlue},    // turning without an axis
      {0, 0, kColourGreen, kColourBlack, kColourBlack},  // spindle: axis green
      {0, 1, kColourGreen, kColourBlack, kColourBlack},  // table
      {1, 0, kColourGreen, kColourBlack, kColourBlack},  // rotary cutting
      {2, 0, kColourBlack, kColourBlue, kColourRed},     // cutting: unlinked wins over open
      {3, 0, kColourBlack, kColourBlue, kColourRed},     // serial cutting
  };
  for (const Case& c : cases) {
    TViewSettings s;
    s.Mode = c.mode;
    s.StolikSwitch = c.table;
    EXPECT_EQ(RoleColour(FigureRole(w, 0, s)), c.closed) << c.mode << "/" << c.table;
    EXPECT_EQ(RoleColour(FigureRole(w, 1, s)), c.open) << c.mode << "/" << c.table;
    EXPECT_EQ(RoleColour(FigureRole(w, 2, s)), c.unlinked) << c.mode << "/" << c.table;
    w.SelectedFigure = 2;  // the selection wins in every mode
    EXPECT_EQ(RoleColour(FigureRole(w, 2, s)), kColourWhite) << c.mode;
    w.SelectedFigure = -1;
  }
}

// Pixels at scale 1: (7 + X, 104 - Y) for a project of 100 x 100 units.
class PickTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    AddFig(w, {{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}});  // 0: frame, edges far away
    AddFig(w, {{0, 50}, {100, 50}});                              // 1: pixel row 54
    AddFig(w, {{0, 51}, {100, 51}});                              // 2: pixel row 53
    Finish(w);
    const auto c = test::UnitScaleClient(100, 100);
    ASSERT_FALSE(view.FormPaint(w, c.right, c.bottom, c.statusBar, TViewSettings{}).empty());
    ASSERT_EQ(view.Transform().ToPixel({0, 50}), QPoint(7, 54));
  }
  std::int32_t Click(QPoint p, TShiftState shift = {}) {
    view.FormMouseDown(w, TMouseButton::Left, shift, p);
    return w.SelectedFigure;
  }
  TMDIChild w;
  TProjectView view;
};

TEST_F(PickTest, ReachIsBelowThreePixelsAndTheLaterFigureWins) {
  struct Case {
    QPoint at;
    std::int32_t picked;
  };
  const Case cases[] = {
      {{57, 57}, -1},  // exactly 3.0 below figure 1, 4 below figure 2
      {{57, 56}, 1},   // 2 from figure 1, 3.0 from figure 2
      {{57, 54}, 2},   // both within reach: the later one
      {{57, 50}, -1},  // exactly 3.0 above figure 2
      {{5, 54}, 2},    // beyond the ends: measured to the end points (2 and 2.24)
      {{112, 54}, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Click(c.at), c.picked) << c.at.x() << "," << c.at.y();
}

TEST_F(PickTest, StatusLineShowsTheNumberAndWithCtrlShiftTheEnds) {
  const QString nr = Tr("Project_window", "wybranaFiguraNr");
  ASSERT_NE(nr, "error");
  EXPECT_EQ(Click({57, 56}), 1);
  EXPECT_EQ(w.StatusBar.SimpleText, nr + "1");

  TShiftState ctrlShift{true, true, false};
  Click({57, 56}, ctrlShift);
  EXPECT_EQ(w.StatusBar.SimpleText, nr + "1     p0:(0 ; 50)   p1:(100 ; 50)  [hpgl]");
  EXPECT_TRUE(messages.requests.isEmpty());

  // The button's release clears the line; a miss clears it too.
  view.FormMouseUp(w);
  EXPECT_TRUE(w.StatusBar.SimpleText.isEmpty());
  Click({57, 56});
  Click({200, 200});
  EXPECT_EQ(w.SelectedFigure, -1);
  EXPECT_TRUE(w.StatusBar.SimpleText.isEmpty());
}

TEST_F(PickTest, CtrlShiftAltListsThePointsInMillimetres) {
  TShiftState all{true, true, true};
  EXPECT_EQ(Click({57, 56}, all), 1);
  EXPECT_EQ(w.StatusBar.SimpleText, Tr("Project_window", "wybranaFiguraNr") + "1");
  ASSERT_EQ(messages.requests.size(), 1);
  const QChar dp = LocaleDecimalPoint();
  const QString d(dp);
  EXPECT_EQ(messages.requests[0].text,
            "\r\np0:(0" + d + "00 ; 1" + d + "25) [mm]\r\np1:(2" + d + "50 ; 1" + d + "25) [mm]");
  EXPECT_EQ(messages.requests[0].caption, Tr("Project_window", "wybranaFiguraNr") + "1");
  EXPECT_EQ(messages.requests[0].icon, MessageIcon::Information);
}

TEST_F(PickTest, RightButtonAsksForTheInfoAndKeepsTheSelection) {
  Click({57, 56});
  EXPECT_EQ(view.FormMouseDown(w, TMouseButton::Right, {}, {200, 200}),
            TProjectView::TAction::ShowInfo);
  EXPECT_EQ(view.FormMouseDown(w, TMouseButton::Middle, {}, {200, 200}),
            TProjectView::TAction::None);
  EXPECT_EQ(w.SelectedFigure, 1);
  EXPECT_TRUE(view.FormMouseMove(w, true));
  EXPECT_FALSE(view.FormMouseMove(w, false));
}

TEST_F(ViewTest, EachWindowPicksWithItsOwnTransform) {
  // Window A: the line fills a small window. Window B: another project, a big
  // window, painted after A.
  TMDIChild a, b;
  AddFig(a, {{0, 0}, {100, 100}});
  Finish(a);
  AddFig(b, {{0, 0}, {10, 0}, {10, 10000}});
  Finish(b);
  TProjectView viewA, viewB;
  const auto ca = test::UnitScaleClient(100, 100);
  viewA.FormPaint(a, ca.right, ca.bottom, ca.statusBar, TViewSettings{});
  viewB.FormPaint(b, 1200, 900, 25, TViewSettings{});
  // The middle of A's diagonal, where A shows it.
  const QPoint mid = viewA.Transform().ToPixel({50, 50});
  EXPECT_EQ(viewA.FormMouseDown(a, TMouseButton::Left, {}, mid), TProjectView::TAction::Repaint);
  EXPECT_EQ(a.SelectedFigure, 0);
  // B's transform would have put A's diagonal elsewhere.
  EXPECT_EQ(PickFigure(a, viewB.Transform(), mid), -1);
}

TEST_F(ViewTest, SimulationCommandDirectionRules) {
  TMDIChild w;
  bool simulatingDuringPaint = false;
  const auto paint = [&] { simulatingDuringPaint = w.Simulating; };

  // Cutting with both directions: successive simulations alternate.
  w.FeedDirection = 1;
  std::vector<int> seen;
  for (int k = 0; k < 3; ++k) {
    SymulacjaClick(w, 2, 2, [&] {
      paint();
      seen.push_back(w.FeedDirection);
    });
    EXPECT_TRUE(simulatingDuringPaint);
    EXPECT_FALSE(w.Simulating);
  }
  EXPECT_EQ(seen, (std::vector<int>{1, 255, 1}));
  // One direction only: unchanged.
  SymulacjaClick(w, 2, 0, paint);
  EXPECT_EQ(w.FeedDirection, 255);
  // Serial cutting: the pass number decides and nothing is turned round.
  struct Case {
    std::int32_t pass;
    std::uint8_t feed;
  };
  for (const Case c : {Case{3, 1}, Case{4, 255}, Case{0, 255}}) {
    w.PassNumber = c.pass;
    SymulacjaClick(w, 3, 2, [&] { EXPECT_EQ(w.FeedDirection, c.feed) << c.pass; });
    EXPECT_EQ(w.FeedDirection, c.feed) << c.pass;
  }
}

}  // namespace
}  // namespace vm
