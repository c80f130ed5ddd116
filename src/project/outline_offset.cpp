// Offset outline of a figure for an elliptical tool (makeOutline): every
// vertex is offset first, then runs of outline points that come too close to
// the figure, turn back against it or make the outline cross itself are
// replaced.
#include "project/outline_offset.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "project/okno_plt.h"

namespace vm {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kVerticalSlope = 2147483647.0;
// A change of direction up to this counts as running straight on (3.14 / 18).
constexpr double kStraightTurn = 0.1744444;
// The outline lies to the left of the direction of travel.
constexpr double kSide = 1.0;

TSegment Seg(TPointI a, TPointI b) { return {a.X, a.Y, b.X, b.Y}; }
TPointI StartOf(TSegment s) { return {s.X1, s.Y1}; }
TPointI EndOf(TSegment s) { return {s.X2, s.Y2}; }
double Direction(TSegment s) { return VectorAngle(StartOf(s), EndOf(s)); }

// Difference of two directions folded into [0, pi].
double AngleGap(double a, double b) {
  double d = std::fabs(a - b);
  if (d > kPi) d = 2 * kPi - d;
  return d;
}

TPointI Moved(TPointI p, std::int32_t dx, std::int32_t dy) {
  return {CheckedAdd(p.X, dx), CheckedAdd(p.Y, dy)};
}

}  // namespace

TPointI TEllipseTool::TangentPoint(double slope) const {
  // The ellipse (Rx cos t, Ry sin t) has the tangent slope -Ry cos t / (Rx sin t).
  const double t = slope == 0 ? std::atan(-kVerticalSlope) : std::atan(-(double(Ry) / Rx) / slope);
  return {Round(Rx * std::cos(t)), Round(Ry * std::sin(t))};
}

double TEllipseTool::EllipseTangentPoint(const TLineEq& line) const {
  if (line.Vertical || line.IsPoint) return Rx;
  TLineEq throughCentre;
  throughCentre.Slope = line.Slope;
  return Round(PointLineDistance(TangentPoint(line.Slope), throughCentre));
}

double TEllipseTool::EllipseRadiusAt(double angle) const {
  // The ellipse point in direction `angle` has the parameter t with
  // tan t = tan(angle) Rx / Ry; straight up or down this gives (0, +-Ry).
  const double t = std::atan(std::tan(angle) * Rx / Ry);
  const TPointI p{Round(Rx * std::cos(t)), Round(Ry * std::sin(t))};
  return std::hypot(double(p.X), double(p.Y));
}

TPointI TEllipseTool::EllipsePointForSlope(TPointI vertex, const TLineEq& line,
                                           double direction) const {
  if (line.IsPoint) return vertex;
  if (line.Vertical) return Moved(vertex, line.Slope > 0 ? -Rx : Rx, 0);
  const TPointI p = TangentPoint(line.Slope);
  // Of the two tangent points +p and -p take the one on the left of the
  // travel (positive cross product with the direction). A travel towards
  // larger X therefore gets the side of larger Y.
  const double cross = std::cos(direction) * p.Y - std::sin(direction) * p.X;
  const bool plus = cross != 0 ? cross > 0 : line.Slope < 0;
  return plus ? Moved(vertex, p.X, p.Y) : Moved(vertex, -p.X, -p.Y);
}

TLineEq TEllipseTool::OffsetLine(TSegment s) const {
  TLineEq l = SegmentLine(s);
  if (l.IsPoint) return l;
  const double extent = EllipseTangentPoint(l) * kSide;
  const double dir = Direction(s);
  if (l.Vertical) {
    // Upwards the left side is the side of smaller X.
    l.Intercept += dir < kPi ? -extent : extent;
  } else {
    const double shift = extent * std::sqrt(l.Slope * l.Slope + 1);
    l.Intercept += (dir <= kPi / 2 || dir >= 3 * kPi / 2) ? shift : -shift;
  }
  return l;
}

TPointI TEllipseTool::VertexOffset(TSegment in, TSegment out) const {
  const TPointI vertex = EndOf(in);
  const TLineEq li = SegmentLine(in), lo = SegmentLine(out);
  // A zero-length segment has no direction: the other one decides alone.
  if (li.IsPoint || lo.IsPoint) {
    if (li.IsPoint && lo.IsPoint) return vertex;
    const TSegment s = li.IsPoint ? out : in;
    return EllipsePointForSlope(vertex, SegmentLine(s), Direction(s));
  }
  const double a = Direction(in), b = Direction(out);
  double d = a - b;
  if (d > 2 * kPi) d -= 2 * kPi;
  if (d < -2 * kPi) d += 2 * kPi;
  if (std::fabs(d) > kStraightTurn) {
    const TLineEq oa = OffsetLine(in), ob = OffsetLine(out);
    const bool parallel =
        (oa.Vertical && ob.Vertical) || (!oa.Vertical && !ob.Vertical && oa.Slope == ob.Slope);
    if (!parallel) {
      try {
        TPointI p = vertex;
        LinesIntersection(oa, ob, in, out, p);
        return p;
      } catch (const RangeError&) {
        // The offset lines meet beyond the coordinate range; fall through.
      }
    }
    // The path turns back on itself (parallel offset lines never meet): the
    // tool rounds the end of the incoming segment instead.
    return EllipsePointForSlope(vertex, li, a);
  }
  if (li.Vertical) return EllipsePointForSlope(vertex, li, a);
  if (lo.Vertical) return EllipsePointForSlope(vertex, lo, b);
  TLineEq mean;
  const double dir = (a + b) / 2;
  mean.Slope = std::tan(dir);
  mean.Intercept = vertex.Y - mean.Slope * vertex.X;
  return EllipsePointForSlope(vertex, mean, dir);
}

namespace {

// The outline of one call: the initial offsets and the clean-up pass.
class TOutlineBuilder {
 public:
  TOutlineBuilder(const std::vector<TPointI>& points, TEllipseTool tool)
      : p_(points), tool_(tool), n_(static_cast<int>(points.size())) {}

  std::vector<TPointI> Run() {
    Initial();
    CleanUp();
    return std::move(o_);
  }

 private:
  TSegment FigureSegment(int i) const { return Seg(p_[i], p_[i + 1]); }

  void Initial() {
    o_ = p_;
    for (int k = 0; k < n_; ++k) {
      // Neighbours that differ from the vertex; repeated points are passed over.
      int r = k - 1, q = k + 1;
      while (r >= 0 && p_[r] == p_[k]) --r;
      while (q < n_ && p_[q] == p_[k]) ++q;
      if (r < 0 && q >= n_) continue;  // every point the same: nothing to offset from
      if (r < 0 || q >= n_) {
        const TSegment s = r < 0 ? Seg(p_[k], p_[q]) : Seg(p_[r], p_[k]);
        o_[k] = tool_.EllipsePointForSlope(p_[k], SegmentLine(s), Direction(s));
      } else {
        o_[k] = tool_.VertexOffset(Seg(p_[r], p_[k]), Seg(p_[k], p_[q]));
      }
    }
  }

  // Outline point k is nearer to a figure segment than the tool reaches.
  bool OutlinePointTooClose(int k) const {
    const TPointI q = o_[k];
    for (int i = 1; i < n_; ++i) {
      if (i == k || q == o_[i] || q == o_[i - 1]) continue;
      TPointI foot;
      double angle = 0;
      std::uint8_t where = 0;
      const double d = PointSegmentDistance(q, Seg(p_[i - 1], p_[i]), 0, foot, angle, where);
      if (p_[i - 1] == p_[i]) angle = VectorAngle(q, p_[i]);
      if (d - tool_.EllipseRadiusAt(angle) < tolerance_) return true;
    }
    return false;
  }

  // Some figure vertex is nearer to the outline edge a -> b than the tool reaches.
  bool OutlineEdgeTooClose(int a, int b) const {
    if (o_[a] == o_[b]) return false;
    const TSegment edge = Seg(o_[a], o_[b]);
    for (int i = 0; i + 1 < n_; ++i) {
      if (i == a || i == b || p_[i] == o_[a] || p_[i] == o_[b]) continue;
      TPointI foot;
      double angle = 0;
      std::uint8_t where = 1;
      const double d = PointSegmentDistance(p_[i], edge, 0, foot, angle, where);
      // Only a nearest point inside the edge counts, not one of its ends.
      if (where != 0 || foot == o_[a] || foot == o_[b]) continue;
      double extent = tool_.EllipseTangentPoint(SegmentLine(FigureSegment(i)));
      if (extent > d) extent = tool_.EllipseRadiusAt(angle);
      if (d - extent < tolerance_) return true;
    }
    return false;
  }

  // The outline runs from point k against the figure edge it should follow.
  bool CuspForward(int k) const {
    int q = k + 1, skipped = 0;
    while (q < n_ && o_[q] == o_[k]) ++q, ++skipped;
    if (q >= n_) return false;
    if (skipped > 2 * n_) return true;
    return AngleGap(VectorAngle(o_[k], o_[q]), VectorAngle(p_[q - 1], p_[q])) > kPi / 4;
  }

  bool CuspBackward(int k) const {
    int q = k - 1, skipped = 0;
    while (q >= 0 && o_[q] == o_[k]) --q, ++skipped;
    if (q < 0) return false;
    if (skipped > 2 * n_) return true;
    return AngleGap(VectorAngle(o_[q], o_[k]), VectorAngle(p_[q], p_[q + 1])) > kPi / 4;
  }

  // 1 too close, 2 cusp forward, 4 cusp backward; 8 when none of these holds
  // and the edge from the previous distinct outline point is too close.
  int OutlineFault(int k, int previous) const {
    int code = 0;
    if (OutlinePointTooClose(k)) code |= 1;
    if (CuspForward(k)) code |= 2;
    if (CuspBackward(k)) code |= 4;
    if (code == 0 && previous >= 0 && previous < k && OutlineEdgeTooClose(previous, k)) code |= 8;
    return code;
  }

  // The outline edge a -> b crosses a later outline edge e -> e + 1; gives the
  // crossing point and e.
  bool OutlineSelfCross(int a, int b, TPointI& cross, int& edge) const {
    if (o_[a] == o_[b]) return false;
    const TSegment s = Seg(o_[a], o_[b]);
    for (int e = b + 1; e + 1 < n_; ++e) {
      if (o_[e] == o_[e + 1]) continue;
      const TSegment t = Seg(o_[e], o_[e + 1]);
      if (!SegmentsCross(s, t)) continue;
      TPointI p = o_[b];
      try {
        LinesIntersection(SegmentLine(s), SegmentLine(t), s, t, p);
      } catch (const RangeError&) {
        continue;
      }
      cross = p;
      edge = e;
      return true;
    }
    return false;
  }

  int PreviousDistinct(int k) const {
    int q = k - 1;
    while (q >= 0 && o_[q] == o_[k]) --q;
    return q;
  }

  void CleanUp() {
    // The first good point, found with a little slack for rounding.
    tolerance_ = -2;
    int j = -1;
    for (int k = 0; k < n_ && j < 0; ++k)
      if (OutlineFault(k, PreviousDistinct(k)) == 0) j = k;
    if (j < 0) return;  // every point is faulty: the offsets stay as they are
    tolerance_ = 0;
    // Every step moves j on by one and a run never reaches past n - 2, so
    // the pass ends after at most n steps of at most n extensions each.
    while (j < n_ - 2) {
      int l = j + 1;
      while (l < n_ && o_[l] == o_[j]) ++l;
      if (l >= n_) break;
      TPointI cross;
      int crossed = -1;
      int code = OutlineFault(l, j);
      const bool useCross = code == 0 && OutlineSelfCross(j, l, cross, crossed);
      if (useCross) code = 1;
      if (code != 0) {
        // Replace the run from l by one point until the point after it is good.
        int m = useCross ? std::max(l, crossed - 1) : l;
        TPointI replacement = cross;
        while (m < n_ - 2) {
          ++m;
          if (!useCross) replacement = tool_.VertexOffset(FigureSegment(m), FigureSegment(l - 1));
          std::fill(o_.begin() + l, o_.begin() + m + 1, replacement);
          if (!OutlinePointTooClose(m) && !CuspForward(m) && !CuspBackward(m) &&
              !OutlineEdgeTooClose(j, m))
            break;
          if (m >= n_ - 3) break;
        }
      }
      ++j;
    }
  }

  const std::vector<TPointI>& p_;
  TEllipseTool tool_;
  int n_;
  std::vector<TPointI> o_;
  double tolerance_ = -2;
};

}  // namespace

std::vector<TPointI> MakeOutline(const std::vector<TPointI>& points, std::int32_t rx,
                                 std::int32_t ry) {
  if (rx <= 0 || ry <= 0)
    throw RangeError("tool semi-axes must be positive (" + std::to_string(rx) + ", " +
                     std::to_string(ry) + ")");
  if (points.size() < 2) return {};
  return TOutlineBuilder(points, TEllipseTool{rx, ry}).Run();
}

void TMDIChild::makeOutline(std::int32_t index, std::int32_t rx, std::int32_t ry) {
  if (index < 0 || index >= FigureCount())
    throw RangeError("figure index " + std::to_string(index) + " out of range");
  tfigura& f = *Figures[static_cast<std::size_t>(index)];
  std::vector<TPointI> outline = MakeOutline(f.Points, rx, ry);
  // A figure of fewer than two points keeps the outline it has.
  if (f.Points.size() >= 2) f.Outline = std::move(outline);
}

}  // namespace vm
