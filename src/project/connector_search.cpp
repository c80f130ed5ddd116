// Connector search of plain cutting (see connector_search.h).
#include "project/connector_search.h"

#include <algorithm>
#include <limits>
#include <numbers>
#include <utility>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/ciecie.h"

namespace vm {

namespace {

constexpr std::int64_t kNoScore = std::numeric_limits<std::int64_t>::max();

// Weights apply only at candidate vertices: multiply, then divide by 10.
std::int64_t ApplyWeight(std::int64_t score, const TVertexRec& rec) {
  if (rec.Weighted != 1) return score;
  return CheckedMul<std::int64_t>(score, rec.Weight) / 10;
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

bool TConnectorSearch::BestOfPair(Variant v, std::int32_t K, std::int32_t T, std::int32_t e,
                                  Choice& out) const {
  const tfigura& k = *w_.Figures[K];
  const tfigura& t = *w_.Figures[T];
  const auto nK = static_cast<std::int32_t>(k.Points.size());
  const auto nT = static_cast<std::int32_t>(t.Points.size());
  std::int64_t best = kNoScore;
  std::int32_t bi = -1, bj = -1;
  auto consider = [&](std::int32_t i, std::int32_t j, std::int64_t s) {
    if (s < best) {
      best = s;
      bi = i;
      bj = j;
    }
  };

  switch (v) {
    case Variant::Single: {
      const TPointI& pe = t.Points[e];
      for (std::int32_t i = 0; i < nK; ++i) {
        std::int64_t s = SquaredDistance(k.Points[i], pe);
        s = ApplyWeight(s, Rec(k, i));
        s = ApplyWeight(s, Rec(t, e));
        consider(i, e, s);
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
          std::int64_t s = SquaredDistance(pk, pt);
          s = ApplyWeight(s, rk);
          s = ApplyWeight(s, Rec(t, j));
          consider(i, j, s);
        }
      }
      break;
    }
    case Variant::Many:
      for (std::int32_t i = 0; i < nK; ++i) {
        if (!Candidate(k, i)) continue;
        for (std::int32_t j = 1; j < nT; ++j) {
          if (!Candidate(t, j)) continue;
          std::int64_t s = SquaredDistance(k.Points[i], t.Points[j]);
          s = CheckedMul<std::int64_t>(s, 5) / 10;
          s = CheckedMul<std::int64_t>(s, 5) / 10;
          consider(i, j, s);
        }
      }
      break;
    case Variant::Ordered:
      for (std::int32_t i = 0; i < nK; ++i) {
        if (!Candidate(k, i)) continue;
        const std::int64_t wi = k.VertexRecs[i].Weight;
        for (std::int32_t j = 0; j < nT; ++j) {
          if (!Candidate(t, j)) continue;
          std::int64_t s = SquaredDistance(k.Points[i], t.Points[j]);
          s = CheckedMul(CheckedMul(s, wi), std::int64_t{t.VertexRecs[j].Weight});
          consider(i, j, s);
        }
      }
      break;
  }
  if (bi < 0) return false;
  out = Choice{best, K, T, bi, bj};
  return true;
}

bool TConnectorSearch::Run(Variant v, std::int32_t P) {
  const auto n = w_.FigureCount();
  std::int32_t e = -1;
  if (v == Variant::Single) {
    if (w_.FirstFigure < 0 || w_.FirstFigure >= n) return false;
    e = NearestEntryPoint(w_, w_.FirstFigure);
  }
  bool found = false;
  Choice best{kNoScore};
  for (std::int32_t K = 0; K < n; ++K) {
    if (!ChildOk(v, K, P)) continue;
    const std::int32_t tFrom = (v == Variant::Single) ? w_.FirstFigure : 0;
    const std::int32_t tTo = (v == Variant::Single) ? w_.FirstFigure + 1 : n;
    for (std::int32_t T = tFrom; T < tTo; ++T) {
      if (!TargetOk(v, K, T, P) || Rejected(K, T)) continue;
      found = true;
      Choice c;
      if (BestOfPair(v, K, T, e, c) && c.score < best.score) best = c;
    }
  }
  if (!found || best.K < 0) return false;

  std::int32_t i = best.i, j = best.j;
  if (!Walk(best.K, best.T, i, j)) {
    // Every cut between these two crosses one of them: give the pair up for
    // the rest of this search, so the caller's loop moves on.
    Reject(best.K, best.T);
    return true;
  }
  best.i = i;
  best.j = j;
  AddConnector(v, P, best);
  return true;
}

bool TConnectorSearch::Walk(std::int32_t K, std::int32_t T, std::int32_t& i,
                            std::int32_t& j) const {
  const auto nK = static_cast<std::int32_t>(w_.Figures[K]->Points.size());
  const auto nT = static_cast<std::int32_t>(w_.Figures[T]->Points.size());
  const std::int32_t i0 = i, j0 = j;
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
  const tfigura& k = *w_.Figures[K];
  const tfigura& t = *w_.Figures[T];
  const TPointI a = k.Points.at(i);
  const TPointI b = t.Points.at(j);
  const TSegment cut{a.X, a.Y, b.X, b.Y};
  auto crossesFigure = [&](const tfigura& f, std::int32_t v) {
    const auto n = static_cast<std::int32_t>(f.Points.size());
    for (std::int32_t e = 0; e + 1 < n; ++e) {
      if (e == v || e + 1 == v) continue;
      const TSegment edge{f.Points[e].X, f.Points[e].Y, f.Points[e + 1].X, f.Points[e + 1].Y};
      if (SegmentsCross(edge, cut)) return true;
    }
    if (Closed(f) && n > 0) {
      const TSegment edge{f.Points[n - 1].X, f.Points[n - 1].Y, f.Points[0].X, f.Points[0].Y};
      if (SegmentsCross(edge, cut)) return true;
    }
    return false;
  };
  if (crossesFigure(k, i)) return K;
  if (crossesFigure(t, j)) return T;
  return -1;
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
  const auto n = w_.FigureCount();
  neighbourFilled_.assign(static_cast<std::size_t>(n), 0);
  std::vector<std::pair<std::int64_t, std::int32_t>> d(static_cast<std::size_t>(n));
  const int m = std::min<int>(kNeighbourCount, n);
  for (std::int32_t r = 0; r < n; ++r) {
    const tfigura& fr = *w_.Figures[r];
    for (std::int32_t s = 0; s < n; ++s) {
      const tfigura& fs = *w_.Figures[s];
      std::int64_t ds = Round64(Distance(fr.Centre, fs.Centre));
      if (fr.Depth > fs.Depth) ds += 500000000;
      if (fs.NestParent == r) ds += 500000000;
      d[s] = {ds, s};
    }
    // Ascending by distance, equal distances in list order (a stable order):
    // the pair comparison on (distance, index) gives exactly that.
    std::partial_sort(d.begin(), d.begin() + m, d.end());
    tfigura& f = *w_.Figures[r];
    f.Neighbours.fill(-1);
    for (int e = 0; e < m; ++e) f.Neighbours[e] = d[e].second;
    neighbourFilled_[r] = m;
  }
  neighboursBuilt_ = true;
}

}  // namespace vm
