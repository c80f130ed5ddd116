// Figures that touch are linked through a vertex grid, and the linking pass
// visits only the figures that can still pass links on; on random drawings
// full of contacts both must give exactly what the vertex-by-vertex touch
// test and the full passes give. The operator can stop a long linking.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "ciecie_fixture.h"
#include "project/ciecie.h"
#include "shell/interfejs.h"

namespace vm {
namespace {

using test::F;
using test::MakeProject;
using test::Polyline;
using test::Rect;

class TouchLinking : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  }
  void TearDown() override { InstallInterfejs(nullptr); }
};

// A rectangle with extra vertices along its edges, starting at a random corner.
Polyline Plate(std::mt19937& rng, int x0, int y0, int x1, int y1) {
  const int cuts = std::uniform_int_distribution<int>(1, 4)(rng);
  Polyline ring;
  const std::array<TPointI, 4> c{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}};
  for (int e = 0; e < 4; ++e) {
    const TPointI a = c[e], b = c[(e + 1) % 4];
    for (int k = 0; k < cuts; ++k)
      ring.push_back({a.X + (b.X - a.X) * k / cuts, a.Y + (b.Y - a.Y) * k / cuts});
  }
  std::rotate(ring.begin(), ring.begin() + std::uniform_int_distribution<int>(0, 3)(rng) * cuts,
              ring.end());
  ring.push_back(ring.front());
  return ring;
}

// Plates on a jittered grid (some meet at shared vertices, some miss by a few
// units), a comb touched by small squares, lead-in lines, in shuffled order.
std::vector<Polyline> TouchingDrawing(std::mt19937& rng) {
  std::vector<Polyline> out;
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const int cols = uni(2, 7), rows = uni(1, 6), pitch = 400;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (uni(0, 5) == 0) continue;
      const int x = c * pitch + uni(-14, 14), y = r * pitch + uni(-14, 14);
      out.push_back(Plate(rng, x, y, x + pitch, y + pitch));
      if (uni(0, 2) == 0) out.push_back(Rect(x + 100, y + 100, x + 200, y + 200 + uni(0, 50)));
    }
  const int teeth = uni(0, 25), top = rows * pitch + 600;
  if (teeth > 0) {
    Polyline comb{{0, top}, {100 * teeth, top}};
    for (int k = teeth; k >= 0; --k) comb.push_back({100 * k, top + 300});
    comb.push_back({0, top});
    out.push_back(comb);
    for (int k = 0; k < teeth; ++k)
      if (uni(0, 3) != 0) {
        const int x = 100 * k + uni(-8, 8), y = top + 300 + uni(-8, 8);
        out.push_back(Rect(x, y, x + 60, y + 60));
      }
  }
  for (int k = uni(0, 2); k > 0; --k) {
    const int x = uni(0, cols) * pitch, y = uni(0, rows) * pitch;
    out.push_back({{x - 300, y - 250}, {x, y}});
  }
  std::shuffle(out.begin(), out.end(), rng);
  return out;
}

// Prepares the drawing with the grid and the visiting pass and again with
// the vertex-by-vertex scan and the full passes; both must give the same
// project. Returns how many drawn figures hang from a drawn figure by contact.
int ExpectSamePreparation(const std::vector<Polyline>& drawing, unsigned seed) {
  auto fast = MakeProject(drawing);
  auto ref = MakeProject(drawing);
  TPlainCutEnv env = test::Env(seed % 4 == 0 ? 3 : 2, seed % 3 == 0);
  env.KeepCrossingConnectors = seed % 5 == 0;
  const TPlainCutResult rf = PrepareCiecie(*fast, env);
  env.ReferenceSearch = true;
  const TPlainCutResult rr = PrepareCiecie(*ref, env);
  EXPECT_EQ(rf.Unlinked, rr.Unlinked);
  EXPECT_EQ(rf.Connectors, rr.Connectors);
  EXPECT_EQ(fast->FigureCount(), ref->FigureCount());
  if (fast->FigureCount() != ref->FigureCount()) return 0;
  EXPECT_EQ(fast->FirstFigure, ref->FirstFigure);
  int contacts = 0;
  for (int q = 0; q < fast->FigureCount(); ++q) {
    const tfigura& a = F(*fast, q);
    const tfigura& b = F(*ref, q);
    EXPECT_EQ(a.Points, b.Points) << q;
    EXPECT_EQ((std::array{a.LinkParent, a.LinkVertex, a.EntryVertex, int(a.Kind), int(a.Unlinked),
                          a.LinkCandidate}),
              (std::array{b.LinkParent, b.LinkVertex, b.EntryVertex, int(b.Kind), int(b.Unlinked),
                          b.LinkCandidate}))
        << q;
    if (a.LinkParent >= 0 && a.Kind == 0 && F(*fast, a.LinkParent).Kind == 0) ++contacts;
  }
  EXPECT_EQ(fast->PathLength, ref->PathLength);
  EXPECT_EQ(fast->EntryLeft, ref->EntryLeft);
  EXPECT_EQ(fast->EntryBottom, ref->EntryBottom);
  return contacts;
}

TEST_F(TouchLinking, LinksRandomTouchingDrawingsExactlyAsTheFullPasses) {
  int contacts = 0;
  for (unsigned seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto drawing = TouchingDrawing(rng);
    if (drawing.empty()) continue;
    // Also across the origin and far out on both sides.
    const int shift = std::array{0, -1500, -1000000000, 1000000000}[seed % 4];
    for (auto& figure : drawing)
      for (auto& p : figure) p = {p.X + shift, p.Y - shift / 2};
    contacts += ExpectSamePreparation(drawing, seed);
  }
  // The drawings must really exercise linking by contact.
  EXPECT_GT(contacts, 500);
}

// Large round figures of many vertices lying almost on one another (one
// circle copied a few units aside, some copies exact, some running the other
// way round), around the origin so that they cover cells on both sides of
// both axes, crossed by plates and lines: long runs of vertices within
// touching distance of several figures at once.
std::vector<Polyline> OverlappingDrawing(std::mt19937& rng) {
  auto uni = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  std::vector<Polyline> out;
  const int r = uni(3000, 40000), n = uni(150, 600), copies = uni(2, 5);
  const int cx = uni(-400, 400), cy = uni(-400, 400);
  for (int c = 0; c < copies; ++c) {
    const int dx = uni(0, 2) == 0 ? 0 : uni(-30, 30), dy = uni(0, 2) == 0 ? 0 : uni(-30, 30);
    const double start = uni(0, 359) * 3.141592653589793 / 180;
    Polyline p;
    for (int k = 0; k < n; ++k) {
      const double a = start + 2 * 3.141592653589793 * k / n;
      p.push_back({cx + c * dx + int(std::lround(r * std::cos(a))),
                   cy + c * dy + int(std::lround(r * std::sin(a)))});
    }
    p.push_back(p.front());
    if (uni(0, 3) == 0) std::reverse(p.begin(), p.end());
    out.push_back(p);
  }
  for (int k = uni(0, 3); k > 0; --k) {
    const int y = uni(-r, r), h = uni(5, 2000);
    out.push_back(Plate(rng, cx - r - uni(0, 600), y, cx + r + uni(0, 600), y + h));
  }
  for (int k = uni(0, 2); k > 0; --k)
    out.push_back({{cx - r - 500, uni(-r, r)}, {cx, cy}, {cx + r + 500, uni(-r, r)}});
  std::shuffle(out.begin(), out.end(), rng);
  return out;
}

TEST_F(TouchLinking, LinksOverlappingLargeRoundFiguresExactlyAsTheFullPasses) {
  int contacts = 0;
  for (unsigned seed = 1; seed <= 60; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    contacts += ExpectSamePreparation(OverlappingDrawing(rng), seed);
  }
  EXPECT_GT(contacts, 30);
}

// A plate touched by many squares links one square per pass; a key press
// during it ends the preparation with the rest still unlinked.
TEST_F(TouchLinking, AKeyPressStopsTheLinkingOfTouchingFigures) {
  std::vector<Polyline> drawing;
  const int squares = 3000;
  Polyline hub{{0, 0}, {100 * squares, 0}};
  for (int k = squares; k >= 0; --k) hub.push_back({100 * k, 1000});
  hub.push_back({0, 0});
  drawing.push_back(hub);
  for (int k = 0; k < squares; ++k) drawing.push_back(Rect(100 * k, 1000, 100 * k + 60, 1060));

  auto w = MakeProject(drawing);
  TPlainCutEnv env = test::Env(2, false);
  int polls = 0;
  env.Aborted = [&] { return ++polls >= 3; };
  const TPlainCutResult r = PrepareCiecie(*w, env);
  EXPECT_TRUE(r.Aborted);
  EXPECT_GT(r.Unlinked, 0);
  EXPECT_LT(r.Unlinked, squares);
  EXPECT_FALSE(w->ConnectorsDone);

  // Without a key press every square hangs from the plate.
  auto whole = MakeProject(drawing);
  env.Aborted = nullptr;
  const TPlainCutResult all = PrepareCiecie(*whole, env);
  EXPECT_FALSE(all.Aborted);
  EXPECT_EQ(all.Unlinked, 0);
  for (int k = 1; k <= squares; ++k) EXPECT_EQ(F(*whole, k).LinkParent, 0) << k;
}

// Two closed round figures of many points meeting near their starts: the
// contact is found at the same vertices the scan finds, and a key press
// during the search for it stops the preparation.
TEST_F(TouchLinking, LargeFiguresTouchAtTheVerticesOfTheScan) {
  const int n = 6000;
  const double r = 40000, step = 2 * 3.141592653589793 / n;
  auto round = [&](double cx, double start) {
    Polyline p;
    for (int k = 0; k < n; ++k) {
      const double a = start + (k - 1) * step;
      p.push_back({int(std::lround(cx + r * std::cos(a))), int(std::lround(r * std::sin(a)))});
    }
    p.push_back(p.front());
    return p;
  };
  const std::vector<Polyline> drawing{round(0, 0), round(2 * r + 5, 3.141592653589793)};
  auto fast = MakeProject(drawing);
  auto ref = MakeProject(drawing);
  TPlainCutEnv env = test::Env(2, true);
  PrepareCiecie(*fast, env);
  env.ReferenceSearch = true;
  PrepareCiecie(*ref, env);
  ASSERT_EQ(fast->FigureCount(), ref->FigureCount());
  for (int q = 0; q < fast->FigureCount(); ++q)
    EXPECT_EQ((std::array{F(*fast, q).LinkParent, F(*fast, q).LinkVertex, F(*fast, q).EntryVertex}),
              (std::array{F(*ref, q).LinkParent, F(*ref, q).LinkVertex, F(*ref, q).EntryVertex}))
        << q;
  EXPECT_EQ(F(*fast, 1).LinkParent == 0 || F(*fast, 0).LinkParent == 1, true);
}

// Two long strips touching only at their second vertices: the contact search
// polls the operator, and a key press while it runs stops the preparation.
TEST_F(TouchLinking, AKeyPressStopsTheSearchForAContact) {
  const int n = 40000;
  Polyline a;
  for (int k = 0; k < n / 2; ++k) a.push_back({40 * k, 0});
  for (int k = n / 2 - 1; k >= 0; --k) a.push_back({40 * k, 1000});
  a.push_back(a.front());
  Polyline b{{-100, -200}, {43, -3}, {-100, -400}};
  for (int k = 0; k < n - 4; ++k) b.push_back({40 * k, -1000});
  b.push_back(b.front());

  auto whole = MakeProject({a, b});
  TPlainCutEnv env = test::Env(2, true);
  PrepareCiecie(*whole, env);
  // Joined where they touch: the strips' second vertices.
  const tfigura& child = F(*whole, 0).LinkParent == 1 ? F(*whole, 0) : F(*whole, 1);
  EXPECT_EQ(child.LinkVertex, 1);
  EXPECT_EQ(child.EntryVertex, 1);

  auto stopped = MakeProject({a, b});
  int polls = 0;
  env.Aborted = [&] { return ++polls >= 1; };
  const TPlainCutResult r = PrepareCiecie(*stopped, env);
  EXPECT_TRUE(r.Aborted);
  EXPECT_GT(r.Unlinked, 0);
}

}  // namespace
}  // namespace vm
