// DXF mode of the drawing reader: one figure per entity of the ENTITIES
// section (LINE, CIRCLE, ELLIPSE, ARC, POLYLINE, LWPOLYLINE, SPLINE).
//
// The file is read as group pairs: a group-code line, then a value line. Lines
// are taken straight from the reader's buffer (no copy unless a line straddles
// two buffer fills). Curves are flattened into straight segments by a length
// rule; drawing coordinates are in the current length unit, and a drawing whose
// "$LTSCALE" is 0.000394 is in inches.
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "drawing/curves.h"
#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "drawing/matma.h"
#include "drawing/number_parse.h"
#include "drawing/rounding.h"
#include "drawing/units.h"

namespace vm {

double LtScale = 1;

namespace {

constexpr double kPi = 3.14159265358979323846;

// No curve of a drawing needs more segments than this (a 20 km curve at 2 mm);
// a larger count can only come from a corrupt value and would exhaust memory.
constexpr double kMaxCurveSegments = 10'000'000;

// Half a plotter unit: a bulge arc that strays less than this from its chord
// is drawn as the chord itself.
constexpr double kStraightSagittaMm = 0.0125;

std::string_view Trim(std::string_view s) {
  std::size_t b = 0;
  std::size_t e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string NumberText(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.10g", v);
  return text;
}

// Knots that come in groups of four equal values describe a chain of separate
// cubic Bezier pieces (each junction knot repeated four times).
bool KnotsInGroupsOfFour(const std::vector<double>& knots) {
  for (std::size_t g = 0; g + 3 < knots.size(); g += 4) {
    if (knots[g + 1] != knots[g] || knots[g + 2] != knots[g] || knots[g + 3] != knots[g])
      return false;
  }
  return true;
}

}  // namespace

// ---- Group-pair reading ----

void Thpgl::OpenDxf() {
  CurrentPen = 1;
  CodeLinePending = true;
  InEntities = false;
  LineCount = 0;
  // Every drawing states its own scale; a value from an earlier drawing must
  // not scale this one.
  LtScale = 1;
  LastAdded = {INT32_MAX, INT32_MAX};
  dxfLine_ = dxfTrimmed_ = {};
  dxfLineCopy_.clear();
  dxfCodeZero_ = false;
  dxfReuseLine_ = false;
  AtEof = !(bufPos_ < bufLen_ || Refill());
}

std::string_view Thpgl::ReadLine() {
  CodeLinePending = !CodeLinePending;
  LineCount = CheckedAdd<std::int32_t>(LineCount, 1);
  dxfLineCopy_.clear();
  bool copied = false;
  char terminator = 0;
  for (;;) {
    const char* const begin = buf_.data() + bufPos_;
    const char* const end = buf_.data() + bufLen_;
    const char* q = begin;
    while (q != end && *q != '\r' && *q != '\n') ++q;
    if (q != end) {
      terminator = *q;
      if (copied) {
        dxfLineCopy_.append(begin, q);
        dxfLine_ = dxfLineCopy_;
      } else {
        dxfLine_ = std::string_view(begin, static_cast<std::size_t>(q - begin));
      }
      bufPos_ = static_cast<std::size_t>(q - buf_.data()) + 1;
      break;
    }
    if (begin != end) dxfLineCopy_.append(begin, end);
    copied = true;
    bufPos_ = bufLen_;
    if (!Refill()) {
      dxfLine_ = dxfLineCopy_;
      break;
    }
  }

  // Looking past the end of the buffer refills it: a line still held in the
  // buffer is copied out first.
  auto more = [&]() {
    if (bufPos_ < bufLen_) return true;
    if (!copied) {
      dxfLineCopy_.assign(dxfLine_);
      dxfLine_ = dxfLineCopy_;
      copied = true;
    }
    return Refill();
  };
  bool hasMore = terminator != 0 && more();
  // CR LF and LF CR are one line end each; two equal ones in a row (LF LF,
  // CR CR) end an empty line between them.
  if (hasMore && ((terminator == '\r' && buf_[bufPos_] == '\n') ||
                  (terminator == '\n' && buf_[bufPos_] == '\r'))) {
    ++bufPos_;
    hasMore = more();
  }
  AtEof = !hasMore;

  dxfTrimmed_ = Trim(dxfLine_);
  if (!CodeLinePending) dxfCodeZero_ = dxfTrimmed_ == "0";
  return dxfLine_;
}

void Thpgl::BadDxfValue(std::string_view text) const {
  QString shown = QString::fromLatin1(
      text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 60)));
  throw MessageError("Project_window", "zbiorUszkodzony",
                     QString::number(LineCount) + ": " + shown);
}

void Thpgl::ReadDouble(double& x) {
  ReadLine();
  std::string_view t = dxfTrimmed_;
  if (t.empty()) return;
  // Map a decimal comma to a point without allocating.
  char local[64];
  if (t.find(',') != std::string_view::npos && t.size() <= sizeof local) {
    std::memcpy(local, t.data(), t.size());
    for (std::size_t i = 0; i < t.size(); ++i)
      if (local[i] == ',') local[i] = '.';
    t = std::string_view(local, t.size());
  }
  try {
    x = ParseFileDouble(t);
  } catch (const ConversionError&) {
    BadDxfValue(dxfTrimmed_);
  }
}

void Thpgl::ReadInt(std::int32_t& n) {
  ReadLine();
  if (dxfTrimmed_.empty()) return;
  try {
    n = ParseFileInt(dxfTrimmed_);
  } catch (const ConversionError&) {
    BadDxfValue(dxfTrimmed_);
  }
}

bool Thpgl::IsGroupCode(std::string_view code) const {
  return !CodeLinePending && EqualNoCase(dxfTrimmed_, code);
}

bool Thpgl::IsValue(std::string_view word) const {
  return CodeLinePending && EqualNoCase(dxfTrimmed_, word);
}

// An entity name is the value of a group code 0; a layer or block that happens
// to be called "ARC" is not an entity.
bool Thpgl::IsEntity(std::string_view name) const {
  return CodeLinePending && dxfCodeZero_ && dxfTrimmed_ == name;
}

// Reads lines until the group code `code`, testing the current line first. The
// search ends without success at the next entity (group code 0) or at the end
// of the file, so an entity that lacks a code never swallows the next one.
bool Thpgl::FindCode(std::string_view code) {
  for (;;) {
    if (IsGroupCode(code)) return true;
    if (IsGroupCode("0") || AtEof) return false;
    ReadLine();
  }
}

bool Thpgl::ReadDxfPoint(TPointD& p) {
  if (!FindCode("10")) return false;
  ReadDouble(p.X);
  if (!FindCode("20")) return false;
  ReadDouble(p.Y);
  return true;
}

bool Thpgl::ReadDxfPoint2(TPointD& p) {
  if (!FindCode("11")) return false;
  ReadDouble(p.X);
  if (!FindCode("21")) return false;
  ReadDouble(p.Y);
  return true;
}

// Reads up to the next "VERTEX" or "SEQEND". Any other entity ends the
// polyline; its name is kept for the next figure.
void Thpgl::SkipToVertexOrSeqend() {
  bool read = false;
  for (;;) {
    if (CodeLinePending && dxfCodeZero_) {
      if (dxfTrimmed_ == "VERTEX" || dxfTrimmed_ == "SEQEND") return;
      if (read) {
        dxfReuseLine_ = true;
        return;
      }
    }
    if (AtEof) return;
    ReadLine();
    read = true;
  }
}

// ---- Points ----

TPointI Thpgl::DxfToPlotter(double x, double y) const {
  if (std::abs(LtScale - 0.000394) < 0.000001) {
    x *= 25.4;
    y *= 25.4;
  }
  const double mx = UnitToMm(CurrentUnit, x);
  const double my = UnitToMm(CurrentUnit, y);
  TPointI p;
  try {
    p.X = MmToPlotterUnits(mx);
  } catch (const RangeError&) {
    BadDxfValue(NumberText(x));
  }
  try {
    p.Y = MmToPlotterUnits(my);
  } catch (const RangeError&) {
    BadDxfValue(NumberText(y));
  }
  return p;
}

double Thpgl::DxfLengthToMm(double length) const {
  if (std::abs(LtScale - 0.000394) < 0.000001) length *= 25.4;
  return UnitToMm(CurrentUnit, length);
}

// Segment rule for a curve of length lengthMm of which `fraction` is drawn:
// segments of s = min(2, max(0.5, L / 96)) mm, n = |Round(fraction L / s + 0.5)|,
// at least 16.
std::int32_t Thpgl::DxfSegmentCount(double lengthMm, double fraction) const {
  const double s = std::min(2.0, std::max(0.5, lengthMm / 96));
  const double v = fraction * lengthMm / s + 0.5;
  if (!std::isfinite(v) || std::abs(v) > kMaxCurveSegments) BadDxfValue(NumberText(lengthMm));
  return std::max<std::int32_t>(16, std::abs(Round(v)));
}

void Thpgl::AddDxfPoint(tfigura& figure, double x, double y) {
  const TPointI p = DxfToPlotter(x, y);
  if (p != LastAdded) figure.AddPoint(p);
  LastAdded = p;
}

void Thpgl::AppendDxfPoint(tfigura& figure, double x, double y) {
  figure.AddPoint(DxfToPlotter(x, y));
}

void Thpgl::AddArcPoints(tfigura& figure, TPointD centre, double r, double a0, double w,
                         double a1) {
  const double lengthMm = DxfLengthToMm(2 * kPi * r);
  const std::int32_t n = DxfSegmentCount(lengthMm, w / (2 * kPi));
  // Arc points take the same equality test as every other point: a repeated
  // point would be a move of zero length, which the job writer takes for a
  // corner and pauses at, in the middle of a smooth contour.
  AddDxfPoint(figure, centre.X + r * std::cos(a0), centre.Y + r * std::sin(a0));
  for (std::int32_t k = 1; k < n; ++k) {
    const double a = a0 + k * w / n;
    AddDxfPoint(figure, centre.X + r * std::cos(a), centre.Y + r * std::sin(a));
  }
  AddDxfPoint(figure, centre.X + r * std::cos(a1), centre.Y + r * std::sin(a1));
}

void Thpgl::AddBulgeArc(tfigura& figure, TPointD p1, TPointD p2, double bulge) {
  const double t = 4 * std::atan(bulge);
  const double q = t > 0 ? (kPi - t) / 2 : -(t + kPi) / 2;
  const double phi = VectorAngleD(p1, p2);
  const double h = DistanceD(p1, p2) / 2;
  const double d = q == kPi / 2 ? 2147483647.0 : std::tan(q) * h;
  const double r = std::sqrt(d * d + h * h);
  const TPointD centre{p1.X + r * std::cos(phi + q), p1.Y + r * std::sin(phi + q)};
  const double a0 = phi + q - kPi;
  const double a1 = a0 + t;
  AddArcPoints(figure, centre, r, a0, a1 - a0, a1);
}

void Thpgl::AddSplineSegment(tfigura& figure, const std::vector<TPointD>& v, int i, int first,
                             int last) {
  const std::size_t n = v.size();
  if (i < 0 || static_cast<std::size_t>(i) + 1 >= n)
    throw RangeError("spline-fit segment " + std::to_string(i) + " outside " + std::to_string(n) +
                     " points");
  const TPointD& p0 = v[i];
  const TPointD& p1 = v[i + 1];
  const TPointD& p2 = v[(i + 2) % n];
  const TPointD& p3 = v[(i + 3) % n];
  const double l = DxfLengthToMm(DistanceD(p0, p1) + DistanceD(p1, p2) + DistanceD(p2, p3));
  if (!(l > 0.5)) return;
  const double s = std::min(2.0, std::max(0.5, l / 24));
  if (l / s > kMaxCurveSegments) BadDxfValue(NumberText(l));
  double step = s / l;
  if (step > 1) step = 0.25;
  TCubicCurve cubic;
  cubic.CubicInit(p0, p1, p2, p3, first, step);
  TPointD p;
  while (cubic.CubicNext(p, last)) AddDxfPoint(figure, p.X, p.Y);
}

// ---- Entities ----

void Thpgl::ReadDxfLine(tfigura& figure) {
  static constexpr std::string_view kCodes[4] = {"10", "20", "11", "21"};
  double v[4] = {0, 0, 0, 0};
  bool have[4] = {false, false, false, false};
  bool skipped = false;
  while (!AtEof) {
    ReadLine();
    if (IsGroupCode("0")) break;
    if (CodeLinePending && (dxfTrimmed_ == "BYBLOCK" || dxfTrimmed_ == "ByBlock")) skipped = true;
    for (int i = 0; i < 4; ++i) {
      if (!have[i] && IsGroupCode(kCodes[i])) {
        ReadDouble(v[i]);
        have[i] = true;
        break;
      }
    }
  }
  if (have[0] && have[1] && have[2] && have[3] && !skipped) {
    AddDxfPoint(figure, v[0], v[1]);
    AddDxfPoint(figure, v[2], v[3]);
  }
}

void Thpgl::ReadDxfCircle(tfigura& figure) {
  TPointD c;
  double r = 0;
  if (!ReadDxfPoint(c) || !FindCode("40")) return;
  ReadDouble(r);
  const std::int32_t n = DxfSegmentCount(DxfLengthToMm(2 * kPi * r), 1);
  for (std::int32_t k = 0; k <= n; ++k) {
    const double a = 2 * kPi * k / n;
    AddDxfPoint(figure, c.X + r * std::cos(a), c.Y + r * std::sin(a));
  }
}

void Thpgl::ReadDxfEllipse(tfigura& figure) {
  TPointD c, major;
  double ratio = 0, start = 0, end = 0;
  if (!ReadDxfPoint(c) || !ReadDxfPoint2(major) || !FindCode("40")) return;
  ReadDouble(ratio);
  if (!FindCode("41")) return;
  ReadDouble(start);
  if (!FindCode("42")) return;
  ReadDouble(end);
  // The ellipse runs counter-clockwise from start to end; an end below the
  // start lies one turn further on.
  if (end < start) end += 2 * kPi;
  const double a = std::sqrt(major.X * major.X + major.Y * major.Y);
  const double b = ratio * a;
  const double phi = VectorAngleD(c, TPointD{c.X + major.X, c.Y + major.Y});
  const std::int32_t n = DxfSegmentCount(DxfLengthToMm(std::abs(end - start) * a), 1);
  const double cp = std::cos(phi);
  const double sp = std::sin(phi);
  for (std::int32_t k = 0; k <= n; ++k) {
    const double u = start + (end - start) * k / n;
    const double cu = std::cos(u);
    const double su = std::sin(u);
    AddDxfPoint(figure, c.X + (a * cu * cp - b * su * sp), c.Y + (a * cu * sp + b * su * cp));
  }
}

void Thpgl::ReadDxfArc(tfigura& figure) {
  TPointD c;
  double r = 0, start = 0, end = 0;
  if (!ReadDxfPoint(c) || !FindCode("40")) return;
  ReadDouble(r);
  if (!FindCode("50")) return;
  ReadDouble(start);
  if (!FindCode("51")) return;
  ReadDouble(end);
  const double a0 = start * kPi / 180;
  const double a1 = end * kPi / 180;
  double w = a1 - a0;
  if (w < 0) w += 2 * kPi;
  AddArcPoints(figure, c, r, a0, w, a1);
  while (!IsGroupCode("0") && !AtEof) ReadLine();
}

void Thpgl::ReadDxfPolyline(tfigura& figure, bool lightweight) {
  std::int32_t flags = 0;
  // The flags precede the vertices; a lightweight polyline without flags
  // starts its vertices (group 10) straight away.
  while (!IsGroupCode("70") && !IsGroupCode("0") && !(lightweight && IsGroupCode("10")) && !AtEof)
    ReadLine();
  if (IsGroupCode("70")) ReadInt(flags);
  if (flags & (4 | 8)) {
    ReadDxfSplineFit(figure, (flags & 1) != 0);
    return;
  }
  const bool closed = (flags & 1) != 0;
  if (!lightweight) SkipToVertexOrSeqend();

  bool pending = false;  // the last vertex read begins a bulge arc
  TPointD pendingVertex;
  double pendingBulge = 0;
  bool haveFirst = false;
  TPointD firstVertex;
  // The segment from the pending vertex to `next`: an arc, or a straight
  // segment when the arc strays less than half a plotter unit from its chord
  // (a bulge of nearly 0 would give an enormous radius and imprecise points).
  auto bendTo = [&](TPointD next) {
    const double sagittaMm =
        std::abs(pendingBulge) * DxfLengthToMm(DistanceD(pendingVertex, next)) / 2;
    if (sagittaMm < kStraightSagittaMm) {
      AddDxfPoint(figure, pendingVertex.X, pendingVertex.Y);
    } else {
      AddBulgeArc(figure, pendingVertex, next, pendingBulge);
    }
  };
  for (;;) {
    if (lightweight) {
      if (IsGroupCode("0") || AtEof) break;
    } else if (!IsEntity("VERTEX") || AtEof) {
      break;  // SEQEND, another entity, or a VERTEX cut off by the end of the file
    }
    TPointD v;
    if (!ReadDxfPoint(v)) {
      if (lightweight) break;
      SkipToVertexOrSeqend();
      continue;
    }
    if (!haveFirst) {
      firstVertex = v;
      haveFirst = true;
    }
    if (pending) {
      bendTo(v);
      pending = false;
    }
    while (!IsGroupCode("0") && !IsGroupCode("10") && !IsGroupCode("42") && !AtEof) ReadLine();
    if (IsGroupCode("42")) {
      double bulge = 0;
      ReadDouble(bulge);
      ReadLine();
      pending = bulge != 0;
      if (pending) {
        pendingVertex = v;
        pendingBulge = bulge;
      }
    }
    if (!pending) AddDxfPoint(figure, v.X, v.Y);
    if (!lightweight) SkipToVertexOrSeqend();
  }

  if (pending) {
    if (closed && haveFirst) {
      // The bulge of the last vertex of a closed polyline bends its closing segment.
      bendTo(firstVertex);
    } else {
      AddDxfPoint(figure, pendingVertex.X, pendingVertex.Y);
    }
  }
  // A closed polyline ends on its first point. One that already does (its
  // closing arc, or a last vertex that repeats the first) gets no second copy:
  // a repeated point is a move of zero length.
  const auto& pts = figure.Points;
  if (closed && !pts.empty() && (pts.size() == 1 || pts.back() != pts.front()))
    figure.AddPoint(pts.front());
}

void Thpgl::ReadDxfSplineFit(tfigura& figure, bool closed) {
  std::vector<TPointD> v;
  SkipToVertexOrSeqend();
  while (IsEntity("VERTEX") && !AtEof) {
    TPointD p;
    if (ReadDxfPoint(p)) {
      while (!IsGroupCode("70") && !IsGroupCode("0") && !AtEof) ReadLine();
      if (IsGroupCode("70")) {
        ReadLine();
        if (IsValue("8") || IsValue("32")) v.push_back(p);
      }
    }
    SkipToVertexOrSeqend();
  }

  const int k = static_cast<int>(v.size());
  if (k == 0) return;
  if (k <= 3) {
    for (const TPointD& p : v) AddDxfPoint(figure, p.X, p.Y);
  } else if (k == 4) {
    AddDxfPoint(figure, v[0].X, v[0].Y);
    AddSplineSegment(figure, v, 0, 0, 3);
  } else {
    AddDxfPoint(figure, v[0].X, v[0].Y);
    AddSplineSegment(figure, v, 0, 0, 2);
    const int hEnd = closed ? k - 4 : k - 5;
    for (int h = 1; h <= hEnd; ++h) {
      AddSplineSegment(figure, v, h, 1, 2);
      AddDxfPoint(figure, v[h + 2].X, v[h + 2].Y);
    }
    AddSplineSegment(figure, v, closed ? k - 3 : k - 4, 1, 3);
  }
  if (closed) {
    AddDxfPoint(figure, v[0].X, v[0].Y);
  } else {
    AddDxfPoint(figure, v[k - 1].X, v[k - 1].Y);
    AppendDxfPoint(figure, v[k - 1].X, v[k - 1].Y);
  }
}

void Thpgl::ReadDxfSpline(tfigura& figure) {
  std::int32_t degree = 0, knotCount = 0, controlCount = 0;
  if (FindCode("71")) ReadInt(degree);
  if (FindCode("72")) ReadInt(knotCount);
  if (FindCode("73")) ReadInt(controlCount);
  std::vector<double> knots;
  std::vector<TPointD> controls, fits;
  while (!IsGroupCode("0") && !AtEof) {
    ReadLine();
    if (IsGroupCode("40")) {
      double knot = 0;
      ReadDouble(knot);
      knots.push_back(knot);
    } else if (IsGroupCode("41")) {
      double weight = 1;  // weights are read and checked, but not used
      ReadDouble(weight);
    } else if (IsGroupCode("10")) {
      TPointD p;
      ReadDouble(p.X);
      if (!FindCode("20")) break;
      ReadDouble(p.Y);
      controls.push_back(p);
    } else if (IsGroupCode("11")) {
      TPointD p;
      ReadDouble(p.X);
      if (!FindCode("21")) break;
      ReadDouble(p.Y);
      fits.push_back(p);
    }
  }
  // The counts in the header only announce the lists; the lists read are used.
  const std::size_t nc = controls.size();
  const std::size_t nk = knots.size();
  auto throughFitPoints = [&] {
    for (const TPointD& p : fits) AddDxfPoint(figure, p.X, p.Y);
  };
  if (nc == 0) {
    // A spline given by fit points alone is drawn as the polyline through them.
    throughFitPoints();
    return;
  }
  const TPointD& firstControl = controls.front();
  const TPointD& lastControl = controls.back();
  if (nc == 4 && controls[0] == controls[1] && controls[2] == controls[3]) {
    AddDxfPoint(figure, firstControl.X, firstControl.Y);
    AddDxfPoint(figure, lastControl.X, lastControl.Y);
    return;
  }

  double polygon = 0;
  for (std::size_t i = 0; i + 1 < nc; ++i) polygon += DistanceD(controls[i], controls[i + 1]);
  const double lc = DxfLengthToMm(polygon);
  const double s = std::min(2.0, std::max(0.5, lc / (96.0 * static_cast<double>(nc))));
  const double segments = std::max(4.0, lc / s);
  if (!std::isfinite(segments) || segments > kMaxCurveSegments) BadDxfValue(NumberText(lc));
  double step = std::min(0.25, 1 / segments);
  const std::int32_t m = std::max<std::int32_t>(4, Round(1 / step));
  step = 1.0 / m;

  TPointD p;
  if (nk % 4 == 0 && nc % 4 == 0 && nk == nc + 4 && nk != 12 && KnotsInGroupsOfFour(knots)) {
    // A chain of cubic Bezier pieces, four control points each. A short chain
    // would get a step past the end of every piece and shrink to the chord
    // from its first to its last control point; each piece keeps at least its
    // end point.
    step = std::min(1.0, step * static_cast<double>(nc));
    AddDxfPoint(figure, firstControl.X, firstControl.Y);
    TBezierCurve bezier;
    for (std::size_t g = 0; g < nc; g += 4) {
      bezier.BezierInit(3, step);
      while (bezier.BezierNext(p, controls, static_cast<int>(g))) AddDxfPoint(figure, p.X, p.Y);
    }
    AddDxfPoint(figure, lastControl.X, lastControl.Y);
    return;
  }

  const long long needed = static_cast<long long>(nc) + degree + 1;
  if (degree < 0 || static_cast<long long>(nk) < needed ||
      !std::is_sorted(knots.begin(), knots.begin() + static_cast<std::ptrdiff_t>(needed))) {
    if (!fits.empty()) {
      throughFitPoints();
      return;
    }
    BadDxfValue("SPLINE");
  }
  AddDxfPoint(figure, firstControl.X, firstControl.Y);
  TBSplineCurve spline;
  spline.BSplineInit(degree, static_cast<int>(nc) - 1, knots, step);
  while (spline.BSplineNext(p, controls)) AddDxfPoint(figure, p.X, p.Y);
  AddDxfPoint(figure, lastControl.X, lastControl.Y);
}

// ---- One figure ----

void Thpgl::ReadFigureDxf(tfigura& figure) {
  figure.Pen = CurrentPen;
  FigureDone = false;
  LastAdded = {INT32_MAX, INT32_MAX};
  while (!FigureDone && (dxfReuseLine_ || !AtEof)) {
    if (dxfReuseLine_) {
      dxfReuseLine_ = false;
    } else {
      ReadLine();
    }
    const std::string_view t = dxfTrimmed_;
    if (t == "ENTITIES") {
      InEntities = true;
      CodeLinePending = true;
    } else if (t == "$LTSCALE") {
      ReadLine();
      ReadDouble(LtScale);
      ReadLine();
    } else if (InEntities && CodeLinePending && dxfCodeZero_) {
      if (t == "LINE") {
        ReadDxfLine(figure);
        FigureDone = true;
      } else if (t == "CIRCLE") {
        ReadDxfCircle(figure);
        FigureDone = true;
      } else if (t == "ELLIPSE") {
        ReadDxfEllipse(figure);
        FigureDone = true;
      } else if (t == "ARC") {
        ReadDxfArc(figure);
        FigureDone = true;
      } else if (t == "POLYLINE") {
        ReadDxfPolyline(figure, false);
        FigureDone = true;
      } else if (t == "LWPOLYLINE") {
        ReadLine();
        // "LWPOLYLINE" followed by group code 2 names a class, not an entity.
        if (!IsGroupCode("2")) {
          ReadDxfPolyline(figure, true);
          FigureDone = true;
        }
      } else if (t == "SPLINE") {
        ReadDxfSpline(figure);
        FigureDone = true;
      }
    }
  }
  FinishFigure(figure);
}

}  // namespace vm
