// Plain-cutting preparation (see ciecie.h).
#include "project/ciecie.h"

#include <QStringList>
#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <set>

#include "drawing/figury.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/bucket_table.h"
#include "project/connector_search.h"
#include "project/edge_index.h"
#include "shell/interfejs.h"

namespace vm {

namespace {

constexpr double kHalfPi = std::numbers::pi / 2;
// Vertices turning by less than this (36 degrees) are smooth, not corners.
constexpr double kCornerAngle = 0.6283185307179586;
// Distance of the added frame from the project box.
constexpr std::int32_t kFrameGap = 400;
// From this many figures the project uses neighbour lists and the ordered search.
constexpr std::int32_t kManyFigures = 21;
// From this many children a parent's figures are joined by the candidate search.
constexpr std::int32_t kManyChildren = 21;
// From this many figures the general pass no longer falls back to the unordered search.
constexpr std::int32_t kHugeProject = 10000;
// Vertices this close (per axis for touching, Euclidean for a lead-in's ends) meet.
constexpr std::int32_t kTouch = 10;
constexpr double kNear = 10.0;

bool Closed(const tfigura& f) { return f.typ == 1; }

std::int32_t Count(const TMDIChild& w) { return w.FigureCount(); }

tfigura& Fig(TMDIChild& w, std::int32_t i) { return *w.Figures.at(static_cast<std::size_t>(i)); }
const tfigura& Fig(const TMDIChild& w, std::int32_t i) {
  return *w.Figures.at(static_cast<std::size_t>(i));
}

std::int32_t HalfSum(std::int32_t a, std::int32_t b) {
  // Sum halved toward zero, without overflowing the sum.
  return static_cast<std::int32_t>((std::int64_t{a} + b) / 2);
}

// The vertices of the figures present when the preparation starts, by cells
// of 16 units: every vertex within 10 units of a point (per axis or as a
// distance) lies in the point's cell or one of the eight around it. Figures
// added later (frame, start point, connectors) are not in it; the start
// point and connector ends also move when they snap onto a vertex.
class TVertexGrid {
 public:
  void Build(const TMDIChild& w) {
    covered_ = w.FigureCount();
    points_.resize(static_cast<std::size_t>(covered_));
    std::size_t total = 0;
    for (std::int32_t q = 0; q < covered_; ++q) {
      const auto& pts = w.Figures[static_cast<std::size_t>(q)]->Points;
      points_[static_cast<std::size_t>(q)] = pts.data();
      total += pts.size();
    }
    // About two vertices a bucket; a cell's vertices share one bucket.
    const int bits = std::max(5, static_cast<int>(std::bit_width(total / 2)));
    shift_ = 64 - (bits - 4);
    const std::size_t buckets = std::size_t{1} << bits;
    // Each bucket's vertices in figure and vertex order.
    FillBucketTable(buckets, start_, entries_, [&](auto&& put) {
      for (std::int32_t q = 0; q < covered_; ++q) {
        const auto& pts = w.Figures[static_cast<std::size_t>(q)]->Points;
        for (std::size_t k = 0; k < pts.size(); ++k)
          put(Bucket(Cell(pts[k].X), Cell(pts[k].Y)), Entry{q, static_cast<std::int32_t>(k)});
      }
    });
  }
  // Figures [0, Covered()) are in the grid.
  std::int32_t Covered() const { return covered_; }
  // Calls fn(figure, vertex) for every vertex in the 3 x 3 cells around p,
  // cell by cell (rows, then columns), each cell's in figure and vertex order.
  template <typename Fn>
  void ForNear(const TPointI& p, Fn&& fn) const {
    const std::int64_t cx = Cell(p.X), cy = Cell(p.Y);
    for (std::int64_t dy = -1; dy <= 1; ++dy)
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        const std::size_t b = Bucket(cx + dx, cy + dy);
        for (std::uint32_t k = start_[b]; k < start_[b + 1]; ++k) {
          const Entry e = entries_[k];
          if (InCell(e, cx + dx, cy + dy)) fn(e.fig, e.vtx);
        }
      }
  }
  // The highest vertex index of figure `fig` (held in the grid) within 10
  // units of p in X and in Y, or -1.
  std::int32_t HighestNear(const TPointI& p, std::int32_t fig,
                           const std::vector<TPointI>& pts) const {
    const std::int64_t cx = Cell(p.X), cy = Cell(p.Y);
    std::int32_t best = -1;
    for (std::int64_t dy = -1; dy <= 1; ++dy)
      for (std::int64_t dx = -1; dx <= 1; ++dx) {
        const std::size_t b = Bucket(cx + dx, cy + dy);
        const auto end = entries_.begin() + start_[b + 1];
        auto it = std::lower_bound(entries_.begin() + start_[b], end, fig,
                                   [](const Entry& e, std::int32_t f) { return e.fig < f; });
        for (; it != end && it->fig == fig; ++it) {
          if (it->vtx <= best || !InCell(*it, cx + dx, cy + dy)) continue;
          const TPointI& o = pts[static_cast<std::size_t>(it->vtx)];
          if (std::llabs(std::int64_t{p.X} - o.X) <= kTouch &&
              std::llabs(std::int64_t{p.Y} - o.Y) <= kTouch)
            best = it->vtx;
        }
      }
    return best;
  }

 private:
  struct Entry {
    std::int32_t fig, vtx;
  };
  // Cells of 16 units: floor(v / 16).
  static std::int64_t Cell(std::int32_t v) { return v >> 4; }
  // Tiles of 4 x 4 cells are hashed; a tile's cells take 16 buckets in a
  // row, so a walk along an outline stays in few places of the table.
  std::size_t Bucket(std::int64_t cx, std::int64_t cy) const {
    const std::uint64_t h = static_cast<std::uint64_t>(cx >> 2) * 0x9E3779B97F4A7C15ull +
                            static_cast<std::uint64_t>(cy >> 2) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<std::size_t>((h >> shift_) << 4 | (cx & 3) << 2 | (cy & 3));
  }
  // Buckets hold the vertices of several cells: the vertex's own cell tells.
  bool InCell(const Entry& e, std::int64_t cx, std::int64_t cy) const {
    const TPointI& o = points_[static_cast<std::size_t>(e.fig)][e.vtx];
    return Cell(o.X) == cx && Cell(o.Y) == cy;
  }

  // The points of every figure held; they stay unchanged while in use.
  std::vector<const TPointI*> points_;
  // Vertices by bucket: start_[b] .. start_[b + 1] in entries_.
  std::vector<std::uint32_t> start_;
  std::vector<Entry> entries_;
  int shift_ = 63;
  std::int32_t covered_ = 0;
};

// Runs one preparation; keeps the state the steps share.
class TCiecie {
 public:
  TCiecie(TMDIChild& w, const TPlainCutEnv& env) : w_(w), env_(env), search_(w) {
    search_.SetReference(env.ReferenceSearch);
    search_.SetAbortProbe(env.Aborted);
  }

  TPlainCutResult Run();

 private:
  void BuildVertexRecs();
  void ChooseStart();
  bool IsStartCandidate(std::int32_t q);
  bool PointNearFigure(std::int32_t i, std::int32_t q) const;
  // Appends a closed figure of the program's own (frame or start point) over
  // the box lo-hi, outside every nesting and link, and makes it the first.
  void AppendOwnFigure(std::vector<TPointI> points, TPointI lo, TPointI hi, std::uint8_t kind,
                       std::uint8_t typ, std::int32_t maxIndex, std::uint8_t weighted);
  void AddFrameFigure();
  void AddEnclosingFigure();
  // false when the operator aborted
  bool LinkRemainingFigures();
  bool LinkRemainingFiguresReference();
  // Figures below `count` that may touch figure a: every figure with a vertex
  // near one of a's, and every figure the grid does not hold, ascending.
  // Without the grid (or for a start point or connector, whose points move
  // as they snap) every figure.
  std::vector<std::int32_t> TouchCandidates(std::int32_t a, std::int32_t count) const;
  // The figures of the grid below `count`, other than a, with a vertex within
  // touching distance of one of a's vertices as they are now, ascending.
  std::vector<std::int32_t> GridNeighbours(std::int32_t a, std::int32_t count) const;
  // GridNeighbours of a figure whose points stay put (not a start point or
  // connector), found once per preparation and kept for the later passes.
  const std::vector<std::int32_t>& FixedNeighbours(std::int32_t a);
  // The touch test, answered through the grid: the same pair as the
  // vertex-by-vertex scan. false also when the operator aborted (aborted_).
  bool Touch(std::int32_t a, std::int32_t b, std::int32_t& ia, std::int32_t& ib);
  // The highest vertex of figure `fig` within touching distance of p, or -1.
  std::int32_t HighestNear(const TPointI& p, std::int32_t fig) const;
  // Polls the operator now and then during long loops; true once aborted.
  bool PollSometimes();
  bool LinkByContactWithFirst();  // false when the operator aborted
  bool NoFigureFlagged() const;
  void SetWeights();
  bool Connect();  // false when the operator aborted
  std::int32_t OpenFigureEntryIndex() const;
  void ShowReady();
  bool Poll();
  void IncreaseDepths();
  // Linked figures, counted once and then followed through the searches: a
  // connector links itself and its child.
  void Recount();
  std::int32_t Linked() const;
  void SetUnlinked(tfigura& f, bool unlinked);
  void Summarise(TPlainCutResult& result) const;

  TMDIChild& w_;
  const TPlainCutEnv& env_;
  TConnectorSearch search_;
  // The drawn edges, when connectors must not cut through other figures.
  TEdgeIndex edges_;
  bool clear_ = false;
  std::int32_t linkedBase_ = 0;
  int connectorsAtBase_ = 0;
  TVertexGrid grid_;
  bool useGrid_ = false;
  std::vector<std::vector<std::int32_t>> fixedNear_;
  std::vector<char> fixedNearKnown_;
  bool aborted_ = false;
  std::uint32_t polls_ = 0;
};

bool TCiecie::PollSometimes() {
  if (!aborted_ && (++polls_ & 4095) == 0 && Poll()) aborted_ = true;
  return aborted_;
}

std::int32_t TCiecie::HighestNear(const TPointI& p, std::int32_t fig) const {
  const auto& pts = Fig(w_, fig).Points;
  if (fig < grid_.Covered()) return grid_.HighestNear(p, fig, pts);
  for (auto k = static_cast<std::int32_t>(pts.size()) - 1; k >= 0; --k) {
    const TPointI& o = pts[static_cast<std::size_t>(k)];
    if (std::llabs(std::int64_t{p.X} - o.X) <= kTouch &&
        std::llabs(std::int64_t{p.Y} - o.Y) <= kTouch)
      return k;
  }
  return -1;
}

bool TCiecie::Touch(std::int32_t a, std::int32_t b, std::int32_t& ia, std::int32_t& ib) {
  if (aborted_) return false;
  const bool ca = a < grid_.Covered(), cb = b < grid_.Covered();
  if (!useGrid_ || a == b || (!ca && !cb)) return TouchTest(w_, a, b, ia, ib);
  tfigura& fa = Fig(w_, a);
  tfigura& fb = Fig(w_, b);
  const auto na = static_cast<std::int32_t>(fa.Points.size());
  const auto nb = static_cast<std::int32_t>(fb.Points.size());
  if (na == 0 || nb == 0) return false;
  // The scan's answer is the highest vertex of a near any vertex of b, with
  // the highest vertex of b near it. Either walk a's vertices from the last
  // and ask for b's near each, or ask for a's highest near each of b's; the
  // walk over the figure held in the grid costs a look-up per vertex, over
  // the other one a pass over the first figure's vertices.
  const double walkA = double(na) * (cb ? 1.0 : double(nb));
  const double walkB = double(nb) * (ca ? 1.0 : double(na));
  std::int32_t i = -1, j = -1;
  if (walkA <= walkB) {
    for (std::int32_t k = na - 1; k >= 0; --k) {
      if (PollSometimes()) return false;
      j = HighestNear(fa.Points[static_cast<std::size_t>(k)], b);
      if (j >= 0) {
        i = k;
        break;
      }
    }
  } else {
    for (std::int32_t k = 0; k < nb; ++k) {
      if (PollSometimes()) return false;
      i = std::max(i, HighestNear(fb.Points[static_cast<std::size_t>(k)], a));
    }
    if (i >= 0) j = HighestNear(fa.Points[static_cast<std::size_t>(i)], b);
  }
  if (i < 0) return false;
  // A start point or connector end snaps onto the vertex it touches.
  if (fa.Kind == 3) fa.Points[static_cast<std::size_t>(i)] = fb.Points[static_cast<std::size_t>(j)];
  if (fb.Kind == 3) fb.Points[static_cast<std::size_t>(j)] = fa.Points[static_cast<std::size_t>(i)];
  ia = i;
  ib = j;
  return true;
}

std::vector<std::int32_t> TCiecie::GridNeighbours(std::int32_t a, std::int32_t count) const {
  std::vector<std::int32_t> out;
  const tfigura& fa = Fig(w_, a);
  for (const TPointI& p : fa.Points) {
    grid_.ForNear(p, [&](std::int32_t q, std::int32_t v) {
      if (q >= count || q == a) return;
      if (!out.empty() && out.back() == q) return;
      const TPointI& o = Fig(w_, q).Points[static_cast<std::size_t>(v)];
      if (std::llabs(std::int64_t{p.X} - o.X) <= kTouch &&
          std::llabs(std::int64_t{p.Y} - o.Y) <= kTouch)
        out.push_back(q);
    });
  }
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

const std::vector<std::int32_t>& TCiecie::FixedNeighbours(std::int32_t a) {
  const auto sa = static_cast<std::size_t>(a);
  if (fixedNear_.size() <= sa) {
    fixedNear_.resize(static_cast<std::size_t>(Count(w_)));
    fixedNearKnown_.resize(static_cast<std::size_t>(Count(w_)), 0);
  }
  if (!fixedNearKnown_[sa]) {
    // Only figures of the grid are listed, and every figure that can come
    // later lies below any count asked for.
    fixedNear_[sa] = GridNeighbours(a, grid_.Covered());
    fixedNearKnown_[sa] = 1;
  }
  return fixedNear_[sa];
}

std::vector<std::int32_t> TCiecie::TouchCandidates(std::int32_t a, std::int32_t count) const {
  std::vector<std::int32_t> out;
  const tfigura& fa = Fig(w_, a);
  if (!useGrid_ || fa.Kind == 3) {
    out.resize(static_cast<std::size_t>(count));
    for (std::int32_t q = 0; q < count; ++q) out[q] = q;
    return out;
  }
  out = GridNeighbours(a, count);
  for (std::int32_t q = grid_.Covered(); q < count; ++q) out.push_back(q);
  return out;
}

bool TCiecie::LinkByContactWithFirst() {
  const std::int32_t first = w_.FirstFigure;
  for (const std::int32_t q : TouchCandidates(first, Count(w_))) {
    std::int32_t i, j;
    if (Touch(first, q, i, j)) {
      tfigura& fq = Fig(w_, q);
      fq.LinkParent = first;
      fq.LinkVertex = i;
      fq.EntryVertex = j;
      fq.Unlinked = false;
    }
    if (aborted_) return false;
  }
  return true;
}

void TCiecie::Recount() {
  linkedBase_ = 0;
  for (const auto& f : w_.Figures) linkedBase_ += f->Unlinked ? 0 : 1;
  connectorsAtBase_ = search_.ConnectorsAdded();
}

std::int32_t TCiecie::Linked() const {
  return linkedBase_ + 2 * (search_.ConnectorsAdded() - connectorsAtBase_);
}

void TCiecie::SetUnlinked(tfigura& f, bool unlinked) {
  if (f.Unlinked != unlinked) linkedBase_ += unlinked ? -1 : 1;
  f.Unlinked = unlinked;
}

void TCiecie::Summarise(TPlainCutResult& result) const {
  result.Connectors = search_.ConnectorsAdded();
  result.PairsGivenUp = search_.PairsRejected();
  result.PairsBlocked = search_.PairsBlocked();
  result.UnreachedFigures = UnreachedFigures(w_);
  for (const auto& f : w_.Figures) result.Unlinked += f->Unlinked ? 1 : 0;
}

bool TCiecie::Poll() {
  // A stop seen by the connector search's own poll counts as well.
  if (search_.Aborted()) return true;
  return env_.Aborted && env_.Aborted();
}

void TCiecie::ShowReady() {
  w_.StatusBar.SimpleText = ReadyTextOf(Linked(), Count(w_));
  if (env_.Progress) env_.Progress(w_);
}

void TCiecie::BuildVertexRecs() {
  // Each edge's direction is computed once and serves the vertices at both
  // its ends. A direction depends on the edge's step alone, and finely
  // divided outlines repeat a few short steps: each of those is worked out
  // once.
  constexpr std::int64_t kShort = 15;
  constexpr std::size_t kSide = 2 * kShort + 1;
  std::vector<double> shortSteps(kSide * kSide, std::numeric_limits<double>::quiet_NaN());
  auto angleOf = [&](TPointI a, TPointI b) {
    const std::int64_t dx = std::int64_t{b.X} - a.X, dy = std::int64_t{b.Y} - a.Y;
    if (dx < -kShort || dx > kShort || dy < -kShort || dy > kShort) return VectorAngle(a, b);
    double& angle = shortSteps[static_cast<std::size_t>(dy + kShort) * kSide +
                               static_cast<std::size_t>(dx + kShort)];
    if (std::isnan(angle))
      angle = VectorAngle({0, 0}, {static_cast<std::int32_t>(dx), static_cast<std::int32_t>(dy)});
    return angle;
  };
  std::vector<double> direction;
  for (auto& fp : w_.Figures) {
    tfigura& f = *fp;
    const auto& p = f.Points;
    const auto n = static_cast<std::int32_t>(p.size());
    // Both ends of a closed figure describe the same corner: the last point
    // lies on or next to the first.
    const bool closed = Closed(f) && n >= 3;
    direction.resize(p.size());
    for (std::int32_t k = 0; k + 1 < n; ++k) direction[k] = angleOf(p[k], p[k + 1]);
    f.VertexRecs.clear();
    f.VertexRecs.reserve(p.size());
    for (std::int32_t k = 0; k < n; ++k) {
      double angle;
      if (k == 0)
        angle = closed ? TurnBetween(angleOf(p[n - 2], p[0]), direction[0]) : kHalfPi;
      else if (k == n - 1)
        angle = closed ? TurnBetween(direction[n - 2], angleOf(p[n - 1], p[1])) : kHalfPi;
      else
        angle = TurnBetween(direction[k - 1], direction[k]);
      f.VertexRecs.push_back(TVertexRec{angle, 0, 0});
    }
  }
}

bool TCiecie::PointNearFigure(std::int32_t i, std::int32_t q) const {
  const TPointI& pt = Fig(w_, q).Points.at(static_cast<std::size_t>(i));
  std::int32_t from = 0;
  if (useGrid_) {
    bool near = false;
    grid_.ForNear(pt, [&](std::int32_t o, std::int32_t v) {
      if (!near && o != q && Distance(pt, Fig(w_, o).Points[static_cast<std::size_t>(v)]) <= kNear)
        near = true;
    });
    if (near) return true;
    from = grid_.Covered();
  }
  for (std::int32_t o = from; o < Count(w_); ++o) {
    if (o == q) continue;
    for (const TPointI& other : Fig(w_, o).Points)
      if (Distance(pt, other) <= kNear) return true;
  }
  return false;
}

bool TCiecie::IsStartCandidate(std::int32_t q) {
  tfigura& f = Fig(w_, q);
  const auto n = static_cast<std::int32_t>(f.Points.size());
  if (n == 0) return false;
  auto anyNear = [&](std::int32_t from, std::int32_t to) {
    for (std::int32_t k = from; k <= to; ++k)
      if (PointNearFigure(k, q)) return true;
    return false;
  };
  if (!PointNearFigure(0, q) && anyNear(1, n - 1)) {
    f.EntryVertex = 0;
    return true;
  }
  if (!PointNearFigure(n - 1, q) && anyNear(0, n - 2)) {
    f.EntryVertex = n - 1;
    return true;
  }
  return false;
}

void TCiecie::AppendOwnFigure(std::vector<TPointI> points, TPointI lo, TPointI hi,
                              std::uint8_t kind, std::uint8_t typ, std::int32_t maxIndex,
                              std::uint8_t weighted) {
  auto f = std::make_unique<tfigura>();
  const auto n = points.size();
  f->Points = std::move(points);
  f->fig_pp = lo;
  f->fig_pk = hi;
  f->Width = CheckedSub(hi.X, lo.X);
  f->Height = CheckedSub(hi.Y, lo.Y);
  f->Centre = {HalfSum(lo.X, hi.X), HalfSum(lo.Y, hi.Y)};
  f->Kind = kind;
  f->typ = typ;
  f->Open = false;
  f->Valid = true;
  f->Cut = true;
  f->oryg = false;
  f->NestParent = -1;
  f->LinkParent = -1;
  f->LinkVertex = -1;
  f->EntryVertex = -1;
  f->Unlinked = false;
  f->Depth = 0;
  f->ChildCount = 0;
  f->MinXIndex = 0;
  f->MinYIndex = 0;
  f->MaxXIndex = maxIndex;
  f->MaxYIndex = maxIndex;
  f->Neighbours.fill(-1);
  f->VertexRecs.assign(n, TVertexRec{kHalfPi, 6, weighted});
  f->Index = Count(w_);
  w_.Figures.push_back(std::move(f));
  w_.FirstFigure = Count(w_) - 1;
}

void TCiecie::AddFrameFigure() {
  const std::int32_t x0 = CheckedSub(w_.MinX, kFrameGap);
  const std::int32_t y0 = CheckedSub(w_.MinY, kFrameGap);
  const std::int32_t x1 = CheckedAdd(w_.MaxX, kFrameGap);
  const std::int32_t y1 = CheckedAdd(w_.MaxY, kFrameGap);
  AppendOwnFigure({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}}, {x0, y0}, {x1, y1}, 1, 1, 2,
                  0);
  w_.MinX = x0;
  w_.MinY = y0;
  w_.MaxX = x1;
  w_.MaxY = y1;
  w_.FrameAdded = true;
}

void TCiecie::AddEnclosingFigure() {
  const TPointI lo{w_.MinX, w_.MinY};
  AppendOwnFigure({lo, lo}, lo, {w_.MaxX, w_.MaxY}, 3, 0, 1, 1);
  w_.FrameAdded = false;
}

void TCiecie::IncreaseDepths() {
  for (auto& f : w_.Figures) f->Depth = CheckedAdd(f->Depth, 1);
}

void TCiecie::ChooseStart() {
  const std::int32_t n = Count(w_);
  w_.SingleOpenFigure = n == 1 && !Closed(Fig(w_, 0));
  w_.HasFrame = false;
  std::int32_t outermost = 0;
  for (std::int32_t q = 0; q < n; ++q) {
    if (Fig(w_, q).Depth == 0) {
      w_.FirstFigure = q;
      ++outermost;
    }
  }
  if (outermost == 1 && Fig(w_, w_.FirstFigure).Points.size() == 5) {
    // One outermost figure of five points is a frame drawn around everything.
    w_.HasFrame = true;
    return;
  }

  std::int32_t candidates = 0;
  double best = 1e21;
  const TPointI corner{w_.MinX, w_.MinY};
  for (std::int32_t q = 0; q < n; ++q) {
    if (Closed(Fig(w_, q)) || !IsStartCandidate(q)) continue;
    const double d = Distance(corner, Fig(w_, q).fig_pp);
    if (d < best) {
      best = d;
      w_.FirstFigure = q;
    }
    ++candidates;
  }
  if (candidates > 0 || env_.Settings.Mode == 3 || w_.SingleOpenFigure) {
    IncreaseDepths();
  } else if (env_.Settings.AddFrame) {
    AddFrameFigure();
    w_.HasFrame = true;
    w_.Width = CheckedSub(w_.MaxX, w_.MinX);
    w_.Height = CheckedSub(w_.MaxY, w_.MinY);
    IncreaseDepths();
  } else {
    AddEnclosingFigure();
    w_.HasFrame = true;
    w_.Width = CheckedSub(w_.MaxX, w_.MinX);
    w_.Height = CheckedSub(w_.MaxY, w_.MinY);
    IncreaseDepths();
    search_.FindConnector();
  }
}

bool TCiecie::LinkRemainingFiguresReference() {
  for (auto& f : w_.Figures) f->LinkCandidate = 1;
  bool linked;
  do {
    linked = false;
    const std::int32_t n = Count(w_);
    std::int32_t i = 0;
    while (i <= n - 1) {
      tfigura& fi = Fig(w_, i);
      if (!fi.Unlinked && fi.LinkCandidate == 1) {
        std::int32_t next = -1;
        for (const std::int32_t j : TouchCandidates(i, n)) {
          if (!Fig(w_, j).Unlinked) continue;
          std::int32_t a, b;
          if (TouchTest(w_, i, j, a, b)) {
            tfigura& fj = Fig(w_, j);
            fj.LinkParent = i;
            fj.LinkVertex = a;
            fj.EntryVertex = b;
            fj.Unlinked = false;
            linked = true;
            next = j;
            break;
          }
        }
        if (next >= 0) {
          // Go on from the figure just reached, so chains are followed in order.
          if (next < 2) break;
          i = next;
          continue;
        }
        fi.LinkCandidate = 0;
      }
      ++i;
    }
  } while (linked);
  return true;
}

// The passes of the reference above, visiting only the figures that can
// still pass links on. A figure's candidates are scanned once over all its
// visits: a drawn figure's points stay put and a figure still unlinked is not
// moved, so a candidate that did not touch it never will, and a linked one is
// skipped for good. A start point or connector moves as it snaps, so its
// candidates are found again at each visit.
bool TCiecie::LinkRemainingFigures() {
  if (!useGrid_) return LinkRemainingFiguresReference();
  const std::int32_t n = Count(w_);
  std::set<std::int32_t> active;
  std::int32_t linkedCount = 0;
  for (std::int32_t q = 0; q < n; ++q) {
    tfigura& f = Fig(w_, q);
    f.LinkCandidate = 1;
    if (!f.Unlinked) {
      active.insert(active.end(), q);
      ++linkedCount;
    }
  }
  // Figures outside the grid still unlinked; every figure tests them.
  std::vector<std::int32_t> outside;
  for (std::int32_t q = grid_.Covered(); q < n; ++q)
    if (Fig(w_, q).Unlinked) outside.push_back(q);
  std::vector<std::size_t> cursor(static_cast<std::size_t>(n), 0);
  std::uint32_t visits = 0;

  auto link = [&](std::int32_t i, std::int32_t j, std::int32_t a, std::int32_t b) {
    tfigura& fj = Fig(w_, j);
    fj.LinkParent = i;
    fj.LinkVertex = a;
    fj.EntryVertex = b;
    fj.Unlinked = false;
    ++linkedCount;
    if ((linkedCount & 1023) == 0) {
      w_.StatusBar.SimpleText = ReadyTextOf(linkedCount, n);
      if (env_.Progress) env_.Progress(w_);
    }
  };
  // The first unlinked figure touching figure i, linked to it; -1 for none.
  auto linkNext = [&](std::int32_t i) -> std::int32_t {
    const auto si = static_cast<std::size_t>(i);
    std::int32_t a, b;
    if (Fig(w_, i).Kind == 3) {
      for (const std::int32_t j : GridNeighbours(i, n)) {
        if (!Fig(w_, j).Unlinked) continue;
        if (Touch(i, j, a, b)) {
          link(i, j, a, b);
          return j;
        }
        if (aborted_) return -1;
      }
    } else {
      const auto& list = FixedNeighbours(i);
      for (std::size_t& k = cursor[si]; k < list.size(); ++k) {
        const std::int32_t j = list[k];
        if (!Fig(w_, j).Unlinked) continue;
        if (Touch(i, j, a, b)) {
          link(i, j, a, b);
          ++k;
          return j;
        }
        if (aborted_) return -1;
      }
    }
    for (const std::int32_t j : outside) {
      if (j == i || !Fig(w_, j).Unlinked) continue;
      if (Touch(i, j, a, b)) {
        link(i, j, a, b);
        return j;
      }
      if (aborted_) return -1;
    }
    return -1;
  };

  bool linked;
  do {
    linked = false;
    auto it = active.begin();
    while (it != active.end()) {
      if ((++visits & 255) == 0 && Poll()) aborted_ = true;
      const std::int32_t i = *it;
      const std::int32_t next = linkNext(i);
      if (aborted_) return false;
      if (next >= 0) {
        linked = true;
        it = active.insert(next).first;
        // Go on from the figure just reached, so chains are followed in order.
        if (next < 2) break;
        continue;
      }
      Fig(w_, i).LinkCandidate = 0;
      it = active.erase(it);
    }
    if (outside.size() > 64)
      std::erase_if(outside, [&](std::int32_t q) { return !Fig(w_, q).Unlinked; });
  } while (linked);
  return true;
}

bool TCiecie::NoFigureFlagged() const {
  for (const auto& f : w_.Figures)
    if (f->Unlinked) return false;
  return true;
}

void TCiecie::SetWeights() {
  for (auto& fp : w_.Figures) {
    tfigura& f = *fp;
    auto& recs = f.VertexRecs;
    const bool closed = Closed(f);
    const std::int32_t cornerWeight = f.Depth >= 2 ? 5 : 6;
    for (auto& r : recs) {
      if (closed && std::fabs(r.Angle) < kCornerAngle) {
        r.Weighted = 0;
        r.Weight = 10;
      } else {
        r.Weighted = 1;
        r.Weight = cornerWeight;
      }
    }
    auto mark = [&](std::int32_t v, std::int32_t weight) {
      if (v < 0 || static_cast<std::size_t>(v) >= recs.size()) return;
      if (recs[v].Weighted != 1) {
        recs[v].Weighted = 1;
        recs[v].Weight = weight;
      }
    };
    mark(f.MinYIndex, 8);
    mark(f.MaxYIndex, 8);
    mark(f.MinXIndex, 9);
    mark(f.MaxXIndex, 9);
    if (!closed) {
      for (auto& r : recs) {
        r.Weighted = 1;
        r.Weight = 5;
      }
    }
    const auto n = static_cast<std::int32_t>(f.Points.size());
    if (n > 20) {
      const std::int32_t s = n / 12 + 1;
      for (std::int32_t v = 0; v <= n - 1; v += s) mark(v, 10);
    }
  }
}

bool TCiecie::Connect() {
  const bool ordered = Count(w_) >= kManyFigures;
  if (ordered) search_.BuildNeighbourLists();

  const std::int32_t first = w_.FirstFigure;
  if (Closed(Fig(w_, first))) {
    bool hasChild = false;
    for (const auto& f : w_.Figures)
      if (!f->Unlinked && f->LinkParent == first) hasChild = true;
    if (!hasChild) search_.FindConnector();
  } else if (clear_ && Fig(w_, first).Depth >= 2) {
    // An open first figure inside another one (a lead-in inside a plate):
    // the figures around it can only be reached from it, unless one of the
    // outermost figures already hangs on the path; join the best one to it
    // as to a closed first figure.
    bool outerReached = false;
    for (const auto& f : w_.Figures)
      if (!f->Unlinked && f->Depth < 2) outerReached = true;
    if (!outerReached) search_.FindConnector();
  }
  if (!LinkRemainingFigures()) return false;
  Recount();

  // Nested figures, from the inside out: the children of every parent are
  // joined to the parent or to each other before the parent is reached.
  auto joinChildren = [&](std::int32_t P) {
    tfigura& parent = Fig(w_, P);
    const bool remembered = parent.Unlinked;
    SetUnlinked(parent, false);
    bool found = search_.FindConnectorFew(P);
    ShowReady();
    while (found) {
      found = Fig(w_, P).ChildCount >= kManyChildren ? search_.FindConnectorMany(P)
                                                     : search_.FindConnectorFew(P);
      ShowReady();
      SetUnlinked(Fig(w_, P), false);
      if (Poll()) {
        SetUnlinked(Fig(w_, P), remembered);
        return false;
      }
    }
    SetUnlinked(Fig(w_, P), remembered);
    search_.ForgetParent();
    return true;
  };
  if (useGrid_) {
    // The searches change no depth or child count, and the connectors they
    // add have no children: the parents of each depth are known beforehand.
    std::vector<std::vector<std::int32_t>> parentsAt(
        static_cast<std::size_t>(std::max(w_.MaxDepth, 0) + 1));
    for (std::int32_t P = 0; P < Count(w_); ++P) {
      const tfigura& f = Fig(w_, P);
      if (f.ChildCount > 0 && f.Depth >= 0 && f.Depth <= w_.MaxDepth)
        parentsAt[static_cast<std::size_t>(f.Depth)].push_back(P);
    }
    for (std::int32_t d = w_.MaxDepth; d >= 0; --d)
      for (const std::int32_t P : parentsAt[static_cast<std::size_t>(d)])
        if (!joinChildren(P)) return false;
  } else {
    for (std::int32_t d = w_.MaxDepth; d >= 0; --d)
      for (std::int32_t P = 0; P < Count(w_); ++P) {
        const tfigura& parent = Fig(w_, P);
        if (parent.Depth == d && parent.ChildCount > 0 && !joinChildren(P)) return false;
      }
  }

  // General pass: one connector per round until nothing more can be joined.
  auto progress = [&] {
    return search_.ConnectorsAdded() + search_.PairsRejected() + search_.PairsBlocked();
  };
  bool stopped = false;
  for (;;) {
    const int before = progress();
    const bool found = ordered ? search_.FindConnectorOrdered() : search_.FindConnectorUnordered();
    ShowReady();
    if (Poll()) return false;
    if (!found || Count(w_) >= kHugeProject) {
      if (Linked() < Count(w_) && Count(w_) < kHugeProject) {
        search_.FindConnectorUnordered();
        ShowReady();
      }
      stopped = Poll();
      if (Linked() == Count(w_) || stopped) break;
      // A round that joined nothing and gave nothing up will not do better
      // when repeated: the figures left keep their flag.
      if (progress() == before) break;
    }
  }
  // Figures the searches could not join (their depth or nesting rules out
  // every reached figure, or every cut they tried went through another part)
  // are joined to the nearest reached figure by a cut that crosses nothing.
  while (clear_ && !stopped && Linked() < Count(w_)) {
    if (!search_.FindConnectorClear()) break;
    ShowReady();
    if (Poll()) return false;
  }
  w_.ConnectorsDone = true;
  return true;
}

std::int32_t TCiecie::OpenFigureEntryIndex() const {
  const std::int32_t first = w_.FirstFigure;
  const tfigura& F = Fig(w_, first);
  const auto last = static_cast<std::int32_t>(F.Points.size()) - 1;
  auto attachedAt = [&](std::int32_t v) {
    for (std::int32_t q = 0; q < Count(w_); ++q) {
      if (q == first) continue;
      const tfigura& f = Fig(w_, q);
      if (!f.Unlinked && f.LinkParent == first && f.LinkVertex == v) return true;
    }
    return false;
  };
  if (!attachedAt(0)) return 0;
  if (!attachedAt(last)) return last;
  return NearestEntryPoint(w_, first);
}

TPlainCutResult TCiecie::Run() {
  TPlainCutResult result;
  TWaitCursor cursor;
  ResetPlainCutting(w_);
  w_.FrameAdded = false;
  if (w_.Figures.empty()) return result;

  BuildVertexRecs();
  w_.co_w_czym();
  useGrid_ = !env_.ReferenceSearch;
  if (useGrid_) grid_.Build(w_);
  clear_ = !env_.KeepCrossingConnectors;
  if (clear_) {
    edges_.Build(w_);
    search_.SetEdgeIndex(&edges_);
  }
  ChooseStart();

  const std::int32_t first = w_.FirstFigure;
  {
    tfigura& F = Fig(w_, first);
    F.Unlinked = false;
    F.EntryVertex = NearestEntryPoint(w_, first);
    F.NestParent = -1;
    F.LinkParent = -1;
    F.LinkVertex = -1;
  }
  const bool linkedByContact = LinkByContactWithFirst() && LinkRemainingFigures();
  SetWeights();

  if (!linkedByContact || !NoFigureFlagged()) {
    if (!linkedByContact || !Connect()) {
      result.Aborted = true;
      Summarise(result);
      cursor.Restore();
      if (env_.Progress) env_.Progress(w_);
      return result;
    }
  }

  tfigura& F = Fig(w_, first);
  if (F.Open) F.EntryVertex = OpenFigureEntryIndex();
  const TPointI E = F.Points.at(static_cast<std::size_t>(F.EntryVertex));
  w_.EntryLeft = CheckedSub(E.X, w_.MinX);
  w_.EntryRight = CheckedSub(w_.MaxX, E.X);
  w_.EntryBottom = CheckedSub(E.Y, w_.MinY);
  w_.EntryTop = CheckedSub(w_.MaxY, E.Y);

  double length = 0;
  for (const auto& f : w_.Figures)
    for (std::size_t k = 1; k < f->Points.size(); ++k)
      length += Distance(f->Points[k - 1], f->Points[k]);
  w_.PathLength = length;

  w_.StatusBar.SimpleText.clear();
  cursor.Restore();
  Summarise(result);
  if (env_.Progress) env_.Progress(w_);
  return result;
}

}  // namespace

std::int32_t NearestEntryPoint(const TMDIChild& w, std::int32_t f) {
  const tfigura& fig = Fig(w, f);
  const TPointI corner{w.MinX, w.MinY};
  std::int32_t best = 2000000000;
  std::int32_t index = 0;
  for (std::size_t k = 0; k < fig.Points.size(); ++k) {
    const std::int32_t d = Round(Distance(fig.Points[k], corner));
    if (d < best) {
      best = d;
      index = static_cast<std::int32_t>(k);
    }
  }
  return index;
}

bool TouchTest(TMDIChild& w, std::int32_t a, std::int32_t b, std::int32_t& ia, std::int32_t& ib) {
  if (a == b) return false;
  tfigura& fa = Fig(w, a);
  tfigura& fb = Fig(w, b);
  for (auto i = static_cast<std::int32_t>(fa.Points.size()) - 1; i >= 0; --i) {
    const TPointI pa = fa.Points[i];
    for (auto j = static_cast<std::int32_t>(fb.Points.size()) - 1; j >= 0; --j) {
      const TPointI pb = fb.Points[j];
      if (std::llabs(std::int64_t{pa.X} - pb.X) <= kTouch &&
          std::llabs(std::int64_t{pa.Y} - pb.Y) <= kTouch) {
        // A start point or connector end snaps onto the vertex it touches.
        if (fa.Kind == 3) fa.Points[i] = pb;
        if (fb.Kind == 3) fb.Points[j] = fa.Points[i];
        ia = i;
        ib = j;
        return true;
      }
    }
  }
  return false;
}

void ResetPlainCutting(TMDIChild& w) {
  const auto before = w.Figures.size();
  std::erase_if(w.Figures, [](const std::unique_ptr<tfigura>& f) { return f->Kind != 0; });
  if (w.Figures.size() != before) {
    // The frame enlarged the box; the drawn figures alone give it back.
    w.Ustaw_PPiPK();
    w.Width = CheckedSub(w.MaxX, w.MinX);
    w.Height = CheckedSub(w.MaxY, w.MinY);
  }
  for (auto& f : w.Figures) {
    f->Unlinked = true;
    f->LinkParent = -1;
    f->LinkVertex = -1;
    f->EntryVertex = 0;
    f->LinkCandidate = 0;
    f->Neighbours.fill(-1);
  }
  w.FrameAdded = false;
  w.ConnectorsDone = false;
  w.HasFrame = false;
  w.MaxDepth = 0;
  w.SelectedFigure = -1;
}

std::vector<char> ReachedFigures(const TMDIChild& w) {
  const std::int32_t n = w.FigureCount();
  // 0 not known yet, 1 on the chain being followed, 2 reached, 3 not reached.
  std::vector<char> state(static_cast<std::size_t>(n), 0);
  std::vector<std::int32_t> chain;
  for (std::int32_t q = 0; q < n; ++q) {
    std::int32_t at = q;
    chain.clear();
    char result = 3;
    while (true) {
      if (state[at] >= 2) {
        result = state[at];
        break;
      }
      if (state[at] == 1) break;  // a cycle of links never reaches the first figure
      const tfigura& f = Fig(w, at);
      if (f.Unlinked) break;
      if (at == w.FirstFigure) {
        result = 2;
        chain.push_back(at);
        break;
      }
      state[at] = 1;
      chain.push_back(at);
      if (f.LinkParent < 0 || f.LinkParent >= n) break;
      at = f.LinkParent;
    }
    for (const std::int32_t c : chain) state[c] = result;
    if (state[q] == 0) state[q] = 3;
  }
  std::vector<char> reached(static_cast<std::size_t>(n));
  for (std::int32_t q = 0; q < n; ++q) reached[q] = state[q] == 2 ? 1 : 0;
  return reached;
}

std::vector<std::int32_t> UnreachedFigures(const TMDIChild& w) {
  const std::vector<char> reached = ReachedFigures(w);
  std::vector<std::int32_t> out;
  for (std::int32_t q = 0; q < w.FigureCount(); ++q)
    if (!reached[q] && Fig(w, q).Kind == 0) out.push_back(q);
  return out;
}

QString FigureNumbers(const std::vector<std::int32_t>& figures, std::size_t shown) {
  QStringList parts;
  for (std::size_t k = 0; k < figures.size() && k < shown; ++k)
    parts << QString::number(figures[k]);
  if (figures.size() > shown) parts << QStringLiteral("...");
  return parts.join(QStringLiteral(", "));
}

QString ReadyTextOf(std::int32_t linked, std::int32_t count) {
  const std::int32_t percent = count == 0 ? 100 : Round(100.0 * double(linked) / double(count));
  return Tr("Project_window", "ready") + QLatin1Char(' ') + QString::number(percent) +
         QLatin1Char('%');
}

QString ReadyText(const TMDIChild& w) {
  std::int32_t linked = 0;
  for (const auto& f : w.Figures) linked += f->Unlinked ? 0 : 1;
  return ReadyTextOf(linked, w.FigureCount());
}

TPlainCutResult PrepareCiecie(TMDIChild& w, const TPlainCutEnv& env) {
  return TCiecie(w, env).Run();
}

}  // namespace vm
