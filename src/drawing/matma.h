// Geometry and math library: min/max, plotter-unit conversions, point equality
// and nearness, distances, direction and turning angles, line records of
// segments with crossing, intersection and distance tests, small integer
// routines and the calibrated busy waits.
//
// Coordinates are plotter units (40 per mm) unless a routine says mm; angles are
// radians counted counter-clockwise from +X, with Y upwards. Integer results
// that do not fit raise RangeError or OverflowError instead of wrapping.
#pragma once

#include <cstdint>

#include "drawing/points.h"

namespace vm {

// A segment from (X1, Y1) to (X2, Y2).
struct TSegment {
  std::int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  friend bool operator==(const TSegment&, const TSegment&) = default;
};

// The line of a segment, Y = Slope * X + Intercept. A vertical line has Slope
// +2147483647 (upwards) or -2147483647 and its X in Intercept. IsPoint: both
// ends equal, the other fields are then not set.
struct TLineEq {
  double Slope = 0;
  double Intercept = 0;
  bool Vertical = false;
  bool IsPoint = false;
};

// CoefA * X + CoefB * Y + CoefK = 0 (used by the point reduction).
struct TLineABC {
  double CoefA = 0;
  double CoefB = 0;
  double CoefK = 0;
  bool Vertical = false;
};

double MinD(double a, double b);
double MaxD(double a, double b);
std::int32_t MaxI(std::int32_t a, std::int32_t b);
double PlotterUnitsToMm(std::int32_t n);
std::int32_t MmToPlotterUnits(double x);  // RangeError outside 32 bits

bool PointsEqual(TPointI p, TPointI q);
bool PointsEqualD(TPointD p, TPointD q);
// Within 9 units in X and in Y (9 is near, 10 is not).
bool PointsNear(TPointI p, TPointI q);
// |dX| and |dY| both strictly below cellSize / 4, cellSize being the
// silhouette grid's cell size.
bool PointsNearTol(TPointI p, TPointI q, double cellSize);

double Distance(TPointI p, TPointI q);
// The same distance, computed without 32-bit overflow for any coordinates.
double DistanceI(TPointI p, TPointI q);
std::int64_t SquaredDistance(TPointI p, TPointI q);  // OverflowError past 64 bits
double DistanceD(TPointD p, TPointD q);
double Distance3I(TPoint3I p, TPoint3I q);
double Distance3V(TPoint3F vertex, TPoint3F point);
double Length3(double x, double y, double z);
// Cosine of the change of direction at p2: 1 straight on, -1 reversal (and
// when p1 equals p2 or p2 equals p3).
double CosAngle3(TPoint3I p1, TPoint3I p2, TPoint3I p3);

TLineEq SegmentLine(TSegment s);
double VectorAngle(TPointI p, TPointI q);   // [0, 2 pi); 0 for equal points
double VectorAngleD(TPointD p, TPointD q);  // 3 pi / 2 for equal points
// VectorAngle(p1, p2) - VectorAngle(p2, p3) in [-pi, pi]; positive turns clockwise.
double TurnAngle(TPointI p1, TPointI p2, TPointI p3);
// The same from the directions (VectorAngle) of the edge in and the edge out.
double TurnBetween(double in, double out);
void OrderSegmentByX(TSegment& s);
void OrderSegmentByY(TSegment& s);
// True when the segments cross; sharing only an end point is touching.
bool SegmentsCross(TSegment a, TSegment b);
// Crossing point of two segments; p is (0, 0) when there is none.
bool SegmentsIntersection(TSegment a, TSegment b, TPointI& p);
// Intersection of the lines la, lb of the segments sa, sb; p is left as it was
// when either line is a point.
void LinesIntersection(const TLineEq& la, const TLineEq& lb, TSegment sa, TSegment sb, TPointI& p);
// Ray-crossing step: true with the vertical gap from p up to the segment when
// p.X lies in the segment's half-open X range (X1 included, X2 excluded).
bool VerticalGapToSegment(TSegment s, TPointI p, double& gap);
// Distance from p to the segment; foot, angle and where (0 foot inside, 1 the
// start, 2 the end) are not set when the segment is a point. tolerance is unused.
double PointSegmentDistance(TPointI p, TSegment s, std::int32_t tolerance, TPointI& foot,
                            double& angle, std::uint8_t& where);
double PointLineDistance(TPointI p, const TLineEq& l);
TLineABC LineEquation(TSegment s);
double LinePointDistance(TPointI p, const TLineABC& l);

std::int32_t Factorial(std::int32_t n);  // OverflowError from 13 on
double PowerInt(std::int32_t n, double x);
double Binomial(std::int32_t n, std::int32_t k);
bool Divisible(std::int32_t a, std::int32_t b);  // Error when b is 0

// Busy wait of ms milliseconds. The first call measures clock reads per
// millisecond over 100 ms; waits of up to 100 ms then spend that many reads,
// longer waits follow the clock.
void Delay(double ms);
// Makes the next Delay measure its loop again (the simulation asks for this
// before every replay).
void RecalibrateDelay();
// Busy wait on the clock until more than ms milliseconds have passed.
void WaitTime(double ms);

}  // namespace vm
