// The crossing test of connectors: what counts as meeting a drawn figure away
// from the cut's own ends, and the edge index giving the same answers as a
// test against every edge.
#include "project/edge_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "ciecie_fixture.h"

namespace vm {
namespace {

TEST(CutMeetsSegment, ContactAwayFromTheEndsOnly) {
  // The cut runs from (0, 0) to (1000, 0); tolerance 10.
  const TPointI a{0, 0}, b{1000, 0};
  struct Case {
    const char* what;
    TPointI p, q;
    bool meets;
  } cases[] = {
      {"crosses in the middle", {500, -100}, {500, 100}, true},
      {"crosses 10 from its start", {10, -100}, {10, 100}, false},
      {"crosses 11 from its start", {11, -100}, {11, 100}, true},
      {"crosses 10 from its end", {990, -100}, {990, 100}, false},
      {"ends on the cut", {500, -100}, {500, 0}, true},
      {"ends 1 above the cut", {500, -100}, {500, 1}, true},
      {"stops 1 short of the cut", {500, -100}, {500, -1}, false},
      {"runs along the cut", {300, 0}, {600, 0}, true},
      {"runs along the cut within 10 of its end", {-50, 0}, {10, 0}, false},
      {"runs along the line beyond the cut", {1005, 0}, {2000, 0}, false},
      {"parallel, apart", {0, 1}, {1000, 1}, false},
      {"touches the cut's start", {0, 0}, {-100, 50}, false},
      {"a point on the cut", {400, 0}, {400, 0}, true},
      {"a point off the cut", {400, 3}, {400, 3}, false},
      {"crosses the line beyond the cut", {1200, -5}, {1200, 5}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CutMeetsSegment(a, b, c.p, c.q, 10), c.meets) << c.what;
    // Either direction of either segment gives the same answer.
    EXPECT_EQ(CutMeetsSegment(b, a, c.q, c.p, 10), c.meets) << c.what << " (reversed)";
  }
  // A diagonal cut crossed near its end: the distance counts in X or in Y.
  EXPECT_FALSE(CutMeetsSegment({0, 0}, {1000, 1000}, {-5, 15}, {15, -5}, 10));
  EXPECT_TRUE(CutMeetsSegment({0, 0}, {1000, 1000}, {5, 25}, {25, 5}, 10));
  // Coordinates near the ends of the 32-bit range stay exact.
  EXPECT_TRUE(CutMeetsSegment({-2000000000, -2000000000}, {2000000000, 2000000000},
                              {-2000000000, 2000000000}, {2000000000, -2000000000}, 10));
}

TEST(EdgeIndex, AgreesWithTheTestOfEveryEdge) {
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> pos(seed % 2 ? -3000 : 0, seed % 3 ? 3000 : 200000),
        len(1, seed % 4 ? 300 : 60000), count(1, 300), pts(1, 6);
    std::vector<test::Polyline> figs;
    const int n = count(rng);
    for (int k = 0; k < n; ++k) {
      test::Polyline p;
      TPointI at{pos(rng), pos(rng)};
      for (int m = pts(rng); m > 0; --m) {
        p.push_back(at);
        at = {at.X + len(rng) - len(rng), at.Y + len(rng) - len(rng)};
      }
      figs.push_back(p);
    }
    auto w = test::MakeProject(figs);
    // Figures of the program's own (frame, connectors) between the drawn
    // ones are not indexed.
    for (int q = 0; q < n; ++q)
      if (q % 5 == 2) test::F(*w, q).Kind = q % 2 ? 1 : 3;
    TEdgeIndex index;
    index.Build(*w);
    for (int k = 0; k < 300; ++k) {
      const TPointI a{pos(rng), pos(rng)};
      const TPointI b = k % 2 ? TPointI{pos(rng), pos(rng)}
                              : TPointI{a.X + len(rng) - len(rng), a.Y + len(rng) - len(rng)};
      const int skip = k % 3 ? -1 : k % n;
      // The figures the cut meets, by the test of every edge.
      std::vector<bool> met(static_cast<std::size_t>(n), false);
      for (int q = 0; q < n; ++q) {
        if (q == skip || test::F(*w, q).Kind != 0) continue;
        bool any = false;
        const auto& p = test::F(*w, q).Points;
        if (p.size() == 1) any = CutMeetsSegment(a, b, p[0], p[0], TEdgeIndex::kContact);
        for (std::size_t e = 0; e + 1 < p.size() && !any; ++e)
          any = CutMeetsSegment(a, b, p[e], p[e + 1], TEdgeIndex::kContact);
        if (test::F(*w, q).typ == 1 && p.size() > 2 && !any)
          any = CutMeetsSegment(a, b, p.back(), p.front(), TEdgeIndex::kContact);
        met[static_cast<std::size_t>(q)] = any;
      }
      const bool any = std::find(met.begin(), met.end(), true) != met.end();
      const int found = index.FirstCrossed(a, b, skip, -1);
      EXPECT_EQ(found >= 0, any) << a.X << "," << a.Y << " " << b.X << "," << b.Y;
      if (found >= 0) {
        EXPECT_TRUE(met[static_cast<std::size_t>(found)]) << found;
      }
      // The edge met is named so that the quick test of that edge meets it too.
      const int edge = index.FirstCrossedEdge(a, b, skip, -1);
      EXPECT_EQ(edge >= 0, any);
      if (edge >= 0) {
        EXPECT_TRUE(index.CutMeetsEdge(a, b, edge));
      }
    }
  }
}

// Each query marks the edges it has tested with its number; when the numbers
// run out and start again, no edge may stay marked from an earlier query. The
// first ten queries test every edge of the second square (a cut inside it),
// the one that takes the tenth number again crosses it.
TEST(EdgeIndex, FindsTheEdgeAfterManyQueries) {
  auto w = test::MakeProject({test::Rect(0, 0, 1000, 1000), test::Rect(3000, 0, 4000, 1000)});
  TEdgeIndex index;
  index.Build(*w);
  for (int k = 0; k < 65545; ++k) {
    if (k < 10)
      ASSERT_EQ(index.FirstCrossed({3500, 200}, {3600, 300}, -1, -1), -1) << k;
    else if (k == 65544)
      ASSERT_EQ(index.FirstCrossed({3500, -500}, {3500, 1500}, -1, -1), 1) << k;
    else
      ASSERT_EQ(index.FirstCrossed({-500, 100 + k % 800}, {1500, 900 - k % 800}, -1, -1), 0) << k;
  }
}

}  // namespace
}  // namespace vm
