// Reference evaluation for the curve tests: de Boor's algorithm, independent of
// the Cox-de Boor basis that the program uses.
#pragma once

#include <vector>

#include "drawing/points.h"

namespace vm::test {

// The B-spline of the given degree over knots u and control points c at t,
// for U[degree] <= t < U[c.size()].
inline TPointD DeBoor(int degree, const std::vector<double>& u, const std::vector<TPointD>& c,
                      double t) {
  int j = degree;
  while (j + 1 < static_cast<int>(c.size()) && u[j + 1] <= t) ++j;
  std::vector<TPointD> d(c.begin() + (j - degree), c.begin() + j + 1);
  for (int r = 1; r <= degree; ++r) {
    for (int i = degree; i >= r; --i) {
      const int ki = j - degree + i;
      const double den = u[ki + degree + 1 - r] - u[ki];
      const double a = den == 0 ? 0 : (t - u[ki]) / den;
      d[i] = {(1 - a) * d[i - 1].X + a * d[i].X, (1 - a) * d[i - 1].Y + a * d[i].Y};
    }
  }
  return d[degree];
}

}  // namespace vm::test
