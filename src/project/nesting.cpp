// Nesting (co_w_czym) and direction (OdwrocKierunek, UstawKierunek,
// JakiKierunek) of a project's figures.
#include "project/nesting.h"

#include <algorithm>
#include <bit>
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

// What the nesting passes read of every figure, side by side.
struct TNestFig {
  TPointI lo, hi;  // the box
  TPointI first;   // the first point (when there is one)
  std::int64_t count = 0;
  bool open = false;
};

// The figures j whose box strictly contains the box of figure i: the only
// ones FigureInside(i, j) can hold for. Such a box contains i's lower-left
// corner: closed figures are registered in the grid cells their box covers
// and each figure asks the cell of its corner. Boxes covering very many cells
// are kept in one list in blocks, each block with the extremes of its boxes,
// so that a block none of whose boxes can reach round the figure is passed
// over at once (in a stack of nested figures, every block of smaller ones).
class TEnclosingBoxes {
 public:
  explicit TEnclosingBoxes(const std::vector<TNestFig>& figs) : figs_(figs) {
    const auto n = static_cast<std::int32_t>(figs.size());
    if (n < 2) return;
    std::int64_t maxX = INT64_MIN, maxY = INT64_MIN;
    for (const TNestFig& f : figs) {
      minX_ = std::min<std::int64_t>(minX_, f.lo.X);
      minY_ = std::min<std::int64_t>(minY_, f.lo.Y);
      maxX = std::max<std::int64_t>(maxX, f.hi.X);
      maxY = std::max<std::int64_t>(maxY, f.hi.Y);
    }
    // About one figure per cell on a square grid of the whole project.
    const double area = double(maxX - minX_ + 1) * double(maxY - minY_ + 1);
    cell_ = std::max<std::int64_t>(1, std::int64_t(std::sqrt(area / n)) + 1);
    cols_ = (maxX - minX_) / cell_ + 1;
    constexpr std::int64_t kMaxCellsPerBox = 256;
    for (std::int32_t j = 0; j < n; ++j) {
      const TNestFig& b = figs[static_cast<std::size_t>(j)];
      if (b.open) continue;
      const std::int64_t c0 = (b.lo.X - minX_) / cell_, c1 = (b.hi.X - minX_) / cell_;
      const std::int64_t r0 = (b.lo.Y - minY_) / cell_, r1 = (b.hi.Y - minY_) / cell_;
      if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerBox) {
        if (big_.size() % kBlock == 0) blocks_.push_back({b.lo, b.hi});
        TBlock& k = blocks_.back();
        k.minLo = {std::min(k.minLo.X, b.lo.X), std::min(k.minLo.Y, b.lo.Y)};
        k.maxHi = {std::max(k.maxHi.X, b.hi.X), std::max(k.maxHi.Y, b.hi.Y)};
        big_.push_back({b.lo, b.hi, j});
        continue;
      }
      for (std::int64_t c = c0; c <= c1; ++c)
        for (std::int64_t r = r0; r <= r1; ++r) grid_[r * cols_ + c].push_back(j);
    }
  }

  // Calls visit(j) for every figure j whose box strictly contains i's, in
  // ascending order, until visit returns false.
  template <typename Visit>
  void ForEach(std::int32_t i, Visit&& visit) const {
    if (cell_ == 0) return;
    const TNestFig& a = figs_[static_cast<std::size_t>(i)];
    auto encloses = [&](const TPointI& lo, const TPointI& hi) {
      return lo.X < a.lo.X && a.hi.X < hi.X && lo.Y < a.lo.Y && a.hi.Y < hi.Y;
    };
    // The figures of the corner's cell are taken in turn with the big ones.
    static const std::vector<std::int32_t> kNone;
    const std::int64_t c = (a.lo.X - minX_) / cell_, r = (a.lo.Y - minY_) / cell_;
    const auto it = grid_.find(r * cols_ + c);
    const std::vector<std::int32_t>& cell = it != grid_.end() ? it->second : kNone;
    std::size_t p = 0;
    auto cellUpTo = [&](std::int32_t limit) {
      for (; p < cell.size() && cell[p] < limit; ++p) {
        const TNestFig& b = figs_[static_cast<std::size_t>(cell[p])];
        if (encloses(b.lo, b.hi) && !visit(cell[p])) return false;
      }
      return true;
    };
    for (std::size_t k = 0; k < blocks_.size(); ++k) {
      if (!encloses(blocks_[k].minLo, blocks_[k].maxHi)) continue;
      const std::size_t end = std::min(big_.size(), (k + 1) * kBlock);
      for (std::size_t q = k * kBlock; q < end; ++q) {
        if (!encloses(big_[q].lo, big_[q].hi)) continue;
        if (!cellUpTo(big_[q].index) || !visit(big_[q].index)) return;
      }
    }
    cellUpTo(INT32_MAX);
  }

 private:
  static constexpr std::size_t kBlock = 32;
  struct TBigBox {
    TPointI lo, hi;
    std::int32_t index;
  };
  struct TBlock {
    TPointI minLo, maxHi;  // smallest lower corner, largest upper corner
  };
  const std::vector<TNestFig>& figs_;
  std::int64_t minX_ = INT64_MAX, minY_ = INT64_MAX, cell_ = 0, cols_ = 1;
  std::unordered_map<std::int64_t, std::vector<std::int32_t>> grid_;
  std::vector<TBigBox> big_;
  std::vector<TBlock> blocks_;
};

// The inside test of FigureInside for the nesting passes, with every enclosing
// figure's edges prepared once: only the edges that are neither vertical nor
// a single point can ever be counted, each kept with its half-open X span as a
// closed integer range and with the slope and intercept of its line (the same
// numbers the line record gives, so every gap and its sign are the same).
// The edges of a figure with many of them are also filed by vertical slabs,
// so that a point looks only at the edges over its own X. The slabs are the
// leaves of a binary tree, and an edge is filed at the few nodes whose slabs
// together make up its own: a long edge (the connecting figure of a
// duplication runs across whole rows of copies) is then filed a few times
// instead of once in every slab it crosses, and a point reads the nodes on
// the way from its slab to the root.
class TInsideTester {
 public:
  TInsideTester(const TMDIChild& w, const std::vector<TNestFig>& figs)
      : w_(w), figs_(figs), index_(figs.size()) {}

  // FigureInside(a, b) for a closed figure b whose box strictly contains a's
  // (which also rules out a == b).
  bool Inside(std::int32_t ia, std::int32_t ib) {
    const TNestFig& a = figs_[static_cast<std::size_t>(ia)];
    const TNestFig& b = figs_[static_cast<std::size_t>(ib)];
    const TIndex& idx = index_[static_cast<std::size_t>(ib)];
    // The usual case at once: b prepared, a's first point not b's and clear.
    if (idx.built && a.count != 0 && a.first != b.first) {
      int up = 0, down = 0;
      Count(idx, a.first, up, down);
      if ((up & 1) == (down & 1)) return (down & 1) != 0;
    }
    return InsideInFull(ia, ib);
  }

 private:
  [[gnu::noinline]] bool InsideInFull(std::int32_t ia, std::int32_t ib) {
    const TNestFig& a = figs_[static_cast<std::size_t>(ia)];
    const TNestFig& b = figs_[static_cast<std::size_t>(ib)];
    if (a.count == 0) return false;  // no point: no crossing below
    if (a.count == b.count && a.first == b.first &&
        FiguresEqual(*w_.Figures[static_cast<std::size_t>(ia)],
                     *w_.Figures[static_cast<std::size_t>(ib)]))
      return false;
    TIndex& idx = index_[static_cast<std::size_t>(ib)];
    int up = 0, down = 0;
    if (!idx.built) {
      // A figure asked about once or twice is not worth preparing.
      if (++idx.asked <= kAskedBeforeBuild) return FigureInside(w_, ia, ib);
      Build(w_.Figures[static_cast<std::size_t>(ib)]->Points, idx);
    }
    // The first point mostly decides; the others are read only while the
    // points are doubtful.
    Count(idx, a.first, up, down);
    if ((up & 1) == (down & 1)) return (down & 1) != 0;
    const std::vector<TPointI>& points = w_.Figures[static_cast<std::size_t>(ia)]->Points;
    for (std::size_t k = 1; k < points.size(); ++k) {
      Count(idx, points[k], up, down);
      if ((up & 1) == (down & 1)) return (down & 1) != 0;
    }
    return (down & 1) != 0;
  }

  struct TEdge {
    std::int32_t lo, hi;  // counted for lo <= x <= hi
    double slope, intercept;
  };
  struct TIndex {
    bool built = false;
    std::int32_t asked = 0;
    std::int32_t slabCount = 0;  // 0: no slabs, the edges in one list
    bool tree = false;           // edges filed above the slabs
    std::size_t edgeBegin = 0, edgeCount = 0;
    std::size_t nodeBegin = 0;  // into nodeStart_
    std::int64_t x0 = 0, x1 = 0, width = 1;
  };

  void Build(const std::vector<TPointI>& pts, TIndex& idx) {
    idx.built = true;
    idx.edgeBegin = edges_.size();
    auto add = [&](const TPointI& e1, const TPointI& e2) {
      if (e1.X == e2.X) return;  // vertical or a single point: never counted
      const TLineEq l = SegmentLine(TSegment{e1.X, e1.Y, e2.X, e2.Y});
      // First end X <= x < second end X, or second end X < x <= first end X.
      if (e1.X < e2.X)
        edges_.push_back({e1.X, e2.X - 1, l.Slope, l.Intercept});
      else
        edges_.push_back({e2.X + 1, e1.X, l.Slope, l.Intercept});
    };
    for (std::size_t k = 0; k + 1 < pts.size(); ++k) add(pts[k], pts[k + 1]);
    if (!pts.empty()) add(pts.front(), pts.back());
    idx.edgeCount = edges_.size() - idx.edgeBegin;
    if (idx.edgeCount < kSlabFrom) return;

    const auto first = edges_.begin() + std::ptrdiff_t(idx.edgeBegin);
    const auto last = first + std::ptrdiff_t(idx.edgeCount);
    idx.x0 = INT64_MAX;
    idx.x1 = INT64_MIN;
    for (auto e = first; e != last; ++e) {
      idx.x0 = std::min<std::int64_t>(idx.x0, e->lo);
      idx.x1 = std::max<std::int64_t>(idx.x1, e->hi);
    }
    // About two edges per slab, as many slabs as make a full binary tree.
    std::int64_t slabs = static_cast<std::int64_t>(std::bit_ceil(idx.edgeCount / 2));
    auto slabOf = [&](std::int64_t x) { return (x - idx.x0) / idx.width; };
    // The tree's nodes are numbered from 1 (the root) with the slabs as
    // nodes slabs .. 2 * slabs - 1; node v's halves are 2v and 2v + 1. A
    // long edge is filed at the nodes that make up its slabs, at most two per
    // level. An edge over a few slabs is filed in each of them, so that a
    // figure without long edges is read one slab per point.
    auto forNodes = [&](const TEdge& e, auto&& use) {
      std::int64_t l = slabOf(e.lo) + slabs, r = slabOf(e.hi) + 1 + slabs;
      if (r - l <= kFlatSlabs) {
        for (; l < r; ++l) use(l);
        return;
      }
      idx.tree = true;
      for (; l < r; l >>= 1, r >>= 1) {
        if (l & 1) use(l++);
        if (r & 1) use(--r);
      }
    };
    // A figure of long edges at all angles (a star of chords) would file
    // each many times over: then the slabs are made wider, fewer and the
    // tree lower, until the copies stay within a few times the edges. Its
    // points cross most of its edges anyway.
    for (;; slabs /= 2) {
      idx.width = (idx.x1 - idx.x0 + slabs) / slabs;  // slabs * width covers x0..x1
      idx.tree = false;
      std::size_t filed = 0;
      for (auto e = first; e != last; ++e) forNodes(*e, [&](std::int64_t) { ++filed; });
      if (slabs == 1 || filed <= kMostFiledPerEdge * idx.edgeCount) break;
    }
    idx.slabCount = static_cast<std::int32_t>(slabs);
    idx.nodeBegin = nodeStart_.size();
    nodeStart_.resize(nodeStart_.size() + static_cast<std::size_t>(2 * slabs) + 1, 0);
    std::size_t* start = nodeStart_.data() + idx.nodeBegin;
    for (auto e = first; e != last; ++e) forNodes(*e, [&](std::int64_t v) { ++start[v + 1]; });
    start[0] = nodeEdges_.size();
    for (std::int64_t v = 0; v < 2 * slabs; ++v) start[v + 1] += start[v];
    nodeEdges_.resize(start[2 * slabs]);
    std::vector<std::size_t> fill(start, start + 2 * slabs);
    for (auto e = first; e != last; ++e)
      forNodes(*e, [&](std::int64_t v) { nodeEdges_[fill[static_cast<std::size_t>(v)]++] = *e; });
    edges_.resize(idx.edgeBegin);  // the nodes hold copies
  }

  // The crossings above (up) and below (down) p, as CountCrossings gives them.
  void Count(const TIndex& idx, const TPointI& p, int& up, int& down) const {
    const std::int32_t x = p.X;
    const double px = p.X, py = p.Y;  // exact, as in the line record's sums
    int above = 0, below = 0;
    auto count = [&](const TEdge& e) {
      if (x < e.lo || e.hi < x) return;
      const double gap = (e.slope * px + e.intercept) - py;
      above += gap > 0;
      below += gap < 0;
    };
    if (idx.slabCount == 0) {
      const TEdge* e = edges_.data() + idx.edgeBegin;
      for (std::size_t k = 0; k < idx.edgeCount; ++k) count(e[k]);
    } else if (idx.x0 <= x && x <= idx.x1) {
      const std::size_t* start = nodeStart_.data() + idx.nodeBegin;
      std::int64_t v = (x - idx.x0) / idx.width + idx.slabCount;
      for (std::size_t k = start[v]; k < start[v + 1]; ++k) count(nodeEdges_[k]);
      if (idx.tree)
        for (v >>= 1; v >= 1; v >>= 1)
          for (std::size_t k = start[v]; k < start[v + 1]; ++k) count(nodeEdges_[k]);
    }
    up = above;
    down = below;
  }

  static constexpr std::size_t kSlabFrom = 24;
  static constexpr std::int64_t kFlatSlabs = 4;
  static constexpr std::size_t kMostFiledPerEdge = 8;
  static constexpr std::int32_t kAskedBeforeBuild = 2;
  const TMDIChild& w_;
  const std::vector<TNestFig>& figs_;
  std::vector<TIndex> index_;
  std::vector<TEdge> edges_;
  std::vector<std::size_t> nodeStart_;  // per filed figure: 2 * slabCount + 1 offsets
  std::vector<TEdge> nodeEdges_;        // the edges of each node side by side
};

}  // namespace

void TMDIChild::co_w_czym() {
  for (auto& f : Figures) {
    f->Depth = 0;
    f->NestParent = -1;
    f->ChildCount = 0;
  }
  const std::int32_t n = FigureCount();
  const auto at = [](std::int32_t k) { return static_cast<std::size_t>(k); };
  std::vector<TNestFig> figs(at(n));
  for (std::int32_t k = 0; k < n; ++k) {
    const tfigura& f = *Figures[at(k)];
    TNestFig& g = figs[at(k)];
    g.lo = f.fig_pp;
    g.hi = f.fig_pk;
    g.count = static_cast<std::int64_t>(f.Points.size());
    if (!f.Points.empty()) g.first = f.Points.front();
    g.open = f.Open;
  }
  const TEnclosingBoxes boxes(figs);
  TInsideTester inside(*this, figs);
  // Depths and parents are worked on side by side and stored at the end.
  // Every figure's depth is the length of its chain of parents at all times:
  // a new parent gives the figure its depth plus one and the figures below it
  // are carried along.
  std::vector<std::int32_t> depth(at(n), 0);
  std::vector<std::int32_t> parent(at(n), -1);
  std::vector<std::int32_t> assigned(at(n), 0);
  // Children of every figure as a list threaded through the figures, so that
  // a figure moves to a deeper parent at once however many siblings it has.
  std::vector<std::int32_t> firstChild(at(n), -1), nextSibling(at(n), -1), prevSibling(at(n), -1);
  // The number of closed figures whose box strictly contains the figure's box,
  // counted in the first pass. A chain of parents runs through such figures
  // only, so no figure around figure i is deeper than enclosers[i] - 1: once
  // i's parent is that deep, nothing can move i again and the later passes
  // need not ask about it.
  std::vector<std::int32_t> enclosers(at(n), 0);
  std::vector<std::int32_t> stack;
  // Gives the figures below k their depths, walking a chain of only children
  // without the stack.
  auto propagate = [&](std::int32_t k) {
    MaxDepth = std::max(MaxDepth, depth[at(k)]);
    stack.clear();
    std::int32_t q = k;
    for (;;) {
      const std::int32_t below = depth[at(q)] + 1;
      std::int32_t next = -1;
      for (std::int32_t m = firstChild[at(q)]; m != -1; m = nextSibling[at(m)]) {
        depth[at(m)] = below;
        MaxDepth = std::max(MaxDepth, below);
        if (firstChild[at(m)] == -1) continue;
        if (next == -1)
          next = m;
        else
          stack.push_back(m);
      }
      if (next == -1) {
        if (stack.empty()) break;
        next = stack.back();
        stack.pop_back();
      }
      q = next;
    }
  };
  auto unlink = [&](std::int32_t i) {
    const std::int32_t p = parent[at(i)], prev = prevSibling[at(i)], next = nextSibling[at(i)];
    if (prev != -1)
      nextSibling[at(prev)] = next;
    else
      firstChild[at(p)] = next;
    if (next != -1) prevSibling[at(next)] = prev;
  };
  auto link = [&](std::int32_t i, std::int32_t p) {
    const std::int32_t head = firstChild[at(p)];
    prevSibling[at(i)] = -1;
    nextSibling[at(i)] = head;
    if (head != -1) prevSibling[at(head)] = i;
    firstChild[at(p)] = i;
  };

  // The first pass. A figure is still without a parent when its turn comes
  // (only its own turn gives it one), so each is hung whole under its new
  // parent; the depths are read along shortcuts to the top of each tree,
  // each with its distance and shortened as it is read, instead of being
  // carried down the figures below at every hanging.
  std::vector<std::int32_t> up(at(n), -1), upDistance(at(n), 0);
  auto firstPassDepth = [&](std::int32_t x) {
    std::int32_t d = 0, top = x;
    for (; up[at(top)] != -1; top = up[at(top)]) d += upDistance[at(top)];
    for (std::int32_t y = x, left = d; up[at(y)] != -1 && up[at(y)] != top;) {
      const std::int32_t next = up[at(y)], step = upDistance[at(y)];
      up[at(y)] = top;
      upDistance[at(y)] = left;
      left -= step;
      y = next;
    }
    return d;
  };
  bool changed = false;
  for (std::int32_t i = 0; i < n; ++i) {
    const auto si = at(i);
    // Neither the depth of any figure around i nor that of i's latest parent
    // changes while i is given parent after parent in its turn (the figures
    // that hang below i lie inside it), so only the last one is kept; every
    // one of them counts an assignment.
    std::int32_t last = -1, beat = -1, count = 0;
    boxes.ForEach(i, [&](std::int32_t j) {
      ++count;
      const std::int32_t d = firstPassDepth(j);
      if (d <= beat || !inside.Inside(i, j)) return true;
      last = j;
      beat = d;
      assigned[at(j)] += 1;
      return true;
    });
    enclosers[si] = count;
    if (last == -1) continue;  // every candidate was asked: none ever holds i
    parent[si] = last;
    up[si] = last;
    upDistance[si] = 1;
    changed = true;
  }
  for (std::int32_t q = 0; q < n; ++q) {
    depth[at(q)] = firstPassDepth(q);
    if (parent[at(q)] == -1) continue;
    link(q, parent[at(q)]);
    MaxDepth = std::max(MaxDepth, depth[at(q)]);
  }

  // The later passes, with the depths carried down at once: few figures move
  // in them.
  while (changed) {
    changed = false;
    for (std::int32_t i = 0; i < n; ++i) {
      const auto si = at(i);
      if (parent[si] == -1) continue;  // inside none of the figures around it
      std::int32_t beat = depth[at(parent[si])];
      const std::int32_t deepest = enclosers[si] - 1;
      if (beat >= deepest) continue;
      std::int32_t last = -1;
      boxes.ForEach(i, [&](std::int32_t j) {
        const std::int32_t d = depth[at(j)];
        if (d <= beat || !inside.Inside(i, j)) return true;
        last = j;
        beat = d;
        assigned[at(j)] += 1;
        return beat < deepest;  // no later figure can be deeper
      });
      if (last == -1) continue;
      unlink(i);
      link(i, last);
      parent[si] = last;
      depth[si] = beat + 1;
      propagate(i);
      changed = true;
    }
  }
  for (std::int32_t q = 0; q < n; ++q) {
    tfigura& f = *Figures[at(q)];
    f.Depth = depth[at(q)];
    f.NestParent = parent[at(q)];
    f.ChildCount = assigned[at(q)];
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
