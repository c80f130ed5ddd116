// Nesting (co_w_czym) and direction (OdwrocKierunek, UstawKierunek,
// JakiKierunek) of a project's figures.
#include "project/nesting.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <unordered_map>
#include <vector>

#include "drawing/errors.h"
#include "drawing/matma.h"

namespace vm {

namespace {

const tfigura& FigureAt(const TMDIChild& w, std::int32_t i) {
  if (i < 0 || i >= w.FigureCount())
    throw RangeError("figure index " + std::to_string(i) + " out of range");
  return *w.Figures[static_cast<std::size_t>(i)];
}

tfigura& FigureAt(TMDIChild& w, std::int32_t i) {
  return const_cast<tfigura&>(FigureAt(static_cast<const TMDIChild&>(w), i));
}

// Counts the edges of b crossed by the vertical line through p above p (up)
// and below p (down). The edges are b's consecutive point pairs and the pair
// (first point, last point).
void CountCrossings(const std::vector<TPointI>& b, const TPointI& p, int& up, int& down) {
  up = down = 0;
  auto count = [&](const TPointI& e1, const TPointI& e2) {
    double gap = 0;
    if (!VerticalGapToSegment(TSegment{e1.X, e1.Y, e2.X, e2.Y}, p, gap)) return;
    if (gap > 0) ++up;
    if (gap < 0) ++down;
  };
  for (std::size_t k = 0; k + 1 < b.size(); ++k) count(b[k], b[k + 1]);
  if (!b.empty()) count(b.front(), b.back());
}

// Direction angle of the line of an edge from v to q: vertical pi/2,
// horizontal 0 towards larger X and pi otherwise, else atan of the slope plus
// pi for a negative slope.
double EdgeLineAngle(const TPointI& v, const TPointI& q) {
  const double dx = double(q.X) - double(v.X);
  const double dy = double(q.Y) - double(v.Y);
  if (dx == 0) return std::numbers::pi / 2;
  if (dy == 0) return dx > 0 ? 0.0 : std::numbers::pi;
  const double slope = dy / dx;
  return slope < 0 ? std::atan(slope) + std::numbers::pi : std::atan(slope);
}

}  // namespace

bool FiguresEqual(const tfigura& a, const tfigura& b) { return a.Points == b.Points; }

bool FigureInside(const TMDIChild& w, std::int32_t ia, std::int32_t ib) {
  if (ia == ib) return false;
  const tfigura& a = FigureAt(w, ia);
  const tfigura& b = FigureAt(w, ib);
  if (b.Open) return false;
  if (!(b.fig_pp.X < a.fig_pp.X && a.fig_pk.X < b.fig_pk.X && b.fig_pp.Y < a.fig_pp.Y &&
        a.fig_pk.Y < b.fig_pk.Y))
    return false;
  // Strict box containment already rules out equal figures unless both are
  // empty boxes; the point comparison is kept for the rule's sake.
  if (FiguresEqual(a, b)) return false;
  int up = 0, down = 0;
  for (const TPointI& p : a.Points) {
    CountCrossings(b.Points, p, up, down);
    // Equal parities: a clear answer. Differing parities: the point lies on
    // or straight above or below a vertex or an edge; try the next point.
    if ((up & 1) == (down & 1)) return (down & 1) != 0;
  }
  return (down & 1) != 0;
}

namespace {

void PropagateDepthFrom(TMDIChild& w, std::int32_t k, std::int32_t level) {
  // A parent chain is never longer than the list; a longer one is a cycle.
  if (level > w.FigureCount()) throw RangeError("nesting parents form a cycle");
  const tfigura& parent = FigureAt(w, k);
  for (std::int32_t m = 0; m < w.FigureCount(); ++m) {
    tfigura& child = *w.Figures[static_cast<std::size_t>(m)];
    if (child.NestParent != k) continue;
    child.Depth = parent.Depth + 1;
    w.MaxDepth = std::max(w.MaxDepth, child.Depth);
    PropagateDepthFrom(w, m, level + 1);
  }
  w.MaxDepth = std::max(w.MaxDepth, parent.Depth);
}

}  // namespace

void PropagateDepth(TMDIChild& w, std::int32_t k) { PropagateDepthFrom(w, k, 0); }

namespace {

// The figures j whose box strictly contains the box of figure i: the only
// ones FigureInside(i, j) can hold for. Such a box contains i's lower-left
// corner: closed figures are registered in the grid cells their box covers
// and each figure asks the cell of its corner. Boxes covering very many cells
// are kept in one list that every figure checks.
class TEnclosingBoxes {
 public:
  explicit TEnclosingBoxes(const TMDIChild& w) {
    const std::int32_t n = w.FigureCount();
    if (n < 2) return;
    std::int64_t maxX = INT64_MIN, maxY = INT64_MIN;
    for (const auto& f : w.Figures) {
      minX_ = std::min<std::int64_t>(minX_, f->fig_pp.X);
      minY_ = std::min<std::int64_t>(minY_, f->fig_pp.Y);
      maxX = std::max<std::int64_t>(maxX, f->fig_pk.X);
      maxY = std::max<std::int64_t>(maxY, f->fig_pk.Y);
    }
    // About one figure per cell on a square grid of the whole project.
    const double area = double(maxX - minX_ + 1) * double(maxY - minY_ + 1);
    cell_ = std::max<std::int64_t>(1, std::int64_t(std::sqrt(area / n)) + 1);
    cols_ = (maxX - minX_) / cell_ + 1;
    constexpr std::int64_t kMaxCellsPerBox = 256;
    boxes_.reserve(static_cast<std::size_t>(n));
    for (const auto& f : w.Figures) boxes_.push_back({f->fig_pp, f->fig_pk});
    for (std::int32_t j = 0; j < n; ++j) {
      const tfigura& b = *w.Figures[static_cast<std::size_t>(j)];
      if (b.Open) continue;
      const std::int64_t c0 = (b.fig_pp.X - minX_) / cell_, c1 = (b.fig_pk.X - minX_) / cell_;
      const std::int64_t r0 = (b.fig_pp.Y - minY_) / cell_, r1 = (b.fig_pk.Y - minY_) / cell_;
      if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerBox) {
        big_.push_back(j);
        continue;
      }
      for (std::int64_t c = c0; c <= c1; ++c)
        for (std::int64_t r = r0; r <= r1; ++r) grid_[r * cols_ + c].push_back(j);
    }
  }
  // The figures whose box strictly contains i's, ascending, into out.
  void Of(std::int32_t i, std::vector<std::int32_t>& out) const {
    out.clear();
    if (cell_ == 0) return;
    const Box a = boxes_[static_cast<std::size_t>(i)];
    auto encloses = [&](std::int32_t j) {
      const Box& b = boxes_[static_cast<std::size_t>(j)];
      return b.lo.X < a.lo.X && a.hi.X < b.hi.X && b.lo.Y < a.lo.Y && a.hi.Y < b.hi.Y;
    };
    static const std::vector<std::int32_t> kNone;
    const std::int64_t c = (a.lo.X - minX_) / cell_, r = (a.lo.Y - minY_) / cell_;
    const auto it = grid_.find(r * cols_ + c);
    const auto& inCell = it != grid_.end() ? it->second : kNone;
    // Both lists are ascending and hold different figures.
    std::size_t p = 0, q = 0;
    while (p < inCell.size() || q < big_.size()) {
      const bool fromCell = q == big_.size() || (p < inCell.size() && inCell[p] < big_[q]);
      const std::int32_t j = fromCell ? inCell[p++] : big_[q++];
      if (encloses(j)) out.push_back(j);
    }
  }

 private:
  struct Box {
    TPointI lo, hi;
  };
  std::vector<Box> boxes_;
  std::int64_t minX_ = INT64_MAX, minY_ = INT64_MAX, cell_ = 0, cols_ = 1;
  std::unordered_map<std::int64_t, std::vector<std::int32_t>> grid_;
  std::vector<std::int32_t> big_;
};

}  // namespace

void TMDIChild::co_w_czym() {
  for (auto& f : Figures) {
    f->Depth = 0;
    f->NestParent = -1;
    f->ChildCount = 0;
  }
  const std::int32_t n = FigureCount();
  const TEnclosingBoxes boxes(*this);
  // FigureInside depends on the points alone; it is asked only when the
  // depths would let the pair change a parent.
  std::vector<std::int32_t> enclosing;
  // Children of every figure by NestParent, kept in step with the parents so
  // that the depth propagation visits exactly the figures PropagateDepth would.
  std::vector<std::vector<std::int32_t>> children(static_cast<std::size_t>(n));
  // Depths and parents are worked on side by side and stored at the end.
  std::vector<std::int32_t> depth(static_cast<std::size_t>(n), 0);
  std::vector<std::int32_t> parent(static_cast<std::size_t>(n), -1);
  std::vector<std::int32_t> assigned(static_cast<std::size_t>(n), 0);
  auto propagate = [&](auto&& self, std::int32_t k) -> void {
    const std::int32_t below = depth[static_cast<std::size_t>(k)] + 1;
    for (const std::int32_t m : children[static_cast<std::size_t>(k)]) {
      depth[static_cast<std::size_t>(m)] = below;
      MaxDepth = std::max(MaxDepth, below);
      self(self, m);
    }
    MaxDepth = std::max(MaxDepth, depth[static_cast<std::size_t>(k)]);
  };
  bool changed = true;
  while (changed) {
    changed = false;
    for (std::int32_t i = 0; i < n; ++i) {
      const auto si = static_cast<std::size_t>(i);
      boxes.Of(i, enclosing);
      for (const std::int32_t j : enclosing) {
        const auto sj = static_cast<std::size_t>(j);
        if (parent[si] != -1 && depth[static_cast<std::size_t>(parent[si])] >= depth[sj]) continue;
        if (!FigureInside(*this, i, j)) continue;
        if (parent[si] != -1) {
          auto& siblings = children[static_cast<std::size_t>(parent[si])];
          siblings.erase(std::find(siblings.begin(), siblings.end(), i));
        }
        children[sj].push_back(i);
        parent[si] = j;
        depth[si] = depth[sj] + 1;
        propagate(propagate, i);
        assigned[sj] += 1;
        changed = true;
      }
    }
  }
  for (std::int32_t q = 0; q < n; ++q) {
    tfigura& f = *Figures[static_cast<std::size_t>(q)];
    f.Depth = depth[static_cast<std::size_t>(q)];
    f.NestParent = parent[static_cast<std::size_t>(q)];
    f.ChildCount = assigned[static_cast<std::size_t>(q)];
  }
}

void ReverseFigurePoints(tfigura& f) { std::reverse(f.Points.begin(), f.Points.end()); }

void ReverseFigure(TMDIChild& w, std::int32_t index) {
  tfigura& f = FigureAt(w, index);
  const std::int32_t n = static_cast<std::int32_t>(f.Points.size());
  if (n < 2) return;
  ReverseFigurePoints(f);
  auto mirror = [n](std::int32_t& k) {
    if (k >= 0 && k < n) k = n - 1 - k;
  };
  mirror(f.EntryVertex);
  mirror(f.MinXIndex);
  mirror(f.MaxXIndex);
  mirror(f.MinYIndex);
  mirror(f.MaxYIndex);
  if (static_cast<std::int32_t>(f.VertexRecs.size()) == n) {
    // The turn at a vertex of the reversed path is the opposite turn.
    std::reverse(f.VertexRecs.begin(), f.VertexRecs.end());
    for (TVertexRec& r : f.VertexRecs) r.Angle = -r.Angle;
  }
  for (auto& c : w.Figures) {
    if (c.get() == &f || c->Unlinked || c->LinkParent != index) continue;
    mirror(c->LinkVertex);
  }
}

void TMDIChild::OdwrocKierunek(std::int32_t index) {
  if (index >= 0) {
    ReverseFigure(*this, index);
    return;
  }
  for (std::int32_t i = 0; i < FigureCount(); ++i) ReverseFigure(*this, i);
}

void TMDIChild::UstawKierunek(std::int32_t direction) {
  for (std::int32_t i = 0; i < FigureCount(); ++i) {
    const tfigura& f = *Figures[static_cast<std::size_t>(i)];
    if (!f.Cut || f.Points.empty()) continue;
    const std::int32_t first = f.Points.front().X;
    const std::int32_t last = f.Points.back().X;
    if (direction == 1 ? last < first : first < last) ReverseFigure(*this, i);
  }
  if (const auto& show = ProjectHooks().ShowMainStatus) show(QString());
}

std::int32_t FigureOrientation(const tfigura& f) {
  if (f.Open || f.Points.size() < 3) return 0;
  // A closed figure repeats (or nearly repeats) its first point at the end:
  // the corner ring is every point but the last.
  const std::vector<TPointI>& p = f.Points;
  const std::size_t m = p.size() - 1;
  std::size_t v = 0;
  for (std::size_t k = 1; k < m; ++k)
    if (p[k].Y < p[v].Y) v = k;
  // Nearest distinct neighbours on either side.
  std::size_t next = v, prev = v;
  for (std::size_t s = 1; s < m; ++s) {
    next = (v + s) % m;
    if (p[next] != p[v]) break;
  }
  for (std::size_t s = 1; s < m; ++s) {
    prev = (v + m - s) % m;
    if (p[prev] != p[v]) break;
  }
  if (p[next] == p[v] || p[prev] == p[v] || next == prev) return 0;
  // At the lowest vertex both neighbours lie at or above it, so these line
  // angles are the true directions of the two edges in [0, pi].
  const double toNext = EdgeLineAngle(p[v], p[next]);
  const double toPrev = EdgeLineAngle(p[v], p[prev]);
  if (toNext > toPrev) return 1;
  if (toNext < toPrev) return -1;
  return 0;
}

std::int32_t TMDIChild::JakiKierunek(std::int32_t index) const {
  if (index < 0) return 0;
  return FigureOrientation(FigureAt(*this, index));
}

}  // namespace vm
