// Spatial index over the drawn edges (see edge_index.h).
#include "project/edge_index.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

#include "drawing/figury.h"
#include "project/bucket_table.h"
#include "project/okno_plt.h"

namespace vm {

namespace {

using i128 = __int128;

// Twice the signed area of (a, b, p): positive when p lies left of a -> b.
i128 Orient(TPointI a, TPointI b, TPointI p) {
  return i128(std::int64_t{b.X} - a.X) * (std::int64_t{p.Y} - a.Y) -
         i128(std::int64_t{b.Y} - a.Y) * (std::int64_t{p.X} - a.X);
}

std::int64_t Chebyshev(TPointI a, TPointI b) {
  return std::max(std::llabs(std::int64_t{a.X} - b.X), std::llabs(std::int64_t{a.Y} - b.Y));
}

bool FarFromEnds(TPointI x, TPointI a, TPointI b, std::int32_t tolerance) {
  return Chebyshev(x, a) > tolerance && Chebyshev(x, b) > tolerance;
}

bool SameSide(i128 u, i128 v) { return (u > 0 && v > 0) || (u < 0 && v < 0); }

}  // namespace

bool CutMeetsSegment(TPointI a, TPointI b, TPointI p, TPointI q, std::int32_t tolerance) {
  if (a == b) return false;  // every point of the cut is one of its ends
  const i128 o1 = Orient(a, b, p), o2 = Orient(a, b, q);
  if (SameSide(o1, o2)) return false;
  if (p == q) {
    // A figure of one point: met when it lies on the cut.
    if (o1 != 0) return false;
    const i128 t = i128(std::int64_t{p.X} - a.X) * (std::int64_t{b.X} - a.X) +
                   i128(std::int64_t{p.Y} - a.Y) * (std::int64_t{b.Y} - a.Y);
    const i128 len2 = i128(std::int64_t{b.X} - a.X) * (std::int64_t{b.X} - a.X) +
                      i128(std::int64_t{b.Y} - a.Y) * (std::int64_t{b.Y} - a.Y);
    return t >= 0 && t <= len2 && FarFromEnds(p, a, b, tolerance);
  }
  const i128 o3 = Orient(p, q, a), o4 = Orient(p, q, b);
  if (SameSide(o3, o4)) return false;
  const std::int64_t dx = std::int64_t{b.X} - a.X, dy = std::int64_t{b.Y} - a.Y;
  const i128 m = std::max(std::llabs(dx), std::llabs(dy));
  if (o1 == 0 && o2 == 0) {
    // The edge runs along the cut's line: met where the two overlap. Along
    // the cut the distance (in X or Y) from a grows as t * m / len2.
    const i128 len2 = i128(dx) * dx + i128(dy) * dy;
    auto param = [&](TPointI r) {
      return i128(std::int64_t{r.X} - a.X) * dx + i128(std::int64_t{r.Y} - a.Y) * dy;
    };
    const i128 lo = std::max<i128>(0, std::min(param(p), param(q)));
    const i128 hi = std::min<i128>(len2, std::max(param(p), param(q)));
    if (lo > hi) return false;
    return hi * m > tolerance * len2 && lo * m < (m - tolerance) * len2;
  }
  if (o1 != 0 && o2 != 0 && o3 != 0 && o4 != 0) {
    // A proper crossing at a + t (b - a), t = o3 / (o3 - o4), strictly inside
    // both segments; its distance from a in X or Y is t * m.
    const long double t = static_cast<long double>(o3) / static_cast<long double>(o3 - o4);
    const long double fromA = t * static_cast<long double>(m);
    const long double fromB = (1 - t) * static_cast<long double>(m);
    return fromA > tolerance && fromB > tolerance;
  }
  // Touching: a vertex of the edge lies on the cut (or an end of the cut on
  // the edge, which is contact at the cut's own end).
  if (o1 == 0 && FarFromEnds(p, a, b, tolerance)) return true;
  if (o2 == 0 && FarFromEnds(q, a, b, tolerance)) return true;
  return false;
}

namespace {

// floor(t) for |t| < 2^63, without a call into the maths library.
std::int64_t FloorOf(double t) {
  const auto q = static_cast<std::int64_t>(t);
  return static_cast<double>(q) > t ? q - 1 : q;
}

}  // namespace

std::int64_t TEdgeIndex::CellX(double x) const {
  return FloorOf((x - double(minX_)) / double(cell_));
}

std::int64_t TEdgeIndex::CellY(double y) const {
  return FloorOf((y - double(minY_)) / double(cell_));
}

template <typename Fn>
void TEdgeIndex::ForCells(TPointI a, TPointI b, Fn&& fn) const {
  if (gx_ <= 0 || gy_ <= 0) return;
  if (b.X < a.X) std::swap(a, b);
  // One unit of margin round the segment: a point it shares with an edge on
  // a cell boundary lies in a cell both of them visit.
  const std::int64_t c0 = std::max<std::int64_t>(0, CellDiv(std::int64_t{a.X} - 1 - minX_));
  const std::int64_t c1 = std::min<std::int64_t>(gx_ - 1, CellDiv(std::int64_t{b.X} + 1 - minX_));
  const std::int64_t ylo = std::min(a.Y, b.Y), yhi = std::max(a.Y, b.Y);
  const std::int64_t r0 = std::max<std::int64_t>(0, CellDiv(ylo - 1 - minY_));
  const std::int64_t r1 = std::min<std::int64_t>(gy_ - 1, CellDiv(yhi + 1 - minY_));
  if (c1 < c0 || r1 < r0) return;
  if ((c1 - c0 + 1) * (r1 - r0 + 1) <= 4) {
    // A short segment: the cells of its box.
    for (std::int64_t cy = r0; cy <= r1; ++cy)
      for (std::int64_t cx = c0; cx <= c1; ++cx) fn(cy * gx_ + cx);
    return;
  }
  const double x0 = a.X, y0 = a.Y, x1 = b.X, y1 = b.Y;
  for (std::int64_t cx = c0; cx <= c1; ++cx) {
    double lo, hi;
    if (b.X == a.X) {
      lo = std::min(y0, y1);
      hi = std::max(y0, y1);
    } else {
      const double left = std::max(x0, double(minX_) + double(cx) * double(cell_));
      const double right = std::min(x1, double(minX_) + double(cx + 1) * double(cell_));
      const double slope = (y1 - y0) / (x1 - x0);
      const double ya = y0 + slope * (std::min(left, x1) - x0);
      const double yb = y0 + slope * (std::max(right, x0) - x0);
      lo = std::min(ya, yb);
      hi = std::max(ya, yb);
    }
    const std::int64_t rr0 = std::max<std::int64_t>(r0, CellY(lo - 1));
    const std::int64_t rr1 = std::min<std::int64_t>(r1, CellY(hi + 1));
    for (std::int64_t cy = rr0; cy <= rr1; ++cy) fn(cy * gx_ + cx);
  }
}

template <typename Fn>
void TEdgeIndex::ForEdgeCells(Fn&& fn) const {
  // The cells of v - 1 and of v + 1 along one axis. Neighbouring points
  // mostly share a cell: the last cell found on the axis is tried before a
  // division.
  struct Span {
    std::int64_t lo, hi;
  };
  struct Axis {
    std::int64_t cell = 0, base = 0;  // base: the cell's first unit
  };
  auto span = [&](Axis& axis, std::int64_t v) {
    std::int64_t r = v - axis.base;
    if (r < 0 || r >= cell_) {
      axis.cell = CellDiv(v);
      axis.base = axis.cell * cell_;
      r = v - axis.base;
    }
    const std::int64_t c = axis.cell;
    return Span{r == 0 ? c - 1 : c, r + 1 >= cell_ ? c + 1 : c};
  };
  struct Spans {
    Span x, y;
  };
  Axis ax, ay;
  auto spans = [&](TPointI p) {
    return Spans{span(ax, std::int64_t{p.X} - minX_), span(ay, std::int64_t{p.Y} - minY_)};
  };
  const auto figures = figureSizes_.size();
  for (std::size_t f = 0; f < figures; ++f) {
    const std::int32_t edges = edgeStart_[f + 1] - edgeStart_[f];
    if (edges == 0) continue;
    const TPointI* pts = figurePoints_[f];
    const std::int32_t n = figureSizes_[f];
    const Spans first = spans(pts[0]);
    Spans a = first;
    for (std::int32_t k = 0; k < edges; ++k) {
      const std::int32_t next = k + 1 < n ? k + 1 : 0;
      const Spans b = next == 0 ? first : spans(pts[next]);
      const EdgeRef r{static_cast<std::int32_t>(f), k};
      // The cells ForCells gives, as the box of the two ends' spans.
      const std::int64_t c0 = std::max<std::int64_t>(0, std::min(a.x.lo, b.x.lo));
      const std::int64_t c1 = std::min<std::int64_t>(gx_ - 1, std::max(a.x.hi, b.x.hi));
      const std::int64_t r0 = std::max<std::int64_t>(0, std::min(a.y.lo, b.y.lo));
      const std::int64_t r1 = std::min<std::int64_t>(gy_ - 1, std::max(a.y.hi, b.y.hi));
      if (c1 >= c0 && r1 >= r0) {
        if ((c1 - c0 + 1) * (r1 - r0 + 1) <= 4) {
          for (std::int64_t cy = r0; cy <= r1; ++cy)
            for (std::int64_t cx = c0; cx <= c1; ++cx) fn(r, cy * gx_ + cx);
        } else {
          ForCells(pts[k], pts[next], [&](std::int64_t c) { fn(r, c); });
        }
      }
      a = b;
    }
  }
}

void TEdgeIndex::Build(const TMDIChild& w) {
  figurePoints_.clear();
  figureSizes_.clear();
  edgeStart_.clear();
  cellStart_.clear();
  cellEdges_.clear();
  stamp_.clear();
  edgeCount_ = 0;
  gx_ = gy_ = 0;
  const std::int32_t n = w.FigureCount();
  figurePoints_.resize(static_cast<std::size_t>(n));
  figureSizes_.resize(static_cast<std::size_t>(n));
  edgeStart_.resize(static_cast<std::size_t>(n) + 1);
  std::int64_t total = 0;
  std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  for (std::int32_t f = 0; f < n; ++f) {
    const tfigura& fig = *w.Figures[static_cast<std::size_t>(f)];
    const auto& p = fig.Points;
    const auto size = static_cast<std::int64_t>(p.size());
    figurePoints_[static_cast<std::size_t>(f)] = p.data();
    figureSizes_[static_cast<std::size_t>(f)] = static_cast<std::int32_t>(size);
    edgeStart_[static_cast<std::size_t>(f)] = static_cast<std::int32_t>(total);
    if (fig.Kind != 0 || size == 0) continue;
    // A figure of one point is one edge of no length; a closed figure whose
    // last point is not its first has the closing edge too.
    if (size == 1)
      total += 1;
    else
      total += size - 1 + (fig.typ == 1 && size > 2 && p.back() != p.front() ? 1 : 0);
    for (const TPointI& q : p) {
      minX = std::min<std::int64_t>(minX, q.X);
      minY = std::min<std::int64_t>(minY, q.Y);
      maxX = std::max<std::int64_t>(maxX, q.X);
      maxY = std::max<std::int64_t>(maxY, q.Y);
    }
    if (total > INT32_MAX) throw std::bad_alloc();
  }
  edgeStart_[static_cast<std::size_t>(n)] = static_cast<std::int32_t>(total);
  edgeCount_ = static_cast<std::int32_t>(total);
  if (edgeCount_ == 0) return;

  minX_ = minX;
  minY_ = minY;
  const std::int64_t spanX = maxX - minX + 1, spanY = maxY - minY + 1;
  const std::int64_t count = edgeCount_;
  // About four edges per cell, on at most one cell per edge: drawn edges lie
  // along outlines, so a cut meets about as many edges in a few large cells
  // as in many small ones, and the cell table stays small.
  cell_ = std::max<std::int64_t>(
      1,
      static_cast<std::int64_t>(std::ceil(std::sqrt(4 * double(spanX) * double(spanY) / count))));
  gx_ = spanX / cell_ + 1;
  gy_ = spanY / cell_ + 1;
  while (gx_ * gy_ > count + 16) {
    cell_ *= 2;
    gx_ = spanX / cell_ + 1;
    gy_ = spanY / cell_ + 1;
  }

  invCell_ = 1.0 / static_cast<double>(cell_);
  const auto cells = static_cast<std::size_t>(gx_ * gy_);
  FillBucketTable(cells, cellStart_, cellEdges_, [&](auto&& put) {
    ForEdgeCells([&](EdgeRef r, std::int64_t c) { put(static_cast<std::size_t>(c), r); });
  });
  stamp_.assign(static_cast<std::size_t>(edgeCount_), 0);
  query_ = 0;
}

TEdgeIndex::EdgeRef TEdgeIndex::RefOf(std::int32_t edge) const {
  // The last figure whose first edge is at or before `edge`: figures without
  // edges share their start with the next one and come before it.
  const auto it = std::upper_bound(edgeStart_.begin(), edgeStart_.end(), edge);
  const auto f = static_cast<std::int32_t>(it - edgeStart_.begin()) - 1;
  return {f, edge - edgeStart_[static_cast<std::size_t>(f)]};
}

std::int32_t TEdgeIndex::FirstCrossed(TPointI a, TPointI b, std::int32_t skip1,
                                      std::int32_t skip2) const {
  const std::int32_t e = FirstCrossedEdge(a, b, skip1, skip2);
  return e < 0 ? -1 : RefOf(e).figure;
}

bool TEdgeIndex::CutMeetsEdge(TPointI a, TPointI b, std::int32_t edge) const {
  if (edge < 0 || edge >= edgeCount_) return false;
  const EdgeRef r = RefOf(edge);
  return CutMeetsSegment(a, b, P(r), Q(r), kContact);
}

std::int32_t TEdgeIndex::FirstCrossedEdge(TPointI a, TPointI b, std::int32_t skip1,
                                          std::int32_t skip2) const {
  if (edgeCount_ == 0 || a == b) return -1;
  if (++query_ == 0) {
    std::fill(stamp_.begin(), stamp_.end(), 0);
    query_ = 1;
  }
  std::int32_t found = -1;
  ForCells(a, b, [&](std::int64_t c) {
    if (found >= 0) return;
    for (std::int32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
      const EdgeRef r = cellEdges_[static_cast<std::size_t>(k)];
      if (r.figure == skip1 || r.figure == skip2) continue;
      const std::int32_t e = edgeStart_[static_cast<std::size_t>(r.figure)] + r.vertex;
      if (stamp_[static_cast<std::size_t>(e)] == query_) continue;
      stamp_[static_cast<std::size_t>(e)] = query_;
      if (CutMeetsSegment(a, b, P(r), Q(r), kContact)) {
        found = e;
        return;
      }
    }
  });
  return found;
}

}  // namespace vm
