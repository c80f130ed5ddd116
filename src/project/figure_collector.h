// Collects the figures of a drawing as the reader delivers them: joins each
// new open figure with the open figures already kept whose ends lie within 9
// plotter units of its ends, drops a figure identical to one already kept, and
// computes the parameters of every figure it keeps.
//
// The joining follows the pass rule exactly (passes over the list in order
// until one joins nothing; after a join the figure that moves into the freed
// place waits for the next pass), but finds partners through a grid of end
// points and duplicates through running hashes of the point sequences instead
// of scanning the list, and joins the shorter of two figures into the longer,
// so a drawing of many pieces loads in about linear time.
#pragma once

#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/figury.h"
#include "project/okno_plt.h"
#include "project/point_sequence.h"

namespace vm {

class TFigureCollector {
 public:
  TFigureCollector();
  ~TFigureCollector();
  TFigureCollector(const TFigureCollector&) = delete;
  TFigureCollector& operator=(const TFigureCollector&) = delete;

  // Takes one figure that holds points (Valid): joins it (when it is open by
  // the reader's rule and has more than one point), then keeps it unless an
  // identical figure is kept already. Returns whether it was kept.
  bool Add(std::unique_ptr<tfigura> figure);

  // Number of figures kept.
  std::size_t Count() const { return alive_; }

  // The kept figures in list order, each with its parameters computed; the
  // collector is empty afterwards.
  TFigureList Take();

 private:
  struct Entry {
    std::unique_ptr<tfigura> figure;  // its points are held in `points` meanwhile
    TPointSeq points;
    std::int64_t prev = -1;
    std::int64_t next = -1;
    std::uint64_t key = 0;
    bool joinable = false;  // open with more than one point: its ends are in the grid
  };

  void JoinOpenFigures(TPointSeq& f);
  // The first joinable entry at or after `from` (list order) with an end near
  // one of f's ends, or -1; `anywhere` receives the first such entry in the
  // whole list.
  std::int64_t FirstPartnerFrom(const TPointSeq& f, std::int64_t from, std::int64_t& anywhere);
  bool IsNewFigure(const TPointSeq& f, std::uint64_t key);
  // Takes entry e out of the list and the indexes, frees its figure and
  // returns its points.
  TPointSeq Remove(std::int64_t e);
  // End record r = 2 e (front of entry e) or 2 e + 1 (its back).
  void GridInsert(const TPointI& p, std::int64_t r);
  void GridErase(const TPointI& p, std::int64_t r);

  // Heads of singly linked lists by a 64-bit key, in an open-addressing
  // table: the grid cells' lists of end records and the point-sequence keys'
  // lists of entries. A key once used keeps its slot (its list may be empty).
  class THeads {
   public:
    // The head of the key's list, or null when the key was never used.
    std::int64_t* Find(std::uint64_t key);
    // The head of the key's list, created empty (-1) when new.
    std::int64_t& Slot(std::uint64_t key);
    void Clear();

   private:
    struct TSlot {
      std::uint64_t key = 0;
      std::int64_t head = kFree;
    };
    static constexpr std::int64_t kFree = INT64_MIN;
    std::vector<TSlot> slots_;
    std::size_t used_ = 0;
  };

  // Entries in the order they were kept; list order is entry order, removed
  // entries are unlinked from the prev/next chain and hold no figure.
  std::vector<Entry> entries_;
  std::int64_t head_ = -1;
  std::int64_t tail_ = -1;
  std::size_t alive_ = 0;
  // Grid of joinable ends (cell of 32 x 32 units -> end records in it); for
  // each end record its point and the next record in its cell (-1 ends a list).
  struct TEndRecord {
    TPointI point;
    std::int64_t next = -1;
  };
  THeads cells_;
  std::vector<TEndRecord> ends_;
  // Point-sequence key -> kept entries with that key (linked through keyNext_).
  THeads keys_;
  std::vector<std::int64_t> keyNext_;
};

}  // namespace vm
