#include "project/duplication_route.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "project/duplication.h"

namespace vm {
namespace {

using i64 = std::int64_t;

// Sign of the turn a -> b -> c, exact for 64-bit coordinates.
int Orient(i64 ax, i64 ay, i64 bx, i64 by, i64 cx, i64 cy) {
  const __int128 v =
      static_cast<__int128>(bx - ax) * (cy - ay) - static_cast<__int128>(by - ay) * (cx - ax);
  return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

bool Within(i64 v, i64 a, i64 b) { return std::min(a, b) <= v && v <= std::max(a, b); }

// Distance of (x, y) from the segment c-d.
double SegmentDistance(double x, double y, double cx, double cy, double dx, double dy) {
  const double ex = dx - cx, ey = dy - cy;
  const double len2 = ex * ex + ey * ey;
  double t = len2 > 0 ? ((x - cx) * ex + (y - cy) * ey) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (cx + t * ex), y - (cy + t * ey));
}

// Columns (or rows) k whose span [origin + k * shift, origin + k * shift +
// size] meets [lo, hi].
std::pair<i64, i64> CopyRange(i64 lo, i64 hi, i64 origin, i64 size, i64 shift, i64 count) {
  if (shift <= 0) return {0, count - 1};
  const auto floorDiv = [](i64 a, i64 b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  i64 first = -floorDiv(-(lo - origin - size), shift);  // ceil
  i64 last = floorDiv(hi - origin, shift);
  return {std::max<i64>(first, 0), std::min<i64>(last, count - 1)};
}

TPointI Checked(i64 x, i64 y) {
  if (!std::in_range<std::int32_t>(x) || !std::in_range<std::int32_t>(y))
    throw RangeError("duplicated coordinate outside 32 bits");
  return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

}  // namespace

TPatternClearance::TPatternClearance(const TDuplicationPattern& pattern,
                                     const TDuplicationLayout& layout)
    : sx_(layout.SX), sy_(layout.SY), columns_(layout.Columns), rows_(layout.Rows) {
  bool first = true;
  for (const tfigura* src : pattern.Figures) {
    if (src->Points.empty()) continue;
    Figure f;
    f.Points = src->Points;
    f.Closed = f.Points.size() > 2 && PointsNear(f.Points.front(), f.Points.back());
    if (f.Closed && !(f.Points.front() == f.Points.back())) f.Points.push_back(f.Points.front());
    f.MinX = f.MaxX = f.Points.front().X;
    f.MinY = f.MaxY = f.Points.front().Y;
    for (const TPointI& q : f.Points) {
      f.MinX = std::min<i64>(f.MinX, q.X);
      f.MaxX = std::max<i64>(f.MaxX, q.X);
      f.MinY = std::min<i64>(f.MinY, q.Y);
      f.MaxY = std::max<i64>(f.MaxY, q.Y);
    }
    if (first) {
      minX_ = f.MinX, minY_ = f.MinY, maxX_ = f.MaxX, maxY_ = f.MaxY;
      first = false;
    }
    minX_ = std::min(minX_, f.MinX);
    minY_ = std::min(minY_, f.MinY);
    maxX_ = std::max(maxX_, f.MaxX);
    maxY_ = std::max(maxY_, f.MaxY);
    figures_.push_back(std::move(f));
  }
}

bool TPatternClearance::StrictlyInside(double x, double y, const Figure& f) const {
  if (!f.Closed || x < f.MinX || x > f.MaxX || y < f.MinY || y > f.MaxY) return false;
  bool inside = false;
  for (std::size_t i = 1; i < f.Points.size(); ++i) {
    const double cx = f.Points[i - 1].X, cy = f.Points[i - 1].Y;
    const double dx = f.Points[i].X, dy = f.Points[i].Y;
    // On the outline is not inside.
    if (SegmentDistance(x, y, cx, cy, dx, dy) < 1e-3) return false;
    if ((cy > y) != (dy > y) && x < cx + (y - cy) * (dx - cx) / (dy - cy)) inside = !inside;
  }
  return inside;
}

bool TPatternClearance::LocalSegmentClear(i64 ax, i64 ay, i64 bx, i64 by) const {
  if (ax == bx && ay == by) return true;
  const i64 lox = std::min(ax, bx), hix = std::max(ax, bx);
  const i64 loy = std::min(ay, by), hiy = std::max(ay, by);
  // Where along a-b it touches a figure: the pieces between are judged whole.
  std::vector<double> cuts{0.0, 1.0};
  const double ex = double(bx - ax), ey = double(by - ay);
  const double len2 = ex * ex + ey * ey;
  const auto along = [&](i64 px, i64 py) {
    return (double(px - ax) * ex + double(py - ay) * ey) / len2;
  };
  for (const Figure& f : figures_) {
    if (f.MaxX < lox || f.MinX > hix || f.MaxY < loy || f.MinY > hiy) continue;
    for (std::size_t i = 1; i < f.Points.size(); ++i) {
      const i64 cx = f.Points[i - 1].X, cy = f.Points[i - 1].Y;
      const i64 dx = f.Points[i].X, dy = f.Points[i].Y;
      if (std::max(cx, dx) < lox || std::min(cx, dx) > hix || std::max(cy, dy) < loy ||
          std::min(cy, dy) > hiy)
        continue;
      const int o1 = Orient(ax, ay, bx, by, cx, cy);
      const int o2 = Orient(ax, ay, bx, by, dx, dy);
      const int o3 = Orient(cx, cy, dx, dy, ax, ay);
      const int o4 = Orient(cx, cy, dx, dy, bx, by);
      if (o1 * o2 < 0 && o3 * o4 < 0) return false;  // crosses the outline
      if (o1 == 0 && Within(cx, ax, bx) && Within(cy, ay, by)) cuts.push_back(along(cx, cy));
      if (o2 == 0 && Within(dx, ax, bx) && Within(dy, ay, by)) cuts.push_back(along(dx, dy));
    }
  }
  std::sort(cuts.begin(), cuts.end());
  for (std::size_t i = 1; i < cuts.size(); ++i) {
    if (cuts[i] - cuts[i - 1] <= 0) continue;
    const double t = (cuts[i] + cuts[i - 1]) / 2;
    const double mx = double(ax) + t * ex, my = double(ay) + t * ey;
    for (const Figure& f : figures_)
      if (StrictlyInside(mx, my, f)) return false;
  }
  return true;
}

bool TPatternClearance::SegmentClear(TPointI a, TPointI b) const {
  if (figures_.empty() || a == b) return true;
  const i64 lox = std::min(a.X, b.X), hix = std::max(a.X, b.X);
  const i64 loy = std::min(a.Y, b.Y), hiy = std::max(a.Y, b.Y);
  const auto [j0, j1] = CopyRange(lox, hix, minX_, maxX_ - minX_, sx_, columns_);
  const auto [r0, r1] = CopyRange(loy, hiy, minY_, maxY_ - minY_, sy_, rows_);
  for (i64 r = r0; r <= r1; ++r) {
    for (i64 j = j0; j <= j1; ++j) {
      const i64 ox = j * sx_, oy = r * sy_;
      if (!LocalSegmentClear(a.X - ox, a.Y - oy, b.X - ox, b.Y - oy)) return false;
    }
  }
  return true;
}

bool TPatternClearance::RouteClear(const std::vector<TPointI>& route) const {
  for (std::size_t i = 1; i < route.size(); ++i)
    if (!SegmentClear(route[i - 1], route[i])) return false;
  return true;
}

namespace {

// A point of the route on a gap line: a vertical one (fixed X) or a
// horizontal one (fixed Y). Along its line the route can run freely.
struct TGapPoint {
  i64 X = 0, Y = 0;
  bool Vertical = false;
};

class TGapRouter {
 public:
  TGapRouter(const TDuplicationPattern& p, const TDuplicationLayout& l,
             const TPatternClearance& clearance)
      : p_(p), l_(l), clearance_(clearance) {}

  std::vector<TPointI> Build(TPointI start) {
    const i64 W = p_.Width, H = p_.Height;
    // The gap lines need room between the copies.
    if (l_.SX <= W + l_.VLine || l_.SY <= H + l_.HLine || l_.VLine < 1 || l_.HLine < 1) return {};
    const TPointI e = p_.Figures.at(static_cast<std::size_t>(p_.First))->Points.front();
    const TGapPoint spur = Spur(e.X, e.Y);

    const TGapPoint s{start.X, start.Y, true};
    cur_ = s;
    Add(s.X, s.Y);
    for (std::int32_t r = l_.Rows - 1; r >= 0; --r) {
      const bool leftToRight = (l_.Rows - 1 - r) % 2 == 0;
      for (std::int32_t k = 0; k < l_.Columns; ++k) {
        const std::int32_t j = leftToRight ? k : l_.Columns - 1 - k;
        const i64 ox = i64{j} * l_.SX, oy = i64{r} * l_.SY;
        const TGapPoint foot{spur.X + ox, spur.Y + oy, spur.Vertical};
        RouteTo(foot);
        Add(e.X + ox, e.Y + oy);
        Add(foot.X, foot.Y);
      }
    }
    RouteTo(s);
    return std::move(points_);
  }

 private:
  i64 LineX(i64 j) const { return i64{p_.MinX} + j * l_.SX - l_.VLine; }
  i64 LineY(i64 r) const { return i64{p_.MinY} + r * l_.SY - l_.HLine; }
  i64 NearestLineX(i64 x) const {
    const double k = std::round(double(x - LineX(0)) / double(l_.SX));
    return LineX(std::clamp<i64>(static_cast<i64>(k), 0, l_.Columns));
  }
  i64 NearestLineY(i64 y) const {
    const double k = std::round(double(y - LineY(0)) / double(l_.SY));
    return LineY(std::clamp<i64>(static_cast<i64>(k), 0, l_.Rows));
  }

  // The foot of the straight way from the copy's gaps to the entry point
  // (x, y), in the pattern's own coordinates: straight down, left, up or
  // right when one of these keeps clear of the pattern, else the first clear
  // one of a fan of directions. A pattern that leaves no clear way gets the
  // way down.
  TGapPoint Spur(i64 x, i64 y) const {
    const i64 left = LineX(0), right = LineX(1), bottom = LineY(0), top = LineY(1);
    const TGapPoint axis[] = {
        {x, bottom, false}, {left, y, true}, {x, top, false}, {right, y, true}};
    for (const TGapPoint& g : axis)
      if (clearance_.LocalSegmentClear(g.X, g.Y, x, y)) return g;
    constexpr int kDirections = 72;
    for (int k = 0; k < kDirections; ++k) {
      const double a = -std::numbers::pi / 2 + 2 * std::numbers::pi * k / kDirections;
      const double dx = std::cos(a), dy = std::sin(a);
      // The nearest side of the copy's cell the ray reaches.
      double t = std::numeric_limits<double>::infinity();
      TGapPoint g;
      if (dx > 1e-12 && (right - x) / dx < t) t = (right - x) / dx, g = {right, 0, true};
      if (dx < -1e-12 && (left - x) / dx < t) t = (left - x) / dx, g = {left, 0, true};
      if (dy > 1e-12 && (top - y) / dy < t) t = (top - y) / dy, g = {0, top, false};
      if (dy < -1e-12 && (bottom - y) / dy < t) t = (bottom - y) / dy, g = {0, bottom, false};
      if (g.Vertical)
        g.Y = std::clamp<i64>(std::llround(double(y) + t * dy), bottom, top);
      else
        g.X = std::clamp<i64>(std::llround(double(x) + t * dx), left, right);
      if (clearance_.LocalSegmentClear(g.X, g.Y, x, y)) return g;
    }
    return axis[0];
  }

  void Add(i64 x, i64 y) {
    const TPointI q = Checked(x, y);
    if (points_.empty() || !(points_.back() == q)) points_.push_back(q);
  }

  // Along the gap lines from the current point to `to`, which lies on one.
  void RouteTo(const TGapPoint& to) {
    if (cur_.Vertical && to.Vertical) {
      if (cur_.X != to.X) {
        const i64 y = NearestLineY(to.Y);
        Add(cur_.X, y);
        Add(to.X, y);
      }
    } else if (cur_.Vertical) {
      Add(cur_.X, to.Y);
    } else if (to.Vertical) {
      Add(to.X, cur_.Y);
    } else if (cur_.Y != to.Y) {
      const i64 x = NearestLineX(to.X);
      Add(x, cur_.Y);
      Add(x, to.Y);
    }
    Add(to.X, to.Y);
    cur_ = to;
  }

  const TDuplicationPattern& p_;
  const TDuplicationLayout& l_;
  const TPatternClearance& clearance_;
  TGapPoint cur_;
  std::vector<TPointI> points_;
};

}  // namespace

std::vector<TPointI> RouteAlongGaps(const TDuplicationPattern& pattern,
                                    const TDuplicationLayout& layout,
                                    const TPatternClearance& clearance, TPointI start) {
  if (pattern.Figures.empty()) return {};
  return TGapRouter(pattern, layout, clearance).Build(start);
}

}  // namespace vm
