// Connector search of plain cutting (see connector_search.h).
#include "project/connector_search.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <utility>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/ciecie.h"
#include "project/edge_index.h"

namespace vm {

namespace {

constexpr std::int64_t kNoScore = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMaxTimes5 = std::numeric_limits<std::int64_t>::max() / 5;

// Weights apply only at candidate vertices: multiply, then divide by 10.
std::int64_t ApplyWeight(std::int64_t score, const TVertexRec& rec) {
  if (rec.Weighted != 1) return score;
  return CheckedMul<std::int64_t>(score, rec.Weight) / 10;
}

// Squared distance of two points; the checked computation only where the
// sum could leave 64 bits (differences of 2^31 or more).
inline std::int64_t SquaredDistanceFast(TPointI p, TPointI q) {
  const std::int64_t dx = std::int64_t{q.X} - p.X, dy = std::int64_t{q.Y} - p.Y;
  constexpr std::int64_t kSafe = std::int64_t{1} << 31;
  if (dx < kSafe && dx > -kSafe && dy < kSafe && dy > -kSafe) return dx * dx + dy * dy;
  return SquaredDistance(p, q);
}

// Sampling step of a figure: about 250 vertices are tried.
std::int32_t SampleStep(std::size_t pointCount) {
  const double raw = (static_cast<double>(pointCount) - 1.0) / 250.0;
  return std::max<std::int32_t>(1, Round(raw));
}

bool Closed(const tfigura& f) { return f.typ == 1; }

bool Candidate(const tfigura& f, std::int32_t v) {
  return static_cast<std::size_t>(v) < f.VertexRecs.size() && f.VertexRecs[v].Weighted == 1;
}

// The candidate vertices of f from `from` up to `to`, ascending.
std::vector<std::int32_t> Candidates(const tfigura& f, std::int32_t from, std::int32_t to) {
  std::vector<std::int32_t> out;
  for (std::int32_t v = from; v < to; ++v)
    if (Candidate(f, v)) out.push_back(v);
  return out;
}

const TVertexRec& Rec(const tfigura& f, std::int32_t v) {
  if (v < 0 || static_cast<std::size_t>(v) >= f.VertexRecs.size())
    throw RangeError("vertex record index out of range");
  return f.VertexRecs[static_cast<std::size_t>(v)];
}

}  // namespace

std::int32_t PrevVertexIndex(std::int32_t i, std::int32_t n) {
  if (i >= 1) return i - 1;
  // A figure of one point has no other vertex to step to.
  return std::max(0, n - 2);
}

TConnectorSearch::TConnectorSearch(TMDIChild& window) : w_(window) {}

bool TConnectorSearch::FindConnector() { return Run(Variant::Single, -1); }
bool TConnectorSearch::FindConnectorFew(std::int32_t P) { return Run(Variant::Few, P); }
bool TConnectorSearch::FindConnectorMany(std::int32_t P) { return Run(Variant::Many, P); }
bool TConnectorSearch::FindConnectorOrdered() { return Run(Variant::Ordered, -1); }
bool TConnectorSearch::FindConnectorUnordered() { return Run(Variant::Unordered, -1); }

bool TConnectorSearch::Rejected(std::int32_t K, std::int32_t T) const {
  if (rejected_.empty()) return false;
  return rejected_.count((std::uint64_t(std::uint32_t(K)) << 32) | std::uint32_t(T)) != 0;
}

void TConnectorSearch::Reject(std::int32_t K, std::int32_t T) {
  rejected_.insert((std::uint64_t(std::uint32_t(K)) << 32) | std::uint32_t(T));
  ++pairsRejected_;
}

bool TConnectorSearch::ChildOk(Variant v, std::int32_t K, std::int32_t P) const {
  const tfigura& k = *w_.Figures[K];
  if (!k.Unlinked) return false;
  switch (v) {
    case Variant::Single:
      return k.Depth < 2;
    case Variant::Few:
    case Variant::Many:
      return k.NestParent == P;
    case Variant::Ordered:
    case Variant::Unordered:
      return true;
  }
  return false;
}

bool TConnectorSearch::TargetOk(Variant v, std::int32_t K, std::int32_t T, std::int32_t P) const {
  if (K == T) return false;
  const tfigura& t = *w_.Figures[T];
  if (v == Variant::Single) return T == w_.FirstFigure;
  if (t.Unlinked || !t.oryg) return false;
  const tfigura& k = *w_.Figures[K];
  const bool bothClosed = Closed(k) && Closed(t);
  switch (v) {
    case Variant::Few:
    case Variant::Many:
      if (t.NestParent != P && T != P) return false;
      return v == Variant::Few || !bothClosed || IsNeighbour(K, T);
    case Variant::Ordered:
    case Variant::Unordered: {
      if (t.Depth > k.Depth) return false;
      if (T == w_.FirstFigure && Closed(t)) return false;
      if (t.Depth >= 2 && (t.Depth != k.Depth || t.NestParent != k.NestParent)) return false;
      return v == Variant::Unordered || !bothClosed || IsNeighbour(K, T);
    }
    case Variant::Single:
      break;
  }
  return false;
}

template <typename Fn>
void TConnectorSearch::ForPairs(Variant v, std::int32_t K, std::int32_t T, std::int32_t e,
                                Fn&& fn) const {
  const tfigura& k = *w_.Figures[K];
  const tfigura& t = *w_.Figures[T];
  const auto nK = static_cast<std::int32_t>(k.Points.size());
  const auto nT = static_cast<std::int32_t>(t.Points.size());

  switch (v) {
    case Variant::Single: {
      const TPointI& pe = t.Points[e];
      for (std::int32_t i = 0; i < nK; ++i) {
        std::int64_t s = SquaredDistanceFast(k.Points[i], pe);
        s = ApplyWeight(s, Rec(k, i));
        s = ApplyWeight(s, Rec(t, e));
        fn(i, e, s);
      }
      break;
    }
    case Variant::Few:
    case Variant::Unordered: {
      const std::int32_t sK = SampleStep(k.Points.size());
      const std::int32_t sT = SampleStep(t.Points.size());
      const std::int32_t oK = (v == Variant::Few) ? ((k.Depth % 2 != 0) ? -2 : 2) : 0;
      const std::int32_t oT = (v == Variant::Few) ? ((t.Depth % 2 != 0) ? -1 : 1) : 0;
      for (std::int32_t i = 0; i < nK; i += sK) {
        const TPointI pk{CheckedAdd(k.Points[i].X, oK), CheckedAdd(k.Points[i].Y, oK)};
        const TVertexRec& rk = Rec(k, i);
        for (std::int32_t j = 0; j < nT; j += sT) {
          const TPointI pt{CheckedAdd(t.Points[j].X, oT), CheckedAdd(t.Points[j].Y, oT)};
          std::int64_t s = SquaredDistanceFast(pk, pt);
          s = ApplyWeight(s, rk);
          s = ApplyWeight(s, Rec(t, j));
          fn(i, j, s);
        }
      }
      break;
    }
    case Variant::Many: {
      // The candidate vertices of T, listed once for every vertex of K.
      const std::vector<std::int32_t> targets = Candidates(t, 1, nT);
      for (std::int32_t i = 0; i < nK; ++i) {
        if (!Candidate(k, i)) continue;
        for (const std::int32_t j : targets) {
          std::int64_t s = SquaredDistanceFast(k.Points[i], t.Points[j]);
          // ((s * 5) div 10) * 5 div 10 is s div 4 while s * 5 fits.
          if (s <= kMaxTimes5) {
            s >>= 2;
          } else {
            s = CheckedMul<std::int64_t>(s, 5) / 10;
            s = CheckedMul<std::int64_t>(s, 5) / 10;
          }
          fn(i, j, s);
        }
      }
      break;
    }
    case Variant::Ordered: {
      const std::vector<std::int32_t> targets = Candidates(t, 0, nT);
      for (std::int32_t i = 0; i < nK; ++i) {
        if (!Candidate(k, i)) continue;
        const std::int64_t wi = k.VertexRecs[i].Weight;
        for (const std::int32_t j : targets) {
          std::int64_t s = SquaredDistanceFast(k.Points[i], t.Points[j]);
          s = CheckedMul(CheckedMul(s, wi), std::int64_t{t.VertexRecs[j].Weight});
          fn(i, j, s);
        }
      }
      break;
    }
  }
}

bool TConnectorSearch::BestOfPair(Variant v, std::int32_t K, std::int32_t T, std::int32_t e,
                                  Choice& out) const {
  std::int64_t best = kNoScore;
  std::int32_t bi = -1, bj = -1;
  ForPairs(v, K, T, e, [&](std::int32_t i, std::int32_t j, std::int64_t s) {
    if (s < best) {
      best = s;
      bi = i;
      bj = j;
    }
  });
  if (bi < 0) return false;
  out = Choice{best, K, T, bi, bj};
  return true;
}

std::uint64_t TConnectorSearch::PairKey(Variant v, std::int32_t K, std::int32_t T) {
  return (std::uint64_t(v) << 60) | (std::uint64_t(std::uint32_t(K)) << 30) | std::uint32_t(T);
}

bool TConnectorSearch::Dropped(Variant v, std::int32_t K, std::int32_t T) const {
  return Rejected(K, T) || (!blocked_.empty() && blocked_.count(PairKey(v, K, T)) != 0);
}

bool TConnectorSearch::PairChoice(Variant v, std::int32_t K, std::int32_t T, std::int32_t e,
                                  Choice& out) const {
  if (!clearChoice_.empty()) {
    const auto it = clearChoice_.find(PairKey(v, K, T));
    if (it != clearChoice_.end()) {
      out = it->second;
      return true;
    }
  }
  return BestOfPair(v, K, T, e, out);
}

bool TConnectorSearch::CutClear(std::int32_t K, std::int32_t i, std::int32_t T,
                                std::int32_t j) const {
  if (edges_ &&
      edges_->FirstCrossed(w_.Figures[K]->Points.at(i), w_.Figures[T]->Points.at(j), K, T) >= 0)
    return false;
  return ConnectorCrossesFigure(K, i, T, j) < 0;
}

bool TConnectorSearch::BestClearPair(Variant v, std::int32_t K, std::int32_t T, std::int32_t e,
                                     Choice& out) const {
  struct Scored {
    std::int64_t score;
    std::int32_t i, j;
  };
  // Two long figures make many pairs, and every pair tried is tested against
  // the edges of both figures: past this much work the pair is given up like
  // one without a clear cut, and the operator is asked now and then whether
  // to stop.
  constexpr std::size_t kMaxPairs = 4'000'000;
  constexpr std::int64_t kEdgeTests = 50'000'000;
  constexpr std::int64_t kPollEvery = 1'000'000;
  std::vector<Scored> pairs;
  bool tooMany = false;
  ForPairs(v, K, T, e, [&](std::int32_t i, std::int32_t j, std::int64_t s) {
    if (pairs.size() < kMaxPairs)
      pairs.push_back({s, i, j});
    else
      tooMany = true;
  });
  if (tooMany) return false;
  // Score order, and scan order among equal scores, as the search meets them.
  std::sort(pairs.begin(), pairs.end(), [](const Scored& a, const Scored& b) {
    if (a.score != b.score) return a.score < b.score;
    if (a.i != b.i) return a.i < b.i;
    return a.j < b.j;
  });
  // Neighbouring pairs are mostly stopped by the same edge: that one is
  // tried first, then the other drawn figures, then the two joined.
  const auto& pk = w_.Figures[K]->Points;
  const auto& pt = w_.Figures[T]->Points;
  std::int32_t blocker = -1;
  std::int32_t ownFigure = -1, ownBlocker = -1;
  const std::int64_t perTest = static_cast<std::int64_t>(pk.size() + pt.size());
  std::int64_t tests = 0, nextPoll = kPollEvery;
  auto spend = [&](std::int64_t n) {
    tests += n;
    if (tests >= nextPoll) {
      nextPoll = tests + kPollEvery;
      if (abortProbe_ && abortProbe_()) aborted_ = true;
    }
    return aborted_ || tests > kEdgeTests;
  };
  for (const Scored& p : pairs) {
    if (spend(1)) return false;
    const TPointI a = pk.at(p.i), b = pt.at(p.j);
    if (edges_) {
      if (blocker >= 0 && edges_->CutMeetsEdge(a, b, blocker)) continue;
      const std::int32_t e = edges_->FirstCrossedEdge(a, b, K, T);
      if (e >= 0) {
        blocker = e;
        continue;
      }
    }
    // The same for the two joined figures: the edge of theirs that stopped
    // the last pair is tried before the full test over both figures.
    if (ownBlocker >= 0 && CutCrossesOwnEdge(K, p.i, T, p.j, ownFigure, ownBlocker)) continue;
    if (spend(perTest)) return false;
    std::int32_t edge = -1;
    const std::int32_t crossed = ConnectorCrossesFigure(K, p.i, T, p.j, edge);
    if (crossed >= 0) {
      ownFigure = crossed;
      ownBlocker = edge;
      continue;
    }
    out = Choice{p.score, K, T, p.i, p.j};
    return true;
  }
  return false;
}

bool TConnectorSearch::Run(Variant v, std::int32_t P) {
  if (aborted_) return false;
  const bool cached = !(reference_ || v == Variant::Single);
  bool considered = false;
  for (;;) {
    Choice best{kNoScore};
    const bool found = cached ? RunCached(v, P, best) : RunReference(v, P, best);
    if (!found) return considered;

    std::int32_t i = best.i, j = best.j;
    if (!Walk(best.K, best.T, i, j)) {
      if (aborted_) return false;
      // Every cut between these two crosses one of them: give the pair up for
      // the rest of this search, so the caller's loop moves on.
      Reject(best.K, best.T);
      return true;
    }
    if (edges_ && edges_->FirstCrossed(w_.Figures[best.K]->Points.at(i),
                                       w_.Figures[best.T]->Points.at(j), best.K, best.T) >= 0) {
      // The cut would go through another part. The pair takes its place again
      // with its best clear cut, behind the pairs that score better; a pair
      // without one is given up. Then the next best pair is tried.
      considered = true;
      const std::int32_t e = v == Variant::Single ? best.j : -1;
      Choice clear;
      const bool hasClear = BestClearPair(v, best.K, best.T, e, clear);
      if (aborted_) return false;
      if (hasClear) {
        clearChoice_[PairKey(v, best.K, best.T)] = clear;
        if (cached) {
          auto& heap = sessions_[{static_cast<int>(v), P}].heap;
          heap.push_back(clear);
          std::push_heap(heap.begin(), heap.end(), Later{});
        }
      } else {
        blocked_.insert(PairKey(v, best.K, best.T));
        ++pairsBlocked_;
      }
      continue;
    }
    best.i = i;
    best.j = j;
    AddConnector(v, P, best);
    return true;
  }
}

bool TConnectorSearch::NearestClearPair(std::int32_t K, std::int32_t T, std::int64_t limit,
                                        Leftover& out) const {
  const auto& pk = w_.Figures[K]->Points;
  const auto& pt = w_.Figures[T]->Points;
  // Very long figures are tried on about 1000 vertices each.
  const auto step = [](std::size_t n) {
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(n / 1000));
  };
  const std::int32_t sK = step(pk.size()), sT = step(pt.size());
  struct Pair {
    std::int64_t sq;
    std::int32_t i, j;
  };
  std::vector<Pair> pairs;
  // The program's own first figure (frame or start point) is joined only at
  // its entry vertex: a frame that is not cut is travelled straight from one
  // attachment to the next, which must not lead across the drawing.
  const tfigura& t = *w_.Figures[T];
  const bool entryOnly = T == w_.FirstFigure && !t.oryg;
  const std::int32_t e = entryOnly ? NearestEntryPoint(w_, T) : -1;
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(pk.size()); i += sK)
    for (std::int32_t j = 0; j < static_cast<std::int32_t>(pt.size()); j += sT) {
      if (entryOnly && j != e) continue;
      const std::int64_t sq = SquaredDistance(pk[i], pt[j]);
      if (sq < limit) pairs.push_back({sq, i, j});
    }
  std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
    if (a.sq != b.sq) return a.sq < b.sq;
    if (a.i != b.i) return a.i < b.i;
    return a.j < b.j;
  });
  for (const Pair& p : pairs) {
    if (CutClear(K, p.i, T, p.j)) {
      out = Leftover{true, p.sq, T, p.i, p.j};
      return true;
    }
  }
  return false;
}

bool TConnectorSearch::FindConnectorClear() {
  const std::int32_t n = w_.FigureCount();
  leftover_.resize(static_cast<std::size_t>(n));
  leftoverTarget_.resize(static_cast<std::size_t>(n), 0);
  // Boxes of the figures, for the least distance a pair of two can have.
  // Drawn figures do not move; the program's own first figure is measured
  // afresh (a start point snaps onto a vertex it touches).
  if (bounds_.empty()) BuildBounds();
  auto boxOf = [&](std::int32_t q) {
    return static_cast<std::size_t>(q) < bounds_.size() && q != w_.FirstFigure ? bounds_[q]
                                                                               : BoundOf(q);
  };
  auto least = [](const Bound& a, const Bound& b) {
    const std::int64_t gx = std::max<std::int64_t>({0, b.x0 - a.x1, a.x0 - b.x1});
    const std::int64_t gy = std::max<std::int64_t>({0, b.y0 - a.y1, a.y0 - b.y1});
    return CheckedAdd(CheckedMul(gx, gx), CheckedMul(gy, gy));
  };

  // Reached figures not looked at yet join the targets: drawn ones and the
  // first figure. A figure joined to a parent that is not reached itself
  // does not count: the path gets to it only when its parent is joined.
  const std::size_t before = leftTargets_.size();
  const std::vector<char> reached = ReachedFigures(w_);
  for (std::int32_t q = 0; q < n; ++q) {
    const tfigura& f = *w_.Figures[q];
    if (leftoverTarget_[q] || !reached[q] || f.Points.empty()) continue;
    if (!f.oryg && q != w_.FirstFigure) continue;
    leftoverTarget_[q] = 1;
    leftTargets_.push_back(q);
    leftTargetBoxes_.push_back(boxOf(q));
  }
  const std::size_t count = leftTargets_.size();

  // Every unreached figure knows its nearest clear cut to the targets it has
  // looked at, and the least distance to those it has not. Only figures whose
  // least distance could beat the nearest cut found so far look further, the
  // nearest first.
  std::vector<std::int32_t> open;
  std::int64_t nearest = kNoScore;
  for (std::int32_t K = 0; K < n; ++K) {
    const tfigura& k = *w_.Figures[K];
    if (!k.Unlinked || k.Points.empty()) continue;
    Leftover& L = leftover_[K];
    const Bound kb = boxOf(K);
    for (std::size_t t = std::max(before, L.done); t < count; ++t)
      L.rest = std::min(L.rest, least(kb, leftTargetBoxes_[t]));
    if (L.valid) nearest = std::min(nearest, L.sq);
    if (L.done < count) open.push_back(K);
  }
  std::sort(open.begin(), open.end(), [&](std::int32_t a, std::int32_t b) {
    return leftover_[a].rest != leftover_[b].rest ? leftover_[a].rest < leftover_[b].rest : a < b;
  });
  std::vector<std::pair<std::int64_t, std::size_t>> order;
  for (const std::int32_t K : open) {
    Leftover& L = leftover_[K];
    if (L.rest > nearest) break;
    const Bound kb = boxOf(K);
    order.clear();
    for (std::size_t t = L.done; t < count; ++t)
      order.emplace_back(least(kb, leftTargetBoxes_[t]), t);
    std::sort(order.begin(), order.end());
    for (const auto& [lb, t] : order) {
      const std::int64_t limit = L.valid ? L.sq : kNoScore;
      if (lb >= limit) break;
      Leftover found;
      if (NearestClearPair(K, leftTargets_[t], limit, found)) {
        found.done = L.done;
        L = found;
      }
    }
    L.done = count;
    L.rest = kNoScore;
    if (L.valid) nearest = std::min(nearest, L.sq);
  }

  std::int32_t bestK = -1;
  for (std::int32_t K = 0; K < n; ++K) {
    const tfigura& k = *w_.Figures[K];
    if (!k.Unlinked || k.Points.empty() || !leftover_[K].valid) continue;
    if (bestK < 0 || leftover_[K].sq < leftover_[bestK].sq) bestK = K;
  }
  if (bestK < 0) return false;
  const Leftover& b = leftover_[bestK];
  AddConnector(Variant::Unordered, -1, Choice{b.sq, bestK, b.T, b.i, b.j});
  return true;
}

bool TConnectorSearch::RunReference(Variant v, std::int32_t P, Choice& best) {
  const auto n = w_.FigureCount();
  std::int32_t e = -1;
  if (v == Variant::Single) {
    if (w_.FirstFigure < 0 || w_.FirstFigure >= n) return false;
    e = NearestEntryPoint(w_, w_.FirstFigure);
  }
  bool found = false;
  for (std::int32_t K = 0; K < n; ++K) {
    if (!ChildOk(v, K, P)) continue;
    const std::int32_t tFrom = (v == Variant::Single) ? w_.FirstFigure : 0;
    const std::int32_t tTo = (v == Variant::Single) ? w_.FirstFigure + 1 : n;
    for (std::int32_t T = tFrom; T < tTo; ++T) {
      if (!TargetOk(v, K, T, P) || Dropped(v, K, T)) continue;
      found = true;
      Choice c;
      if (PairChoice(v, K, T, e, c) && c.score < best.score) best = c;
    }
  }
  return found && best.K >= 0;
}

void TConnectorSearch::BuildChildLists() {
  const auto n = w_.FigureCount();
  children_.assign(static_cast<std::size_t>(n), {});
  openChildren_.assign(static_cast<std::size_t>(n), {});
  open_.clear();
  for (std::int32_t q = 0; q < n; ++q) {
    const tfigura& f = *w_.Figures[q];
    const bool hasParent = f.NestParent >= 0 && f.NestParent < n;
    if (hasParent) children_[f.NestParent].push_back(q);
    if (Closed(f)) continue;
    open_.push_back(q);
    if (hasParent) openChildren_[f.NestParent].push_back(q);
  }
  BuildBounds();
  childListsBuilt_ = true;
}

void TConnectorSearch::BuildBounds() {
  const auto n = w_.FigureCount();
  bounds_.assign(static_cast<std::size_t>(n), Bound{});
  for (std::int32_t q = 0; q < n; ++q) bounds_[q] = BoundOf(q);
}

TConnectorSearch::Bound TConnectorSearch::BoundOf(std::int32_t q) const {
  const tfigura& f = *w_.Figures[q];
  Bound b;
  if (f.Points.empty()) return b;  // an empty box: no bound
  b = Bound{INT64_MAX, INT64_MAX, INT64_MIN, INT64_MIN, 10};
  for (const TPointI& p : f.Points) {
    b.x0 = std::min<std::int64_t>(b.x0, p.X);
    b.y0 = std::min<std::int64_t>(b.y0, p.Y);
    b.x1 = std::max<std::int64_t>(b.x1, p.X);
    b.y1 = std::max<std::int64_t>(b.y1, p.Y);
  }
  if (f.VertexRecs.size() != f.Points.size()) {
    b.minWeight = 0;  // no weights known: no bound on the scores
    return b;
  }
  for (const TVertexRec& r : f.VertexRecs)
    if (r.Weighted == 1) b.minWeight = std::min<std::int64_t>(b.minWeight, r.Weight);
  return b;
}

std::int64_t TConnectorSearch::LowerBound(Variant v, std::int32_t K, std::int32_t T) const {
  if (static_cast<std::size_t>(K) >= bounds_.size() ||
      static_cast<std::size_t>(T) >= bounds_.size())
    return 0;
  const Bound& k = bounds_[K];
  const Bound& t = bounds_[T];
  if (k.x1 < k.x0 || t.x1 < t.x0 || k.minWeight < 1 || t.minWeight < 1) return 0;
  std::int64_t gx = std::max<std::int64_t>({0, t.x0 - k.x1, k.x0 - t.x1});
  std::int64_t gy = std::max<std::int64_t>({0, t.y0 - k.y1, k.y0 - t.y1});
  if (v == Variant::Few) {
    // The points are shifted diagonally by up to 2 and 1 units.
    gx = std::max<std::int64_t>(0, gx - 3);
    gy = std::max<std::int64_t>(0, gy - 3);
  }
  constexpr std::int64_t kSafe = std::int64_t{1} << 30;
  if (gx >= kSafe || gy >= kSafe) return 0;
  const std::int64_t sq = gx * gx + gy * gy;  // below 2^61
  switch (v) {
    case Variant::Few:
    case Variant::Unordered:
      // Each end's weight w applies as * w div 10 (factor 1 off the candidates).
      return (sq * k.minWeight / 10) * t.minWeight / 10;
    case Variant::Many:
      return sq >> 2;
    case Variant::Ordered: {
      const __int128 b = __int128(sq) * k.minWeight * t.minWeight;
      return b >= __int128(kNoScore) ? 0 : static_cast<std::int64_t>(b);
    }
    case Variant::Single:
      break;
  }
  return 0;
}

void TConnectorSearch::ForgetParent() {
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    const auto v = static_cast<Variant>(it->first.first);
    if (v == Variant::Few || v == Variant::Many)
      it = sessions_.erase(it);
    else
      ++it;
  }
}

bool TConnectorSearch::TargetNow(Variant v, std::int32_t T, std::int32_t P) const {
  const tfigura& t = *w_.Figures[T];
  if (t.Unlinked || !t.oryg) return false;
  if (v == Variant::Few || v == Variant::Many) return t.NestParent == P || T == P;
  return !(T == w_.FirstFigure && Closed(t));
}

void TConnectorSearch::ConsiderPair(Session& s, Variant v, std::int32_t K, std::int32_t T,
                                    std::int32_t P) const {
  if (!ChildOk(v, K, P) || !TargetOk(v, K, T, P) || Dropped(v, K, T)) return;
  // Scored when it comes to the top of the heap.
  s.heap.push_back(Choice{LowerBound(v, K, T), K, T, -1, -1});
  std::push_heap(s.heap.begin(), s.heap.end(), Later{});
}

void TConnectorSearch::AddTargetPairs(Session& s, Variant v, std::int32_t T, std::int32_t P) {
  const tfigura& t = *w_.Figures[T];
  // Closed children pair with a closed target only when they are among its
  // nearest figures, so those come from the target's neighbour list.
  auto closedNeighbours = [&](auto&& accept) {
    if (static_cast<std::size_t>(T) >= neighbourFilled_.size()) return;
    for (int e = 0; e < neighbourFilled_[T]; ++e) {
      const std::int32_t K = t.Neighbours[e];
      if (K >= 0 && K < w_.FigureCount() && Closed(*w_.Figures[K]) && accept(K))
        ConsiderPair(s, v, K, T, P);
    }
  };
  // The other children come from the tree: the open ones always, the closed
  // ones where no neighbour test applies.
  bool closedToo = false;
  const bool hasChildren = P >= 0 && static_cast<std::size_t>(P) < children_.size();
  switch (v) {
    case Variant::Few:
      if (!hasChildren) return;
      closedToo = true;
      break;
    case Variant::Many:
      if (!hasChildren) return;
      closedToo = !Closed(t);
      if (!closedToo)
        closedNeighbours([&](std::int32_t K) { return w_.Figures[K]->NestParent == P; });
      break;
    case Variant::Ordered:
      closedToo = !Closed(t);
      if (!closedToo) closedNeighbours([](std::int32_t) { return true; });
      break;
    case Variant::Unordered:
      closedToo = true;
      break;
    case Variant::Single:
      return;
  }
  // Each half of the tree is built when a target first needs it.
  BoxTree& tree = s.tree;
  if (!tree.openBuilt) {
    tree.openRoot = BuildRoot(s, v, P, false);
    tree.openBuilt = true;
  }
  if (closedToo && !tree.closedBuilt) {
    tree.closedRoot = BuildRoot(s, v, P, true);
    tree.closedBuilt = true;
  }
  Generator gen;
  gen.T = T;
  for (const std::int32_t root : {tree.openRoot, closedToo ? tree.closedRoot : -1}) {
    if (root < 0 || tree.nodes[root].live == 0) continue;
    gen.queue.emplace_back(NodeBound(v, T, tree.nodes[root]), root);
  }
  if (gen.queue.empty()) return;
  std::make_heap(gen.queue.begin(), gen.queue.end(), std::greater<>{});
  const auto g = static_cast<std::int32_t>(s.gens.size());
  s.gens.push_back(std::move(gen));
  s.genOf[T] = g;
  PushGenerator(s, g);
}

void TConnectorSearch::PushGenerator(Session& s, std::int32_t g) {
  const Generator& gen = s.gens[g];
  s.heap.push_back(Choice{gen.queue.front().first, -1, gen.T, g, -1});
  std::push_heap(s.heap.begin(), s.heap.end(), Later{});
}

void TConnectorSearch::StepGenerator(Session& s, Variant v, std::int32_t g, std::int32_t P) {
  auto& queue = s.gens[g].queue;
  const std::int32_t T = s.gens[g].T;
  std::pop_heap(queue.begin(), queue.end(), std::greater<>{});
  const std::int32_t at = queue.back().second;
  queue.pop_back();
  const BoxTree& tree = s.tree;
  const BoxTree::Node& node = tree.nodes[at];
  if (node.live == 0) return;
  if (node.left < 0) {
    for (std::int32_t slot = node.begin; slot < node.end; ++slot)
      if (tree.itemLive[slot]) ConsiderPair(s, v, tree.items[slot], T, P);
    return;
  }
  // A target joins children only as deep as itself or deeper.
  const bool depthRule = v == Variant::Ordered || v == Variant::Unordered;
  const std::int32_t depth = w_.Figures[T]->Depth;
  for (const std::int32_t child : {node.left, node.right}) {
    const BoxTree::Node& c = tree.nodes[child];
    if (c.live == 0 || (depthRule && c.maxDepth < depth)) continue;
    queue.emplace_back(NodeBound(v, T, c), child);
    std::push_heap(queue.begin(), queue.end(), std::greater<>{});
  }
}

std::int64_t TConnectorSearch::NodeBound(Variant v, std::int32_t T,
                                         const BoxTree::Node& node) const {
  const Bound t = static_cast<std::size_t>(T) < bounds_.size() ? bounds_[T] : BoundOf(T);
  if (t.x1 < t.x0 || node.x1 < node.x0) return 0;
  std::int64_t gx = std::max<std::int64_t>({0, t.x0 - node.x1, node.x0 - t.x1});
  std::int64_t gy = std::max<std::int64_t>({0, t.y0 - node.y1, node.y0 - t.y1});
  if (v == Variant::Few) {
    // The points are shifted diagonally by up to 2 and 1 units.
    gx = std::max<std::int64_t>(0, gx - 3);
    gy = std::max<std::int64_t>(0, gy - 3);
  }
  // Gaps stay below 2^34, so the products fit 128 bits.
  const __int128 sq = __int128(gx) * gx + __int128(gy) * gy;
  __int128 b = 0;
  switch (v) {
    case Variant::Few:
    case Variant::Unordered:
      // Each end's weight w applies as * w div 10 (factor 1 off the candidates).
      if (node.minWeight < 1 || t.minWeight < 1) return 0;
      b = (sq * node.minWeight / 10) * t.minWeight / 10;
      break;
    case Variant::Many:
      b = sq >> 2;
      break;
    case Variant::Ordered:
      if (node.minWeight < 1 || t.minWeight < 1) return 0;
      b = sq * node.minWeight * t.minWeight;
      break;
    case Variant::Single:
      return 0;
  }
  return b >= __int128(kNoScore) ? kNoScore : static_cast<std::int64_t>(b);
}

std::int32_t TConnectorSearch::BuildRoot(Session& s, Variant v, std::int32_t P, bool closed) {
  BoxTree& tree = s.tree;
  // The children unreached now; those reached before the root is built stay
  // out of it.
  std::vector<std::int32_t> figs;
  auto take = [&](std::int32_t K) {
    if (Closed(*w_.Figures[K]) == closed && ChildOk(v, K, P)) figs.push_back(K);
  };
  if (v == Variant::Few || v == Variant::Many) {
    if (P >= 0 && static_cast<std::size_t>(P) < children_.size())
      for (const std::int32_t K : children_[P]) take(K);
  } else {
    for (std::int32_t q = 0; q < w_.FigureCount(); ++q) take(q);
  }
  const auto count = static_cast<std::int32_t>(figs.size());
  if (count == 0) return -1;
  // A figure without points has no box: it lies everywhere for the search.
  constexpr std::int64_t kFar = std::int64_t{1} << 40;
  std::vector<Bound> boxes(static_cast<std::size_t>(count));
  for (std::int32_t k = 0; k < count; ++k) {
    const std::int32_t K = figs[k];
    Bound b = static_cast<std::size_t>(K) < bounds_.size() ? bounds_[K] : BoundOf(K);
    if (b.x1 < b.x0) b = Bound{-kFar, -kFar, kFar, kFar, 0};
    boxes[k] = b;
  }
  std::vector<std::int32_t> order(static_cast<std::size_t>(count));
  for (std::int32_t k = 0; k < count; ++k) order[k] = k;
  std::vector<std::int32_t> leafOf(static_cast<std::size_t>(count), -1);
  const auto base = static_cast<std::int32_t>(tree.items.size());
  constexpr std::int32_t kLeaf = 8;
  // Halves at the median centre along the longer side of the centres' box.
  auto build = [&](auto&& self, std::int32_t lo, std::int32_t hi, std::int32_t up) -> std::int32_t {
    const auto at = static_cast<std::int32_t>(tree.nodes.size());
    tree.nodes.emplace_back();
    BoxTree::Node node;
    node.x0 = node.y0 = INT64_MAX;
    node.x1 = node.y1 = INT64_MIN;
    node.minWeight = INT64_MAX;
    node.maxDepth = INT32_MIN;
    std::int64_t cx0 = INT64_MAX, cy0 = INT64_MAX, cx1 = INT64_MIN, cy1 = INT64_MIN;
    for (std::int32_t k = lo; k < hi; ++k) {
      const Bound& b = boxes[order[k]];
      node.x0 = std::min(node.x0, b.x0);
      node.y0 = std::min(node.y0, b.y0);
      node.x1 = std::max(node.x1, b.x1);
      node.y1 = std::max(node.y1, b.y1);
      node.minWeight = std::min(node.minWeight, b.minWeight);
      node.maxDepth = std::max(node.maxDepth, w_.Figures[figs[order[k]]]->Depth);
      cx0 = std::min(cx0, b.x0 + b.x1);
      cx1 = std::max(cx1, b.x0 + b.x1);
      cy0 = std::min(cy0, b.y0 + b.y1);
      cy1 = std::max(cy1, b.y0 + b.y1);
    }
    node.live = hi - lo;
    node.up = up;
    node.begin = base + lo;
    node.end = base + hi;
    if (hi - lo > kLeaf) {
      const bool alongX = cx1 - cx0 >= cy1 - cy0;
      const std::int32_t mid = lo + (hi - lo) / 2;
      std::nth_element(order.begin() + lo, order.begin() + mid, order.begin() + hi,
                       [&](std::int32_t a, std::int32_t b) {
                         const Bound& p = boxes[a];
                         const Bound& q = boxes[b];
                         const std::int64_t ka = alongX ? p.x0 + p.x1 : p.y0 + p.y1;
                         const std::int64_t kb = alongX ? q.x0 + q.x1 : q.y0 + q.y1;
                         return ka != kb ? ka < kb : a < b;
                       });
      node.left = self(self, lo, mid, at);
      node.right = self(self, mid, hi, at);
    } else {
      for (std::int32_t k = lo; k < hi; ++k) leafOf[order[k]] = at;
    }
    tree.nodes[at] = node;
    return at;
  };
  const std::int32_t root = build(build, 0, count, -1);
  // The figures in leaf order, each slot knowing its figure and its leaf.
  for (std::int32_t k = 0; k < count; ++k) {
    tree.items.push_back(figs[order[k]]);
    tree.itemLeaf.push_back(leafOf[order[k]]);
    tree.itemLive.push_back(1);
    tree.slotOf.emplace_back(figs[order[k]], base + k);
  }
  std::sort(tree.slotOf.begin(), tree.slotOf.end());
  return root;
}

void TConnectorSearch::TreeRemove(BoxTree& tree, std::int32_t K) const {
  const auto it = std::lower_bound(tree.slotOf.begin(), tree.slotOf.end(),
                                   std::pair<std::int32_t, std::int32_t>{K, INT32_MIN});
  if (it == tree.slotOf.end() || it->first != K) return;
  const std::int32_t slot = it->second;
  if (!tree.itemLive[slot]) return;
  tree.itemLive[slot] = 0;
  for (std::int32_t at = tree.itemLeaf[slot]; at >= 0; at = tree.nodes[at].up)
    --tree.nodes[at].live;
}

bool TConnectorSearch::RunCached(Variant v, std::int32_t P, Choice& best) {
  const auto n = w_.FigureCount();
  if (!childListsBuilt_) BuildChildLists();
  const bool perParent = v == Variant::Few || v == Variant::Many;
  auto [it, created] = sessions_.try_emplace({static_cast<int>(v), P});
  Session& s = it->second;
  s.seen.resize(static_cast<std::size_t>(n), 0);
  auto admit = [&](std::int32_t T) {
    if (s.seen[T] || !TargetNow(v, T, P)) return false;
    AddTargetPairs(s, v, T, P);
    s.seen[T] = 1;
    return true;
  };
  const bool hasParent = P >= 0 && P < n;
  if (created) {
    if (perParent) {
      if (static_cast<std::size_t>(P) < children_.size())
        for (const std::int32_t K : children_[P]) admit(K);
      if (hasParent && !admit(P)) s.recheck.push_back(P);
    } else {
      for (std::int32_t q = 0; q < n; ++q) admit(q);
    }
  } else {
    // Figures reached since the last call leave the children and bring
    // their pairs in as targets.
    for (std::size_t k = s.linkedSeen; k < linked_.size(); ++k) TreeRemove(s.tree, linked_[k]);
    for (std::size_t k = s.linkedSeen; k < linked_.size(); ++k) {
      const std::int32_t q = linked_[k];
      if (!perParent || q == P || w_.Figures[q]->NestParent == P) admit(q);
    }
    std::erase_if(s.recheck, admit);
  }
  s.linkedSeen = linked_.size();

  auto dropGenerator = [&](std::int32_t g) {
    const auto at = s.genOf.find(s.gens[g].T);
    if (at != s.genOf.end() && at->second == g) s.genOf.erase(at);
    std::vector<std::pair<std::int64_t, std::int32_t>>().swap(s.gens[g].queue);
  };
  while (!s.heap.empty()) {
    const Choice top = s.heap.front();
    if (top.K < 0) {
      // A target's pairs not built yet: build the nearest ones.
      std::pop_heap(s.heap.begin(), s.heap.end(), Later{});
      s.heap.pop_back();
      const std::int32_t g = top.i;
      const auto at = s.genOf.find(top.T);
      if (at == s.genOf.end() || at->second != g) {
        dropGenerator(g);  // the target came back with a new one
        continue;
      }
      if (!TargetNow(v, top.T, P)) {
        // The target is not reached any more: its pairs come back when it is.
        if (s.seen[top.T]) {
          s.seen[top.T] = 0;
          s.recheck.push_back(top.T);
        }
        dropGenerator(g);
        continue;
      }
      StepGenerator(s, v, g, P);
      if (s.gens[g].queue.empty())
        dropGenerator(g);
      else
        PushGenerator(s, g);
      continue;
    }
    const bool targetOk = TargetOk(v, top.K, top.T, P);
    const bool valid = ChildOk(v, top.K, P) && targetOk && !Dropped(v, top.K, top.T);
    if (valid && top.i >= 0) break;
    if (!valid && !targetOk && !TargetNow(v, top.T, P) && s.seen[top.T]) {
      // The target is not reached any more: its pairs come back when it is.
      s.seen[top.T] = 0;
      s.recheck.push_back(top.T);
    }
    std::pop_heap(s.heap.begin(), s.heap.end(), Later{});
    s.heap.pop_back();
    if (valid) {
      // A pair known only by its lower bound: scored, it goes back in line.
      Choice c;
      if (PairChoice(v, top.K, top.T, -1, c)) {
        s.heap.push_back(c);
        std::push_heap(s.heap.begin(), s.heap.end(), Later{});
      }
    }
  }
  if (s.heap.empty()) return false;
  best = s.heap.front();
  std::pop_heap(s.heap.begin(), s.heap.end(), Later{});
  s.heap.pop_back();
  return true;
}

bool TConnectorSearch::Walk(std::int32_t K, std::int32_t T, std::int32_t& i,
                            std::int32_t& j) const {
  const auto nK = static_cast<std::int32_t>(w_.Figures[K]->Points.size());
  const auto nT = static_cast<std::int32_t>(w_.Figures[T]->Points.size());
  const std::int32_t i0 = i, j0 = j;
  // Every step tests the cut against the edges of both figures. A walk of
  // this many edge tests is given up like one that runs round; the operator
  // is asked now and then whether to stop.
  constexpr std::int64_t kWalkEdgeTests = 50'000'000;
  constexpr std::int64_t kPollEvery = 1'000'000;
  const std::int64_t perStep = std::int64_t{nK} + nT;
  std::int64_t tests = 0, nextPoll = kPollEvery;
  auto overBudget = [&] {
    tests += perStep;
    if (tests >= nextPoll) {
      nextPoll += kPollEvery;
      if (abortProbe_ && abortProbe_()) aborted_ = true;
    }
    return aborted_ || tests > kWalkEdgeTests;
  };
  using State = std::pair<std::int32_t, std::int32_t>;
  // One step back from a crossing cut: move the end on the crossed figure;
  // when it comes back to where it started, move the other end as well.
  auto step = [&](State s, std::int32_t r) {
    if (r == T) {
      s.second = PrevVertexIndex(s.second, nT);
      if (s.second == j0) s.first = PrevVertexIndex(s.first, nK);
    } else {
      s.first = PrevVertexIndex(s.first, nK);
      if (s.first == i0) s.second = PrevVertexIndex(s.second, nT);
    }
    return s;
  };
  // The walk is a fixed function of the pair, so it either reaches a free cut
  // or runs into a cycle; Brent's cycle detection ends it in the second case.
  State tortoise{i, j};
  std::int32_t r = ConnectorCrossesFigure(K, i, T, j);
  if (r < 0) return true;
  State hare = step(tortoise, r);
  std::uint64_t power = 1, lambda = 1;
  for (;;) {
    if (overBudget()) return false;
    r = ConnectorCrossesFigure(K, hare.first, T, hare.second);
    if (r < 0) {
      i = hare.first;
      j = hare.second;
      return true;
    }
    if (hare == tortoise) return false;
    if (power == lambda) {
      tortoise = hare;
      power *= 2;
      lambda = 0;
    }
    hare = step(hare, r);
    ++lambda;
  }
}

std::int32_t TConnectorSearch::ConnectorCrossesFigure(std::int32_t K, std::int32_t i,
                                                      std::int32_t T, std::int32_t j) const {
  std::int32_t edge = -1;
  return ConnectorCrossesFigure(K, i, T, j, edge);
}

std::int32_t TConnectorSearch::ConnectorCrossesFigure(std::int32_t K, std::int32_t i,
                                                      std::int32_t T, std::int32_t j,
                                                      std::int32_t& edge) const {
  const tfigura& k = *w_.Figures[K];
  const tfigura& t = *w_.Figures[T];
  const TPointI a = k.Points.at(i);
  const TPointI b = t.Points.at(j);
  const TSegment cut{a.X, a.Y, b.X, b.Y};
  auto crossesFigure = [&](const tfigura& f, std::int32_t v) {
    const auto n = static_cast<std::int32_t>(f.Points.size());
    for (std::int32_t e = 0; e + 1 < n; ++e) {
      if (e == v || e + 1 == v) continue;
      const TSegment s{f.Points[e].X, f.Points[e].Y, f.Points[e + 1].X, f.Points[e + 1].Y};
      if (SegmentsCross(s, cut)) {
        edge = e;
        return true;
      }
    }
    if (Closed(f) && n > 0) {
      const TSegment s{f.Points[n - 1].X, f.Points[n - 1].Y, f.Points[0].X, f.Points[0].Y};
      if (SegmentsCross(s, cut)) {
        edge = n - 1;
        return true;
      }
    }
    return false;
  };
  if (crossesFigure(k, i)) return K;
  if (crossesFigure(t, j)) return T;
  return -1;
}

bool TConnectorSearch::CutCrossesOwnEdge(std::int32_t K, std::int32_t i, std::int32_t T,
                                         std::int32_t j, std::int32_t fig,
                                         std::int32_t e) const {
  // The same edges as ConnectorCrossesFigure tests: not the two at the cut's
  // own end, and the closing edge only of a closed figure.
  const tfigura& f = *w_.Figures[fig];
  const auto n = static_cast<std::int32_t>(f.Points.size());
  if (e < 0 || e >= n) return false;
  const std::int32_t v = fig == K ? i : j;
  std::int32_t next = e + 1;
  if (next == n) {
    if (!Closed(f)) return false;
    next = 0;
  } else if (e == v || next == v) {
    return false;
  }
  const TPointI a = w_.Figures[K]->Points.at(i);
  const TPointI b = w_.Figures[T]->Points.at(j);
  const TSegment s{f.Points[e].X, f.Points[e].Y, f.Points[next].X, f.Points[next].Y};
  return SegmentsCross(s, TSegment{a.X, a.Y, b.X, b.Y});
}

void TConnectorSearch::AddConnector(Variant v, std::int32_t P, const Choice& c) {
  const TPointI A = w_.Figures[c.T]->Points[c.j];
  const TPointI B = w_.Figures[c.K]->Points[c.i];
  auto fig = std::make_unique<tfigura>();
  fig->Points = {A, B};
  const std::int32_t idx = w_.AddLacznik(std::move(fig), 0);
  tfigura& conn = *w_.Figures[idx];
  tfigura& k = *w_.Figures[c.K];
  const tfigura& t = *w_.Figures[c.T];
  conn.Index = idx;
  conn.fig_pp = {std::min(A.X, B.X), std::min(A.Y, B.Y)};
  conn.fig_pk = {std::max(A.X, B.X), std::max(A.Y, B.Y)};
  conn.Kind = 3;
  conn.typ = 0;
  conn.oryg = false;
  conn.NestParent = (v == Variant::Few || v == Variant::Many) ? P : 0;
  conn.LinkParent = c.T;
  conn.LinkVertex = c.j;
  conn.EntryVertex = 0;
  conn.Unlinked = false;
  conn.Depth = std::max(k.Depth, t.Depth);
  conn.ChildCount = 0;
  conn.Neighbours.fill(-1);
  conn.VertexRecs.assign(2, TVertexRec{std::numbers::pi / 2, 5, 1});

  k.EntryVertex = c.i;
  k.LinkParent = idx;
  k.LinkVertex = 1;
  k.Unlinked = false;
  linked_.push_back(c.K);
  ++connectorsAdded_;
}

bool TConnectorSearch::IsNeighbour(std::int32_t K, std::int32_t T) const {
  if (!neighboursBuilt_ || T < 0 || static_cast<std::size_t>(T) >= neighbourFilled_.size())
    return false;
  const tfigura& t = *w_.Figures[T];
  for (int e = 0; e < neighbourFilled_[T]; ++e)
    if (t.Neighbours[e] == K) return true;
  return false;
}

void TConnectorSearch::BuildNeighbourLists() {
  if (reference_ || !BuildNeighbourListsGrid()) BuildNeighbourListsReference();
  neighboursBuilt_ = true;
}

namespace {

// Distance key of figure s in r's list: centre distance rounded, plus a
// penalty when s is shallower than r and another when s is nested in r.
std::int64_t NeighbourKey(const TMDIChild& w, std::int32_t r, std::int32_t s) {
  const tfigura& fr = *w.Figures[r];
  const tfigura& fs = *w.Figures[s];
  std::int64_t d = Round64(Distance(fr.Centre, fs.Centre));
  if (fr.Depth > fs.Depth) d += 500000000;
  if (fs.NestParent == r) d += 500000000;
  return d;
}

void StoreNeighbours(tfigura& f, const std::vector<std::pair<std::int64_t, std::int32_t>>& d,
                     int m) {
  f.Neighbours.fill(-1);
  for (int e = 0; e < m; ++e) f.Neighbours[e] = d[e].second;
}

}  // namespace

void TConnectorSearch::BuildNeighbourListsReference() {
  const auto n = w_.FigureCount();
  neighbourFilled_.assign(static_cast<std::size_t>(n), 0);
  std::vector<std::pair<std::int64_t, std::int32_t>> d(static_cast<std::size_t>(n));
  const int m = std::min<int>(kNeighbourCount, n);
  for (std::int32_t r = 0; r < n; ++r) {
    for (std::int32_t s = 0; s < n; ++s) d[s] = {NeighbourKey(w_, r, s), s};
    // Ascending by distance, equal distances in list order (a stable order):
    // the pair comparison on (distance, index) gives exactly that.
    std::partial_sort(d.begin(), d.begin() + m, d.end());
    StoreNeighbours(*w_.Figures[r], d, m);
    neighbourFilled_[r] = m;
  }
}

// The same lists from a grid of the centres. While every centre distance
// stays below the penalty, the figures without a penalty (as deep as r or
// deeper, and not nested in r) come first in r's list; when there are at
// least 22 of them, the nearest 22 of those are r's list, found by searching
// rings of cells outwards from r's cell. Other figures fall back to the full
// comparison. Returns false when the centres lie too far apart for that.
bool TConnectorSearch::BuildNeighbourListsGrid() {
  const auto n = w_.FigureCount();
  if (n == 0) return false;
  std::int64_t minX = INT64_MAX, minY = INT64_MAX, maxX = INT64_MIN, maxY = INT64_MIN;
  for (const auto& f : w_.Figures) {
    minX = std::min<std::int64_t>(minX, f->Centre.X);
    minY = std::min<std::int64_t>(minY, f->Centre.Y);
    maxX = std::max<std::int64_t>(maxX, f->Centre.X);
    maxY = std::max<std::int64_t>(maxY, f->Centre.Y);
  }
  const std::int64_t spanX = maxX - minX, spanY = maxY - minY;
  if (spanX > 300000000 || spanY > 300000000) return false;

  const int m = std::min<int>(kNeighbourCount, n);
  // Figures at each depth or deeper, and each figure's nested figures that
  // are not shallower than itself: what its penalty-free count leaves out.
  std::int32_t maxDepth = 0, minDepth = 0;
  for (const auto& f : w_.Figures) {
    maxDepth = std::max(maxDepth, f->Depth);
    minDepth = std::min(minDepth, f->Depth);
  }
  std::vector<std::int32_t> atLeast(static_cast<std::size_t>(maxDepth - minDepth + 2), 0);
  std::vector<std::int32_t> nestedNotShallower(static_cast<std::size_t>(n), 0);
  for (std::int32_t s = 0; s < n; ++s) {
    const tfigura& f = *w_.Figures[s];
    ++atLeast[f.Depth - minDepth];
    if (f.NestParent >= 0 && f.NestParent < n && f.Depth >= w_.Figures[f.NestParent]->Depth)
      ++nestedNotShallower[f.NestParent];
  }
  for (auto k = static_cast<std::ptrdiff_t>(atLeast.size()) - 2; k >= 0; --k)
    atLeast[k] += atLeast[k + 1];

  const double area =
      double(std::max<std::int64_t>(spanX, 1)) * double(std::max<std::int64_t>(spanY, 1));
  std::int64_t cell = std::max<std::int64_t>(1, std::int64_t(std::ceil(std::sqrt(area / n) * 2)));
  std::int64_t gx = spanX / cell + 1, gy = spanY / cell + 1;
  while (gx * gy > 4 * std::int64_t{n} + 16) {
    cell *= 2;
    gx = spanX / cell + 1;
    gy = spanY / cell + 1;
  }
  // Figures by cell, in list order within a cell.
  std::vector<std::int32_t> start(static_cast<std::size_t>(gx * gy + 1), 0),
      items(static_cast<std::size_t>(n));
  auto cellOf = [&](const tfigura& f) {
    return ((f.Centre.Y - minY) / cell) * gx + (f.Centre.X - minX) / cell;
  };
  for (const auto& f : w_.Figures) ++start[cellOf(*f) + 1];
  for (std::size_t k = 1; k < start.size(); ++k) start[k] += start[k - 1];
  {
    std::vector<std::int32_t> fill(start.begin(), start.end() - 1);
    for (std::int32_t s = 0; s < n; ++s) items[fill[cellOf(*w_.Figures[s])]++] = s;
  }

  neighbourFilled_.assign(static_cast<std::size_t>(n), 0);
  std::vector<std::pair<std::int64_t, std::int32_t>> all(static_cast<std::size_t>(n));
  std::vector<std::pair<std::int64_t, std::int32_t>> top;
  top.reserve(static_cast<std::size_t>(m) + 1);
  for (std::int32_t r = 0; r < n; ++r) {
    tfigura& fr = *w_.Figures[r];
    const std::int32_t free = atLeast[fr.Depth - minDepth] - nestedNotShallower[r];
    if (free < m) {
      for (std::int32_t s = 0; s < n; ++s) all[s] = {NeighbourKey(w_, r, s), s};
      std::partial_sort(all.begin(), all.begin() + m, all.end());
      StoreNeighbours(fr, all, m);
      neighbourFilled_[r] = m;
      continue;
    }
    top.clear();
    const std::int64_t cx = (fr.Centre.X - minX) / cell, cy = (fr.Centre.Y - minY) / cell;
    auto visit = [&](std::int64_t x, std::int64_t y) {
      if (x < 0 || y < 0 || x >= gx || y >= gy) return;
      const std::int64_t c = y * gx + x;
      for (std::int32_t k = start[c]; k < start[c + 1]; ++k) {
        const std::int32_t s = items[k];
        const tfigura& fs = *w_.Figures[s];
        if (fs.Depth < fr.Depth || fs.NestParent == r) continue;
        const std::pair<std::int64_t, std::int32_t> key{Round64(Distance(fr.Centre, fs.Centre)), s};
        if (static_cast<int>(top.size()) == m && !(key < top.back())) continue;
        top.insert(std::upper_bound(top.begin(), top.end(), key), key);
        if (static_cast<int>(top.size()) > m) top.pop_back();
      }
    };
    const std::int64_t rings = std::max(gx, gy);
    for (std::int64_t k = 0; k <= rings; ++k) {
      for (std::int64_t dy = -k; dy <= k; ++dy) {
        if (dy == -k || dy == k) {
          for (std::int64_t dx = -k; dx <= k; ++dx) visit(cx + dx, cy + dy);
        } else {
          visit(cx - k, cy + dy);
          if (k > 0) visit(cx + k, cy + dy);
        }
      }
      // Figures not visited yet lie more than k cells away, at a distance of
      // at least k * cell, so their rounded distance exceeds the last kept.
      if (static_cast<int>(top.size()) == m && double(top.back().first) + 1.5 <= double(k * cell))
        break;
    }
    StoreNeighbours(fr, top, m);
    neighbourFilled_[r] = m;
  }
  return true;
}

}  // namespace vm
