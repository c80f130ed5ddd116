// The arithmetic every way of rasterising a turned model shares: turning a
// vertex, interpolating between two points, their distance and the cell a
// coordinate falls into. The single-threaded marking and the parallel step
// both use these, so that they compute the same Singles and mark the same
// cells.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "drawing/definicje.h"
#include "drawing/points.h"
#include "drawing/rounding.h"

namespace vm::silhouette {

inline constexpr double kCellSize = 0.2;  // mm per cell

// The turn of one step about the vertical axis through the model centre.
struct TTurn {
  double Cos = 1, Sin = 0;
  double CentreX = 0, CentreY = 0, CentreZ = 0;
};

// The vertex turned and centred on the origin, stored as Singles.
inline void TurnVertex(const TTurn& r, float& x, float& y, float& z) {
  const double dx = x - r.CentreX, dy = y - r.CentreY, dz = z - r.CentreZ;
  x = static_cast<float>(r.Cos * dx - r.Sin * dz);
  y = static_cast<float>(dy);
  z = static_cast<float>(r.Sin * dx + r.Cos * dz);
}

inline void TurnTriangle(const TTurn& r, TRawTrojkat& t) {
  TurnVertex(r, t.X1, t.Y1, t.Z1);
  TurnVertex(r, t.X2, t.Y2, t.Z2);
  TurnVertex(r, t.X3, t.Y3, t.Z3);
}

inline double Distance3(TPoint3F a, TPoint3F b) {
  const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, dz = double(b.Z) - a.Z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

inline TPoint3F Lerp(TPoint3F a, TPoint3F b, double t) {
  return {static_cast<float>(a.X + t * (double(b.X) - a.X)),
          static_cast<float>(a.Y + t * (double(b.Y) - a.Y)),
          static_cast<float>(a.Z + t * (double(b.Z) - a.Z))};
}

// Orders the vertices by z ascending with three compare-and-swap steps.
inline void SortByZ(TRawTrojkat& t) {
  auto swap01 = [&] { std::swap(t.X1, t.X2), std::swap(t.Y1, t.Y2), std::swap(t.Z1, t.Z2); };
  if (t.Z1 > t.Z2) swap01();
  if (t.Z2 > t.Z3) std::swap(t.X2, t.X3), std::swap(t.Y2, t.Y3), std::swap(t.Z2, t.Z3);
  if (t.Z1 > t.Z2) swap01();
}

// Round() for the non-negative counts of samples and segments: the same
// result, halves to even, without a library call for the common sizes.
inline std::int32_t RoundCount(double v) {
  // Adding and taking away 2^52 + 2^51 rounds a double below 2^51 to an
  // integer in the default rounding mode (nearest, halves to even).
  constexpr double kMagic = 6755399441055744.0;
  if (v >= 0 && v < 1073741824.0) return static_cast<std::int32_t>((v + kMagic) - kMagic);
  return Round(v);
}

// Segments of the fan that fills a triangle (vertices ordered by z): twice
// the longer of the edges from the first vertex, in cells, plus one.
inline std::int32_t FanSegments(TPoint3F first, TPoint3F second, TPoint3F third) {
  const double a = Distance3(first, second);
  const double b = Distance3(first, third);
  return CheckedMul(2, RoundCount(std::max(a / kCellSize + 1, b / kCellSize + 1)));
}

// Samples of a segment beyond the first: one per cell of its length plus one.
inline std::int32_t SegmentSamples(TPoint3F p, TPoint3F q) {
  return CheckedAdd(RoundCount(Distance3(p, q) / kCellSize), 1);
}

// Index of the cell a coordinate falls into, clamped to 0..last; -1 for a
// coordinate that is not a number.
inline std::int32_t CellIndex(float v, std::int32_t last) {
  const double c = v / kCellSize + last / 2.0;
  if (std::isnan(c)) return -1;
  if (c <= 0) return 0;
  if (c >= last) return last;
  return std::min(Round(c), last);
}

}  // namespace vm::silhouette
