// A point sequence that grows at both ends and reverses in constant time, with
// two polynomial hashes of its points kept up to date (the sequence read
// forwards and backwards), so that joining a small piece to a long figure
// costs only the piece and an identical sequence is found by its hash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "drawing/points.h"

namespace vm {

class TPointSeq {
 public:
  TPointSeq() = default;
  explicit TPointSeq(const std::vector<TPointI>& points);
  // Takes over the vector's buffer instead of copying it.
  explicit TPointSeq(std::vector<TPointI>&& points);

  std::size_t size() const { return hi_ - lo_; }
  bool empty() const { return hi_ == lo_; }
  // Point i in sequence order.
  const TPointI& at(std::size_t i) const { return rev_ ? buf_[hi_ - 1 - i] : buf_[lo_ + i]; }
  const TPointI& front() const { return at(0); }
  const TPointI& back() const { return at(size() - 1); }

  void push_back(const TPointI& p);
  void push_front(const TPointI& p);
  void pop_front();
  void pop_back();
  // Reverses the order of the points.
  void reverse();

  // The points in sequence order.
  std::vector<TPointI> ToVector() const;
  // The same, handing over the buffer when it holds exactly the points in
  // order; the sequence is left empty.
  std::vector<TPointI> TakeVector();
  // Same points in the same order.
  bool SamePoints(const TPointSeq& other) const;
  // Hash of the points in order (equal sequences have equal keys).
  std::uint64_t Key() const;

  // a followed by b; the shorter one's points are moved into the longer one.
  static TPointSeq Concat(TPointSeq a, TPointSeq b);

 private:
  void RawPushBack(const TPointI& p);
  void RawPushFront(const TPointI& p);
  void Regrow();
  void HashAll();

  std::vector<TPointI> buf_;
  std::size_t lo_ = 0;
  std::size_t hi_ = 0;
  bool rev_ = false;
  // forward_ = sum h(p_i) B^(n-1-i), backward_ = sum h(p_i) B^i, power_ = B^n
  // (all modulo 2^64).
  std::uint64_t forward_ = 0;
  std::uint64_t backward_ = 0;
  std::uint64_t power_ = 1;
};

}  // namespace vm
