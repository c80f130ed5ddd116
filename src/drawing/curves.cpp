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

bool TBezierCurve::BezierNext(TPointD& p, const std::vector<TPointD>& controls, int first,
                              const std::vector<double>* weights) {
  t_ += step_;
  if (t_ > 1) return false;
  if (first < 0 || static_cast<std::size_t>(first) + n_ >= controls.size())
    throw RangeError("Bezier control points " + std::to_string(first) + ".." +
                     std::to_string(first + n_) + " outside a list of " +
                     std::to_string(controls.size()));
  TPointD r;
  if (weights != nullptr) {
    if (static_cast<std::size_t>(first) + n_ >= weights->size())
      throw RangeError("Bezier weights outside their list");
    double sum = 0;
    for (int i = 0; i <= n_; ++i) {
      const double b = BernsteinBasis(i, t_) * (*weights)[first + i];
      r.X += b * controls[first + i].X;
      r.Y += b * controls[first + i].Y;
      sum += b;
    }
    if (sum != 0) {
      r.X /= sum;
      r.Y /= sum;
    }
    p = r;
    return true;
  }
  for (int i = 0; i <= n_; ++i) {
    const double b = BernsteinBasis(i, t_);
    r.X += b * controls[first + i].X;
    r.Y += b * controls[first + i].Y;
  }
  p = r;
  return true;
}

// ---- B-spline ----

void TBSplineCurve::InitKnots(int degree, int last, const std::vector<double>& knots) {
  if (degree < 0) throw RangeError("B-spline degree " + std::to_string(degree) + " is negative");
  if (last < 0) throw RangeError("B-spline without control points");
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
  work_.assign(k + 1, 0.0);
}

void TBSplineCurve::BSplineInit(int degree, int last, const std::vector<double>& knots,
                                double step) {
  if (!(step > 0) || !std::isfinite(step)) throw RangeError("B-spline step is not positive");
  InitKnots(degree, last, knots);
  bySpans_ = false;
  const int m = std::max(1, Round(1 / step));
  step_ = (u_[n_ + 1] - u_[k_ - 1]) / m;
}

void TBSplineCurve::BSplineInitSpans(int degree, int last, const std::vector<double>& knots,
                                     const std::vector<int>& stepsPerSpan) {
  InitKnots(degree, last, knots);
  if (stepsPerSpan.size() != static_cast<std::size_t>(n_ - k_ + 2))
    throw RangeError("B-spline steps per span do not match its spans");
  bySpans_ = true;
  spanSteps_ = stepsPerSpan;
  span_ = k_ - 1;
  sub_ = 0;
  step_ = 0;
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

TPointD TBSplineCurve::Evaluate(double t, const std::vector<TPointD>& controls) {
  if (controls.size() < static_cast<std::size_t>(n_) + 1)
    throw RangeError("B-spline needs " + std::to_string(n_ + 1) + " control points, the list has " +
                     std::to_string(controls.size()));
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
  if (weights_ != nullptr) {
    if (weights_->size() < static_cast<std::size_t>(n_) + 1)
      throw RangeError("B-spline weights outside their list");
    double sum = 0;
    for (int i = lo; i <= j; ++i) {
      const double w = b[i - lo] * (*weights_)[i];
      r.X += w * controls[i].X;
      r.Y += w * controls[i].Y;
      sum += w;
    }
    if (sum != 0) {
      r.X /= sum;
      r.Y /= sum;
    }
    return r;
  }
  for (int i = lo; i <= j; ++i) {
    r.X += b[i - lo] * controls[i].X;
    r.Y += b[i - lo] * controls[i].Y;
  }
  return r;
}

bool TBSplineCurve::BSplineNext(TPointD& p, const std::vector<TPointD>& controls) {
  if (u_.empty()) return false;
  if (bySpans_) {
    // The next step of a non-empty span; the end of the last span is not returned.
    for (;;) {
      if (span_ > n_) return false;
      const int steps = spanSteps_[static_cast<std::size_t>(span_ - (k_ - 1))];
      if (u_[span_] < u_[span_ + 1] && sub_ < steps) break;
      ++span_;
      sub_ = 0;
    }
    const int steps = spanSteps_[static_cast<std::size_t>(span_ - (k_ - 1))];
    const double t = u_[span_] + (u_[span_ + 1] - u_[span_]) * sub_ / steps;
    p = Evaluate(t, controls);
    t_ = t;
    ++sub_;
    return true;
  }
  if (t_ >= u_[n_ + 1]) return false;
  p = Evaluate(t_, controls);
  // Knots far from 0 can make the step smaller than the spacing of doubles
  // there; the parameter would then never reach the end.
  const double next = t_ + step_;
  t_ = next > t_ ? next : u_[n_ + 1];
  return true;
}

// ---- Cubic spline through points ----

namespace {

// Solves the tridiagonal system a[i] x[i-1] + b[i] x[i] + c[i] x[i+1] = d[i]
// (a[0] and c[last] unused); the result replaces d.
void SolveTridiagonal(std::vector<double> a, std::vector<double> b, std::vector<double> c,
                      std::vector<double>& d) {
  const std::size_t n = d.size();
  for (std::size_t i = 1; i < n; ++i) {
    const double m = a[i] / b[i - 1];
    b[i] -= m * c[i - 1];
    d[i] -= m * d[i - 1];
  }
  d[n - 1] /= b[n - 1];
  for (std::size_t i = n - 1; i-- > 0;) d[i] = (d[i] - c[i] * d[i + 1]) / b[i];
}

// Second derivatives of the cubic spline through y at the parameter steps h,
// with the slopes d0 / dn at the ends where given (else no bending there).
std::vector<double> SplineMoments(const std::vector<double>& y, const std::vector<double>& h,
                                  const double* d0, const double* dn) {
  const std::size_t n = y.size();  // points; n - 1 pieces
  std::vector<double> a(n, 0), b(n, 1), c(n, 0), d(n, 0);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    a[i] = h[i - 1];
    b[i] = 2 * (h[i - 1] + h[i]);
    c[i] = h[i];
    d[i] = 6 * ((y[i + 1] - y[i]) / h[i] - (y[i] - y[i - 1]) / h[i - 1]);
  }
  if (d0 != nullptr) {
    b[0] = 2 * h[0];
    c[0] = h[0];
    d[0] = 6 * ((y[1] - y[0]) / h[0] - *d0);
  }
  if (dn != nullptr) {
    a[n - 1] = h[n - 2];
    b[n - 1] = 2 * h[n - 2];
    d[n - 1] = 6 * (*dn - (y[n - 1] - y[n - 2]) / h[n - 2]);
  }
  SolveTridiagonal(std::move(a), std::move(b), std::move(c), d);
  return d;
}

}  // namespace

void TFitSpline::Init(const std::vector<TPointD>& points, bool closed, const TPointD* startTangent,
                      const TPointD* endTangent) {
  p_.clear();
  h_.clear();
  mx_.clear();
  my_.clear();
  const std::size_t n = points.size();
  if (n < 2) throw RangeError("a spline through points needs two of them");
  // A closed spline is solved as an open one over its points repeated around
  // it: the bending at the ends dies away long before the middle turn, which
  // is taken.
  std::vector<TPointD> q;
  std::size_t from = 0;
  std::size_t pieces = n - 1;
  if (closed) {
    const std::size_t pad = 12;
    for (std::size_t k = 0; k < pad + n + 1 + pad; ++k)
      q.push_back(points[(k + n * ((pad + n - 1) / n + 1) - pad) % n]);
    from = pad;
    pieces = n;
    startTangent = endTangent = nullptr;
  } else {
    q = points;
  }
  std::vector<double> h(q.size() - 1);
  for (std::size_t i = 0; i + 1 < q.size(); ++i) {
    h[i] = DistanceD(q[i], q[i + 1]);
    if (!(h[i] > 0)) throw RangeError("a spline through points repeats a point");
  }
  std::vector<double> x(q.size()), y(q.size());
  for (std::size_t i = 0; i < q.size(); ++i) {
    x[i] = q[i].X;
    y[i] = q[i].Y;
  }
  // The parameter is the chord length, so a tangent is taken as a unit vector.
  auto unit = [](const TPointD* t, double& ux, double& uy) {
    if (t == nullptr) return false;
    const double l = std::hypot(t->X, t->Y);
    if (!(l > 0) || !std::isfinite(l)) return false;
    ux = t->X / l;
    uy = t->Y / l;
    return true;
  };
  double sx = 0, sy = 0, ex = 0, ey = 0;
  const bool hasStart = unit(startTangent, sx, sy);
  const bool hasEnd = unit(endTangent, ex, ey);
  const std::vector<double> mx =
      SplineMoments(x, h, hasStart ? &sx : nullptr, hasEnd ? &ex : nullptr);
  const std::vector<double> my =
      SplineMoments(y, h, hasStart ? &sy : nullptr, hasEnd ? &ey : nullptr);
  p_.assign(q.begin() + static_cast<std::ptrdiff_t>(from),
            q.begin() + static_cast<std::ptrdiff_t>(from + pieces + 1));
  h_.assign(h.begin() + static_cast<std::ptrdiff_t>(from),
            h.begin() + static_cast<std::ptrdiff_t>(from + pieces));
  mx_.assign(mx.begin() + static_cast<std::ptrdiff_t>(from),
             mx.begin() + static_cast<std::ptrdiff_t>(from + pieces + 1));
  my_.assign(my.begin() + static_cast<std::ptrdiff_t>(from),
             my.begin() + static_cast<std::ptrdiff_t>(from + pieces + 1));
}

TPointD TFitSpline::At(std::size_t i, double u) const {
  if (i >= h_.size()) throw RangeError("spline piece outside the spline");
  const double h = h_[i];
  const double s = u * h;  // distance from the piece's start along the parameter
  const double r = h - s;  // and from its end
  auto coord = [&](const std::vector<double>& m, double y0, double y1) {
    return m[i] * r * r * r / (6 * h) + m[i + 1] * s * s * s / (6 * h) +
           (y0 / h - m[i] * h / 6) * r + (y1 / h - m[i + 1] * h / 6) * s;
  };
  return {coord(mx_, p_[i].X, p_[i + 1].X), coord(my_, p_[i].Y, p_[i + 1].Y)};
}

}  // namespace vm
