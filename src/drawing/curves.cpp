// Cubic, Bezier and B-spline evaluation for the DXF reader.
#include "drawing/curves.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"

namespace vm {

namespace {

void CheckTableIndex(int index) {
  if (index < 0 || index > 4)
    throw RangeError("curve parameter index " + std::to_string(index) + " outside 0..4");
}

}  // namespace

double Det3(const TCramerRow& r1, const TCramerRow& r2, const TCramerRow& r3) {
  return r1[1] * (r2[2] * r3[3] - r2[3] * r3[2]) - r1[2] * (r2[1] * r3[3] - r2[3] * r3[1]) +
         r1[3] * (r2[1] * r3[2] - r2[2] * r3[1]);
}

void SolveCramer3(const TCramerRow& m1, const TCramerRow& m2, const TCramerRow& m3,
                  const TCramerRow& r, TCramerRow& x) {
  x = TCramerRow{};
  // The determinant of the columns equals that of the same vectors as rows.
  const double d = Det3(m1, m2, m3);
  if (d == 0) return;
  x[1] = Det3(r, m2, m3) / d;
  x[2] = Det3(m1, r, m3) / d;
  x[3] = Det3(m1, m2, r) / d;
}

// ---- Cubic through four points ----

void TCubicCurve::CubicInit(const TPointD& p0, const TPointD& p1, const TPointD& p2,
                            const TPointD& p3, int first, double step) {
  CheckTableIndex(first);
  const double l1 = DistanceD(p0, p1);
  const double l2 = DistanceD(p1, p2);
  const double l3 = DistanceD(p2, p3);
  const double l = l1 + l2 + l3;
  p0_ = p0;
  // Four equal points have no chord length: the parameters of the inner points
  // collapse to 0, the system is singular and the cubic stays at P0.
  t_ = {0, l > 0 ? l1 / l : 0, l > 0 ? (l1 + l2) / l : 0, 1, 0};

  TCramerRow c3{}, c2{}, c1{}, rx{}, ry{};
  const TPointD pts[4] = {p0, p1, p2, p3};
  for (int i = 1; i <= 3; ++i) {
    const double ti = t_[i];
    c3[i] = ti * ti * ti;
    c2[i] = ti * ti;
    c1[i] = ti;
    rx[i] = pts[i].X - p0.X;
    ry[i] = pts[i].Y - p0.Y;
  }
  TCramerRow kx, ky;
  SolveCramer3(c3, c2, c1, rx, kx);
  SolveCramer3(c3, c2, c1, ry, ky);
  kx3_ = kx[1];
  kx2_ = kx[2];
  kx1_ = kx[3];
  ky3_ = ky[1];
  ky2_ = ky[2];
  ky1_ = ky[3];
  t_cur_ = t_[first];
  step_ = step;
}

bool TCubicCurve::CubicNext(TPointD& p, int last) {
  CheckTableIndex(last);
  t_cur_ += step_;
  if (t_cur_ > t_[last]) return false;
  const double t = t_cur_;
  p.X = ((kx3_ * t + kx2_) * t + kx1_) * t + p0_.X;
  p.Y = ((ky3_ * t + ky2_) * t + ky1_) * t + p0_.Y;
  return true;
}

// ---- Bezier ----

void TBezierCurve::BezierInit(int n, double step) {
  if (n < 0) throw RangeError("Bezier degree " + std::to_string(n) + " is negative");
  n_ = n;
  t_ = 0;
  step_ = step;
}

double TBezierCurve::BernsteinBasis(int i, double x) const {
  return Binomial(n_, i) * PowerInt(i, x) * PowerInt(n_ - i, 1 - x);
}

bool TBezierCurve::BezierNext(TPointD& p, const std::vector<TPointD>& controls, int first) {
  t_ += step_;
  if (t_ > 1) return false;
  if (first < 0 || static_cast<std::size_t>(first) + n_ >= controls.size())
    throw RangeError("Bezier control points " + std::to_string(first) + ".." +
                     std::to_string(first + n_) + " outside a list of " +
                     std::to_string(controls.size()));
  TPointD r;
  for (int i = 0; i <= n_; ++i) {
    const double b = BernsteinBasis(i, t_);
    r.X += b * controls[first + i].X;
    r.Y += b * controls[first + i].Y;
  }
  p = r;
  return true;
}

// ---- B-spline ----

void TBSplineCurve::BSplineInit(int degree, int last, const std::vector<double>& knots,
                                double step) {
  if (degree < 0) throw RangeError("B-spline degree " + std::to_string(degree) + " is negative");
  if (last < 0) throw RangeError("B-spline without control points");
  if (!(step > 0) || !std::isfinite(step)) throw RangeError("B-spline step is not positive");
  const int n = last;
  const int k = degree + 1;
  const std::size_t count = static_cast<std::size_t>(n) + k + 1;
  if (knots.size() < count)
    throw RangeError("B-spline needs " + std::to_string(count) + " knots, the list has " +
                     std::to_string(knots.size()));
  u_.assign(knots.begin(), knots.begin() + count);
  if (!std::is_sorted(u_.begin(), u_.end())) throw RangeError("B-spline knots decrease");
  n_ = n;
  k_ = k;
  t_ = u_[k - 1];
  const int m = std::max(1, Round(1 / step));
  step_ = (u_[n + 1] - u_[k - 1]) / m;
  work_.assign(k + 1, 0.0);
}

double TBSplineCurve::BSplineBasis(int i, int k, double t) const {
  if (i < 0 || static_cast<std::size_t>(i) + std::max(k, 1) >= u_.size())
    throw RangeError("B-spline basis " + std::to_string(i) + "," + std::to_string(k) +
                     " outside the knot vector");
  const std::vector<double>& u = u_;
  if (k < 2) return (u[i] <= t && t < u[i + 1]) ? 1.0 : 0.0;
  double sum = 0;
  const double b1 = BSplineBasis(i, k - 1, t);
  if (t != u[i] && b1 != 0) sum = (t - u[i]) / (u[i + k - 1] - u[i]) * b1;
  const double b2 = BSplineBasis(i + 1, k - 1, t);
  if (u[i + k] != t && b2 != 0) sum += (u[i + k] - t) / (u[i + k] - u[i + 1]) * b2;
  return sum;
}

bool TBSplineCurve::BSplineNext(TPointD& p, const std::vector<TPointD>& controls) {
  if (u_.empty() || t_ >= u_[n_ + 1]) return false;
  if (controls.size() < static_cast<std::size_t>(n_) + 1)
    throw RangeError("B-spline needs " + std::to_string(n_ + 1) + " control points, the list has " +
                     std::to_string(controls.size()));
  const double t = t_;
  // Only the K bases of the knot span j (U[j] <= t < U[j+1]) can be non-zero;
  // they are built bottom-up with exactly the terms of BSplineBasis, so the
  // result equals the full sum over all control points.
  const auto span_end = std::upper_bound(u_.begin(), u_.begin() + n_ + 2, t);
  const int j = static_cast<int>(span_end - u_.begin()) - 1;
  const int lo = j - k_ + 1;  // first basis of the span; b[i - lo]
  std::vector<double>& b = work_;
  std::fill(b.begin(), b.end(), 0.0);
  b[k_ - 1] = 1;  // the order-1 basis of span j; b[k_] stays 0 (basis j + 1)
  for (int k = 2; k <= k_; ++k) {
    for (int i = lo; i <= j; ++i) {
      const double b1 = b[i - lo];
      const double b2 = b[i - lo + 1];
      double sum = 0;
      if (t != u_[i] && b1 != 0) sum = (t - u_[i]) / (u_[i + k - 1] - u_[i]) * b1;
      if (u_[i + k] != t && b2 != 0) sum += (u_[i + k] - t) / (u_[i + k] - u_[i + 1]) * b2;
      b[i - lo] = sum;
    }
  }
  TPointD r;
  for (int i = lo; i <= j; ++i) {
    r.X += b[i - lo] * controls[i].X;
    r.Y += b[i - lo] * controls[i].Y;
  }
  p = r;
  // Knots far from 0 can make the step smaller than the spacing of doubles
  // there; the parameter would then never reach the end.
  const double next = t_ + step_;
  t_ = next > t_ ? next : u_[n_ + 1];
  return true;
}

}  // namespace vm
