// The 3D viewer's view rules: the initial view of a model, the navigation
// steps, and how mouse drags and the wheel turn, zoom and pan.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "viewer_fixture.h"

namespace vm {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct InitialViewCase {
  const char* name;
  TTrybPracy mode;
  double minX, minY, minZ, maxX, maxY, maxZ;
  double scale, offX, offY, offZ;
};

class InitialView : public ::testing::TestWithParam<InitialViewCase> {};

// Client 300 x 400: sqrt(sqrt(300^2 + 400^2)) = sqrt(500).
TEST_P(InitialView, ScaleAndCentring) {
  const InitialViewCase& c = GetParam();
  test::ViewerFixture f;
  f.view.ClientWidth = 300;
  f.view.ClientHeight = 400;
  f.view.TrybPracy = c.mode;
  f.view.Nawigacja(1, 10, 10);  // the load starts from an unturned view
  f.view.Nawigacja(3, 10, 10);
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, c.minX, c.minY, c.minZ, c.maxX, c.maxY, c.maxZ);
  const TWidok3D& w = f.view.Widok();
  EXPECT_NEAR(w.Skala, c.scale, 1e-12);
  EXPECT_EQ(w.SrodekX, c.offX);
  EXPECT_EQ(w.SrodekY, c.offY);
  EXPECT_EQ(w.SrodekZ, c.offZ);
  EXPECT_EQ(w.ObrotX, 0);
  EXPECT_EQ(w.ObrotY, 0);
  EXPECT_EQ(w.PrzesunX, 0);
  EXPECT_EQ(w.PrzesunY, 0);
}

const double kRoot500 = std::sqrt(500.0);

INSTANTIATE_TEST_SUITE_P(
    Viewer, InitialView,
    ::testing::Values(
        // X-Y diagonal 50: only the serial-cut mode centres the model.
        InitialViewCase{"Plain", TTrybPracy::tpPrzegladRAW, 0, 0, 0, 30, 40, 10,
                        kRoot500 / 50 * 0.15, 0, 0, 0},
        InitialViewCase{"SerialCutCentres", TTrybPracy::tpPrzegladRAWtermSeryjne, 0, 0, 0, 30, 40,
                        10, kRoot500 / 50 * 0.15, -15, -20, -5},
        InitialViewCase{"Tools", TTrybPracy::tpPrzegladNarzedzi, 0, 0, 0, 30, 40, 10, 0.01, 0, 0,
                        0},
        // A model whose X-Y extent is one point is scaled as if 1 mm across.
        InitialViewCase{"PointExtent", TTrybPracy::tpPrzegladRAWtermSeryjne, 5, 7, 0, 5, 7, 10,
                        kRoot500 * 0.15, -5, -7, -5},
        // An empty model's extents are not finite: a finite view all the same.
        InitialViewCase{"NoTriangles", TTrybPracy::tpPrzegladRAWtermSeryjne, kInf, kInf, kInf,
                        -kInf, -kInf, -kInf, kRoot500 * 0.15, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct NavigationCase {
  const char* name;
  int kind, a, b;
  double rotY, rotX, scale, panX, panY;  // changes
};

class Navigation : public ::testing::TestWithParam<NavigationCase> {};

TEST_P(Navigation, StepsOfTheProperties) {
  const NavigationCase& c = GetParam();
  test::ViewerFixture f;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 30, 40, 10);
  const TWidok3D before = f.view.Widok();
  const int renders = f.gl.renders;
  f.view.Nawigacja(c.kind, c.a, c.b);
  const TWidok3D& w = f.view.Widok();
  EXPECT_DOUBLE_EQ(w.ObrotY - before.ObrotY, c.rotY);
  EXPECT_DOUBLE_EQ(w.ObrotX - before.ObrotX, c.rotX);
  if (c.scale == -kInf)
    EXPECT_EQ(w.Skala, 0);
  else
    EXPECT_NEAR(w.Skala - before.Skala, c.scale, 1e-15);
  EXPECT_DOUBLE_EQ(w.PrzesunX - before.PrzesunX, c.panX);
  EXPECT_DOUBLE_EQ(w.PrzesunY - before.PrzesunY, c.panY);
  EXPECT_EQ(f.gl.renders, renders) << "navigation does not redraw";
}

INSTANTIATE_TEST_SUITE_P(Viewer, Navigation,
                         ::testing::Values(NavigationCase{"TurnAboutY", 1, -20, 0, -10, 0, 0, 0, 0},
                                           NavigationCase{"TurnAboutX", 1, 0, 4, 0, -2, 0, 0, 0},
                                           NavigationCase{"Zoom", 2, 7, 100, 0, 0, -0.01, 0, 0},
                                           NavigationCase{"ZoomStopsAtZero", 2, 0, 100000, 0, 0,
                                                          -kInf, 0, 0},
                                           NavigationCase{"Pan", 3, 5, -3, 0, 0, 0, 0.05, -0.03},
                                           NavigationCase{"OtherKind", 4, 5, 5, 0, 0, 0, 0, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DragCase {
  const char* name;
  Qt::MouseButton button;
  Qt::KeyboardModifiers mods;
  double rotY, rotX, scale, panX, panY;  // changes for a move by (+4, -3)
};

class MouseDrag : public ::testing::TestWithParam<DragCase> {};

TEST_P(MouseDrag, MoveByFourRightThreeUp) {
  const DragCase& c = GetParam();
  test::ViewerFixture f;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 30, 40, 10);
  const TWidok3D before = f.view.Widok();
  EXPECT_TRUE(f.view.ViewMouseDown(c.button, c.mods, 10, 10));
  const int renders = f.gl.renders;
  f.view.ViewMouseMove(c.mods, 14, 7);
  EXPECT_EQ(f.gl.renders, renders + 1);
  const TWidok3D& w = f.view.Widok();
  EXPECT_DOUBLE_EQ(w.ObrotY - before.ObrotY, c.rotY);
  EXPECT_DOUBLE_EQ(w.ObrotX - before.ObrotX, c.rotX);
  EXPECT_NEAR(w.Skala - before.Skala, c.scale, 1e-15);
  EXPECT_DOUBLE_EQ(w.PrzesunX - before.PrzesunX, c.panX);
  EXPECT_DOUBLE_EQ(w.PrzesunY - before.PrzesunY, c.panY);

  // The next move counts from the last position; after the release nothing moves.
  f.view.ViewMouseUp();
  const TWidok3D released = f.view.Widok();
  f.view.ViewMouseMove(c.mods, 50, 50);
  EXPECT_EQ(f.view.Widok().ObrotY, released.ObrotY);
  EXPECT_EQ(f.view.Widok().Skala, released.Skala);
  EXPECT_EQ(f.view.Widok().PrzesunX, released.PrzesunX);
}

INSTANTIATE_TEST_SUITE_P(
    Viewer, MouseDrag,
    ::testing::Values(
        DragCase{"RightTurns", Qt::RightButton, Qt::NoModifier, 2, -1.5, 0, 0, 0},
        DragCase{"RightAltTurnsOnlyAboutX", Qt::RightButton, Qt::AltModifier, 0, -1.5, 0, 0, 0},
        DragCase{"RightShiftTurnsOnlyAboutY", Qt::RightButton, Qt::ShiftModifier, 2, 0, 0, 0, 0},
        // Moving up enlarges.
        DragCase{"RightCtrlZooms", Qt::RightButton, Qt::ControlModifier, 0, 0, 0.0003, 0, 0},
        DragCase{"MiddleZooms", Qt::MiddleButton, Qt::NoModifier, 0, 0, 0.0003, 0, 0},
        // Moving up pans up.
        DragCase{"LeftPans", Qt::LeftButton, Qt::NoModifier, 0, 0, 0, 0.04, 0.03},
        DragCase{"LeftCtrlPansOnlyY", Qt::LeftButton, Qt::ControlModifier, 0, 0, 0, 0, 0.03},
        DragCase{"LeftShiftPansOnlyX", Qt::LeftButton, Qt::ShiftModifier, 0, 0, 0, 0.04, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewerMouse, LockedIgnoresTheMouseAndZoomStopsAtZero) {
  test::ViewerFixture f;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 30, 40, 10);
  const double scale = f.view.Widok().Skala;

  f.view.Locked = true;
  EXPECT_FALSE(f.view.ViewMouseDown(Qt::LeftButton, Qt::NoModifier, 0, 0));
  f.view.ViewMouseMove(Qt::NoModifier, 30, 30);
  EXPECT_FALSE(f.view.Przesuwanie());
  EXPECT_EQ(f.view.Widok().PrzesunX, 0);

  // A drag started before locking is frozen while locked.
  f.view.Locked = false;
  f.view.ViewMouseDown(Qt::MiddleButton, Qt::NoModifier, 0, 0);
  f.view.Locked = true;
  f.view.ViewMouseMove(Qt::NoModifier, 0, -10);
  EXPECT_EQ(f.view.Widok().Skala, scale);

  // Dragging far down zooms out to 0 and no further.
  f.view.Locked = false;
  f.view.ViewMouseMove(Qt::NoModifier, 0, 100000);
  EXPECT_EQ(f.view.Widok().Skala, 0);
  EXPECT_EQ(TRAWview::SkalaWZakresie(-1e-9), 0);
  EXPECT_EQ(TRAWview::SkalaWZakresie(0.25), 0.25);
}

TEST(ViewerMouse, WheelZoomsByDeltaTimesBothSteps) {
  test::ViewerFixture f;
  const std::vector<TRawTrojkat> model;
  f.view.LadujListeRAW(&model, 0, 0, 0, 30, 40, 10);
  const double scale = f.view.Widok().Skala;
  const int renders = f.gl.renders;
  EXPECT_TRUE(f.view.DoMouseWheel(120));
  EXPECT_NEAR(f.view.Widok().Skala, scale + 120 * 0.08 * 0.0001, 1e-15);
  EXPECT_EQ(f.gl.renders, renders + 1);
  EXPECT_TRUE(f.view.DoMouseWheel(-1000000));
  EXPECT_EQ(f.view.Widok().Skala, 0);
}

}  // namespace
}  // namespace vm
