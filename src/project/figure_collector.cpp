// Joining and de-duplication of the figures read from a drawing.
#include "project/figure_collector.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "project/figure_parameters.h"

namespace vm {

namespace {

// End points are kept in a grid of 32 x 32 units. A partner's end lies within
// 9 units of an end in X and in Y, so only the one to four cells that overlap
// that square around the end are searched.
constexpr int kCellShift = 7;
constexpr std::int64_t kNear = 9;

std::int64_t CellOf(std::int64_t v) { return v >> kCellShift; }  // floor division

std::uint64_t Mix(std::uint64_t x) {
  x ^= x >> 33;
  x *= 0xff51afd7ed558ccdULL;
  x ^= x >> 33;
  return x;
}

std::uint64_t CellKey(std::int64_t cx, std::int64_t cy) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cx)) << 32) |
         static_cast<std::uint32_t>(cy);
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
  TPointSeq points(std::move(figure->Points));
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
  ends_.resize(2 * static_cast<std::size_t>(e) + 2);
  if (entry.joinable) {
    GridInsert(points.front(), 2 * e);
    GridInsert(points.back(), 2 * e + 1);
  }
  std::int64_t& keyHead = keys_.Slot(key);
  keyNext_.push_back(keyHead);
  keyHead = e;
  entry.points = std::move(points);
  entry.figure = std::move(figure);
  ++alive_;
  return true;
}

void TFigureCollector::JoinOpenFigures(TPointSeq& f) {
  // The first partner of f in the whole list, when known for f as it is now
  // (-1: none), from the search that ended the last pass.
  constexpr std::int64_t kUnknown = -2;
  std::int64_t fromHead = kUnknown;
  bool joined = true;
  while (joined) {
    joined = false;
    // One pass: list order from the head. After a join at entry e the pass
    // continues after e's successor (the figure that moved into e's place).
    std::int64_t from = head_;
    while (from >= 0) {
      std::int64_t e;
      if (from == head_ && fromHead != kUnknown) {
        e = fromHead;
      } else {
        std::int64_t anywhere;
        e = FirstPartnerFrom(f, from, anywhere);
        if (e < 0) fromHead = anywhere;
      }
      if (e < 0) break;
      fromHead = kUnknown;
      const std::int64_t successor = entries_[static_cast<std::size_t>(e)].next;
      Join(f, Remove(e));
      joined = true;
      from = successor < 0 ? -1 : entries_[static_cast<std::size_t>(successor)].next;
    }
  }
}

std::int64_t TFigureCollector::FirstPartnerFrom(const TPointSeq& f, std::int64_t from,
                                                std::int64_t& anywhere) {
  std::int64_t best = -1;
  anywhere = -1;
  for (const TPointI& end : {f.front(), f.back()}) {
    const std::int64_t x0 = CellOf(std::int64_t{end.X} - kNear);
    const std::int64_t x1 = CellOf(std::int64_t{end.X} + kNear);
    const std::int64_t y0 = CellOf(std::int64_t{end.Y} - kNear);
    const std::int64_t y1 = CellOf(std::int64_t{end.Y} + kNear);
    for (std::int64_t cx = x0; cx <= x1; ++cx) {
      for (std::int64_t cy = y0; cy <= y1; ++cy) {
        // An end of a partner lies near this end of f, or near f's other end
        // and is then found from there: the ends alone decide.
        const std::int64_t* head = cells_.Find(CellKey(cx, cy));
        if (head == nullptr) continue;
        for (std::int64_t r = *head; r >= 0;) {
          const TEndRecord& rec = ends_[static_cast<std::size_t>(r)];
          const std::int64_t e = r >> 1;
          if ((anywhere < 0 || e < anywhere || (e >= from && (best < 0 || e < best))) &&
              PointsNear(end, rec.point)) {
            if (anywhere < 0 || e < anywhere) anywhere = e;
            if (e >= from && (best < 0 || e < best)) best = e;
          }
          r = rec.next;
        }
      }
    }
  }
  return best;
}

bool TFigureCollector::IsNewFigure(const TPointSeq& f, std::uint64_t key) {
  const std::int64_t* head = keys_.Find(key);
  for (std::int64_t e = head ? *head : -1; e >= 0; e = keyNext_[static_cast<std::size_t>(e)])
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
    GridErase(entry.points.front(), 2 * e);
    GridErase(entry.points.back(), 2 * e + 1);
  }
  for (std::int64_t* link = keys_.Find(entry.key); link != nullptr && *link >= 0;
       link = &keyNext_[static_cast<std::size_t>(*link)]) {
    if (*link == e) {
      *link = keyNext_[static_cast<std::size_t>(e)];
      break;
    }
  }
  entry.figure.reset();
  entry.prev = entry.next = -1;
  --alive_;
  return std::move(entry.points);
}

std::int64_t* TFigureCollector::THeads::Find(std::uint64_t key) {
  if (slots_.empty()) return nullptr;
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Mix(key) & mask;; i = (i + 1) & mask) {
    TSlot& s = slots_[i];
    if (s.head == kFree) return nullptr;
    if (s.key == key) return &s.head;
  }
}

std::int64_t& TFigureCollector::THeads::Slot(std::uint64_t key) {
  if (2 * (used_ + 1) > slots_.size()) {
    // Grow to keep the table at most half full.
    std::vector<TSlot> grown(std::max<std::size_t>(1024, 2 * slots_.size()));
    const std::size_t mask = grown.size() - 1;
    for (const TSlot& s : slots_) {
      if (s.head == kFree) continue;
      std::size_t i = Mix(s.key) & mask;
      while (grown[i].head != kFree) i = (i + 1) & mask;
      grown[i] = s;
    }
    slots_ = std::move(grown);
  }
  const std::size_t mask = slots_.size() - 1;
  std::size_t i = Mix(key) & mask;
  for (; slots_[i].head != kFree; i = (i + 1) & mask)
    if (slots_[i].key == key) return slots_[i].head;
  ++used_;
  slots_[i] = {key, -1};
  return slots_[i].head;
}

void TFigureCollector::THeads::Clear() {
  slots_.clear();
  used_ = 0;
}

void TFigureCollector::GridInsert(const TPointI& p, std::int64_t r) {
  std::int64_t& head = cells_.Slot(CellKey(CellOf(p.X), CellOf(p.Y)));
  ends_[static_cast<std::size_t>(r)] = {p, head};
  head = r;
}

void TFigureCollector::GridErase(const TPointI& p, std::int64_t r) {
  std::int64_t* link = cells_.Find(CellKey(CellOf(p.X), CellOf(p.Y)));
  while (link != nullptr && *link >= 0) {
    if (*link == r) {
      *link = ends_[static_cast<std::size_t>(r)].next;
      return;
    }
    link = &ends_[static_cast<std::size_t>(*link)].next;
  }
}

TFigureList TFigureCollector::Take() {
  TFigureList list;
  list.reserve(alive_);
  for (std::int64_t e = head_; e >= 0; e = entries_[static_cast<std::size_t>(e)].next) {
    Entry& entry = entries_[static_cast<std::size_t>(e)];
    entry.figure->Points = entry.points.TakeVector();
    licz_parametry(*entry.figure);
    list.push_back(std::move(entry.figure));
  }
  entries_.clear();
  cells_.Clear();
  ends_.clear();
  keys_.Clear();
  keyNext_.clear();
  head_ = tail_ = -1;
  alive_ = 0;
  return list;
}

}  // namespace vm
