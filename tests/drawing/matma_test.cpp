#include "drawing/matma.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <numbers>

#include "drawing/errors.h"

namespace vm {
namespace {

constexpr double kPi = std::numbers::pi;

TEST(Matma, PointsNearIsNineUnitsInEachAxis) {
  struct Case {
    TPointI p, q;
    bool near;
  };
  for (const Case& c : {Case{{0, 0}, {9, -9}, true},
                        {{0, 0}, {10, 0}, false},
                        {{0, 0}, {0, -10}, false},
                        {{-5, 7}, {4, -2}, true},
                        {{INT_MIN, 0}, {INT_MAX, 0}, false}}) {
    EXPECT_EQ(PointsNear(c.p, c.q), c.near) << c.q.X << "," << c.q.Y;
  }
  // Strictly below a quarter cell.
  EXPECT_TRUE(PointsNearTol({0, 0}, {1, 1}, 8.0));
  EXPECT_FALSE(PointsNearTol({0, 0}, {2, 0}, 8.0));
}

TEST(Matma, UnitConversionRoundsHalvesToEven) {
  EXPECT_EQ(MmToPlotterUnits(1.0), 40);
  EXPECT_EQ(MmToPlotterUnits(0.0125), 0);  // 0.5 units
  EXPECT_EQ(MmToPlotterUnits(0.0375), 2);  // 1.5 units
  EXPECT_EQ(MmToPlotterUnits(-0.0125), 0);
  EXPECT_THROW(MmToPlotterUnits(6e7), RangeError);
  EXPECT_DOUBLE_EQ(PlotterUnitsToMm(40), 1.0);
  EXPECT_DOUBLE_EQ(PlotterUnitsToMm(INT_MAX), INT_MAX / 40.0);
}

TEST(Matma, VectorAndTurnAngles) {
  struct Case {
    TPointI q;
    double angle;
  };
  for (const Case& c : {Case{{0, 5}, kPi / 2},
                        {{0, -5}, 3 * kPi / 2},
                        {{-5, 0}, kPi},
                        {{5, 0}, 0.0},
                        {{-5, -5}, 5 * kPi / 4},
                        {{5, 5}, kPi / 4},
                        {{-5, 5}, 3 * kPi / 4},
                        {{5, -5}, 7 * kPi / 4},
                        {{0, 0}, 0.0}}) {
    EXPECT_NEAR(VectorAngle({0, 0}, c.q), c.angle, 1e-12) << c.q.X << "," << c.q.Y;
    if (c.q != TPointI{0, 0}) {
      EXPECT_NEAR(VectorAngleD({0, 0}, {double(c.q.X), double(c.q.Y)}), c.angle, 1e-12);
    }
  }
  EXPECT_DOUBLE_EQ(VectorAngleD({1, 1}, {1, 1}), 3 * kPi / 2);
  EXPECT_NEAR(TurnAngle({0, 0}, {10, 0}, {10, 10}), -kPi / 2, 1e-12);
  EXPECT_NEAR(TurnAngle({0, 0}, {10, 0}, {10, -10}), kPi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(TurnAngle({0, 0}, {10, 0}, {20, 0}), 0.0);
  // Turning back through the +X direction stays within [-pi, pi].
  EXPECT_NEAR(TurnAngle({0, 0}, {10, -1}, {20, 0}), -2 * std::atan(0.1), 1e-12);
}

TEST(Matma, CosAngle3) {
  EXPECT_NEAR(CosAngle3({0, 0, 0}, {10, 0, 0}, {20, 0, 0}), 1.0, 1e-12);
  EXPECT_NEAR(CosAngle3({0, 0, 0}, {10, 0, 0}, {0, 0, 0}), -1.0, 1e-12);
  EXPECT_NEAR(CosAngle3({0, 0, 0}, {10, 0, 0}, {10, 0, 7}), 0.0, 1e-12);
  EXPECT_EQ(CosAngle3({1, 1, 1}, {1, 1, 1}, {5, 5, 5}), -1.0);
}

TEST(Matma, DistancesDoNotOverflowForLargeDrawings) {
  // 50000 units is 1250 mm: a 32-bit sum of squares would overflow here.
  EXPECT_NEAR(DistanceI({0, 0}, {50000, 50000}), 50000 * std::sqrt(2.0), 1e-6);
  EXPECT_NEAR(DistanceI({-2000000000, 0}, {2000000000, 0}), 4e9, 1e-3);
  EXPECT_EQ(SquaredDistance({0, 0}, {50000, 50000}), 5000000000LL);
  EXPECT_THROW(SquaredDistance({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}), OverflowError);
  EXPECT_NEAR(Distance3I({0, 0, 0}, {3, 4, 12}), 13.0, 1e-12);
  EXPECT_NEAR(Length3(12, 3, 4), 13.0, 1e-12);
}

TEST(Matma, LineEquationAndDistanceForLargeCoordinates) {
  // A line through points 2.5 m and 5 m away from the origin.
  const TLineABC l = LineEquation({100000, 100000, 200000, 150000});
  EXPECT_FALSE(l.Vertical);
  // (100000, 100000) + a perpendicular step of 1000 units.
  const double n = std::sqrt(1.25);
  const TPointI p{static_cast<int>(std::lround(100000 - 1000 * 0.5 / n)),
                  static_cast<int>(std::lround(100000 + 1000 / n))};
  EXPECT_NEAR(LinePointDistance(p, l), 1000.0, 1.0);
  EXPECT_NEAR(LinePointDistance({150000, 125000}, l), 0.0, 1e-6);
  const TLineABC v = LineEquation({60000, 0, 60000, 90000});
  EXPECT_TRUE(v.Vertical);
  EXPECT_DOUBLE_EQ(LinePointDistance({10000, 5}, v), 50000.0);
}

TEST(Matma, SegmentsCross) {
  struct Case {
    TSegment a, b;
    bool cross;
    const char* what;
  };
  for (const Case& c : {
           Case{{0, 0, 10, 10}, {0, 10, 10, 0}, true, "diagonals of a square"},
           {{0, 0, 10, 0}, {10, 0, 20, 5}, false, "shared end point only"},
           {{0, 0, 10, 0}, {0, 5, 10, 5}, false, "parallel"},
           {{0, 0, 10, 0}, {5, -5, 5, 5}, true, "vertical through the middle"},
           {{0, 0, 10, 0}, {5, 1, 5, 5}, false, "vertical above"},
           {{5, 0, 5, 10}, {5, 5, 5, 20}, true, "overlapping verticals"},
           {{5, 0, 5, 10}, {5, 10, 5, 20}, false, "verticals meeting at an end"},
           {{0, 0, 10, 10}, {5, 5, 15, 15}, true, "overlapping collinear"},
           {{0, 0, 0, 0}, {0, 0, 10, 10}, false, "a point"},
       }) {
    EXPECT_EQ(SegmentsCross(c.a, c.b), c.cross) << c.what;
    EXPECT_EQ(SegmentsCross(c.b, c.a), c.cross) << c.what << " (swapped)";
  }
}

TEST(Matma, SegmentsIntersection) {
  TPointI p{1, 1};
  EXPECT_TRUE(SegmentsIntersection({0, 0, 10, 10}, {0, 10, 10, 0}, p));
  EXPECT_EQ(p, (TPointI{5, 5}));
  EXPECT_TRUE(SegmentsIntersection({0, 0, 10, 0}, {4, -5, 4, 5}, p));
  EXPECT_EQ(p, (TPointI{4, 0}));
  // Meeting at the first end of one of them is not an intersection.
  EXPECT_FALSE(SegmentsIntersection({0, 0, 10, 10}, {0, 0, 10, 0}, p));
  EXPECT_FALSE(SegmentsIntersection({0, 0, 10, 0}, {0, 5, 10, 5}, p));
  EXPECT_EQ(p, (TPointI{0, 0}));
  EXPECT_TRUE(SegmentsIntersection({3, 0, 3, 10}, {3, 4, 3, 20}, p));
  EXPECT_EQ(p, (TPointI{3, 7}));
}

TEST(Matma, SegmentsIntersectionRejectsFarCandidates) {
  // Nearly parallel long segments whose lines meet about 1.0001e8 units away;
  // scaled down by 10 that point would fall inside both X ranges.
  TPointI p;
  EXPECT_FALSE(SegmentsIntersection({0, 0, 20000000, 19998000}, {0, -1, 19991999, 19989999}, p));
  EXPECT_FALSE(SegmentsCross({0, 0, 20000000, 19998000}, {0, -1, 19991999, 19989999}));
  // A vertical segment beside the other one: no candidate at all, so no
  // crossing, wherever the origin lies.
  EXPECT_FALSE(SegmentsIntersection({0, 3, 10, 8}, {0, -5, 0, 5}, p));
  EXPECT_FALSE(SegmentsIntersection({20, -5, 20, 5}, {0, 0, 10, 0}, p));
  EXPECT_EQ(p, (TPointI{0, 0}));
}

TEST(Matma, LinesIntersection) {
  struct Case {
    TSegment a, b;
    TPointI p;
    const char* what;
  };
  for (const Case& c : {
           Case{{0, 0, 10, 10}, {0, 10, 10, 0}, {5, 5}, "crossing lines"},
           {{0, 0, 10, 10}, {20, 0, 20, 5}, {20, 20}, "one vertical, beyond the segment"},
           {{3, -7, 3, 2}, {3, 0, 3, 10}, {3, 1}, "same vertical: middle truncated"},
           {{3, 0, 3, 2}, {4, 0, 4, 2}, {0, 0}, "different verticals"},
           {{0, 0, 10, 0}, {0, 5, 10, 5}, {0, 0}, "parallel"},
           {{0, 0, 10, 10}, {4, 4, 30, 30}, {7, 7}, "same line: middle of the overlap"},
       }) {
    TPointI p{99, 99};
    LinesIntersection(SegmentLine(c.a), SegmentLine(c.b), c.a, c.b, p);
    EXPECT_EQ(p, c.p) << c.what;
  }
  TPointI untouched{99, 99};
  LinesIntersection(SegmentLine({1, 1, 1, 1}), SegmentLine({0, 0, 5, 5}), {1, 1, 1, 1},
                    {0, 0, 5, 5}, untouched);
  EXPECT_EQ(untouched, (TPointI{99, 99}));
}

TEST(Matma, PointToSegmentAndLine) {
  TPointI foot;
  double angle = -1;
  std::uint8_t where = 9;
  EXPECT_DOUBLE_EQ(PointSegmentDistance({5, 7}, {0, 0, 10, 0}, 0, foot, angle, where), 7.0);
  EXPECT_EQ(foot, (TPointI{5, 0}));
  EXPECT_EQ(where, 0);
  EXPECT_NEAR(angle, 3 * kPi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(PointSegmentDistance({-3, 4}, {0, 0, 10, 0}, 0, foot, angle, where), 5.0);
  EXPECT_EQ(where, 1);
  EXPECT_DOUBLE_EQ(PointSegmentDistance({13, -4}, {0, 0, 10, 0}, 0, foot, angle, where), 5.0);
  EXPECT_EQ(where, 2);
  EXPECT_EQ(foot, (TPointI{10, 0}));
  EXPECT_NEAR(PointSegmentDistance({0, 10}, {0, 0, 10, 10}, 0, foot, angle, where), std::sqrt(50.0),
              1e-12);
  EXPECT_EQ(foot, (TPointI{5, 5}));
  EXPECT_DOUBLE_EQ(PointLineDistance({7, 3}, SegmentLine({2, 0, 2, 5})), 5.0);
  EXPECT_EQ(PointLineDistance({7, 3}, SegmentLine({2, 2, 2, 2})), 0.0);

  double gap = 0;
  EXPECT_TRUE(VerticalGapToSegment({0, 10, 10, 20}, {0, 0}, gap));  // X1 included
  EXPECT_DOUBLE_EQ(gap, 10.0);
  EXPECT_FALSE(VerticalGapToSegment({0, 10, 10, 20}, {10, 0}, gap));  // X2 excluded
  EXPECT_TRUE(VerticalGapToSegment({10, 20, 0, 10}, {10, 0}, gap));
  EXPECT_FALSE(VerticalGapToSegment({5, 0, 5, 10}, {5, 0}, gap));
}

TEST(Matma, IntegerRoutines) {
  EXPECT_EQ(Factorial(0), 1);
  EXPECT_EQ(Factorial(12), 479001600);
  EXPECT_THROW(Factorial(13), OverflowError);
  EXPECT_DOUBLE_EQ(Binomial(5, 2), 10.0);
  EXPECT_DOUBLE_EQ(Binomial(12, 6), 924.0);
  EXPECT_DOUBLE_EQ(PowerInt(3, 0.5), 0.125);
  EXPECT_DOUBLE_EQ(PowerInt(0, 7.0), 1.0);
  EXPECT_TRUE(Divisible(12, 4));
  EXPECT_FALSE(Divisible(12, 5));
  EXPECT_TRUE(Divisible(INT_MIN, -1));
  EXPECT_THROW(Divisible(1, 0), Error);
  EXPECT_EQ(MinD(1, 2), 1);
  EXPECT_EQ(MaxD(1, 2), 2);
  EXPECT_EQ(MaxI(-1, -2), -1);
}

TEST(Matma, WaitsLastAtLeastTheRequestedTime) {
  using Clock = std::chrono::steady_clock;
  const auto ms = [](Clock::time_point t) {
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
  };
  auto t = Clock::now();
  WaitTime(5);
  EXPECT_GE(ms(t), 5.0);
  Delay(0);  // calibrates once
  t = Clock::now();
  Delay(120);  // longer than 100 ms: follows the clock
  EXPECT_GE(ms(t), 120.0);
  Delay(-5);  // nothing to wait
}

}  // namespace
}  // namespace vm
