// Curves that the DXF reader flattens into points: a cubic through four points
// with chord-length parameters (spline-fit polylines), a Bezier curve of any
// degree, and a B-spline evaluated after Cox-de Boor.
//
// Each curve is an object with an initialisation that fixes the curve and the
// parameter step, and a next-point operation that advances the parameter by one
// step and returns the point there, or false once the parameter has passed the
// end. Points are in drawing units; the reader converts them.
#pragma once

#include <array>
#include <vector>

#include "drawing/points.h"

namespace vm {

// A row of the 3 x 3 systems below: components 1 to 3 are used, 0 and 4 are not.
using TCramerRow = std::array<double, 5>;

// Determinant of the 3 x 3 matrix whose rows are components 1..3 of r1, r2, r3.
double Det3(const TCramerRow& r1, const TCramerRow& r2, const TCramerRow& r3);

// Solves x1 M1 + x2 M2 + x3 M3 = R (over components 1..3) by Cramer's rule; the
// solution is stored in x[1..3]. A determinant of 0 gives the solution 0, 0, 0.
void SolveCramer3(const TCramerRow& m1, const TCramerRow& m2, const TCramerRow& m3,
                  const TCramerRow& r, TCramerRow& x);

// Cubic through P0..P3: X(t) = k3 t^3 + k2 t^2 + k1 t + P0.X, Y likewise, with
// the parameters T = 0, L1/L, (L1+L2)/L, 1 at the four points (L the sum of the
// chord lengths L1, L2, L3).
class TCubicCurve {
 public:
  // Fixes the cubic; the parameter starts at T[first] (first 0..4).
  void CubicInit(const TPointD& p0, const TPointD& p1, const TPointD& p2, const TPointD& p3,
                 int first, double step);
  // Advances the parameter by one step; false once it passes T[last] (last 0..4).
  bool CubicNext(TPointD& p, int last);

  const std::array<double, 5>& T() const { return t_; }
  double Parameter() const { return t_cur_; }

 private:
  TPointD p0_;
  std::array<double, 5> t_{};  // T[0..4]; T[4] is 0
  double kx3_ = 0, kx2_ = 0, kx1_ = 0;
  double ky3_ = 0, ky2_ = 0, ky1_ = 0;
  double t_cur_ = 0;
  double step_ = 0;
};

// Bezier curve of degree n over n + 1 consecutive control points of a list.
class TBezierCurve {
 public:
  // Degree n, parameter 0.
  void BezierInit(int n, double step);
  // Binomial(n, i) x^i (1 - x)^(n - i) for the current degree n.
  double BernsteinBasis(int i, double x) const;
  // Advances the parameter by one step; false once it passes 1. Otherwise p is
  // the point of the curve over controls[first] .. controls[first + n].
  bool BezierNext(TPointD& p, const std::vector<TPointD>& controls, int first);

 private:
  int n_ = 0;
  double t_ = 0;
  double step_ = 0;
};

// B-spline of order K = degree + 1 over the control points 0..N.
class TBSplineCurve {
 public:
  // Takes the first N + K + 1 knots (N = last) and cuts the parameter range
  // U[K-1] .. U[N+1] into m = Round(1 / step) equal steps. Raises RangeError
  // when the list has too few knots, when the knots decrease, or for a
  // negative degree or a step that is not positive.
  void BSplineInit(int degree, int last, const std::vector<double>& knots, double step);
  // Cox-de Boor basis of order k at t (k < 2: the half-open knot interval).
  double BSplineBasis(int i, int k, double t) const;
  // False once the parameter reaches U[N+1]; otherwise p := the curve at the
  // parameter, then the parameter advances. The first point is at U[K-1].
  bool BSplineNext(TPointD& p, const std::vector<TPointD>& controls);

  double Step() const { return step_; }

 private:
  int n_ = 0;  // N, the last control point
  int k_ = 0;  // K, the order
  std::vector<double> u_;
  double t_ = 0;
  double step_ = 0;
  std::vector<double> work_;  // basis values of one evaluation
};

}  // namespace vm
