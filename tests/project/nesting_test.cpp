// Nesting of figures and their direction: depths and parents, the inside test
// with its doubtful points, reversal with everything that points into a
// figure, and the orientation query.
#include "project/nesting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>

#include "project_fixture.h"

namespace vm::test {
namespace {

using Pts = std::vector<TPointI>;

Pts Square(int x0, int y0, int size) {
  return {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}, {x0, y0}};
}

std::int32_t Add(TMDIChild& w, Pts points) {
  auto f = std::make_unique<tfigura>();
  f->Points = std::move(points);
  const std::int32_t i = w.AddFigure(std::move(f));
  w.Ustaw_PPiPK();
  return i;
}

class NestingTest : public ProjectFixture {};

// The nesting passes as written: every ordered pair of every pass.
void ReferenceCoWCzym(TMDIChild& w) {
  for (auto& f : w.Figures) {
    f->Depth = 0;
    f->NestParent = -1;
    f->ChildCount = 0;
  }
  bool changed = true;
  while (changed) {
    changed = false;
    for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
      for (std::int32_t j = 0; j < w.FigureCount(); ++j) {
        tfigura& fi = *w.Figures[i];
        tfigura& fj = *w.Figures[j];
        if (!FigureInside(w, i, j)) continue;
        if (fi.NestParent != -1 && w.Figures[fi.NestParent]->Depth >= fj.Depth) continue;
        fi.NestParent = j;
        fi.Depth = fj.Depth + 1;
        PropagateDepth(w, i);
        fj.ChildCount += 1;
        changed = true;
      }
    }
  }
}

// Random projects of nested, overlapping, open and repeated figures give the
// same depths, parents, child counts and deepest level as the pair passes.
TEST_F(NestingTest, NestingMatchesThePairPasses) {
  for (unsigned seed = 1; seed <= 150; ++seed) {
    std::mt19937 rng(seed);
    auto uni = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    const bool many = seed % 25 == 0;  // many small figures: the big-box path
    const int count = many ? 400 : uni(5, 60);
    std::vector<Pts> figures;
    for (int k = 0; k < count; ++k) {
      const int kind = uni(0, 9);
      if (kind == 0 && !figures.empty()) {
        figures.push_back(figures[rng() % figures.size()]);
        continue;
      }
      const int size = many ? uni(10, 200) : uni(20, 3000);
      const int x = uni(0, 4000), y = uni(0, 4000);
      if (kind <= 5) {
        figures.push_back(Square(x, y, size));
      } else {
        // A star-like closed polygon with vertices on a coarse lattice, so
        // that points often fall straight above or below vertices.
        Pts p;
        const int n = uni(3, 9);
        for (int v = 0; v < n; ++v) {
          const double a = 6.283185307179586 * v / n;
          const int r = size / 2 * uni(3, 10) / 10;
          p.push_back({x + int(r * std::cos(a)) / 10 * 10, y + int(r * std::sin(a)) / 10 * 10});
        }
        if (kind != 9) p.push_back(p.front());  // kind 9 stays open
        figures.push_back(p);
      }
    }
    if (many) figures.push_back(Square(-10, -10, 5000));
    // Deep stacks of concentric squares, in any order.
    if (seed % 10 == 0)
      for (int k = 0; k < 40; ++k)
        figures.push_back(Square(2000 - 20 * k, 2000 - 20 * k, 40 * k + 10));
    std::shuffle(figures.begin(), figures.end(), rng);
    TMDIChild fast, reference;
    for (const Pts& p : figures) {
      Add(fast, p);
      Add(reference, p);
    }
    fast.co_w_czym();
    ReferenceCoWCzym(reference);
    ASSERT_EQ(fast.MaxDepth, reference.MaxDepth) << "seed " << seed;
    for (std::int32_t i = 0; i < fast.FigureCount(); ++i) {
      ASSERT_EQ(fast.Figures[i]->Depth, reference.Figures[i]->Depth) << "seed " << seed;
      ASSERT_EQ(fast.Figures[i]->NestParent, reference.Figures[i]->NestParent) << "seed " << seed;
      ASSERT_EQ(fast.Figures[i]->ChildCount, reference.Figures[i]->ChildCount) << "seed " << seed;
    }
  }
}

// A figure for the comparisons below: its points and whether it is open.
struct Shape {
  Pts points;
  bool open = false;
};

// Runs the nesting and the pair passes on the same figures and compares
// everything the step gives.
void ExpectSameNesting(const std::vector<Shape>& shapes, const std::string& what) {
  TMDIChild fast, reference;
  for (const Shape& s : shapes) {
    for (TMDIChild* w : {&fast, &reference}) {
      const std::int32_t i = Add(*w, s.points);
      w->Figures[i]->Open = s.open;
    }
  }
  fast.co_w_czym();
  ReferenceCoWCzym(reference);
  ASSERT_EQ(fast.MaxDepth, reference.MaxDepth) << what;
  for (std::int32_t i = 0; i < fast.FigureCount(); ++i) {
    ASSERT_EQ(fast.Figures[i]->Depth, reference.Figures[i]->Depth) << what << " figure " << i;
    ASSERT_EQ(fast.Figures[i]->NestParent, reference.Figures[i]->NestParent)
        << what << " figure " << i;
    ASSERT_EQ(fast.Figures[i]->ChildCount, reference.Figures[i]->ChildCount)
        << what << " figure " << i;
  }
}

// A closed ring of n points on an ellipse-like star around (cx, cy), snapped
// to a lattice of `snap` units so that points fall on edges, straight above
// vertices and on shared vertices; `start` turns the ring so that its first
// point is any vertex.
Pts Ring(int cx, int cy, int rx, int ry, int n, int snap, int start, std::mt19937& rng,
         bool jagged) {
  Pts p;
  for (int v = 0; v < n; ++v) {
    const double a = 6.283185307179586 * ((v + start) % n) / n;
    const double k = jagged ? 0.5 + 0.5 * double(rng() % 1000) / 1000 : 1.0;
    const int x = cx + int(std::lround(rx * k * std::cos(a) / snap)) * snap;
    const int y = cy + int(std::lround(ry * k * std::sin(a) / snap)) * snap;
    p.push_back({x, y});
  }
  p.push_back(p.front());
  return p;
}

// Random projects of touching, overlapping, nested, open and degenerate
// figures, many-pointed ones among them (the slab search of long edge lists),
// each in its list order and reversed, give what the pair passes give.
TEST_F(NestingTest, NestingMatchesThePairPassesOnTouchingAndOpenFigures) {
  for (unsigned seed = 1; seed <= 120; ++seed) {
    std::mt19937 rng(seed * 7919u);
    auto uni = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    const int snap = uni(0, 2) == 0 ? 1 : 50;
    // Now and then hundreds of figures nearly as large as the drawing round
    // nearly the same middle (the search through the list of large boxes).
    const bool large = seed % 20 == 0;
    const int count = large ? 400 : uni(8, 50);
    std::vector<Shape> shapes;
    for (int k = 0; k < count; ++k) {
      const int cx = large ? 2000 + uni(-3, 3) * 50 : uni(0, 40) * 50;
      const int cy = large ? 2000 + uni(-3, 3) * 50 : uni(0, 40) * 50;
      const int rx = uni(large ? 34 : 1, large ? 40 : 30) * 50;
      const int ry = uni(large ? 34 : 1, large ? 40 : 30) * 50;
      const int kind = uni(0, 11);
      Shape s;
      if (kind <= 2) {
        s.points = Square(cx - rx, cy - rx, 2 * rx);  // rectangles on one lattice touch often
      } else if (kind <= 5) {
        s.points = Ring(cx, cy, rx, ry, uni(3, 12), snap, uni(0, 11), rng, kind == 5);
      } else if (kind == 6) {
        s.points = Ring(cx, cy, rx, ry, uni(24, 90), snap, uni(0, 89), rng, uni(0, 1) == 1);
      } else if (kind == 7 && !shapes.empty()) {
        // The same first point and number of points as an earlier figure,
        // smaller or larger: a pac-man opening round a shared first point.
        const Shape& base = shapes[rng() % shapes.size()];
        const TPointI c = base.points.front();
        const int r = uni(1, 20) * 50, n = int(base.points.size()) - 1;
        s.points.push_back(c);
        for (int v = 0; v + 1 < std::max(n, 3); ++v) {
          const double a = 0.6 + 5.0 * v / std::max(n - 2, 1);
          s.points.push_back({c.X + int(r * std::cos(a)), c.Y + int(r * std::sin(a))});
        }
        s.points.push_back(c);
      } else if (kind == 8 && !shapes.empty()) {
        s = shapes[rng() % shapes.size()];  // a repeated figure
      } else if (kind == 9) {
        s.points = {{cx, cy}};  // a single point
        if (uni(0, 1)) s.points.push_back({cx + rx, cy});
      } else if (kind == 10 && !shapes.empty()) {
        // A smaller copy of an earlier figure shifted inside its box, so that
        // it touches or crosses the original along whole edges.
        const Shape& base = shapes[rng() % shapes.size()];
        for (const TPointI& q : base.points)
          s.points.push_back({q.X / 2 + cx / 2 + uni(0, 1) * 50, q.Y / 2 + cy / 2});
      } else {
        s.points = Ring(cx, cy, rx, ry, uni(3, 8), snap, 0, rng, true);
        s.points.pop_back();  // not closed by its points
      }
      s.open = uni(0, 5) == 0;
      shapes.push_back(std::move(s));
    }
    // Stacks of nested figures, listed in either order.
    if (seed % 6 == 0) {
      const int cx = uni(10, 30) * 50, cy = uni(10, 30) * 50;
      for (int k = 1; k <= 30; ++k)
        shapes.push_back(
            {Ring(cx, cy, 60 * k, 40 * k, seed % 12 == 0 ? 48 : 4, 10, k, rng, false)});
    }
    if (seed % 2 == 0) std::shuffle(shapes.begin(), shapes.end(), rng);
    ExpectSameNesting(shapes, "seed " + std::to_string(seed));
    std::reverse(shapes.begin(), shapes.end());
    ExpectSameNesting(shapes, "reversed, seed " + std::to_string(seed));
  }
}

// Deep stacks of concentric squares and of many-pointed rings, listed from the
// outermost in and from the innermost out: the chain of parents and the
// counts of assignments are those of the pair passes, and each figure's
// parent is its neighbour outside.
TEST_F(NestingTest, ConcentricStacksInBothListOrders) {
  std::mt19937 rng(5);
  for (const int points : {4, 64}) {
    const int count = points == 4 ? 300 : 120;
    std::vector<Shape> stack;
    for (int k = 0; k < count; ++k) {
      const int r = 100000 - 300 * k;
      stack.push_back(
          {points == 4 ? Square(-r, -r, 2 * r) : Ring(0, 0, r, r, points, 1, k, rng, false)});
    }
    for (const bool outermostFirst : {true, false}) {
      if (!outermostFirst) std::reverse(stack.begin(), stack.end());
      const std::string what =
          std::to_string(points) + (outermostFirst ? " outermost first" : " innermost first");
      ExpectSameNesting(stack, what);
      TMDIChild w;
      for (const Shape& s : stack) Add(w, s.points);
      w.co_w_czym();
      EXPECT_EQ(w.MaxDepth, count - 1) << what;
      for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
        const std::int32_t outside =
            outermostFirst ? i - 1 : (i + 1 < w.FigureCount() ? i + 1 : -1);
        EXPECT_EQ(w.Figures[i]->NestParent, outside) << what << " figure " << i;
        EXPECT_EQ(w.Figures[i]->Depth, outermostFirst ? i : count - 1 - i)
            << what << " figure " << i;
      }
    }
  }
}

// Copies of a part laid out in rows and columns, joined by a connecting figure
// like the duplication generator's: a serpentine through every copy's first
// point whose runs along the rows, returns and closing edge are long, and
// which encloses some copies and not others. Copies touch each other or the
// serpentine's lines, its points lie on the copies' edges and straight below
// their vertices, and a frame goes round it all; now and then a star of long
// chords crosses them. The filing of the long edges gives what the pair
// passes give.
TEST_F(NestingTest, NestingMatchesThePairPassesAroundALongConnectingFigure) {
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::mt19937 rng(seed * 104729u);
    auto uni = [&](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    const int rows = uni(2, 9), columns = uni(3, 12);
    const int w = uni(4, 30) * 10, h = uni(4, 20) * 10;
    const bool touching = seed % 3 == 0;
    const int sx = w + (touching ? 0 : uni(1, 6) * 10), sy = h + (touching ? 0 : uni(1, 6) * 10);
    const int dh = touching ? uni(0, 1) : uni(1, 3) * 10;  // the lines below the rows
    const int t = std::max(1, sx / 10);
    std::vector<Shape> shapes;
    std::vector<std::vector<TPointI>> entries(static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
      for (int j = 0; j < columns; ++j) {
        const int x = j * sx + (touching ? 0 : uni(-1, 1) * 10), y = r * sy;
        // The part, entered at its lower left corner; a small piece against
        // its right edge; now and then a hole or an open cut inside.
        shapes.push_back({Pts{{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}, {x, y}}});
        entries[static_cast<std::size_t>(r)].push_back({x, y});
        const int s = std::min(w, h) / 4;
        shapes.push_back({Square(x + w, y, s)});
        if (uni(0, 3) == 0) shapes.push_back({Square(x + w / 4, y + h / 4, s)});
        if (uni(0, 5) == 0) shapes.push_back({{{x + 1, y + 1}, {x + w / 2, y + h / 2}}, true});
      }
    }
    // The serpentine, from the top row down, each row run through in turn
    // from the left and from the right; some rows go straight from entry to
    // entry, one long edge per copy.
    Pts line;
    const int left = -uni(1, 4) * 10, bottom = -dh - uni(1, 4) * 10;
    line.push_back({left, bottom});
    line.push_back({left, (rows - 1) * sy - dh});
    for (int r = rows - 1; r >= 0; --r) {
      const bool fromLeft = (rows - 1 - r) % 2 == 0;
      const bool straight = uni(0, 3) == 0;
      for (int k = 0; k < columns; ++k) {
        const int j = fromLeft ? k : columns - 1 - k;
        const TPointI e = entries[static_cast<std::size_t>(r)][static_cast<std::size_t>(j)];
        line.push_back(e);
        if (straight) continue;
        const int step = fromLeft ? t : -t;
        line.push_back({e.X + step, e.Y - dh});
        line.push_back({e.X + (fromLeft ? sx : -sx) - step, e.Y - dh});
      }
      if (r > 0) {
        const int edge = fromLeft ? columns * sx + uni(1, 3) * 10 : left;
        line.push_back({edge, r * sy - dh});
        line.push_back({edge, (r - 1) * sy - dh});
      }
    }
    // Back along the bottom past the last column: an edge across everything.
    if (uni(0, 1)) line.push_back({columns * sx + 50, bottom});
    if (uni(0, 1)) line.push_back(line.front());  // closed by its points or not
    shapes.push_back({line});
    // Now and then a second serpentine shifted across the first.
    if (seed % 4 == 0) {
      Pts shifted = line;
      for (TPointI& q : shifted) q = {q.X + sx / 2, q.Y + uni(0, 1) * sy / 2};
      shapes.push_back({shifted});
    }
    // Now and then a star of chords across the copies: every edge long, at
    // all angles (the filing is made coarser for it).
    if (seed % 5 == 0) {
      const int n = uni(1500, 2500), cx = columns * sx / 2, cy = rows * sy / 2;
      const int step = n / 2 - (n % 2 == 0 ? 1 : 0);  // coprime with n
      Pts star;
      for (int v = 0; v <= n; ++v) {
        const double a = 6.283185307179586 * ((v * step) % n) / n;
        star.push_back({cx + int(cx * 1.2 * std::cos(a)) / 10 * 10,
                        cy + int(cy * 1.2 * std::sin(a)) / 10 * 10});
      }
      shapes.push_back({star});
    }
    shapes.push_back({Square(-1000, -1000, std::max(columns * sx, rows * sy) + 2000)});
    if (seed % 2 == 0) std::shuffle(shapes.begin(), shapes.end(), rng);
    ExpectSameNesting(shapes, "seed " + std::to_string(seed));
    std::reverse(shapes.begin(), shapes.end());
    ExpectSameNesting(shapes, "reversed, seed " + std::to_string(seed));
  }
}

TEST_F(NestingTest, ThreeNestedSquaresInEveryListOrder) {
  const Pts squares[] = {Square(0, 0, 1000), Square(100, 100, 800), Square(200, 200, 600)};
  std::array<int, 3> order = {0, 1, 2};
  do {
    TMDIChild w;
    std::array<std::int32_t, 3> at{};  // list index of the outer, middle and inner square
    for (int k = 0; k < 3; ++k) at[order[k]] = Add(w, squares[order[k]]);
    w.co_w_czym();
    const tfigura& outer = *w.Figures[at[0]];
    const tfigura& middle = *w.Figures[at[1]];
    const tfigura& inner = *w.Figures[at[2]];
    EXPECT_EQ(outer.Depth, 0);
    EXPECT_EQ(middle.Depth, 1);
    EXPECT_EQ(inner.Depth, 2);
    EXPECT_EQ(outer.NestParent, -1);
    EXPECT_EQ(middle.NestParent, at[0]);
    EXPECT_EQ(inner.NestParent, at[1]);
    EXPECT_GT(outer.ChildCount, 0);
    EXPECT_GT(middle.ChildCount, 0);
    EXPECT_EQ(inner.ChildCount, 0);
    EXPECT_EQ(w.MaxDepth, 2);
  } while (std::next_permutation(order.begin(), order.end()));
}

TEST_F(NestingTest, InsideTestRules) {
  TMDIChild w;
  const auto outer = Add(w, Square(0, 0, 1000));
  const auto same = Add(w, Square(0, 0, 1000));
  const auto openOuter = Add(w, {{-100, -100}, {2000, -100}, {2000, 2000}, {-100, 2000}});
  const auto openInner = Add(w, {{100, 100}, {500, 500}, {100, 600}});
  const auto touching = Add(w, Square(0, 100, 500));  // equal minimum X
  EXPECT_FALSE(FigureInside(w, outer, outer));
  EXPECT_FALSE(FigureInside(w, outer, same));
  EXPECT_FALSE(FigureInside(w, same, outer));
  EXPECT_FALSE(FigureInside(w, outer, openOuter));  // an open figure encloses nothing
  EXPECT_TRUE(FigureInside(w, openInner, outer));   // but lies inside a closed one
  EXPECT_FALSE(FigureInside(w, touching, outer));
  EXPECT_THROW(FigureInside(w, outer, 99), RangeError);
}

TEST_F(NestingTest, DoubtfulPointDefersToTheNextPoint) {
  // A square with a notch cut down from the top edge to the vertex (50,50).
  const Pts notched = {{0, 0},   {100, 0},  {100, 100}, {60, 100},
                       {50, 50}, {40, 100}, {0, 100},   {0, 0}};
  // Both figures start on the notch vertex, where the vertical line counts a
  // crossing below but none above; the next point decides.
  struct Case {
    Pts figure;
    bool inside;
  };
  const Case cases[] = {
      {{{50, 50}, {50, 20}, {30, 20}, {30, 40}, {50, 50}}, true},   // goes on inside
      {{{50, 50}, {50, 80}, {52, 80}, {52, 50}, {50, 50}}, false},  // goes on into the notch
  };
  for (const Case& c : cases) {
    TMDIChild w;
    const auto b = Add(w, notched);
    const auto a = Add(w, c.figure);
    EXPECT_EQ(FigureInside(w, a, b), c.inside);
  }
}

TEST_F(NestingTest, UstawKierunekReversesCutFiguresOnly) {
  TMDIChild w;
  const auto leftward = Add(w, {{300, 0}, {200, 50}, {100, 0}});
  const auto rightward = Add(w, {{100, 100}, {200, 150}, {300, 100}});
  const auto axis = Add(w, {{900, 500}, {0, 500}});
  const auto upright = Add(w, {{50, 0}, {60, 10}, {50, 20}});
  w.Figures[axis]->Cut = false;
  const TFigureList* list = &w.Figures;
  auto firstX = [&](std::int32_t i) { return (*list)[i]->Points.front().X; };

  w.UstawKierunek(1);
  EXPECT_EQ(firstX(leftward), 100);
  EXPECT_EQ(firstX(rightward), 100);
  EXPECT_EQ(firstX(axis), 900);
  EXPECT_EQ(firstX(upright), 50);
  EXPECT_EQ(mainStatus, QStringList{QString()});

  w.UstawKierunek(-1);
  EXPECT_EQ(firstX(leftward), 300);
  EXPECT_EQ(firstX(rightward), 300);
  EXPECT_EQ(firstX(axis), 900);
  EXPECT_EQ(w.Figures[upright]->Points, (Pts{{50, 0}, {60, 10}, {50, 20}}));

  w.OdwrocKierunek(-1);  // every figure, the axis included
  EXPECT_EQ(firstX(axis), 0);
  EXPECT_EQ(firstX(leftward), 100);
  EXPECT_EQ(w.Figures[upright]->Points, (Pts{{50, 20}, {60, 10}, {50, 0}}));
}

TEST_F(NestingTest, ReversalCarriesTheIndexesThatPointIntoTheFigure) {
  TMDIChild w;
  const auto parent = Add(w, Square(0, 0, 1000));
  const auto child = Add(w, Square(200, 200, 100));
  const auto loose = Add(w, Square(600, 600, 100));
  tfigura& p = *w.Figures[parent];
  for (int k = 0; k < 5; ++k) p.VertexRecs.push_back({0.1 * (k + 1), 5 + k, std::uint8_t(k & 1)});
  p.EntryVertex = 1;
  tfigura& c = *w.Figures[child];
  c.LinkParent = parent;
  c.LinkVertex = 3;
  c.Unlinked = false;
  tfigura& l = *w.Figures[loose];  // not linked: its link fields mean nothing
  l.LinkParent = parent;
  l.LinkVertex = 2;

  const Pts before = p.Points;
  const auto recsBefore = p.VertexRecs;
  const TPointI entry = p.Points[p.EntryVertex];
  const TPointI junction = p.Points[c.LinkVertex];
  const TPointI minX = p.Points[p.MinXIndex];
  const int weightAtEntry = p.VertexRecs[p.EntryVertex].Weight;

  w.OdwrocKierunek(parent);
  EXPECT_EQ(p.Points, Pts(before.rbegin(), before.rend()));
  EXPECT_EQ(p.EntryVertex, 3);
  EXPECT_EQ(p.Points[p.EntryVertex], entry);
  EXPECT_EQ(c.LinkVertex, 1);
  EXPECT_EQ(p.Points[c.LinkVertex], junction);
  EXPECT_EQ(p.Points[p.MinXIndex].X, minX.X);
  EXPECT_EQ(p.VertexRecs[p.EntryVertex].Weight, weightAtEntry);
  EXPECT_DOUBLE_EQ(p.VertexRecs[p.EntryVertex].Angle, -recsBefore[1].Angle);
  EXPECT_EQ(l.LinkVertex, 2);

  w.OdwrocKierunek(parent);  // twice restores the project
  EXPECT_EQ(p.Points, before);
  EXPECT_EQ(p.EntryVertex, 1);
  EXPECT_EQ(c.LinkVertex, 3);
  for (int k = 0; k < 5; ++k) {
    EXPECT_DOUBLE_EQ(p.VertexRecs[k].Angle, recsBefore[k].Angle);
    EXPECT_EQ(p.VertexRecs[k].Weight, recsBefore[k].Weight);
  }
}

TEST_F(NestingTest, ThreePointFigureKeepsItsMiddlePoint) {
  tfigura f;
  f.Points = {{1, 1}, {2, 2}, {3, 3}};
  ReverseFigurePoints(f);
  EXPECT_EQ(f.Points, (Pts{{3, 3}, {2, 2}, {1, 1}}));
}

TEST_F(NestingTest, Orientation) {
  TMDIChild w;
  const auto ccw = Add(w, Square(0, 0, 100));
  const auto cw = Add(w, {{0, 0}, {0, 100}, {100, 100}, {100, 0}, {0, 0}});
  const auto open = Add(w, {{0, 0}, {100, 0}, {100, 100}});
  const auto triangle = Add(w, {{50, 300}, {0, 200}, {100, 200}, {50, 300}});  // ccw, flat bottom
  EXPECT_EQ(w.JakiKierunek(ccw), -1);
  EXPECT_EQ(w.JakiKierunek(cw), 1);
  EXPECT_EQ(w.JakiKierunek(open), 0);
  EXPECT_EQ(w.JakiKierunek(triangle), -1);
  const Pts before = w.Figures[ccw]->Points;
  EXPECT_EQ(w.JakiKierunek(-1), 0);
  EXPECT_EQ(w.Figures[ccw]->Points, before);
  EXPECT_THROW(w.JakiKierunek(17), RangeError);
}

}  // namespace
}  // namespace vm::test
