// Chord-based point reduction of traced outlines.
#include "model3d/point_reduction.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/matma.h"

namespace vm {
namespace {

// Whether a point strictly between a and b lies at least `tolerance` from
// the line: the largest of their LinePointDistance values compared with
// it. Dividing by the line's norm keeps the order of the distances, so the
// largest numerator divided once gives that largest distance exactly.
bool Deviates(const std::vector<TPointI>& points, std::size_t a, std::size_t b,
              const TLineABC& line, double tolerance) {
  if (line.Vertical) {
    for (std::size_t k = a + 1; k < b; ++k) {
      if (std::fabs(static_cast<double>(points[k].X) - line.CoefB) >= tolerance) return true;
    }
    return false;
  }
  if (line.CoefA == 0 && line.CoefB == 0) return 0.0 >= tolerance && b > a + 1;
  const double norm = std::sqrt(line.CoefA * line.CoefA + line.CoefB * line.CoefB);
  double most = 0;
  for (std::size_t k = a + 1; k < b; ++k) {
    most = std::max(most, std::fabs(line.CoefA * points[k].X + line.CoefB * points[k].Y +
                                    line.CoefK));
  }
  return b > a + 1 && most / norm >= tolerance;
}

}  // namespace

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
    if (Deviates(points, a, b, line, tolerance)) {
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
