// Point reduction of traced outlines.
#include "model3d/point_reduction.h"

#include <gtest/gtest.h>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/matma.h"

namespace vm {
namespace {

// Points every 8 units from `a` to `b` inclusive (a horizontal or vertical run).
std::vector<TPointI> Line(TPointI a, TPointI b) {
  std::vector<TPointI> points;
  const int dx = (b.X > a.X) - (b.X < a.X), dy = (b.Y > a.Y) - (b.Y < a.Y);
  for (TPointI p = a;; p.X += 8 * dx, p.Y += 8 * dy) {
    points.push_back(p);
    if (p == b) break;
  }
  return points;
}

TEST(PointReduction, KnownPolylines) {
  std::vector<TPointI> lShape = Line({0, 0}, {80, 0});
  const std::vector<TPointI> up = Line({80, 8}, {80, 80});
  lShape.insert(lShape.end(), up.begin(), up.end());

  std::vector<TPointI> square = Line({0, 0}, {80, 0});
  for (auto side : {Line({80, 8}, {80, 80}), Line({72, 80}, {0, 80}), Line({0, 72}, {0, 0})})
    square.insert(square.end(), side.begin(), side.end());

  const struct {
    const char* name;
    std::vector<TPointI> points;
    double tolerance;
    std::vector<TPointI> expected;
  } cases[] = {
      {"straight line", Line({0, 0}, {80, 0}), 12, {{0, 0}, {80, 0}}},
      {"vertical line", Line({5, 0}, {5, 80}), 12, {{5, 0}, {5, 80}}},
      // (80,0) lies 7.96 from the chord to (80,8), 15.7 from the chord to (80,16).
      {"L shape", lShape, 12, {{0, 0}, {80, 8}, {80, 80}}},
      // A point exactly at the tolerance is not close enough.
      {"at the tolerance", {{0, 0}, {10, 12}, {20, 0}}, 12, {{0, 0}, {10, 12}, {20, 0}}},
      {"below the tolerance", {{0, 0}, {10, 11}, {20, 0}}, 12, {{0, 0}, {20, 0}}},
      // A closed outline keeps its first point and the repeated last one.
      {"closed square", square, 12, {{0, 0}, {80, 8}, {72, 80}, {0, 72}, {0, 0}}},
      {"two points", {{0, 0}, {3, 50}}, 12, {{0, 0}, {3, 50}}},
      {"one point", {{7, 7}}, 12, {{7, 7}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<TPointI> points = c.points;
    RedukujPunkty(points, c.tolerance);
    EXPECT_EQ(points, c.expected);
  }
}

// The reduction by its plain definition: from the anchor, the candidate grows
// while no point between them lies the tolerance or more from their line.
std::vector<TPointI> PlainReduction(std::vector<TPointI> points, double tolerance) {
  if (points.size() < 3) return points;
  std::vector<TPointI> out{points[0]};
  std::size_t a = 0, b = 2;
  while (b < points.size()) {
    const TLineABC line =
        LineEquation(TSegment{points[a].X, points[a].Y, points[b].X, points[b].Y});
    double d = 0;
    for (std::size_t k = a + 1; k < b; ++k) d = std::max(d, LinePointDistance(points[k], line));
    if (d >= tolerance) {
      a = b - 1;
      out.push_back(points[a]);
      b = a + 2;
    } else {
      ++b;
    }
  }
  out.push_back(points.back());
  return out;
}

TEST(PointReduction, WalksOfCellsGiveThePointsOfThePlainReduction) {
  // Random walks of cell steps (vertical chords among them), and tolerances
  // around the distances they give, keep exactly the same points.
  std::uint32_t seed = 777;
  auto next = [&] { return (seed = seed * 1664525u + 1013904223u) >> 16; };
  for (int walk = 0; walk < 40; ++walk) {
    std::vector<TPointI> points{{0, 0}};
    const int length = 20 + int(next() % 400);
    for (int k = 0; k < length; ++k) {
      TPointI p = points.back();
      const std::uint32_t step = next() % 8;
      p.X += step < 3 ? 8 : step < 5 ? 0 : -8;
      p.Y += step % 3 == 0 ? 8 : step % 3 == 1 ? 0 : -8;
      if (p == points.back()) p.Y += 8;
      points.push_back(p);
    }
    for (const double tolerance : {0.0, 4.0, 8.0, 12.0, 16.0 / 3, 40.0}) {
      std::vector<TPointI> reduced = points;
      RedukujPunkty(reduced, tolerance);
      EXPECT_EQ(reduced, PlainReduction(points, tolerance)) << walk << " at " << tolerance;
    }
  }
}

TEST(PointReduction, WorksOnTheTracedFigureByIndex) {
  ResetDrawingGlobals();
  for (int i = 0; i < 2; ++i) {
    auto f = std::make_unique<tfigura>();
    f->Points = Line({0, 0}, {80, 0});
    TracedFigures.push_back(std::move(f));
  }
  RedukujPunkty(1, 12);
  EXPECT_EQ(TracedFigures[0]->Points.size(), 11u);  // other figures keep their points
  EXPECT_EQ(TracedFigures[1]->Points, (std::vector<TPointI>{{0, 0}, {80, 0}}));
  EXPECT_THROW(RedukujPunkty(2, 12), RangeError);
  EXPECT_THROW(RedukujPunkty(-1, 12), RangeError);
  ResetDrawingGlobals();
}

}  // namespace
}  // namespace vm
