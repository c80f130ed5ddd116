// Chord-based point reduction of traced outlines.
#include "model3d/point_reduction.h"

#include <algorithm>
#include <string>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/matma.h"

namespace vm {

void RedukujPunkty(std::vector<TPointI>& points, double tolerance) {
  const std::size_t n = points.size();
  if (n < 3) return;
  // Indexes below refer to the original list. Only points between the anchor
  // and the candidate are ever removed, so the kept points are collected in
  // front (write position `kept`) while the rest of the list stays untouched.
  std::size_t kept = 1;  // points[0] stays
  std::size_t a = 0, b = 2;
  while (b < n) {
    const TLineABC line =
        LineEquation(TSegment{points[a].X, points[a].Y, points[b].X, points[b].Y});
    double d = 0;
    for (std::size_t k = a + 1; k < b; ++k) d = std::max(d, LinePointDistance(points[k], line));
    if (d >= tolerance) {
      // Keep the last candidate that still fitted; it is the next anchor.
      a = b - 1;
      points[kept++] = points[a];
      b = a + 2;
    } else {
      ++b;
    }
  }
  points[kept++] = points[n - 1];
  points.resize(kept);
}

void RedukujPunkty(std::int32_t index, double tolerance) {
  if (index < 0 || std::size_t(index) >= TracedFigures.size() || !TracedFigures[index]) {
    throw RangeError("traced figure " + std::to_string(index) + " does not exist");
  }
  RedukujPunkty(TracedFigures[index]->Points, tolerance);
}

}  // namespace vm
