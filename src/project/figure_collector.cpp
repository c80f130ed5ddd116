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

bool EndsNear(const TPointSeq& f, const TPointSeq& g) {
  return PointsNear(f.back(), g.front()) || PointsNear(f.back(), g.back()) ||
         PointsNear(f.front(), g.front()) || PointsNear(f.front(), g.back());
}

// Joins g into f in the first of the four end orders that holds; where the
// two meet only f's point remains.
void Join(TPointSeq& f, TPointSeq g) {
  if (PointsNear(f.back(), g.front())) {
    // f, then g from its second point to its last.
    g.pop_front();
    f = TPointSeq::Concat(std::move(f), std::move(g));
  } else if (PointsNear(f.back(), g.back())) {
    // f, then g from its last but one point back to its first.
    g.pop_back();
    g.reverse();
    f = TPointSeq::Concat(std::move(f), std::move(g));
  } else if (PointsNear(f.front(), g.front())) {
    // g's points from the second on, each put in front: f starts with g's last.
    g.pop_front();
    g.reverse();
    f = TPointSeq::Concat(std::move(g), std::move(f));
  } else {
    // g's points from the last but one back, each put in front: f starts with g's first.
    g.pop_back();
    f = TPointSeq::Concat(std::move(g), std::move(f));
  }
}

}  // namespace

TFigureCollector::TFigureCollector() = default;
TFigureCollector::~TFigureCollector() = default;

bool TFigureCollector::Add(std::unique_ptr<tfigura> figure) {
  if (!figure) throw Error("TFigureCollector::Add: no figure");
  if (figure->Points.empty()) return false;
  TPointSeq points(figure->Points);
  std::vector<TPointI>().swap(figure->Points);
  // The reader's closure decides whether the new figure joins others.
  if (figure->Open && points.size() > 1) JoinOpenFigures(points);
  const std::uint64_t key = points.Key();
  if (!IsNewFigure(points, key)) return false;
  const auto e = static_cast<std::int64_t>(entries_.size());
  Entry& entry = entries_.emplace_back();
  entry.key = key;
  // Kept figures are open by the parameters' rule: at most two points, or ends
  // not near.
  entry.joinable =
      points.size() > 1 && (points.size() <= 2 || !PointsNear(points.front(), points.back()));
  entry.prev = tail_;
  if (tail_ >= 0) entries_[static_cast<std::size_t>(tail_)].next = e;
  if (head_ < 0) head_ = e;
  tail_ = e;
  if (entry.joinable) {
    GridInsert(points.front(), e);
    GridInsert(points.back(), e);
  }
  keys_[key].push_back(e);
  entry.points = std::move(points);
  entry.figure = std::move(figure);
  ++alive_;
  return true;
}

void TFigureCollector::JoinOpenFigures(TPointSeq& f) {
  bool joined = true;
  while (joined) {
    joined = false;
    // One pass: list order from the head. After a join at entry e the pass
    // continues after e's successor (the figure that moved into e's place).
    std::int64_t from = head_;
    while (from >= 0) {
      const std::int64_t e = FirstPartnerFrom(f, from);
      if (e < 0) break;
      const std::int64_t successor = entries_[static_cast<std::size_t>(e)].next;
      Join(f, Remove(e));
      joined = true;
      from = successor < 0 ? -1 : entries_[static_cast<std::size_t>(successor)].next;
    }
  }
}

std::int64_t TFigureCollector::FirstPartnerFrom(const TPointSeq& f, std::int64_t from) const {
  std::int64_t best = -1;
  for (const TPointI& end : {f.front(), f.back()}) {
    const std::int64_t cx = CellOf(end.X);
    const std::int64_t cy = CellOf(end.Y);
    for (std::int64_t dx = -1; dx <= 1; ++dx) {
      for (std::int64_t dy = -1; dy <= 1; ++dy) {
        const auto it = ends_.find(CellKey(cx + dx, cy + dy));
        if (it == ends_.end()) continue;
        for (const std::int64_t e : it->second) {
          if (e < from || (best >= 0 && e >= best)) continue;
          if (EndsNear(f, entries_[static_cast<std::size_t>(e)].points)) best = e;
        }
      }
    }
  }
  return best;
}

bool TFigureCollector::IsNewFigure(const TPointSeq& f, std::uint64_t key) const {
  const auto it = keys_.find(key);
  if (it == keys_.end()) return true;
  for (const std::int64_t e : it->second)
    if (entries_[static_cast<std::size_t>(e)].points.SamePoints(f)) return false;
  return true;
}

TPointSeq TFigureCollector::Remove(std::int64_t e) {
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
    GridErase(entry.points.front(), e);
    GridErase(entry.points.back(), e);
  }
  auto it = keys_.find(entry.key);
  if (it != keys_.end()) {
    auto& v = it->second;
    v.erase(std::find(v.begin(), v.end(), e));
    if (v.empty()) keys_.erase(it);
  }
  entry.figure.reset();
  entry.prev = entry.next = -1;
  --alive_;
  return std::move(entry.points);
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
  for (std::int64_t e = head_; e >= 0; e = entries_[static_cast<std::size_t>(e)].next) {
    Entry& entry = entries_[static_cast<std::size_t>(e)];
    entry.figure->Points = entry.points.ToVector();
    licz_parametry(*entry.figure);
    list.push_back(std::move(entry.figure));
  }
  entries_.clear();
  ends_.clear();
  keys_.clear();
  head_ = tail_ = -1;
  alive_ = 0;
  return list;
}

}  // namespace vm
