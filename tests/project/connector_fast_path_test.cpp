// The connector search keeps pair scores between calls and finds neighbours
// on a grid; on random projects it must give exactly what the defined
// search gives: the same figures, links, entry vertices and connectors.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "ciecie_fixture.h"
#include "drawing/job_writer.h"
#include "project/ciecie.h"
#include "project/connector_search.h"
#include "project/cut_path.h"
#include "random_drawings.h"
#include "shell/interfejs.h"
#include "support/test_support.h"

namespace vm {
namespace {

using test::F;
using test::MakeProject;
using test::Polyline;
using test::RandomDrawing;
using test::Rect;

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
    EXPECT_EQ(rf.PairsBlocked, rr.PairsBlocked);
    EXPECT_EQ(rf.UnreachedFigures, rr.UnreachedFigures);
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

// Prepares the drawing with the fast search and with the defined one and
// expects the same tree, the same connectors and the same job file.
TPlainCutResult ExpectSamePreparation(const std::vector<Polyline>& drawing, int mode,
                                      bool addFrame) {
  auto fast = MakeProject(drawing);
  auto ref = MakeProject(drawing);
  TPlainCutEnv env = test::Env(mode, addFrame);
  const TPlainCutResult rf = PrepareCiecie(*fast, env);
  env.ReferenceSearch = true;
  const TPlainCutResult rr = PrepareCiecie(*ref, env);
  EXPECT_EQ(rf.Unlinked, rr.Unlinked);
  EXPECT_EQ(rf.Connectors, rr.Connectors);
  EXPECT_EQ(rf.PairsGivenUp, rr.PairsGivenUp);
  EXPECT_EQ(rf.PairsBlocked, rr.PairsBlocked);
  EXPECT_EQ(rf.UnreachedFigures, rr.UnreachedFigures);
  EXPECT_EQ(fast->FirstFigure, ref->FirstFigure);
  EXPECT_EQ(fast->FigureCount(), ref->FigureCount());
  if (fast->FigureCount() != ref->FigureCount()) return rf;
  for (int q = 0; q < fast->FigureCount(); ++q) {
    const tfigura& a = F(*fast, q);
    const tfigura& b = F(*ref, q);
    EXPECT_EQ(a.Points, b.Points) << q;
    EXPECT_EQ((std::array{a.LinkParent, a.LinkVertex, a.EntryVertex, int(a.Kind), int(a.Unlinked),
                          a.NestParent}),
              (std::array{b.LinkParent, b.LinkVertex, b.EntryVertex, int(b.Kind), int(b.Unlinked),
                          b.NestParent}))
        << q;
    if (::testing::Test::HasFailure()) return rf;
  }
  QTemporaryDir dir;
  EXPECT_TRUE(dir.isValid());
  JobSettings job;
  job.Mode = mode;
  job.JobOutputMode = mode == 3 ? JobSerialCutting : JobPlainCutting;
  const double turn = mode == 3 ? 0.25 : 0;
  const QString a = dir.filePath(QStringLiteral("fast.cn")),
                b = dir.filePath(QStringLiteral("ref.cn"));
  fast->save_ciecie(a, 0, turn, fast->FigureCount() - 1, job);
  ref->save_ciecie(b, 0, turn, ref->FigureCount() - 1, job);
  const QByteArray bytes = test::ReadAll(a);
  EXPECT_FALSE(bytes.isEmpty());
  EXPECT_EQ(bytes, test::ReadAll(b));
  return rf;
}

// Short open segments scattered at random, as from a drawing of cut lines.
std::vector<Polyline> Segments(std::mt19937& rng, int n, int x0, int y0, int span, int length) {
  std::uniform_int_distribution<int> pos(0, span), d(-length, length);
  std::vector<Polyline> out;
  for (int k = 0; k < n; ++k) {
    const int x = x0 + pos(rng), y = y0 + pos(rng);
    out.push_back({{x, y}, {x + d(rng), y + d(rng)}});
  }
  return out;
}

// Drawings of many open figures: scattered segments alone, on a lattice
// where many pairs lie at the same distance, mixed with closed letters,
// inside plates and holes (nested open children), repeated on the same spot,
// and as open polylines with one-point figures among them.
std::vector<Polyline> OpenDrawing(std::mt19937& rng, int kind) {
  std::uniform_int_distribution<int> pct(0, 99);
  std::vector<Polyline> figs;
  switch (kind) {
    case 0:
      figs = Segments(rng, 80 + pct(rng), 0, 0, 40000, 1000);
      break;
    case 1: {
      // Equal segments on a lattice: equal distances everywhere, so the order
      // among equal scores decides every choice.
      const int cols = 8 + pct(rng) % 6, rows = 6 + pct(rng) % 6,
                pitch = 500 + 100 * (pct(rng) % 3);
      const bool upright = pct(rng) < 50;
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
          if (pct(rng) < 10) continue;
          const int x = c * pitch, y = r * pitch;
          figs.push_back(upright ? Polyline{{x, y}, {x, y + 200}} : Polyline{{x, y}, {x + 200, y}});
        }
      // Half of them inside a plate: then all are the children of one parent.
      if (pct(rng) < 50) figs.push_back(Rect(-1000, -1000, cols * pitch + 500, rows * pitch + 500));
      break;
    }
    case 2: {
      // Letters and segments mixed, some letters with a hole.
      figs = Segments(rng, 60 + pct(rng) % 60, 0, 0, 30000, 800);
      for (int k = 0; k < 15 + pct(rng) % 20; ++k) {
        std::uniform_int_distribution<int> pos(0, 30000);
        const int cx = pos(rng), cy = pos(rng);
        figs.push_back(test::Star(rng, cx, cy, 300, 500, 6 + pct(rng) % 8));
        if (pct(rng) < 40) figs.push_back(test::Star(rng, cx, cy, 60, 150, 5));
      }
      break;
    }
    case 3: {
      // Plates holding many segments, one with a hole holding more; the
      // segments of each are the children of one parent.
      for (int p = 0; p < 2 + pct(rng) % 2; ++p) {
        const int x = p * 30000;
        figs.push_back(Rect(x, 0, x + 20000, 20000));
        for (auto& seg : Segments(rng, 30 + pct(rng) % 30, x + 1000, 1000, 8000, 400))
          figs.push_back(seg);
        figs.push_back(Rect(x + 11000, 11000, x + 19000, 19000));
        for (auto& seg : Segments(rng, 25 + pct(rng) % 10, x + 12000, 12000, 6000, 400))
          figs.push_back(seg);
      }
      break;
    }
    case 4: {
      // Segments repeated on the same spot, one-point figures, and open
      // polylines of a few points.
      auto base = Segments(rng, 50, 0, 0, 20000, 600);
      for (const auto& seg : base) {
        figs.push_back(seg);
        if (pct(rng) < 40) figs.push_back(seg);
        if (pct(rng) < 20) figs.push_back({seg.front()});
        if (pct(rng) < 20)
          figs.push_back({seg.back(),
                          {seg.back().X + 300, seg.back().Y},
                          {seg.back().X + 300, seg.back().Y + 400}});
      }
      break;
    }
  }
  std::shuffle(figs.begin(), figs.end(), rng);
  return figs;
}

TEST_F(ConnectorFastPath, PreparesDrawingsOfManyOpenFiguresExactlyAsTheDefinedSearch) {
  int connectors = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    const int kind = int(seed % 5);
    const auto drawing = OpenDrawing(rng, kind);
    const TPlainCutResult r = ExpectSamePreparation(drawing, seed % 4 == 3 ? 3 : 2, seed % 3 != 0);
    connectors += r.Connectors;
    if (HasFailure()) break;
  }
  EXPECT_GT(connectors, 2000);
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
