// Point types of the drawing data: plotter-unit points (40 units per mm),
// floating points in drawing units, and 3D integer points.
#pragma once

#include <cstdint>

namespace vm {

struct TPointI {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPointI&, const TPointI&) = default;
};

struct TPointD {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPointD&, const TPointD&) = default;
};

struct TPoint3I {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::int32_t Z = 0;
  friend bool operator==(const TPoint3I&, const TPoint3I&) = default;
};

// A 3D point of Singles (a vertex of a model triangle), mm.
struct TPoint3F {
  float X = 0;
  float Y = 0;
  float Z = 0;
  friend bool operator==(const TPoint3F&, const TPoint3F&) = default;
};

}  // namespace vm
