// Cubic through four points, Bezier and B-spline evaluation.
#include "drawing/curves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "curves_reference.h"
#include "drawing/errors.h"

namespace vm {
namespace {

std::vector<TPointD> AllCubic(TCubicCurve& c, int last) {
  std::vector<TPointD> out;
  TPointD p;
  while (c.CubicNext(p, last) && out.size() < 1000) out.push_back(p);
  return out;
}

TEST(Cubic, PassesThroughItsPointsAtChordLengthParameters) {
  // Equal chords: T = 0, 1/3, 2/3, 1.
  TCubicCurve c;
  c.CubicInit({0, 0}, {10, 10}, {20, 0}, {30, 10}, 0, 1.0 / 3);
  EXPECT_NEAR(c.T()[1], 1.0 / 3, 1e-12);
  EXPECT_NEAR(c.T()[2], 2.0 / 3, 1e-12);
  EXPECT_EQ(c.T()[3], 1);
  EXPECT_EQ(c.T()[4], 0);
  TPointD p;
  ASSERT_TRUE(c.CubicNext(p, 3));  // the point at T[first] itself is not returned
  EXPECT_NEAR(p.X, 10, 1e-9);
  EXPECT_NEAR(p.Y, 10, 1e-9);
  ASSERT_TRUE(c.CubicNext(p, 3));
  EXPECT_NEAR(p.X, 20, 1e-9);
  EXPECT_NEAR(p.Y, 0, 1e-9);

  // Starting at T[1] and stopping at T[2] covers the middle chord only.
  c.CubicInit({0, 0}, {10, 10}, {20, 0}, {30, 10}, 1, 0.05);
  const auto mid = AllCubic(c, 2);
  ASSERT_FALSE(mid.empty());
  for (const TPointD& q : mid) {
    EXPECT_GT(q.X, 10 - 1e-9);
    EXPECT_LT(q.X, 20 + 1e-9);
  }
}

TEST(Cubic, CollinearEquallySpacedPointsStayOnTheLine) {
  TCubicCurve c;
  c.CubicInit({0, 0}, {3, 6}, {6, 12}, {9, 18}, 0, 0.1);
  const auto pts = AllCubic(c, 3);
  ASSERT_GE(pts.size(), 9u);
  for (const TPointD& q : pts) EXPECT_NEAR(q.Y, 2 * q.X, 1e-9);
  for (std::size_t i = 0; i < pts.size(); ++i) EXPECT_NEAR(pts[i].X, 0.9 * (i + 1), 1e-9);
}

TEST(Cubic, SingularSystemStaysAtTheFirstPointAndIndexesAreChecked) {
  TCubicCurve c;
  c.CubicInit({5, 7}, {5, 7}, {5, 7}, {5, 7}, 0, 0.25);
  for (const TPointD& q : AllCubic(c, 3)) EXPECT_EQ(q, (TPointD{5, 7}));
  EXPECT_THROW(c.CubicInit({0, 0}, {1, 0}, {2, 0}, {3, 0}, 5, 0.1), RangeError);
  TPointD p;
  EXPECT_THROW(c.CubicNext(p, -1), RangeError);
}

TEST(Cramer, SolvesAThreeByThreeSystem) {
  // Columns of [[2,1,0],[1,3,1],[0,1,4]]; x = (1, 2, 3) gives R = (4, 10, 14).
  const TCramerRow m1{0, 2, 1, 0, 0}, m2{0, 1, 3, 1, 0}, m3{0, 0, 1, 4, 0}, r{0, 4, 10, 14, 0};
  TCramerRow x;
  SolveCramer3(m1, m2, m3, r, x);
  EXPECT_NEAR(x[1], 1, 1e-12);
  EXPECT_NEAR(x[2], 2, 1e-12);
  EXPECT_NEAR(x[3], 3, 1e-12);
  SolveCramer3(m1, m1, m3, r, x);  // singular
  EXPECT_EQ(x[1], 0);
  EXPECT_EQ(x[2], 0);
  EXPECT_EQ(x[3], 0);
}

TEST(Bezier, DegreeOneStepsToTheEndAndStops) {
  TBezierCurve b;
  b.BezierInit(1, 0.25);
  const std::vector<TPointD> ctl{{0, 0}, {10, 0}};
  TPointD p;
  for (double x : {2.5, 5.0, 7.5, 10.0}) {
    ASSERT_TRUE(b.BezierNext(p, ctl, 0));
    EXPECT_DOUBLE_EQ(p.X, x);
    EXPECT_DOUBLE_EQ(p.Y, 0);
  }
  EXPECT_FALSE(b.BezierNext(p, ctl, 0));
}

TEST(Bezier, CubicMatchesDeCasteljauOverAnyWindowOfTheList) {
  const std::vector<TPointD> ctl{{99, 99}, {0, 0}, {10, 30}, {40, 30}, {50, 0}};
  TBezierCurve b;
  b.BezierInit(3, 0.1);
  TPointD p;
  int count = 0;
  double t = 0;
  while (b.BezierNext(p, ctl, 1)) {
    t += 0.1;
    TPointD q[4] = {ctl[1], ctl[2], ctl[3], ctl[4]};
    for (int r = 1; r < 4; ++r)
      for (int i = 0; i < 4 - r; ++i)
        q[i] = {(1 - t) * q[i].X + t * q[i + 1].X, (1 - t) * q[i].Y + t * q[i + 1].Y};
    EXPECT_NEAR(p.X, q[0].X, 1e-9);
    EXPECT_NEAR(p.Y, q[0].Y, 1e-9);
    ++count;
  }
  EXPECT_GE(count, 9);
  TBezierCurve outside;
  outside.BezierInit(3, 0.5);
  EXPECT_THROW(outside.BezierNext(p, ctl, 2), RangeError);  // needs points 2..5
}

using test::DeBoor;

TEST(BSpline, ClampedCubicReturnsMEqualStepsWithoutTheEnd) {
  const std::vector<TPointD> ctl{{0, 0}, {10, 20}, {30, 20}, {40, 0}};
  TBSplineCurve s;
  s.BSplineInit(3, 3, {0, 0, 0, 0, 1, 1, 1, 1}, 0.25);
  TPointD p;
  ASSERT_TRUE(s.BSplineNext(p, ctl));
  EXPECT_EQ(p, ctl[0]);  // t = 0
  for (double t : {0.25, 0.5, 0.75}) {
    ASSERT_TRUE(s.BSplineNext(p, ctl));
    const TPointD q = DeBoor(3, {0, 0, 0, 0, 1, 1, 1, 1}, ctl, t);
    EXPECT_NEAR(p.X, q.X, 1e-12);
    EXPECT_NEAR(p.Y, q.Y, 1e-12);
  }
  EXPECT_FALSE(s.BSplineNext(p, ctl));
}

TEST(BSpline, MatchesDeBoorOnNonUniformKnots) {
  struct Case {
    int degree;
    std::vector<double> knots;
    double step;
  };
  const std::vector<TPointD> ctl{{0, 0}, {5, 12}, {14, 15}, {20, 3}, {31, -4}, {37, 9}, {45, 2}};
  const std::vector<Case> cases{
      {3, {0, 0, 0, 0, 0.2, 0.5, 0.5, 1, 1, 1, 1}, 0.01},
      {2, {0, 0, 0, 1, 2, 2, 4, 5, 5, 5}, 0.02},
      {1, {0, 0, 1, 2, 3, 4, 5, 6, 6}, 0.05},
      {3, {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8}, 0.1},  // unclamped: range U[3]..U[7]
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.degree);
    TBSplineCurve s;
    s.BSplineInit(c.degree, 6, c.knots, c.step);
    const double lo = c.knots[c.degree];
    const double hi = c.knots[7];
    const int m = static_cast<int>(std::nearbyint(1 / c.step));
    EXPECT_DOUBLE_EQ(s.Step(), (hi - lo) / m);
    double t = lo;
    int count = 0;
    TPointD p;
    while (s.BSplineNext(p, ctl)) {
      ASSERT_LT(t, hi);
      const TPointD q = DeBoor(c.degree, c.knots, ctl, t);
      EXPECT_NEAR(p.X, q.X, 1e-9) << t;
      EXPECT_NEAR(p.Y, q.Y, 1e-9) << t;
      // The recursive basis gives the same point.
      TPointD r;
      for (int i = 0; i <= 6; ++i) {
        const double b = s.BSplineBasis(i, c.degree + 1, t);
        r.X += b * ctl[i].X;
        r.Y += b * ctl[i].Y;
      }
      EXPECT_NEAR(p.X, r.X, 1e-9);
      EXPECT_NEAR(p.Y, r.Y, 1e-9);
      t += s.Step();
      ++count;
    }
    // m steps, the end excluded; repeated addition may add one just before it.
    EXPECT_GE(count, m);
    EXPECT_LE(count, m + 1);
  }
}

TEST(BSpline, TakesMoreThanFiveHundredKnotsAndRejectsBadVectors) {
  const int n = 700;
  std::vector<TPointD> ctl;
  std::vector<double> knots{0, 0, 0};
  for (int i = 0; i < n; ++i) ctl.push_back({i * 1.0, (i % 2) * 10.0});
  for (int i = 0; i <= n - 3; ++i) knots.push_back(i);
  knots.insert(knots.end(), 3, n - 3);
  ASSERT_EQ(knots.size(), static_cast<std::size_t>(n + 4));
  TBSplineCurve s;
  s.BSplineInit(3, n - 1, knots, 1.0 / 2000);
  TPointD p;
  int count = 0;
  double t = 0;
  while (s.BSplineNext(p, ctl)) {
    if (count % 97 == 0) {
      const TPointD q = DeBoor(3, knots, ctl, t);
      EXPECT_NEAR(p.X, q.X, 1e-9);
      EXPECT_NEAR(p.Y, q.Y, 1e-9);
    }
    t += s.Step();
    ++count;
  }
  EXPECT_GE(count, 2000);

  // A step below the spacing of doubles at the knots still comes to an end.
  const double far = 1e20;
  s.BSplineInit(1, 1, {far, far, far + 65536, far + 65536}, 1.0 / 64);
  int farCount = 0;
  while (s.BSplineNext(p, ctl) && farCount < 1000) ++farCount;
  EXPECT_LT(farCount, 1000);

  EXPECT_THROW(s.BSplineInit(3, 6, {0, 0, 0, 0, 1, 1, 1, 1}, 0.1), RangeError);  // too few
  EXPECT_THROW(s.BSplineInit(1, 2, {0, 2, 1, 3, 4}, 0.1), RangeError);           // decreasing
  EXPECT_THROW(s.BSplineInit(1, 2, {0, 1, 2, 3}, 0), RangeError);                // no step
}

}  // namespace
}  // namespace vm
