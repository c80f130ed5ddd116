// Geometry and math library routines.
#include "drawing/matma.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <numbers>

#include "drawing/errors.h"
#include "drawing/rounding.h"

namespace vm {

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kVerticalSlope = 2147483647.0;
// Candidates of SegmentsIntersection are scaled down by 10 until both
// coordinates lie below this magnitude before they are stored.
constexpr double kCandidateLimit = 21474836.0;

double Dx(TPointI p, TPointI q) { return static_cast<double>(q.X) - static_cast<double>(p.X); }
double Dy(TPointI p, TPointI q) { return static_cast<double>(q.Y) - static_cast<double>(p.Y); }

bool InRange(double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); }

// Crossing of two lines that are not points; false when they are parallel
// (equal slopes, both vertical) so the caller applies its own rule.
bool CrossLines(const TLineEq& la, const TLineEq& lb, double& x, double& y) {
  if (la.Vertical && lb.Vertical) return false;
  if (la.Vertical) {
    x = la.Intercept;
    y = lb.Slope * x + lb.Intercept;
    return true;
  }
  if (lb.Vertical) {
    x = lb.Intercept;
    y = la.Slope * x + la.Intercept;
    return true;
  }
  if (la.Slope == lb.Slope) return false;
  x = (lb.Intercept - la.Intercept) / (la.Slope - lb.Slope);
  y = la.Slope * x + la.Intercept;
  return true;
}

// The line through p perpendicular to l (l not a point).
TLineEq Perpendicular(TPointI p, const TLineEq& l) {
  TLineEq n;
  if (l.Vertical) {
    n.Slope = 0;
    n.Intercept = p.Y;
  } else if (l.Slope == 0) {
    n.Vertical = true;
    n.Slope = kVerticalSlope;
    n.Intercept = p.X;
  } else {
    n.Slope = -1.0 / l.Slope;
    n.Intercept = p.Y - p.X * n.Slope;
  }
  return n;
}
}  // namespace

double MinD(double a, double b) { return b >= a ? a : b; }
double MaxD(double a, double b) { return b > a ? b : a; }
std::int32_t MaxI(std::int32_t a, std::int32_t b) { return b < a ? a : b; }

double PlotterUnitsToMm(std::int32_t n) { return static_cast<double>(n) * 1000.0 / 40000.0; }

std::int32_t MmToPlotterUnits(double x) { return Round(x * 40000.0 / 1000.0); }

bool PointsEqual(TPointI p, TPointI q) { return p.X == q.X && p.Y == q.Y; }
bool PointsEqualD(TPointD p, TPointD q) { return p.X == q.X && p.Y == q.Y; }

bool PointsNear(TPointI p, TPointI q) {
  return std::llabs(std::int64_t{p.X} - q.X) <= 9 && std::llabs(std::int64_t{p.Y} - q.Y) <= 9;
}

bool PointsNearTol(TPointI p, TPointI q, double cellSize) {
  const double lim = cellSize / 4.0;
  return std::fabs(Dx(p, q)) < lim && std::fabs(Dy(p, q)) < lim;
}

double Distance(TPointI p, TPointI q) {
  const double dx = Dx(p, q), dy = Dy(p, q);
  return std::sqrt(dx * dx + dy * dy);
}

double DistanceI(TPointI p, TPointI q) {
  // Differences of 32-bit coordinates fit 33 bits and are exact in a double;
  // summing their squares in 32 bits would overflow from about 1158 mm on.
  return Distance(p, q);
}

std::int64_t SquaredDistance(TPointI p, TPointI q) {
  const std::int64_t dx = std::int64_t{q.X} - p.X, dy = std::int64_t{q.Y} - p.Y;
  return CheckedAdd(CheckedMul(dx, dx), CheckedMul(dy, dy));
}

double DistanceD(TPointD p, TPointD q) {
  const double dx = q.X - p.X, dy = q.Y - p.Y;
  return std::sqrt(dx * dx + dy * dy);
}

double Distance3I(TPoint3I p, TPoint3I q) {
  const double dx = static_cast<double>(q.X) - p.X, dy = static_cast<double>(q.Y) - p.Y;
  const double dz = static_cast<double>(q.Z) - p.Z;
  const double d = std::sqrt(dx * dx + dy * dy);
  return std::sqrt(d * d + dz * dz);
}

double Distance3V(TPoint3F vertex, TPoint3F point) {
  const double dx = static_cast<double>(point.X) - vertex.X;
  const double dy = static_cast<double>(point.Y) - vertex.Y;
  const double dz = static_cast<double>(point.Z) - vertex.Z;
  return std::sqrt(dz * dz + (dx * dx + dy * dy));
}

double Length3(double x, double y, double z) {
  const double d = std::sqrt(z * z + y * y);
  return std::sqrt(d * d + x * x);
}

double CosAngle3(TPoint3I p1, TPoint3I p2, TPoint3I p3) {
  if (p1 == p2 || p2 == p3) return -1.0;
  const double d12 = Distance3I(p1, p2), d23 = Distance3I(p2, p3), d13 = Distance3I(p1, p3);
  return -(d12 * d12 + d23 * d23 - d13 * d13) / (2.0 * d12 * d23);
}

TLineEq SegmentLine(TSegment s) {
  TLineEq l;
  if (s.X1 == s.X2 && s.Y1 == s.Y2) {
    l.IsPoint = true;
  } else if (s.X1 == s.X2) {
    l.Vertical = true;
    l.Slope = s.Y1 < s.Y2 ? kVerticalSlope : -kVerticalSlope;
    l.Intercept = s.X1;
  } else {
    l.Slope = (static_cast<double>(s.Y2) - s.Y1) / (static_cast<double>(s.X2) - s.X1);
    l.Intercept = s.Y1 - s.X1 * l.Slope;
  }
  return l;
}

double VectorAngle(TPointI p, TPointI q) {
  if (p == q) return 0.0;
  if (p.X == q.X) return p.Y < q.Y ? kPi / 2 : 3 * kPi / 2;
  const double m = Dy(p, q) / Dx(p, q);
  if (m == 0) return p.X < q.X ? 0.0 : kPi;
  if (m > 0) return std::atan(m) + (p.X < q.X ? 0.0 : kPi);
  return q.X < p.X ? std::atan(m) + kPi : std::atan(m) + 2 * kPi;
}

double VectorAngleD(TPointD p, TPointD q) {
  const double dx = q.X - p.X, dy = q.Y - p.Y;
  if (dx == 0) return dy > 0 ? kPi / 2 : 3 * kPi / 2;
  const double m = dy / dx;
  if (m == 0) return dx > 0 ? 0.0 : kPi;
  if (m > 0) return std::atan(m) + (dx > 0 ? 0.0 : kPi);
  return dx < 0 ? std::atan(m) + kPi : std::atan(m) + 2 * kPi;
}

double TurnAngle(TPointI p1, TPointI p2, TPointI p3) {
  return TurnBetween(VectorAngle(p1, p2), VectorAngle(p2, p3));
}

double TurnBetween(double in, double out) {
  double d = in - out;
  if (d > kPi) d -= 2 * kPi;
  if (d < -kPi) d += 2 * kPi;
  return d;
}

void OrderSegmentByX(TSegment& s) {
  if (s.X2 < s.X1) {
    std::swap(s.X1, s.X2);
    std::swap(s.Y1, s.Y2);
  }
}

void OrderSegmentByY(TSegment& s) {
  if (s.Y2 < s.Y1) {
    std::swap(s.X1, s.X2);
    std::swap(s.Y1, s.Y2);
  }
}

bool SegmentsCross(TSegment a, TSegment b) {
  OrderSegmentByX(a);
  OrderSegmentByX(b);
  const TLineEq la = SegmentLine(a), lb = SegmentLine(b);
  if (la.IsPoint || lb.IsPoint) return false;
  if (la.Vertical && lb.Vertical) {
    if (a.X1 != b.X1) return false;
    OrderSegmentByY(a);
    OrderSegmentByY(b);
    const double lo = std::max(a.Y1, b.Y1), hi = std::min(a.Y2, b.Y2);
    const double m = (lo + hi) / 2;
    return m > a.Y1 && m < a.Y2 && m > b.Y1 && m < b.Y2;
  }
  double x = 0, y = 0;
  if (la.Vertical && b.X1 < a.X1 && a.X1 < b.X2) {
    x = a.X1;
    y = lb.Slope * x + lb.Intercept;
  } else if (lb.Vertical && a.X1 < b.X1 && b.X1 < a.X2) {
    x = b.X1;
    y = la.Slope * x + la.Intercept;
  } else if (la.Slope == lb.Slope) {
    if (la.Intercept != lb.Intercept) return false;
    x = (static_cast<double>(std::max(a.X1, b.X1)) + std::min(a.X2, b.X2)) / 2;
    y = la.Slope * x + la.Intercept;
  } else if (!la.Vertical && !lb.Vertical) {
    x = (lb.Intercept - la.Intercept) / (la.Slope - lb.Slope);
    y = la.Slope * x + la.Intercept;
  }
  if (!(x >= a.X1 && x <= a.X2 && x >= b.X1 && x <= b.X2)) return false;
  const bool endOfA = x == a.X1 || x == a.X2;
  const bool endOfB = x == b.X1 || x == b.X2;
  if (endOfA && endOfB) return false;  // touching, not crossing
  if (la.Vertical && !(y > std::min(a.Y1, a.Y2) && y < std::max(a.Y1, a.Y2))) return false;
  if (lb.Vertical && !(y > std::min(b.Y1, b.Y2) && y < std::max(b.Y1, b.Y2))) return false;
  return true;
}

bool SegmentsIntersection(TSegment a, TSegment b, TPointI& p) {
  p = {0, 0};
  OrderSegmentByX(a);
  OrderSegmentByX(b);
  const TLineEq la = SegmentLine(a), lb = SegmentLine(b);
  if (la.IsPoint || lb.IsPoint) return false;
  if (la.Vertical && lb.Vertical) {
    if (a.X1 != b.X1) return false;
    OrderSegmentByY(a);
    OrderSegmentByY(b);
    const double m = (static_cast<double>(std::max(a.Y1, b.Y1)) + std::min(a.Y2, b.Y2)) / 2;
    if (m > a.Y1 && m <= a.Y2 && m > b.Y1 && m <= b.Y2) {
      p = {a.X1, Round(m)};
      return true;
    }
    return false;
  }
  double x = 0, y = 0;
  if (la.Vertical) {
    // A vertical segment outside the other's X range cannot meet it.
    if (!(a.X1 >= b.X1 && a.X1 <= b.X2)) return false;
    x = a.X1;
    y = lb.Slope * x + lb.Intercept;
  } else if (lb.Vertical) {
    if (!(b.X1 > a.X1 && b.X1 < a.X2)) return false;
    x = b.X1;
    y = la.Slope * x + la.Intercept;
  } else if (la.Slope == lb.Slope) {
    if (la.Intercept != lb.Intercept) return false;
    x = (static_cast<double>(std::max(a.X1, b.X1)) + std::min(a.X2, b.X2)) / 2;
    y = la.Slope * x + la.Intercept;
  } else {
    x = (lb.Intercept - la.Intercept) / (la.Slope - lb.Slope);
    y = la.Slope * x + la.Intercept;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) return false;
  // Decide on the candidate as computed: a far-away crossing of nearly parallel
  // lines must not be pulled into range by the scaling below.
  const double rx = std::nearbyint(x), ry = std::nearbyint(y);
  bool hit = rx >= a.X1 && rx <= a.X2 && rx >= b.X1 && rx <= b.X2;
  hit = hit && !(rx == a.X1 && ry == a.Y1) && !(rx == b.X1 && ry == b.Y1);
  if (la.Vertical) hit = hit && InRange(ry, a.Y1, a.Y2);
  if (lb.Vertical) hit = hit && InRange(ry, b.Y1, b.Y2);
  while (std::fabs(x) >= kCandidateLimit || std::fabs(y) >= kCandidateLimit) {
    x /= 10;
    y /= 10;
  }
  p = {Round(x), Round(y)};
  return hit;
}

void LinesIntersection(const TLineEq& la, const TLineEq& lb, TSegment sa, TSegment sb, TPointI& p) {
  if (la.IsPoint || lb.IsPoint) return;
  if (la.Vertical && lb.Vertical) {
    if (la.Intercept != lb.Intercept) {
      p = {0, 0};
      return;
    }
    OrderSegmentByY(sa);
    OrderSegmentByY(sb);
    const std::int64_t lo = std::max(sa.Y1, sb.Y1), hi = std::min(sa.Y2, sb.Y2);
    p = {Round(la.Intercept), CheckedCast<std::int32_t>((lo + hi) / 2)};
    return;
  }
  double x = 0, y = 0;
  if (CrossLines(la, lb, x, y)) {
    p = {Round(x), Round(y)};
    return;
  }
  // Parallel, not vertical.
  if (la.Intercept != lb.Intercept) {
    p = {0, 0};
    return;
  }
  OrderSegmentByX(sa);
  OrderSegmentByX(sb);
  x = (static_cast<double>(std::max(sa.X1, sb.X1)) + std::min(sa.X2, sb.X2)) / 2;
  y = la.Slope * x + la.Intercept;
  p = {Round(x), Round(y)};
}

bool VerticalGapToSegment(TSegment s, TPointI p, double& gap) {
  gap = 0;
  const bool counts = (s.X1 <= p.X && p.X < s.X2) || (s.X2 < p.X && p.X <= s.X1);
  if (!counts) return false;
  const TLineEq l = SegmentLine(s);
  if (l.Vertical || l.IsPoint) return false;
  gap = (l.Slope * p.X + l.Intercept) - p.Y;
  return true;
}

double PointSegmentDistance(TPointI p, TSegment s, std::int32_t tolerance, TPointI& foot,
                            double& angle, std::uint8_t& where) {
  (void)tolerance;
  const TPointI start{s.X1, s.Y1}, end{s.X2, s.Y2};
  const TLineEq l = SegmentLine(s);
  if (l.IsPoint) return Distance(p, start);
  const TLineEq n = Perpendicular(p, l);
  double x = 0, y = 0;
  CrossLines(n, l, x, y);
  const TPointI f{Round(x), Round(y)};
  if (InRange(f.X, s.X1, s.X2) && InRange(f.Y, s.Y1, s.Y2)) {
    foot = f;
    where = 0;
    angle = VectorAngle(p, f);
    return Distance(p, f);
  }
  const bool useStart = Distance(p, end) > Distance(p, start);
  foot = useStart ? start : end;
  where = useStart ? 1 : 2;
  angle = VectorAngle(p, foot);
  return Distance(p, foot);
}

double PointLineDistance(TPointI p, const TLineEq& l) {
  if (l.IsPoint) return 0.0;
  double x = 0, y = 0;
  CrossLines(Perpendicular(p, l), l, x, y);
  return Distance(p, TPointI{Round(x), Round(y)});
}

TLineABC LineEquation(TSegment s) {
  // Computed in double: products of ordinary coordinates overflow 32 bits.
  TLineABC l;
  if (s.X1 == s.X2) {
    l.Vertical = true;
    l.CoefA = kVerticalSlope;
    l.CoefB = s.X1;
    l.CoefK = static_cast<double>(s.X1) * -kVerticalSlope - s.Y1;
  } else {
    const double dy = static_cast<double>(s.Y2) - s.Y1;
    const double dx = static_cast<double>(s.X2) - s.X1;
    l.CoefA = -dy / dx;
    l.CoefB = 1;
    l.CoefK = static_cast<double>(s.X1) * dy / dx - s.Y1;
  }
  return l;
}

double LinePointDistance(TPointI p, const TLineABC& l) {
  if (l.Vertical) return std::fabs(static_cast<double>(p.X) - l.CoefB);
  if (l.CoefA == 0 && l.CoefB == 0) return 0.0;
  return std::fabs(l.CoefA * p.X + l.CoefB * p.Y + l.CoefK) /
         std::sqrt(l.CoefA * l.CoefA + l.CoefB * l.CoefB);
}

std::int32_t Factorial(std::int32_t n) {
  std::int32_t r = 1;
  for (std::int32_t i = 2; i <= n; ++i) r = CheckedMul(r, i);
  return r;
}

double PowerInt(std::int32_t n, double x) {
  double r = 1.0;
  for (std::int32_t i = 0; i < n; ++i) r *= x;
  return r;
}

double Binomial(std::int32_t n, std::int32_t k) {
  return static_cast<double>(Factorial(n)) /
         static_cast<double>(CheckedMul(Factorial(k), Factorial(CheckedSub(n, k))));
}

bool Divisible(std::int32_t a, std::int32_t b) {
  if (b == 0) throw Error("division by zero");
  if (b == -1) return true;
  return a % b == 0;
}

namespace {
using Clock = std::chrono::steady_clock;

double ElapsedMs(Clock::time_point since) {
  return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

// Clock reads per millisecond: measured on the first call and again on the
// first call after RecalibrateDelay.
std::atomic<bool> delayCalibrated{false};
std::atomic<double> readsPerMs{0.0};

double ReadsPerMs() {
  if (!delayCalibrated.exchange(true)) {
    const auto start = Clock::now();
    std::int64_t count = 0;
    while (ElapsedMs(start) <= 100.0) ++count;
    readsPerMs = static_cast<double>(count) / 100.0;
  }
  return readsPerMs;
}
}  // namespace

void RecalibrateDelay() { delayCalibrated = false; }

void WaitTime(double ms) {
  if (!std::isfinite(ms)) return;
  const auto start = Clock::now();
  while (ElapsedMs(start) <= ms) {
  }
}

void Delay(double ms) {
  if (!std::isfinite(ms)) return;
  const double rate = ReadsPerMs();
  if (ms > 100.0) {
    WaitTime(ms);
    return;
  }
  const double reads = std::nearbyint(ms * rate) + 1.0;
  // The sum only keeps the reads from being optimised away; it wraps freely.
  volatile std::uint64_t sink = 0;
  for (double i = 0; i < reads; i += 1.0)
    sink = sink + static_cast<std::uint64_t>(Clock::now().time_since_epoch().count());
}

}  // namespace vm
