// Roughing passes for turning: the number of passes from the material's
// diameter, the levels stepping down and following the outline, the order
// before the profile, and what a second call or a missing outline does.
#include <gtest/gtest.h>

#include "turning_fixture.h"

namespace vm::test {
namespace {

class TurningRoughingTest : public TurningFixture {
 protected:
  // A spindle project: the axis and a profile 200 units (5 mm) high with
  // the outline of a tool of semi-axes 40 and 20.
  std::unique_ptr<TMDIChild> Prepared() {
    auto w = Project({{{0, 0}, {2000, 0}}, {{0, 0}, {0, 200}, {2000, 200}, {2000, 0}}});
    EXPECT_TRUE(w->toczenie());
    w->makeOutline(1, 40, 20);
    return w;
  }
};

TEST_F(TurningRoughingTest, PassesStepDownFromTheRadiusAndComeBeforeTheProfile) {
  Dlgkonfig().Srednicamaterialu.SetValue(40);  // radius 800 units: Round(2.5) = 2 passes
  auto w = Prepared();
  ASSERT_EQ(w->Figures[1]->Outline, (Pts{{-40, 0}, {-40, 220}, {2040, 220}, {2040, 0}}));
  w->make_new_fig();
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("|").toStdString();
  EXPECT_EQ(w->RoughingPass, 2);
  ASSERT_EQ(w->FigureCount(), 4);
  // The first pass at 400 is clear of the outline; the second at the
  // bottom follows the outline between the limits.
  EXPECT_EQ(PointsOf(*w, 0), (Pts{{-39, 400}, {2040, 400}}));
  EXPECT_EQ(PointsOf(*w, 1), (Pts{{0, 0}, {2000, 0}}));
  EXPECT_EQ(PointsOf(*w, 2), (Pts{{-39, 0}, {-39, 220}, {2040, 220}, {2040, 0}}));
  EXPECT_EQ(PointsOf(*w, 3), (Pts{{0, 0}, {0, 200}, {2000, 200}, {2000, 0}}));
  EXPECT_EQ(w->AxisFigure, 1);
  for (const std::int32_t r : {0, 2}) {
    const tfigura& f = *w->Figures[static_cast<std::size_t>(r)];
    EXPECT_FALSE(f.oryg);
    EXPECT_FALSE(f.Cut);
    EXPECT_EQ(f.Pen, 1);
    EXPECT_EQ(f.TurnParent, 3);
    EXPECT_EQ(f.Depth, r == 0 ? 1 : 2);
  }

  // A second call replaces the passes of the first.
  w->make_new_fig();
  EXPECT_EQ(w->FigureCount(), 4);
}

TEST_F(TurningRoughingTest, DiameterDecidesThePasses) {
  struct Case {
    double diameterMm;
    bool warned;
    int roughing;
  };
  // 8 mm is smaller than the 5 mm high profile's double: the profile's
  // height is the radius, one pass. Diameter 0: no passes.
  const Case cases[] = {{40, false, 2}, {60, false, 3}, {8, true, 1}, {0, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.diameterMm);
    Dlgkonfig().Srednicamaterialu.SetValue(c.diameterMm);
    messages.requests.clear();
    auto w = Prepared();
    w->make_new_fig();
    EXPECT_EQ(Errors(), c.warned ? QStringList{Tr("Project_window", "projektWiekszyOdSrednicy")}
                                 : QStringList{});
    EXPECT_EQ(w->FigureCount(), 2 + c.roughing);
  }
}

TEST_F(TurningRoughingTest, ProfileWithoutOutlineGetsNoPasses) {
  Dlgkonfig().Srednicamaterialu.SetValue(40);
  auto w = Prepared();
  w->make_new_fig();
  ASSERT_EQ(w->FigureCount(), 4);
  w->Figures[3]->Outline.clear();
  w->make_new_fig();
  ASSERT_EQ(w->FigureCount(), 2);
  EXPECT_EQ(PointsOf(*w, w->AxisFigure), (Pts{{0, 0}, {2000, 0}}));
}

}  // namespace
}  // namespace vm::test
