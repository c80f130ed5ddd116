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
  // the point of the curve over controls[first] .. controls[first + n]. With
  // weights (one per control point of the list) the curve is rational.
  bool BezierNext(TPointD& p, const std::vector<TPointD>& controls, int first,
                  const std::vector<double>* weights = nullptr);

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
  // The same curve, but the parameter walks every non-empty knot span
  // U[j] .. U[j+1] (j = K-1 .. N) in its own number of equal steps,
  // stepsPerSpan[j - (K-1)], so a span far longer in parameter than the others
  // takes no samples away from them.
  void BSplineInitSpans(int degree, int last, const std::vector<double>& knots,
                        const std::vector<int>& stepsPerSpan);
  // Control-point weights (one per control point) make the curve rational;
  // null (the default) evaluates the plain B-spline.
  void SetWeights(const std::vector<double>* weights) { weights_ = weights; }
  // Cox-de Boor basis of order k at t (k < 2: the half-open knot interval).
  double BSplineBasis(int i, int k, double t) const;
  // False once the parameter reaches U[N+1]; otherwise p := the curve at the
  // parameter, then the parameter advances. The first point is at U[K-1].
  bool BSplineNext(TPointD& p, const std::vector<TPointD>& controls);

  double Step() const { return step_; }

 private:
  void InitKnots(int degree, int last, const std::vector<double>& knots);
  TPointD Evaluate(double t, const std::vector<TPointD>& controls);

  int n_ = 0;  // N, the last control point
  int k_ = 0;  // K, the order
  std::vector<double> u_;
  double t_ = 0;
  double step_ = 0;
  std::vector<double> work_;  // basis values of one evaluation
  const std::vector<double>* weights_ = nullptr;
  bool bySpans_ = false;
  std::vector<int> spanSteps_;
  int span_ = 0;  // current span j (by spans)
  int sub_ = 0;   // step within the span
};

// Cubic spline through a list of points (at least two, no two neighbours
// equal), with the chord lengths as parameter steps and continuous bending.
// The ends take the given tangent directions, or are left free (no bending at
// the end) without one; a closed spline runs on smoothly through its first
// point.
class TFitSpline {
 public:
  void Init(const std::vector<TPointD>& points, bool closed, const TPointD* startTangent,
            const TPointD* endTangent);
  // Number of pieces: one between each two neighbouring points (and from the
  // last back to the first when closed).
  std::size_t Pieces() const { return h_.size(); }
  // Chord length of piece i.
  double Chord(std::size_t i) const { return h_[i]; }
  // The point at the fraction u (0..1) of piece i.
  TPointD At(std::size_t i, double u) const;

 private:
  std::vector<TPointD> p_;  // the points of the pieces, p_[i] .. p_[i + 1]
  std::vector<double> h_;   // chord length of each piece
  std::vector<double> mx_;  // second derivatives at the points, X
  std::vector<double> my_;  // and Y
};

}  // namespace vm
