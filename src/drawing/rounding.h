// Rounding and checked integer arithmetic used everywhere.
//
// Round: nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
// A result that does not fit the target type, or a non-finite input, raises a
// RangeError. Checked add/sub/mul raise an OverflowError instead of wrapping.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <type_traits>

#include "drawing/errors.h"

namespace vm {

// Rounds halves to even and converts to T, raising RangeError when out of range.
template <typename T = std::int32_t>
T RoundTo(double v) {
  static_assert(std::is_integral_v<T>);
  if (!std::isfinite(v)) throw RangeError("Round: value is not a finite number");
  // nearbyint follows the current rounding mode, which is never changed from
  // round-to-nearest-even in this program.
  const double r = std::nearbyint(v);
  // Compare in double: the limits of 64-bit types are not exact doubles, so the
  // upper test uses "<" against 2^63 (or the exact max for narrower types).
  constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
  constexpr double hi = static_cast<double>(std::numeric_limits<T>::max());
  if (sizeof(T) >= 8) {
    if (r < lo || r >= hi) throw RangeError("Round: " + std::to_string(v) + " does not fit");
  } else if (r < lo || r > hi) {
    throw RangeError("Round: " + std::to_string(v) + " does not fit");
  }
  return static_cast<T>(r);
}

inline std::int32_t Round(double v) { return RoundTo<std::int32_t>(v); }
inline std::int64_t Round64(double v) { return RoundTo<std::int64_t>(v); }

template <typename T>
T CheckedAdd(T a, T b) {
  T r;
  if (__builtin_add_overflow(a, b, &r)) throw OverflowError("integer overflow in addition");
  return r;
}

template <typename T>
T CheckedSub(T a, T b) {
  T r;
  if (__builtin_sub_overflow(a, b, &r)) throw OverflowError("integer overflow in subtraction");
  return r;
}

template <typename T>
T CheckedMul(T a, T b) {
  T r;
  if (__builtin_mul_overflow(a, b, &r)) throw OverflowError("integer overflow in multiplication");
  return r;
}

// Narrowing conversion with a range check.
template <typename To, typename From>
To CheckedCast(From v) {
  static_assert(std::is_integral_v<To> && std::is_integral_v<From>);
  if (!std::in_range<To>(v)) throw RangeError("value " + std::to_string(v) + " out of range");
  return static_cast<To>(v);
}

}  // namespace vm
