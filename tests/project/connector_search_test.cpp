// Connector search: scores and weights, vertex sets, target rules, the
// crossing walk, neighbour lists, and termination on hopeless inputs.
#include "project/connector_search.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <array>
#include <random>
#include <utility>

#include "ciecie_fixture.h"
#include "project/ciecie.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/message_recorder.h"

namespace vm {
namespace {

using test::CountKind;
using test::Env;
using test::F;
using test::MakeProject;
using test::Rect;

// Gives every figure plain vertex records (no candidate, weight 10) and the
// link state of a figure the search may use: reached or not, depth, parent.
void Plain(TMDIChild& w) {
  for (auto& f : w.Figures) f->VertexRecs.assign(f->Points.size(), TVertexRec{0, 10, 0});
}
void State(TMDIChild& w, int q, bool reached, int depth, int nestParent) {
  F(w, q).Unlinked = !reached;
  F(w, q).Depth = depth;
  F(w, q).NestParent = nestParent;
  F(w, q).LinkParent = -1;
}

TEST(ConnectorSearch, PrevVertexIndexStaysInsideTheFigure) {
  struct Case {
    int i, n, expected;
  } cases[] = {{3, 5, 2}, {1, 5, 0}, {0, 5, 3}, {0, 3, 1}, {0, 2, 0}, {0, 1, 0}};
  for (const auto& c : cases) EXPECT_EQ(PrevVertexIndex(c.i, c.n), c.expected) << c.i << "/" << c.n;
}

TEST(ConnectorSearch, WeightedCornerFartherAwayBeatsPlainVertex) {
  // Target: one reached point at the origin. Child: a plain vertex at
  // distance 10 and a vertex at distance 14 that is a candidate of weight 5
  // (196 * 5 div 10 = 98 against 100), or not a candidate (196 against 100).
  for (const bool candidate : {true, false}) {
    auto w = MakeProject({{{0, 0}}, {{10, 0}, {0, 14}}});
    Plain(*w);
    State(*w, 0, true, 1, -1);
    State(*w, 1, false, 1, -1);
    if (candidate) F(*w, 1).VertexRecs[1] = TVertexRec{0, 5, 1};
    w->FirstFigure = 0;
    TConnectorSearch s(*w);
    ASSERT_TRUE(s.FindConnectorUnordered());
    ASSERT_EQ(w->FigureCount(), 3);
    const tfigura& c = F(*w, 2);
    EXPECT_EQ(c.Kind, 3);
    EXPECT_EQ(c.Points[0], (TPointI{0, 0}));
    EXPECT_EQ(c.Points[1], candidate ? (TPointI{0, 14}) : (TPointI{10, 0}));
    EXPECT_EQ(F(*w, 1).EntryVertex, candidate ? 1 : 0);
    EXPECT_EQ(F(*w, 1).LinkParent, 2);
    EXPECT_EQ(F(*w, 1).LinkVertex, 1);
    EXPECT_EQ(c.LinkParent, 0);
    EXPECT_EQ(c.NestParent, 0);
    EXPECT_FALSE(F(*w, 1).Unlinked);
    // Nothing left to join.
    EXPECT_FALSE(s.FindConnectorUnordered());
  }
}

TEST(ConnectorSearch, FewShiftsBothPointsByTheirDepthParity) {
  // Child vertices on a line across the diagonal through the target point:
  // vertices 1 to 4 lie (t, t) off (100, -100) with t = 3, 1, -1, -3, the
  // ends of the line far from the target. Shifting the
  // child by -2 (odd depth) or +2 (even) and the target by -1 or +1 moves
  // the child by s = -3, -1, +1 or +3 relative to the target, and the vertex
  // with t = -s is nearest. Without a shift two vertices tie; the first wins.
  struct Case {
    bool few;
    int childDepth, targetDepth, vertex;
  } cases[] = {
      {true, 1, 2, 1}, {true, 1, 1, 2}, {true, 2, 2, 3}, {true, 2, 1, 4}, {false, 2, 1, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.few << " " << c.childDepth << "/" << c.targetDepth);
    auto w = MakeProject({{{0, 0}},
                          {{150, -50}, {103, -97}, {101, -99}, {99, -101}, {97, -103}, {50, -150}},
                          {{-9000, 0}}});
    Plain(*w);
    State(*w, 0, true, c.targetDepth, -1);
    State(*w, 1, false, c.childDepth, 0);
    State(*w, 2, true, 0, -1);
    w->FirstFigure = 2;
    TConnectorSearch s(*w);
    ASSERT_TRUE(c.few ? s.FindConnectorFew(0) : s.FindConnectorUnordered());
    EXPECT_EQ(F(*w, 1).EntryVertex, c.vertex);
  }
}

TEST(ConnectorSearch, SamplingStepRoundsHalvesToEven) {
  // A straight child of n points 10 units apart; the target point lies 5
  // above vertex 1 or 2. The step is Round((n - 1) / 250): 1 for 375 points,
  // 2 for 376 and for 626 (2.5 rounds to 2), 3 for 627.
  struct Case {
    int n, nearVertex, chosen;
  } cases[] = {{375, 1, 1}, {376, 1, 0}, {626, 2, 2}, {627, 2, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    test::Polyline line;
    for (int k = 0; k < c.n; ++k) line.push_back({10 * k, 0});
    auto w = MakeProject({{{10 * c.nearVertex, 5}}, line, {{-9000, 0}}});
    Plain(*w);
    State(*w, 0, true, 1, -1);
    State(*w, 1, false, 1, -1);
    State(*w, 2, true, 0, -1);
    w->FirstFigure = 2;
    TConnectorSearch s(*w);
    ASSERT_TRUE(s.FindConnectorUnordered());
    EXPECT_EQ(F(*w, 1).EntryVertex, c.chosen);
  }
}

TEST(ConnectorSearch, OrderedMultipliesTheWeightsWithoutDividing) {
  // Child vertex 0 at squared distance 16 with weight 6, vertex 1 at 18 with
  // weight 5. The ordered search compares 16 * 6 * 10 with 18 * 5 * 10 and
  // takes vertex 1; the unordered one truncates both to 9 and keeps the first.
  for (const bool ordered : {true, false}) {
    SCOPED_TRACE(ordered);
    auto w = MakeProject({{{0, 0}}, {{4, 0}, {3, 3}}, {{-9000, 0}}});
    Plain(*w);
    F(*w, 0).VertexRecs[0] = TVertexRec{0, 10, 1};
    F(*w, 1).VertexRecs = {TVertexRec{0, 6, 1}, TVertexRec{0, 5, 1}};
    State(*w, 0, true, 1, -1);
    State(*w, 1, false, 1, -1);
    State(*w, 2, true, 0, -1);
    w->FirstFigure = 2;
    TConnectorSearch s(*w);
    ASSERT_TRUE(ordered ? s.FindConnectorOrdered() : s.FindConnectorUnordered());
    EXPECT_EQ(F(*w, 1).EntryVertex, ordered ? 1 : 0);
  }
}

TEST(ConnectorSearch, ManyNeverAttachesAtTheTargetsFirstVertex) {
  // Target square whose first vertex (0,0) is nearest the child; its closing
  // point lies 5 units off. Few takes vertex 0, Many the closing point.
  for (const bool many : {false, true}) {
    auto w = MakeProject({{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {5, 5}},
                          Rect(-300, -100, -200, -50),
                          Rect(-1000, -1000, 1000, 1000)});
    for (auto& f : w->Figures) f->VertexRecs.assign(f->Points.size(), TVertexRec{0, 10, 1});
    State(*w, 0, true, 1, 2);
    State(*w, 1, false, 1, 2);
    State(*w, 2, true, 0, -1);
    w->FirstFigure = 2;
    TConnectorSearch s(*w);
    s.BuildNeighbourLists();
    ASSERT_TRUE(many ? s.FindConnectorMany(2) : s.FindConnectorFew(2));
    const tfigura& c = F(*w, 3);
    EXPECT_EQ(c.LinkParent, 0);
    EXPECT_EQ(c.Points[0], many ? (TPointI{5, 5}) : (TPointI{0, 0}));
    EXPECT_EQ(c.Points[1], (TPointI{-200, -50}));
    EXPECT_EQ(c.NestParent, 2);
  }
}

TEST(ConnectorSearch, GeneralPassDepthRules) {
  // Child of depth 3 under figure 3; one reached drawn target per case.
  struct Case {
    int depth, nestParent;
    bool joined;
  } cases[] = {{1, -1, true}, {2, 3, false}, {3, 3, true},
               {3, 4, false}, {4, 3, false}, {0, -1, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "target depth " << c.depth << " parent " << c.nestParent);
    auto w = MakeProject({Rect(0, 0, 10, 10),
                          Rect(100, 0, 110, 10),
                          {{-5000, -5000}},
                          Rect(-100, -100, 300, 300),
                          Rect(-200, -200, 400, 400)});
    Plain(*w);
    State(*w, 0, false, 3, 3);
    State(*w, 1, true, c.depth, c.nestParent);
    State(*w, 2, true, 0, -1);
    // The two enclosing figures only give the child its parent; they are
    // neither children nor targets here, and neither is the start.
    State(*w, 3, true, 2, 4);
    State(*w, 4, true, 1, -1);
    for (int q : {2, 3, 4}) F(*w, q).oryg = false;
    w->FirstFigure = 2;
    TConnectorSearch s(*w);
    EXPECT_EQ(s.FindConnectorUnordered(), c.joined);
    EXPECT_EQ(F(*w, 0).Unlinked, !c.joined);
  }
}

TEST(ConnectorSearch, CutThroughTheChildWalksTheChildVertexBack) {
  // The preferred vertex (200,-50) lies behind the square as seen from the
  // target at the origin; the cut is walked back to vertex 0 (100,-50).
  auto w = MakeProject({{{0, 0}}, Rect(100, -50, 200, 50)});
  Plain(*w);
  State(*w, 0, true, 1, -1);
  State(*w, 1, false, 1, -1);
  F(*w, 1).VertexRecs[1] = TVertexRec{0, 1, 1};
  w->FirstFigure = 0;
  TConnectorSearch s(*w);
  EXPECT_EQ(s.ConnectorCrossesFigure(1, 1, 0, 0), 1);
  ASSERT_TRUE(s.FindConnectorUnordered());
  EXPECT_EQ(F(*w, 1).EntryVertex, 0);
  EXPECT_EQ(F(*w, 2).Points[1], (TPointI{100, -50}));
  EXPECT_EQ(s.ConnectorCrossesFigure(1, 0, 0, 0), -1);
}

TEST(ConnectorSearch, WalkThatRunsRoundWithoutAFreeCutGivesThePairUp) {
  // The child doubles back on its own line, and the walk never reaches its
  // last vertex: every cut it tries to the point at (300,0) runs along one
  // of the child's own edges. Vertex 1 is preferred by its weight.
  auto w = MakeProject({{{300, 0}}, {{0, 0}, {100, 0}, {50, 0}, {150, 0}}});
  Plain(*w);
  State(*w, 0, true, 1, -1);
  State(*w, 1, false, 1, -1);
  F(*w, 1).VertexRecs[1] = TVertexRec{0, 1, 1};
  w->FirstFigure = 0;
  for (const bool reference : {false, true}) {
    TConnectorSearch s(*w);
    s.SetReference(reference);
    for (int i : {0, 1, 2}) EXPECT_EQ(s.ConnectorCrossesFigure(1, i, 0, 0), 1) << i;
    EXPECT_TRUE(s.FindConnectorUnordered());  // something was considered...
    EXPECT_EQ(s.ConnectorsAdded(), 0);        // ...but no connector made
    EXPECT_EQ(s.PairsRejected(), 1);
    EXPECT_FALSE(s.FindConnectorUnordered());  // and the pair is not tried again
    EXPECT_TRUE(F(*w, 1).Unlinked);
    EXPECT_EQ(w->FigureCount(), 2);
  }
}

TEST(ConnectorSearch, AKeyPressStopsALongCrossingWalk) {
  // A child of thousands of points doubling back along one line, the target
  // on that line in its middle: every cut runs along one of the child's own
  // edges, and the walk goes round all of them, each step testing every
  // edge. The operator's key press ends it, and the pair is not counted as
  // given up.
  test::Polyline child;
  for (int k = 0; k < 3000; ++k) child.push_back({k % 2 == 0 ? 10 * k : 10 * k - 15, 0});
  auto w = MakeProject({{{15001, 0}}, child});
  Plain(*w);
  State(*w, 0, true, 1, -1);
  State(*w, 1, false, 1, -1);
  w->FirstFigure = 0;
  TConnectorSearch s(*w);
  int polls = 0;
  s.SetAbortProbe([&] { return ++polls >= 2; });
  EXPECT_FALSE(s.FindConnectorUnordered());
  EXPECT_TRUE(s.Aborted());
  EXPECT_EQ(polls, 2);
  EXPECT_EQ(s.PairsRejected(), 0);
  EXPECT_EQ(s.ConnectorsAdded(), 0);
  EXPECT_FALSE(s.FindConnectorUnordered());  // nothing more once stopped

  // Without a key press the walk runs round and the pair is given up.
  TConnectorSearch whole(*w);
  EXPECT_TRUE(whole.FindConnectorUnordered());
  EXPECT_EQ(whole.PairsRejected(), 1);
  EXPECT_FALSE(whole.Aborted());
}

TEST(ConnectorSearch, TheOwnEdgeReportedIsOneTheCutCrosses) {
  // The search tries the edge that stopped the last cut before testing all
  // edges of the two figures: that quick test must agree with the full one,
  // on open and closed zigzags whose cuts cross them, touch them at their
  // vertices and run along their edges.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> coord(0, 40);
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    std::vector<test::Polyline> figures(2);
    for (auto& f : figures)
      for (int k = 0; k < 6 + round % 7; ++k) f.push_back({10 * coord(rng), 10 * coord(rng)});
    auto w = MakeProject(figures);
    F(*w, 0).typ = round % 2;
    F(*w, 1).typ = (round / 2) % 2;
    const TConnectorSearch s(*w);
    const int nK = int(F(*w, 0).Points.size()), nT = int(F(*w, 1).Points.size());
    for (int i = 0; i < nK; ++i)
      for (int j = 0; j < nT; ++j) {
        std::int32_t edge = -1;
        const std::int32_t crossed = s.ConnectorCrossesFigure(0, i, 1, j, edge);
        EXPECT_EQ(crossed, s.ConnectorCrossesFigure(0, i, 1, j));
        if (crossed >= 0) EXPECT_TRUE(s.CutCrossesOwnEdge(0, i, 1, j, crossed, edge));
        for (int fig : {0, 1})
          for (int e = -1; e <= (fig == 0 ? nK : nT); ++e)
            if (s.CutCrossesOwnEdge(0, i, 1, j, fig, e)) EXPECT_GE(crossed, 0) << fig << " " << e;
      }
  }
}

TEST(ConnectorSearch, NeighbourListsPutDeeperAndOwnChildrenLast) {
  // Figure 0 at depth 1; 1 near and as deep; 2 far; 3 near but shallower;
  // 4 nearest but nested in 0.
  auto w = MakeProject({Rect(0, 0, 10, 10), Rect(100, 0, 110, 10), Rect(900, 0, 910, 10),
                        Rect(50, 0, 60, 10), Rect(20, 0, 30, 10)});
  State(*w, 0, false, 1, -1);
  State(*w, 1, false, 1, -1);
  State(*w, 2, false, 1, -1);
  State(*w, 3, false, 0, -1);
  State(*w, 4, false, 2, 0);
  TConnectorSearch s(*w);
  s.BuildNeighbourLists();
  const auto& nb = F(*w, 0).Neighbours;
  EXPECT_EQ((std::vector<int>(nb.begin(), nb.begin() + 6)), (std::vector<int>{0, 1, 2, 4, 3, -1}));
  EXPECT_TRUE(s.IsNeighbour(4, 0));
}

TEST(ConnectorSearch, NeighbourListsServeMoreThanTenThousandFigures) {
  std::vector<test::Polyline> figs;
  for (int k = 0; k < 10050; ++k) figs.push_back({{(k % 100) * 100, (k / 100) * 100}});
  auto w = MakeProject(figs);
  TConnectorSearch s(*w);
  s.BuildNeighbourLists();
  const tfigura& last = F(*w, 10049);
  EXPECT_EQ(last.Neighbours[0], 10049);
  // Two at 100 units, below and to the left: equal distances keep list order.
  EXPECT_EQ(last.Neighbours[1], 9949);
  EXPECT_EQ(last.Neighbours[2], 10048);
  EXPECT_TRUE(s.IsNeighbour(9949, 10049));
}

class ConnectorPrepare : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InstallLanguageFile(QCoreApplication::applicationDirPath() + "/Velmarosta_US.xml"));
  }
  void TearDown() override { InstallInterfejs(nullptr); }
};

TEST_F(ConnectorPrepare, ParentWithTwentyFiveChildrenJoinsEveryChildInside) {
  std::vector<test::Polyline> figs;
  for (int r = 0; r < 5; ++r)
    for (int c = 0; c < 5; ++c)
      figs.push_back(Rect(1000 + 1600 * c, 1000 + 1600 * r, 1800 + 1600 * c, 1800 + 1600 * r));
  figs.push_back(Rect(0, 0, 10000, 10000));
  auto w = MakeProject(figs);
  const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));

  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_EQ(r.Connectors, 25);
  EXPECT_EQ(w->FirstFigure, 25);
  EXPECT_EQ(F(*w, 25).ChildCount, 25);
  int nested = 0;
  for (int q = 26; q < w->FigureCount(); ++q) {
    const tfigura& c = F(*w, q);
    ASSERT_EQ(c.Kind, 3);
    ASSERT_EQ(c.Points.size(), 2u);
    if (c.NestParent != 25) continue;  // the first one, from the frame's entry corner
    ++nested;
    const int t = c.LinkParent;
    EXPECT_TRUE(t == 25 || (t < 25 && F(*w, t).NestParent == 25)) << q;
  }
  EXPECT_EQ(nested, 24);
  test::ExpectSoundTree(*w);
  test::ExpectConnectorsMeetTheirEnds(*w);
}

TEST_F(ConnectorPrepare, FromTwentyOneChildrenOnlyCandidateVerticesOfTheParentServe) {
  // A row of small squares 100 units above the parent's bottom edge, each
  // straight above a plain vertex of that edge. Below 21 children every
  // vertex is tried, so each square hangs straight down from the parent;
  // from 21 children on, only the parent's corners, extremes and every
  // third vertex serve, and only its nearest figures, so most cannot.
  for (const int children : {20, 21}) {
    SCOPED_TRACE(children);
    test::Polyline parent = {{0, 0}};
    for (int k = 0; k < children; ++k) parent.push_back({500 + 1000 * k, 0});
    const int right = 1000 * children;
    parent.insert(parent.end(), {{right, 0}, {right, 3000}, {0, 3000}, {0, 0}});
    std::vector<test::Polyline> figs = {parent};
    for (int k = 0; k < children; ++k)
      figs.push_back(Rect(500 + 1000 * k, 100, 700 + 1000 * k, 300));
    auto w = MakeProject(figs);
    const TPlainCutResult r = PrepareCiecie(*w, Env(2, true));
    ASSERT_EQ(r.Unlinked, 0);
    ASSERT_EQ(F(*w, 0).ChildCount, children);
    int straightDown = 0;
    for (int q = 1; q <= children; ++q) {
      const tfigura& conn = F(*w, F(*w, q).LinkParent);
      ASSERT_EQ(conn.Kind, 3) << q;
      if (conn.LinkParent == 0 && conn.Points[0] == TPointI{500 + 1000 * (q - 1), 0})
        ++straightDown;
    }
    if (children < 21)
      EXPECT_EQ(straightDown, children);
    else
      EXPECT_LT(straightDown, children / 2);
    test::ExpectSoundTree(*w);
  }
}

TEST_F(ConnectorPrepare, CutAcrossANonConvexFirstFigureEnds) {
  // Serial cutting starts at the C-shaped figure (last outermost). The square
  // in its mouth is not inside it; the straight cut from the C's lower-left
  // corner passes through the C, so the corner on the C has to move.
  const test::Polyline c = {{0, 0},      {1000, 0},    {1000, 300}, {300, 300}, {300, 700},
                            {1000, 700}, {1000, 1000}, {0, 1000},   {0, 0}};
  auto w = MakeProject({Rect(600, 400, 800, 600), c});
  TPlainCutEnv env = Env(3, false);
  int polls = 0;
  env.Aborted = [&] { return ++polls > 1000; };
  const TPlainCutResult r = PrepareCiecie(*w, env);

  EXPECT_FALSE(r.Aborted);
  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_EQ(w->FirstFigure, 1);
  ASSERT_EQ(w->FigureCount(), 3);
  const tfigura& conn = F(*w, 2);
  EXPECT_EQ(conn.LinkParent, 1);
  TConnectorSearch s(*w);
  EXPECT_EQ(s.ConnectorCrossesFigure(0, F(*w, 0).EntryVertex, 1, conn.LinkVertex), -1);
  test::ExpectSoundTree(*w);
  test::ExpectConnectorsMeetTheirEnds(*w);
}

TEST_F(ConnectorPrepare, FigureWithoutAdmissibleTargetIsJoinedByTheNearestClearCut) {
  // Serial cutting from the closed square 2 (not a target: it is the closed
  // first figure); the small square touching its corner is reached by
  // contact but lies deeper; so the far square has nothing the searches may
  // join it to. The search that tests only the two figures joined leaves it
  // flagged; the last resort joins it to the nearest reached figure.
  const std::vector<test::Polyline> drawing = {Rect(3000, 0, 4000, 1000), Rect(5, 5, 100, 100),
                                               Rect(0, 0, 1000, 1000)};
  {
    auto w = MakeProject(drawing);
    TPlainCutEnv env = Env(3, false);
    env.KeepCrossingConnectors = true;
    int polls = 0;
    env.Aborted = [&] { return ++polls > 1000; };
    const TPlainCutResult r = PrepareCiecie(*w, env);
    EXPECT_FALSE(r.Aborted);
    EXPECT_LT(polls, 10);
    EXPECT_EQ(r.Unlinked, 1);
    EXPECT_EQ(r.UnreachedFigures, std::vector<std::int32_t>{0});
    EXPECT_TRUE(F(*w, 0).Unlinked);
    EXPECT_EQ(F(*w, 1).LinkParent, 2);
    EXPECT_EQ(w->FigureCount(), 3);
  }
  auto w = MakeProject(drawing);
  const TPlainCutResult r = PrepareCiecie(*w, Env(3, false));
  EXPECT_EQ(r.Unlinked, 0);
  EXPECT_TRUE(r.UnreachedFigures.empty());
  ASSERT_EQ(w->FigureCount(), 4);
  const tfigura& conn = F(*w, 3);
  EXPECT_EQ(conn.Kind, 3);
  EXPECT_EQ(conn.LinkParent, 2);
  // Corner (1000, 0) of the first square to corner (3000, 0) of the far one.
  EXPECT_EQ(conn.Points[0], (TPointI{1000, 0}));
  EXPECT_EQ(conn.Points[1], (TPointI{3000, 0}));
  EXPECT_EQ(F(*w, 0).LinkParent, 3);
  test::ExpectSoundTree(*w);
  test::ExpectConnectorsMeetTheirEnds(*w);
}

TEST_F(ConnectorPrepare, StrandedFiguresAreJoinedNearestFirstEachToItsNearestReachedFigure) {
  // As above, with three far squares in a row (listed far to near) and a
  // bar between the first square and the row: each is joined, the nearest
  // first, to the nearest reached figure.
  auto w =
      MakeProject({Rect(7000, 0, 8000, 1000), Rect(5000, 0, 6000, 1000), Rect(3000, 0, 4000, 1000),
                   Rect(1500, -500, 1700, 600), Rect(5, 5, 100, 100), Rect(0, 0, 1000, 1000)});
  const TPlainCutResult r = PrepareCiecie(*w, Env(3, false));
  EXPECT_TRUE(r.UnreachedFigures.empty());
  auto joinedTo = [&](int q) {
    const tfigura& conn = F(*w, F(*w, q).LinkParent);
    EXPECT_EQ(conn.Kind, 3) << q;
    return std::pair{conn.LinkParent, std::array{conn.Points[0], conn.Points[1]}};
  };
  // The bar hangs on the first square, the near square on the bar's upper
  // corner, and the others follow along the row.
  EXPECT_EQ(joinedTo(3).first, 5);
  EXPECT_EQ(joinedTo(2), (std::pair{3, std::array{TPointI{1700, 600}, TPointI{3000, 1000}}}));
  EXPECT_EQ(joinedTo(1), (std::pair{2, std::array{TPointI{4000, 0}, TPointI{5000, 0}}}));
  EXPECT_EQ(joinedTo(0), (std::pair{1, std::array{TPointI{6000, 0}, TPointI{7000, 0}}}));
  test::ExpectSoundTree(*w);
}

}  // namespace
}  // namespace vm
