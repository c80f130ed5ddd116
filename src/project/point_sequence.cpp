// Double-ended point sequence with running hashes.
#include "project/point_sequence.h"

#include <algorithm>
#include <utility>

namespace vm {

namespace {

constexpr std::uint64_t kBase = 0x9E3779B97F4A7C15ull;  // odd, so invertible modulo 2^64

constexpr std::uint64_t Inverse(std::uint64_t b) {
  std::uint64_t x = b;  // correct to 3 bits for odd b; each step doubles them
  for (int i = 0; i < 5; ++i) x *= 2 - b * x;
  return x;
}
constexpr std::uint64_t kBaseInverse = Inverse(kBase);
static_assert(kBase * kBaseInverse == 1);

std::uint64_t Mix(std::uint64_t x) {
  x += 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

std::uint64_t PointHash(const TPointI& p) {
  return Mix((static_cast<std::uint64_t>(static_cast<std::uint32_t>(p.X)) << 32) |
             static_cast<std::uint32_t>(p.Y));
}

}  // namespace

TPointSeq::TPointSeq(const std::vector<TPointI>& points) : buf_(points), hi_(points.size()) {
  HashAll();
}

TPointSeq::TPointSeq(std::vector<TPointI>&& points) : buf_(std::move(points)), hi_(buf_.size()) {
  HashAll();
}

void TPointSeq::HashAll() {
  for (const TPointI& p : buf_) {
    const std::uint64_t h = PointHash(p);
    forward_ = forward_ * kBase + h;
    backward_ += h * power_;
    power_ *= kBase;
  }
}

void TPointSeq::push_back(const TPointI& p) {
  const std::uint64_t h = PointHash(p);
  forward_ = forward_ * kBase + h;
  backward_ += h * power_;
  power_ *= kBase;
  rev_ ? RawPushFront(p) : RawPushBack(p);
}

void TPointSeq::push_front(const TPointI& p) {
  const std::uint64_t h = PointHash(p);
  forward_ += h * power_;
  backward_ = backward_ * kBase + h;
  power_ *= kBase;
  rev_ ? RawPushBack(p) : RawPushFront(p);
}

void TPointSeq::pop_front() {
  const std::uint64_t h = PointHash(front());
  power_ *= kBaseInverse;
  forward_ -= h * power_;
  backward_ = (backward_ - h) * kBaseInverse;
  rev_ ? --hi_ : ++lo_;
}

void TPointSeq::pop_back() {
  const std::uint64_t h = PointHash(back());
  power_ *= kBaseInverse;
  forward_ = (forward_ - h) * kBaseInverse;
  backward_ -= h * power_;
  rev_ ? ++lo_ : --hi_;
}

void TPointSeq::reverse() {
  rev_ = !rev_;
  std::swap(forward_, backward_);
}

std::vector<TPointI> TPointSeq::ToVector() const {
  std::vector<TPointI> out(buf_.begin() + static_cast<std::ptrdiff_t>(lo_),
                           buf_.begin() + static_cast<std::ptrdiff_t>(hi_));
  if (rev_) std::reverse(out.begin(), out.end());
  return out;
}

std::vector<TPointI> TPointSeq::TakeVector() {
  std::vector<TPointI> out;
  if (!rev_ && lo_ == 0 && hi_ == buf_.size())
    out.swap(buf_);
  else
    out = ToVector();
  *this = TPointSeq();
  return out;
}

bool TPointSeq::SamePoints(const TPointSeq& other) const {
  if (size() != other.size()) return false;
  for (std::size_t i = 0; i < size(); ++i)
    if (at(i) != other.at(i)) return false;
  return true;
}

std::uint64_t TPointSeq::Key() const { return Mix(forward_ ^ Mix(size())); }

TPointSeq TPointSeq::Concat(TPointSeq a, TPointSeq b) {
  if (a.size() >= b.size()) {
    for (std::size_t i = 0; i < b.size(); ++i) a.push_back(b.at(i));
    return a;
  }
  for (std::size_t i = a.size(); i-- > 0;) b.push_front(a.at(i));
  return b;
}

void TPointSeq::RawPushBack(const TPointI& p) {
  if (hi_ == buf_.size()) Regrow();
  buf_[hi_++] = p;
}

void TPointSeq::RawPushFront(const TPointI& p) {
  if (lo_ == 0) Regrow();
  buf_[--lo_] = p;
}

// Re-centres the points in a buffer twice their number, leaving room at both ends.
void TPointSeq::Regrow() {
  const std::size_t n = size();
  const std::size_t cap = 2 * n + 8;
  std::vector<TPointI> grown(cap);
  const std::size_t lo = (cap - n) / 2;
  std::copy(buf_.begin() + static_cast<std::ptrdiff_t>(lo_),
            buf_.begin() + static_cast<std::ptrdiff_t>(hi_),
            grown.begin() + static_cast<std::ptrdiff_t>(lo));
  buf_.swap(grown);
  lo_ = lo;
  hi_ = lo + n;
}

}  // namespace vm
