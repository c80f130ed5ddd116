// Joining and de-duplication of the figures read from a drawing.
#include "project/figure_collector.h"

#include <algorithm>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "project/figure_parameters.h"

namespace vm {

namespace {

// Joining tolerance is 9 units, so a 10-unit cell holds every partner of a
// point within the 3 x 3 cells around it.
constexpr std::int64_t kCell = 10;

std::int64_t CellOf(std::int32_t v) {
  return v >= 0 ? v / kCell : -((-std::int64_t{v} + kCell - 1) / kCell);
}

std::uint64_t CellKey(std::int64_t cx, std::int64_t cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
         static_cast<std::uint32_t>(cy);
}

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

bool EndsNear(const tfigura& f, const tfigura& g) {
  const TPointI& f0 = f.Points.front();
  const TPointI& f1 = f.Points.back();
  const TPointI& g0 = g.Points.front();
  const TPointI& g1 = g.Points.back();
  return PointsNear(f1, g0) || PointsNear(f1, g1) || PointsNear(f0, g0) || PointsNear(f0, g1);
}

}  // namespace

std::uint64_t FigurePointsHash(const std::vector<TPointI>& points) {
  std::uint64_t h = Mix(points.size());
  for (const TPointI& p : points)
    h = Mix(h ^ ((static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.X)) << 32) |
                 static_cast<std::uint32_t>(p.Y)));
  return h;
}

bool JoinFigurePoints(tfigura& f, const tfigura& g) {
  std::vector<TPointI>& F = f.Points;
  const std::vector<TPointI>& G = g.Points;
  if (F.empty() || G.size() < 2) return false;
  // Where the two meet only f's point remains.
  if (PointsNear(F.back(), G.front())) {
    F.insert(F.end(), G.begin() + 1, G.end());
  } else if (PointsNear(F.back(), G.back())) {
    F.insert(F.end(), G.rbegin() + 1, G.rend());
  } else if (PointsNear(F.front(), G.front())) {
    // g's points from the second on, each put in front: f starts with g's last point.
    F.insert(F.begin(), G.rbegin(), G.rend() - 1);
  } else if (PointsNear(F.front(), G.back())) {
    // g's points from the last but one back, each put in front: f starts with g's first.
    F.insert(F.begin(), G.begin(), G.end() - 1);
  } else {
    return false;
  }
  return true;
}

TFigureCollector::TFigureCollector() = default;
TFigureCollector::~TFigureCollector() = default;

bool TFigureCollector::Add(std::unique_ptr<tfigura> figure) {
  if (!figure) throw Error("TFigureCollector::Add: no figure");
  if (figure->Points.empty()) return false;
  JoinOpenFigures(*figure);
  const std::uint64_t hash = FigurePointsHash(figure->Points);
  if (!IsNewFigure(*figure, hash)) return false;
  licz_parametry(*figure);
  const auto e = static_cast<std::int64_t>(entries_.size());
  Entry& entry = entries_.emplace_back();
  entry.hash = hash;
  entry.joinable = figure->Open && figure->Points.size() > 1;
  entry.prev = tail_;
  if (tail_ >= 0) entries_[static_cast<std::size_t>(tail_)].next = e;
  if (head_ < 0) head_ = e;
  tail_ = e;
  if (entry.joinable) {
    GridInsert(figure->Points.front(), e);
    GridInsert(figure->Points.back(), e);
  }
  hashes_[hash].push_back(e);
  entry.figure = std::move(figure);
  ++alive_;
  return true;
}

void TFigureCollector::JoinOpenFigures(tfigura& f) {
  if (!f.Open || f.Points.size() <= 1) return;
  bool joined = true;
  while (joined) {
    joined = false;
    // One pass: list order from the head. After a join at entry e the pass
    // continues after e's successor (the figure that moved into e's place).
    std::int64_t from = head_;
    while (from >= 0) {
      const std::int64_t e = FirstPartnerFrom(f, from);
      if (e < 0) break;
      JoinFigurePoints(f, *entries_[static_cast<std::size_t>(e)].figure);
      const std::int64_t successor = entries_[static_cast<std::size_t>(e)].next;
      Remove(e);
      joined = true;
      from = successor < 0 ? -1 : entries_[static_cast<std::size_t>(successor)].next;
    }
  }
}

std::int64_t TFigureCollector::FirstPartnerFrom(const tfigura& f, std::int64_t from) const {
  std::int64_t best = -1;
  for (const TPointI& end : {f.Points.front(), f.Points.back()}) {
    const std::int64_t cx = CellOf(end.X);
    const std::int64_t cy = CellOf(end.Y);
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto it = ends_.find(CellKey(cx + dx, cy + dy));
        if (it == ends_.end()) continue;
        for (const std::int64_t e : it->second) {
          if (e < from || (best >= 0 && e >= best)) continue;
          if (EndsNear(f, *entries_[static_cast<std::size_t>(e)].figure)) best = e;
        }
      }
    }
  }
  return best;
}

bool TFigureCollector::IsNewFigure(const tfigura& f, std::uint64_t hash) const {
  const auto it = hashes_.find(hash);
  if (it == hashes_.end()) return true;
  for (const std::int64_t e : it->second)
    if (entries_[static_cast<std::size_t>(e)].figure->Points == f.Points) return false;
  return true;
}

void TFigureCollector::Remove(std::int64_t e) {
  Entry& entry = entries_[static_cast<std::size_t>(e)];
  if (entry.prev >= 0)
    entries_[static_cast<std::size_t>(entry.prev)].next = entry.next;
  else
    head_ = entry.next;
  if (entry.next >= 0)
    entries_[static_cast<std::size_t>(entry.next)].prev = entry.prev;
  else
    tail_ = entry.prev;
  if (entry.joinable) {
    GridErase(entry.figure->Points.front(), e);
    GridErase(entry.figure->Points.back(), e);
  }
  auto it = hashes_.find(entry.hash);
  if (it != hashes_.end()) {
    auto& v = it->second;
    v.erase(std::find(v.begin(), v.end(), e));
    if (v.empty()) hashes_.erase(it);
  }
  entry.figure.reset();
  entry.prev = entry.next = -1;
  --alive_;
}

void TFigureCollector::GridInsert(const TPointI& p, std::int64_t e) {
  ends_[CellKey(CellOf(p.X), CellOf(p.Y))].push_back(e);
}

void TFigureCollector::GridErase(const TPointI& p, std::int64_t e) {
  const auto it = ends_.find(CellKey(CellOf(p.X), CellOf(p.Y)));
  if (it == ends_.end()) return;
  auto& v = it->second;
  const auto pos = std::find(v.begin(), v.end(), e);
  if (pos != v.end()) v.erase(pos);
  if (v.empty()) ends_.erase(it);
}

TFigureList TFigureCollector::Take() {
  TFigureList list;
  list.reserve(alive_);
  for (std::int64_t e = head_; e >= 0; e = entries_[static_cast<std::size_t>(e)].next)
    list.push_back(std::move(entries_[static_cast<std::size_t>(e)].figure));
  entries_.clear();
  ends_.clear();
  hashes_.clear();
  head_ = tail_ = -1;
  alive_ = 0;
  return list;
}

}  // namespace vm
