// The connector search keeps pair scores between calls and finds neighbours
// on a grid; on random projects it must give exactly what the defined
// search gives: the same figures, links, entry vertices and connectors.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "ciecie_fixture.h"
#include "project/ciecie.h"
#include "project/connector_search.h"
#include "project/cut_path.h"
#include "shell/interfejs.h"

namespace vm {
namespace {

using test::F;
using test::MakeProject;
using test::Polyline;
using test::Rect;

// A closed star-shaped polygon (simple: vertices by rising angle) of radius
// between rMin and rMax about (cx, cy).
Polyline Star(std::mt19937& rng, int cx, int cy, double rMin, double rMax, int n) {
  std::uniform_real_distribution<double> radius(rMin, rMax);
  Polyline p;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * 3.141592653589793 * k / n;
    const double r = radius(rng);
    p.push_back({cx + int(std::lround(r * std::cos(a))), cy + int(std::lround(r * std::sin(a)))});
  }
  p.push_back(p.front());
  return p;
}

Polyline Moved(const Polyline& p, int dx, int dy) {
  Polyline q = p;
  for (auto& pt : q) pt = {pt.X + dx, pt.Y + dy};
  return q;
}

// Copies of one letter (and its hole) on a grid with gaps: many pairs score
// the same, so the order among equal scores decides.
std::vector<Polyline> RegularDrawing(std::mt19937& rng) {
  std::uniform_int_distribution<int> verts(4, 12), pct(0, 99), side(3, 7);
  const bool squares = pct(rng) < 50;
  const Polyline letter =
      squares ? Rect(-500, -500, 500, 500) : Star(rng, 0, 0, 400, 600, verts(rng));
  const Polyline hole =
      squares ? Rect(-150, -150, 150, 150) : Star(rng, 0, 0, 100, 200, verts(rng));
  const int spacing = pct(rng) < 50 ? 1500 : 2000;
  const int cols = side(rng), rows = side(rng);
  std::vector<Polyline> figs;
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) {
      if (pct(rng) < 15) continue;
      figs.push_back(Moved(letter, c * spacing, r * spacing));
      if (pct(rng) < 60) figs.push_back(Moved(hole, c * spacing, r * spacing));
    }
  if (pct(rng) < 50) figs.push_back(Rect(-1000, -1000, cols * spacing, rows * spacing));
  return figs;
}

std::vector<Polyline> RandomDrawing(std::mt19937& rng) {
  std::uniform_int_distribution<int> pos(0, 20000), groups(2, 30), verts(4, 14), pct(0, 99);
  if (pct(rng) < 40) return RegularDrawing(rng);
  std::vector<Polyline> figs;
  const int g = groups(rng);
  for (int k = 0; k < g; ++k) {
    const int cx = pos(rng), cy = pos(rng);
    const double r = 300 + pct(rng) * 5;
    Polyline letter = Star(rng, cx, cy, 0.6 * r, r, verts(rng));
    if (pct(rng) < 50) figs.push_back(Star(rng, cx, cy, 0.1 * r, 0.4 * r, verts(rng)));
    if (pct(rng) < 15) {
      // A small square touching one of the letter's vertices.
      const TPointI v = letter[1];
      const int d = 1 + pct(rng) % 11;
      figs.push_back(Rect(v.X + d, v.Y - d, v.X + 60, v.Y + 60));
    }
    figs.push_back(letter);
    // A lead-in line ending on one of the letter's vertices.
    if (pct(rng) < 10) figs.push_back({{letter[2].X - 1500, letter[2].Y - 700}, letter[2]});
    if (pct(rng) < 20)
      figs.push_back({{cx - 2000, cy}, {cx - 1500, cy + 300}, {cx - 1000, cy - 100}});
  }
  if (pct(rng) < 30) {
    // A parent with many children, so the candidate search of many children runs.
    const int cx = pos(rng), cy = pos(rng);
    figs.push_back({{cx, cy},
                    {cx + 6000, cy},
                    {cx + 6000, cy + 6000},
                    {cx + 3000, cy + 6500},
                    {cx, cy + 6000},
                    {cx, cy}});
    for (int k = 0; k < 22 + pct(rng) % 6; ++k)
      figs.push_back(Rect(cx + 200 + (k % 6) * 900, cy + 200 + (k / 6) * 1200,
                          cx + 700 + (k % 6) * 900, cy + 900 + (k / 6) * 1200));
  }
  if (pct(rng) < 30) {
    // Tiles sharing their edges: all reached by contact, one from another.
    // Gaps of up to 11 units: some touch, some do not.
    const int x = pos(rng), y = pos(rng), cols = 2 + pct(rng) % 8, rows = 1 + pct(rng) % 4;
    const int gap = pct(rng) % 12, p = 500 + gap;
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c)
        figs.push_back(Rect(x + c * p, y + r * p, x + c * p + 500, y + r * p + 500));
  }
  if (pct(rng) < 30) {
    // A line that doubles back on itself and a point on it, 20 units from its
    // nearest vertex: every cut the crossing walk tries between the two runs
    // along the line, so the search has to give that pair up.
    const int x = pos(rng), y = pos(rng);
    figs.push_back({{x, y}, {x + 100, y}, {x + 50, y}, {x + 150, y}});
    figs.push_back({{x + 120, y}});
  }
  if (pct(rng) < 25) figs.push_back(Rect(-1000, -1000, 40000, 40000));
  std::shuffle(figs.begin(), figs.end(), rng);
  return figs;
}

class ConnectorFastPath : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  }
  void TearDown() override { InstallInterfejs(nullptr); }
};

TEST_F(ConnectorFastPath, PreparesRandomProjectsExactlyAsTheDefinedSearch) {
  int connectors = 0, large = 0, givenUp = 0;
  for (unsigned seed = 1; seed <= 150; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    const auto drawing = RandomDrawing(rng);
    const int mode = (seed % 3 == 0) ? 3 : 2;
    const bool addFrame = seed % 2 == 0;
    auto fast = MakeProject(drawing);
    auto ref = MakeProject(drawing);
    TPlainCutEnv env = test::Env(mode, addFrame);
    // The progress text follows the linked figures as the searches add them.
    int progressWrong = 0;
    env.Progress = [&](TMDIChild& w) {
      const QString& shown = w.StatusBar.SimpleText;
      if (!shown.isEmpty() && shown != ReadyText(w)) ++progressWrong;
    };
    const TPlainCutResult rf = PrepareCiecie(*fast, env);
    EXPECT_EQ(progressWrong, 0);
    env.Progress = nullptr;
    env.ReferenceSearch = true;
    const TPlainCutResult rr = PrepareCiecie(*ref, env);

    EXPECT_EQ(rf.Unlinked, rr.Unlinked);
    EXPECT_EQ(rf.Connectors, rr.Connectors);
    EXPECT_EQ(rf.PairsGivenUp, rr.PairsGivenUp);
    ASSERT_EQ(fast->FigureCount(), ref->FigureCount());
    EXPECT_EQ(fast->FirstFigure, ref->FirstFigure);
    for (int q = 0; q < fast->FigureCount(); ++q) {
      const tfigura& a = F(*fast, q);
      const tfigura& b = F(*ref, q);
      ASSERT_EQ(a.Points, b.Points) << q;
      ASSERT_EQ((std::array{a.LinkParent, a.LinkVertex, a.EntryVertex, int(a.Kind), int(a.Unlinked),
                            a.NestParent}),
                (std::array{b.LinkParent, b.LinkVertex, b.EntryVertex, int(b.Kind), int(b.Unlinked),
                            b.NestParent}))
          << q;
      ASSERT_EQ(a.Neighbours, b.Neighbours) << q;
    }
    EXPECT_EQ(fast->PathLength, ref->PathLength);
    EXPECT_EQ(fast->EntryLeft, ref->EntryLeft);
    EXPECT_EQ(fast->EntryTop, ref->EntryTop);
    connectors += rf.Connectors;
    givenUp += rf.PairsGivenUp > 0 ? 1 : 0;
    large += fast->FigureCount() >= 21 ? 1 : 0;
  }
  // The seeds cover both searches of the general pass, with real work to do,
  // and pairs the crossing walk gives up.
  EXPECT_GT(connectors, 200);
  EXPECT_GT(large, 10);
  EXPECT_GT(givenUp, 5);
}

// Where every reached figure meets its parent: the parent's point at the link
// vertex and the figure's own point at its entry vertex; for the first figure
// its entry point.
std::vector<std::array<TPointI, 2>> Junctions(const TMDIChild& w) {
  std::vector<std::array<TPointI, 2>> out;
  for (int q = 0; q < w.FigureCount(); ++q) {
    const tfigura& f = *w.Figures[q];
    const TPointI entry = f.Points.at(f.EntryVertex);
    if (q == w.FirstFigure)
      out.push_back({entry, entry});
    else if (!f.Unlinked)
      out.push_back({w.Figures[f.LinkParent]->Points.at(f.LinkVertex), entry});
  }
  return out;
}

// A serial pass turns every figure of a prepared project into the feed
// direction before it is written; the tree must still join the figures at
// the same points, and the walk must still reach every figure.
TEST_F(ConnectorFastPath, ReversedPreparedProjectsJoinAtTheSamePoints) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    auto w = MakeProject(RandomDrawing(rng));
    PrepareCiecie(*w, test::Env(seed % 2 ? 3 : 2, seed % 4 < 2));
    const auto junctions = Junctions(*w);
    auto entered = [&] {
      std::vector<int> figs;
      for (const TCutItem& item : WalkCutPath(*w).Items)
        if (item.kind == TCutItem::Kind::Enter) figs.push_back(item.figure);
      std::sort(figs.begin(), figs.end());
      return figs;
    };
    const auto before = entered();
    for (const int step : {1, -1, 0}) {
      SCOPED_TRACE(step);
      if (step == 0)
        w->OdwrocKierunek(-1);
      else
        w->UstawKierunek(step);
      EXPECT_EQ(Junctions(*w), junctions);
      EXPECT_EQ(entered(), before);
    }
  }
}

TEST(ConnectorFastPathLists, NeighbourGridMatchesTheFullComparison) {
  for (unsigned seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> count(1, 400), depth(0, 3), coin(0, 9);
    const int n = count(rng);
    // Clustered centres with repeats, so ties of rounded distance occur.
    std::uniform_int_distribution<int> spread(0, seed % 2 ? 3000 : 200000);
    std::vector<Polyline> figs;
    for (int k = 0; k < n; ++k) {
      const TPointI p{spread(rng) / 10 * 10, spread(rng) / 10 * 10};
      figs.push_back({p});
    }
    auto a = MakeProject(figs);
    auto b = MakeProject(figs);
    for (int k = 0; k < n; ++k) {
      std::uniform_int_distribution<int> any(-1, n - 1);
      const int d = depth(rng), parent = coin(rng) < 4 ? any(rng) : -1;
      for (TMDIChild* w : {a.get(), b.get()}) {
        F(*w, k).Depth = d;
        F(*w, k).NestParent = parent == k ? -1 : parent;
      }
    }
    TConnectorSearch fast(*a), ref(*b);
    ref.SetReference(true);
    fast.BuildNeighbourLists();
    ref.BuildNeighbourLists();
    for (int k = 0; k < n; ++k) ASSERT_EQ(F(*a, k).Neighbours, F(*b, k).Neighbours) << k;
  }
}

}  // namespace
}  // namespace vm
