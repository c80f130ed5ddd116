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
#include <array>
#include <bit>
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

// Points a figure and a whole drawing may have. A curve is measured before it
// is flattened, so a corrupt radius or sweep is refused before its points take
// the memory. 2,000,000 points at 2 mm are a 4 km contour.
constexpr std::int64_t kMaxFigurePoints = 2'000'000;
constexpr std::int64_t kMaxDrawingPoints = 20'000'000;

// Spline degrees above this are not written by CAD programs; the work per
// point grows with the square of the degree.
constexpr std::int32_t kMaxSplineDegree = 25;

// A sweep larger than one turn by more than this is folded into one turn.
constexpr double kTurnTolerance = 1e-9;

// Largest plotter coordinate and extent.
constexpr double kPlotterRange = 2147483647.0;

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

// The plain decimals that CAD programs write ("-12.3456"): at most 15 digits,
// at least one before the point and one after it when there is a point. The
// digits as an integer and the power of ten are then both exact doubles, and
// their quotient, rounded once, is the correctly rounded value of the text,
// the same that the general parser gives. Anything else is left to that
// parser.
bool FastDecimal(std::string_view t, double& x) {
  static constexpr double kPow10[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::size_t i = 0;
  const bool negative = !t.empty() && t[0] == '-';
  if (negative) ++i;
  std::uint64_t m = 0;
  int digits = 0;
  const std::size_t intStart = i;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
    m = m * 10 + static_cast<unsigned>(t[i] - '0');
    ++digits;
    ++i;
  }
  if (i == intStart) return false;
  int fraction = 0;
  if (i < t.size() && t[i] == '.') {
    ++i;
    const std::size_t fracStart = i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      m = m * 10 + static_cast<unsigned>(t[i] - '0');
      ++digits;
      ++i;
    }
    fraction = static_cast<int>(i - fracStart);
    if (fraction == 0) return false;
  }
  if (i != t.size() || digits > 15) return false;
  const double v = static_cast<double>(m) / kPow10[fraction];
  x = negative ? -v : v;
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
  // A binary DXF file begins with a fixed sentinel that ends in
  // "Binary DXF", CR LF, SUB and NUL; its group codes and values are bytes,
  // not lines, and read as lines they would give no figure at all.
  static constexpr char kBinaryMark[] = "Binary DXF\r\n\x1a";  // the NUL belongs to the mark
  const std::string_view head(buf_.data() + bufPos_, std::min<std::size_t>(bufLen_ - bufPos_, 32));
  dxfBinary_ =
      head.find(std::string_view(kBinaryMark, sizeof kBinaryMark)) != std::string_view::npos;
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
    // Eight bytes at a time: a byte equal to CR or LF makes its XOR with
    // that byte zero, and the lowest zero byte of a word is found exactly.
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
    constexpr std::uint64_t kHigh = 0x8080808080808080ULL;
    static_assert(std::endian::native == std::endian::little, "the lowest byte comes first");
    while (end - q >= 8) {
      std::uint64_t v;
      std::memcpy(&v, q, 8);
      const std::uint64_t cr = v ^ (kOnes * '\r');
      const std::uint64_t lf = v ^ (kOnes * '\n');
      const std::uint64_t hit = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHigh;
      if (hit != 0) {
        q += __builtin_ctzll(hit) >> 3;
        break;
      }
      q += 8;
    }
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

void Thpgl::BadDxfValueAt(std::int32_t line, std::string_view text) const {
  QString shown = QString::fromLatin1(
      text.data(), static_cast<qsizetype>(std::min<std::size_t>(text.size(), 60)));
  throw MessageError("Project_window", "zbiorUszkodzony", QString::number(line) + ": " + shown);
}

void Thpgl::TooManyPoints() const {
  throw MessageError("Project_window", "figuraZaDuzoPunktow", QString::number(LineCount));
}

// The number of the last group-code line read, or -1 when it is no number.
int Thpgl::GroupCodeNumber() const {
  const std::string_view t = dxfTrimmed_;
  // "0" and numbers without leading zeros, as the codes compare as text.
  if (t.empty() || t.size() > 6 || (t.size() > 1 && t[0] == '0')) return -1;
  int n = 0;
  for (const char c : t) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

void Thpgl::ReadDouble(double& x) {
  ReadLine();
  std::string_view t = dxfTrimmed_;
  if (t.empty()) return;
  // Plain decimals (nearly every value) hold no comma: they are read first.
  if (FastDecimal(t, x)) return;
  // Map a decimal comma to a point without allocating.
  char local[64];
  if (t.find(',') != std::string_view::npos && t.size() <= sizeof local) {
    std::memcpy(local, t.data(), t.size());
    for (std::size_t i = 0; i < t.size(); ++i)
      if (local[i] == ',') local[i] = '.';
    t = std::string_view(local, t.size());
  }
  if (FastDecimal(t, x)) return;
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
  if (!std::isfinite(v)) BadDxfValue(NumberText(lengthMm));
  if (std::abs(v) > static_cast<double>(kMaxFigurePoints)) TooManyPoints();
  return std::max<std::int32_t>(16, std::abs(Round(v)));
}

// Refuses a curve of `count` more points when the figure or the drawing would
// then hold more points than a drawing may.
void Thpgl::ReserveCurvePoints(const tfigura& figure, double count) const {
  const double figurePoints = static_cast<double>(figure.Points.size()) + count;
  if (!(figurePoints <= static_cast<double>(kMaxFigurePoints))) TooManyPoints();
  if (!(static_cast<double>(dxfDrawingPoints_) + figurePoints <=
        static_cast<double>(kMaxDrawingPoints)))
    throw MessageError("Project_window", "rysunekZaDuzoPunktow", QString::number(LineCount));
}

// Refuses a curve whose box (the centre in drawing coordinates plus and minus
// `extent` in both axes) does not fit the range of plotter units.
void Thpgl::CheckCurveBox(TPointD centre, double extent) const {
  double cx = centre.X, cy = centre.Y;
  if (ocsActive_) {
    cx = centre.X * ocsAx_[0] + centre.Y * ocsAy_[0] + ocsZ_ * ocsN_[0];
    cy = centre.X * ocsAx_[1] + centre.Y * ocsAy_[1] + ocsZ_ * ocsN_[1];
  }
  const double e = std::abs(DxfLengthToMm(extent)) * 40;
  const double x = std::abs(DxfLengthToMm(cx)) * 40;
  const double y = std::abs(DxfLengthToMm(cy)) * 40;
  if (!(x + e <= kPlotterRange && y + e <= kPlotterRange && 2 * e <= kPlotterRange))
    throw MessageError("Project_window", "figuraPozaZakresem", QString::number(LineCount));
}

// The object coordinate system of an entity from its extrusion direction n
// (null: none given) and its elevation: points are taken along the object's
// axes by the arbitrary-axis rule of the format and seen from above (their X
// and Y). The direction +Z (the usual case) leaves the points as they are; -Z
// mirrors X.
void Thpgl::SetExtrusion(const double* n, double elevation) {
  ocsActive_ = false;
  if (n == nullptr || (n[0] == 0 && n[1] == 0 && n[2] == 1)) return;
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(len > 1e-12) || !std::isfinite(len)) BadDxfValue("210");
  const double nx = n[0] / len, ny = n[1] / len, nz = n[2] / len;
  if (nx == 0 && ny == 0 && nz > 0) return;
  double ax[3];
  if (std::abs(nx) < 1.0 / 64 && std::abs(ny) < 1.0 / 64) {
    ax[0] = nz;  // world Y x N
    ax[1] = 0;
    ax[2] = -nx;
  } else {
    ax[0] = -ny;  // world Z x N
    ax[1] = nx;
    ax[2] = 0;
  }
  const double al = std::sqrt(ax[0] * ax[0] + ax[1] * ax[1] + ax[2] * ax[2]);
  for (double& a : ax) a /= al;
  // Y axis = N x X axis.
  const double ay0 = ny * ax[2] - nz * ax[1];
  const double ay1 = nz * ax[0] - nx * ax[2];
  ocsAx_[0] = ax[0];
  ocsAx_[1] = ax[1];
  ocsAy_[0] = ay0;
  ocsAy_[1] = ay1;
  ocsN_[0] = nx;
  ocsN_[1] = ny;
  ocsZ_ = elevation;
  ocsActive_ = true;
}

void Thpgl::AddDxfPoint(tfigura& figure, double x, double y) {
  if (ocsActive_) {
    const double wx = x * ocsAx_[0] + y * ocsAy_[0] + ocsZ_ * ocsN_[0];
    y = x * ocsAx_[1] + y * ocsAy_[1] + ocsZ_ * ocsN_[1];
    x = wx;
  }
  const TPointI p = DxfToPlotter(x, y);
  if (p != LastAdded) {
    if (static_cast<std::int64_t>(figure.Points.size()) >= kMaxFigurePoints) [[unlikely]]
      TooManyPoints();
    figure.AddPoint(p);
  }
  LastAdded = p;
}

void Thpgl::AppendDxfPoint(tfigura& figure, double x, double y) {
  if (ocsActive_) {
    const double wx = x * ocsAx_[0] + y * ocsAy_[0] + ocsZ_ * ocsN_[0];
    y = x * ocsAx_[1] + y * ocsAy_[1] + ocsZ_ * ocsN_[1];
    x = wx;
  }
  if (static_cast<std::int64_t>(figure.Points.size()) >= kMaxFigurePoints) TooManyPoints();
  figure.AddPoint(DxfToPlotter(x, y));
}

void Thpgl::AddArcPoints(tfigura& figure, TPointD centre, double r, double a0, double w,
                         double a1) {
  const double lengthMm = DxfLengthToMm(2 * kPi * r);
  const std::int32_t n = DxfSegmentCount(lengthMm, w / (2 * kPi));
  ReserveCurvePoints(figure, n + 1.0);
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
  ReserveCurvePoints(figure, l / s + 1);
  double step = s / l;
  if (step > 1) step = 0.25;
  TCubicCurve cubic;
  cubic.CubicInit(p0, p1, p2, p3, first, step);
  TPointD p;
  while (cubic.CubicNext(p, last)) AddDxfPoint(figure, p.X, p.Y);
}

// ---- Entities ----

namespace {

// The first values of a few group codes of one entity.
template <std::size_t N>
struct TGroupValues {
  std::array<int, N> codes;
  std::array<double, N> value{};
  std::array<bool, N> have{};
  std::array<std::int32_t, N> line{};
  int Slot(int code) const {
    for (std::size_t i = 0; i < N; ++i)
      if (codes[i] == code) return static_cast<int>(i);
    return -1;
  }
  bool Has(int code) const { return have[static_cast<std::size_t>(Slot(code))]; }
  double Get(int code) const { return value[static_cast<std::size_t>(Slot(code))]; }
  // The extrusion direction when the entity gives one.
  bool Extrusion(double n[3]) const {
    const int s = Slot(210);
    const bool any = have[s] || have[s + 1] || have[s + 2];
    n[0] = have[s] ? value[s] : 0;
    n[1] = have[s + 1] ? value[s + 1] : 0;
    n[2] = have[s + 2] ? value[s + 2] : 1;
    return any;
  }
  bool PaperSpace() const {
    const int s = Slot(67);
    return s >= 0 && have[static_cast<std::size_t>(s)] && value[static_cast<std::size_t>(s)] == 1;
  }
};

}  // namespace

// Reads the group pairs of the entity up to its end (the next group code 0 or
// the end of the file), keeping the first value of each code asked for.
template <std::size_t N>
static void ReadGroups(Thpgl& reader, TGroupValues<N>& g) {
  while (!reader.AtEof) {
    reader.ReadLine();
    if (reader.CodeLinePending) continue;  // a value line
    const int c = reader.GroupCodeNumber();
    if (c == 0) break;
    const int slot = g.Slot(c);
    if (slot < 0 || g.have[static_cast<std::size_t>(slot)]) continue;
    g.line[static_cast<std::size_t>(slot)] = reader.LineCount + 1;
    reader.ReadDouble(g.value[static_cast<std::size_t>(slot)]);
    g.have[static_cast<std::size_t>(slot)] = true;
  }
}

void Thpgl::ReadDxfLine(tfigura& figure) {
  double v[4] = {0, 0, 0, 0};  // 10, 20, 11, 21
  bool have[4] = {false, false, false, false};
  bool skipped = false;
  while (!AtEof) {
    ReadLine();
    if (CodeLinePending) {  // a value line
      if (dxfTrimmed_ == "BYBLOCK" || dxfTrimmed_ == "ByBlock") skipped = true;
      continue;
    }
    int slot;
    switch (GroupCodeNumber()) {
      case 0:
        goto end;
      case 10:
        slot = 0;
        break;
      case 20:
        slot = 1;
        break;
      case 11:
        slot = 2;
        break;
      case 21:
        slot = 3;
        break;
      case 67: {
        double space = 0;
        ReadDouble(space);
        if (space == 1) skipped = true;  // paper space
        continue;
      }
      default:
        continue;
    }
    if (!have[slot]) {
      ReadDouble(v[slot]);
      have[slot] = true;
    }
  }
end:
  if (have[0] && have[1] && have[2] && have[3] && !skipped) {
    AddDxfPoint(figure, v[0], v[1]);
    AddDxfPoint(figure, v[2], v[3]);
  }
}

void Thpgl::ReadDxfCircle(tfigura& figure) {
  TGroupValues<8> g{{10, 20, 30, 40, 67, 210, 220, 230}};
  ReadGroups(*this, g);
  if (g.PaperSpace() || !g.Has(10) || !g.Has(20) || !g.Has(40)) return;
  const TPointD c{g.Get(10), g.Get(20)};
  const double r = g.Get(40);
  double n[3];
  SetExtrusion(g.Extrusion(n) ? n : nullptr, g.Get(30));
  CheckCurveBox(c, r);
  const std::int32_t count = DxfSegmentCount(DxfLengthToMm(2 * kPi * r), 1);
  ReserveCurvePoints(figure, count + 1.0);
  for (std::int32_t k = 0; k <= count; ++k) {
    const double a = 2 * kPi * k / count;
    AddDxfPoint(figure, c.X + r * std::cos(a), c.Y + r * std::sin(a));
  }
}

void Thpgl::ReadDxfEllipse(tfigura& figure) {
  TGroupValues<12> g{{10, 20, 11, 21, 31, 40, 41, 42, 67, 210, 220, 230}};
  ReadGroups(*this, g);
  if (g.PaperSpace()) return;
  for (int code : {10, 20, 11, 21, 40, 41, 42})
    if (!g.Has(code)) return;
  const TPointD c{g.Get(10), g.Get(20)};
  const TPointD major{g.Get(11), g.Get(21)};
  const double ratio = g.Get(40);
  double start = g.Get(41);
  double end = g.Get(42);
  // The ellipse runs counter-clockwise from start to end; an end below the
  // start lies one turn further on. Parameters that span more than one turn
  // are folded into one, as CAD programs keep them.
  if (end < start) end += 2 * kPi;
  if (!(end - start <= 2 * kPi + kTurnTolerance) && std::isfinite(start) && std::isfinite(end)) {
    start = std::fmod(start, 2 * kPi);
    if (start < 0) start += 2 * kPi;
    end = std::fmod(end, 2 * kPi);
    if (end < 0) end += 2 * kPi;
    if (end <= start) end += 2 * kPi;
  }
  double n[3];
  const bool extruded = g.Extrusion(n) && !(n[0] == 0 && n[1] == 0 && n[2] == 1);
  if (!extruded) {
    const double a = std::sqrt(major.X * major.X + major.Y * major.Y);
    const double b = ratio * a;
    const double phi = VectorAngleD(c, TPointD{c.X + major.X, c.Y + major.Y});
    CheckCurveBox(c, a);
    const std::int32_t count = DxfSegmentCount(DxfLengthToMm(std::abs(end - start) * a), 1);
    ReserveCurvePoints(figure, count + 1.0);
    const double cp = std::cos(phi);
    const double sp = std::sin(phi);
    for (std::int32_t k = 0; k <= count; ++k) {
      const double u = start + (end - start) * k / count;
      const double cu = std::cos(u);
      const double su = std::sin(u);
      AddDxfPoint(figure, c.X + (a * cu * cp - b * su * sp), c.Y + (a * cu * sp + b * su * cp));
    }
    return;
  }
  // An ellipse lies in the plane normal to its extrusion direction; its centre
  // and major axis are world coordinates, its minor axis is the normal crossed
  // with the major axis, and the parameter turns about the normal (clockwise
  // seen from above for the direction -Z).
  const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
  if (!(len > 1e-12) || !std::isfinite(len)) BadDxfValueAt(g.line[9], "210");
  const double nx = n[0] / len, ny = n[1] / len, nz = n[2] / len;
  const double mx = major.X, my = major.Y, mz = g.Has(31) ? g.Get(31) : 0;
  const double a = std::sqrt(mx * mx + my * my + mz * mz);
  // minor = ratio (N x M), X and Y components
  const double minorX = ratio * (ny * mz - nz * my);
  const double minorY = ratio * (nz * mx - nx * mz);
  CheckCurveBox(c, a);
  const std::int32_t count = DxfSegmentCount(DxfLengthToMm(std::abs(end - start) * a), 1);
  ReserveCurvePoints(figure, count + 1.0);
  for (std::int32_t k = 0; k <= count; ++k) {
    const double u = start + (end - start) * k / count;
    const double cu = std::cos(u);
    const double su = std::sin(u);
    AddDxfPoint(figure, c.X + mx * cu + minorX * su, c.Y + my * cu + minorY * su);
  }
}

void Thpgl::ReadDxfArc(tfigura& figure) {
  TGroupValues<10> g{{10, 20, 30, 40, 50, 51, 67, 210, 220, 230}};
  ReadGroups(*this, g);
  if (g.PaperSpace()) return;
  for (int code : {10, 20, 40, 50, 51})
    if (!g.Has(code)) return;
  const TPointD c{g.Get(10), g.Get(20)};
  const double r = g.Get(40);
  double start = g.Get(50);
  double end = g.Get(51);
  double a0 = start * kPi / 180;
  double a1 = end * kPi / 180;
  double w = a1 - a0;
  if (w < 0) w += 2 * kPi;
  if (!(w >= 0 && w <= 2 * kPi + kTurnTolerance)) {
    // Angles that span more than one turn: a CAD program keeps every angle
    // within one turn, so both are folded into 0..360 degrees; two equal
    // angles then stand for the full circle.
    if (!std::isfinite(start) || !std::isfinite(end)) BadDxfValueAt(g.line[5], NumberText(end));
    start = std::fmod(start, 360.0);
    if (start < 0) start += 360;
    end = std::fmod(end, 360.0);
    if (end < 0) end += 360;
    a0 = start * kPi / 180;
    a1 = end * kPi / 180;
    w = a1 - a0;
    if (w <= 0) w += 2 * kPi;
  }
  double n[3];
  SetExtrusion(g.Extrusion(n) ? n : nullptr, g.Get(30));
  AddArcPoints(figure, c, r, a0, w, a1);
}

// Reads up to the end of the vertices of a polyline (its SEQEND, or another
// entity, whose name is kept for the next figure).
void Thpgl::SkipPolylineVertices() {
  SkipToVertexOrSeqend();
  while (IsEntity("VERTEX") && !AtEof) {
    ReadLine();
    SkipToVertexOrSeqend();
  }
}

// The polyline through the vertices v, with a bulge arc from every vertex whose
// bulge is not 0 to the next one.
void Thpgl::AddPolylineVertices(tfigura& figure, const std::vector<TPointD>& v,
                                const std::vector<double>& bulges, bool closed) {
  bool pending = false;  // the last vertex read begins a bulge arc
  TPointD pendingVertex;
  double pendingBulge = 0;
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
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (pending) {
      bendTo(v[i]);
      pending = false;
    }
    if (bulges[i] != 0) {
      pending = true;
      pendingVertex = v[i];
      pendingBulge = bulges[i];
    } else {
      AddDxfPoint(figure, v[i].X, v[i].Y);
    }
  }
  if (pending) {
    if (closed) {
      // The bulge of the last vertex of a closed polyline bends its closing segment.
      bendTo(v.front());
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

void Thpgl::ReadDxfPolyline(tfigura& figure, bool lightweight) {
  std::int32_t flags = 0;
  bool paper = false;
  double normal[3] = {0, 0, 1};
  bool extruded = false;
  double elevation = 0;
  // Header values met on the way: the space (67), the elevation (POLYLINE:
  // the Z of its header point, 30; LWPOLYLINE: 38) and the extrusion
  // direction (210, 220, 230).
  auto noteHeader = [&] {
    if (CodeLinePending) return;
    const int code = GroupCodeNumber();
    if (code == 67) {
      double space = 0;
      ReadDouble(space);
      paper = space == 1;
    } else if (code == (lightweight ? 38 : 30)) {
      ReadDouble(elevation);
    } else if (code == 210 || code == 220 || code == 230) {
      ReadDouble(normal[(code - 210) / 10]);
      extruded = true;
    }
  };
  // The flags precede the vertices; a lightweight polyline without flags
  // starts its vertices (group 10) straight away.
  noteHeader();
  while (!IsGroupCode("70") && !IsGroupCode("0") && !(lightweight && IsGroupCode("10")) && !AtEof) {
    ReadLine();
    noteHeader();
  }
  if (IsGroupCode("70")) ReadInt(flags);

  std::vector<TPointD> v;
  std::vector<double> bulges;

  if (lightweight) {
    // One pass over the group pairs up to the next entity: vertices (10, 20
    // and a bulge 42 after them), the elevation (38), the extrusion direction
    // (210, 220, 230, written after the vertices) and the space (67).
    bool haveY = true;  // the last vertex has its Y
    bool haveBulge = true;
    for (;;) {
      if (!CodeLinePending) {
        const int code = GroupCodeNumber();
        if (code == 0) break;
        switch (code) {
          case 10:
            if (haveY) {
              TPointD p;
              ReadDouble(p.X);
              v.push_back(p);
              bulges.push_back(0);
              haveY = false;
              haveBulge = false;
            }
            break;
          case 20:
            if (!haveY) {
              ReadDouble(v.back().Y);
              haveY = true;
            }
            break;
          case 42:
            if (haveY && !haveBulge && !v.empty()) {
              ReadDouble(bulges.back());
              haveBulge = true;
            }
            break;
          case 38:
          case 67:
          case 210:
          case 220:
          case 230:
            noteHeader();
            break;
          default:
            break;
        }
      }
      if (AtEof) break;
      ReadLine();
    }
    if (!haveY) {  // a vertex without its Y is not drawn
      v.pop_back();
      bulges.pop_back();
    }
    if (paper) return;
    SetExtrusion(extruded ? normal : nullptr, elevation);
    if (flags & 4) {
      // A lightweight polyline has no spline-fit vertices.
      return;
    }
    if (!v.empty()) AddPolylineVertices(figure, v, bulges, (flags & 1) != 0);
    return;
  }

  // POLYLINE: the rest of the header up to its first vertex.
  while (!IsGroupCode("0") && !AtEof) {
    ReadLine();
    noteHeader();
  }
  if (paper) {
    SkipPolylineVertices();
    return;
  }
  if (flags & (16 | 64)) {
    // A polygon mesh or a polyface mesh: a surface, not a contour.
    ++SkippedMeshes;
    SkipPolylineVertices();
    return;
  }
  // A 3D polyline (flag 8) has world coordinates; a 2D one lies in the plane
  // of its extrusion direction.
  if (!(flags & 8)) SetExtrusion(extruded ? normal : nullptr, elevation);
  if (flags & 4) {
    ReadDxfSplineFit(figure, (flags & 1) != 0);
    return;
  }
  SkipToVertexOrSeqend();
  for (;;) {
    if (!IsEntity("VERTEX") || AtEof) break;  // SEQEND, another entity, or a cut-off VERTEX
    TPointD p;
    if (!ReadDxfPoint(p)) {
      SkipToVertexOrSeqend();
      continue;
    }
    while (!IsGroupCode("0") && !IsGroupCode("10") && !IsGroupCode("42") && !AtEof) ReadLine();
    double bulge = 0;
    if (IsGroupCode("42")) {
      ReadDouble(bulge);
      ReadLine();
    }
    v.push_back(p);
    bulges.push_back(bulge);
    SkipToVertexOrSeqend();
  }
  if (!v.empty()) AddPolylineVertices(figure, v, bulges, (flags & 1) != 0);
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
        // Vertices the CAD program computed on the curve: 8 (32 and 40 in a
        // 3D polyline); the frame's control points (16, 48) are left out.
        if (IsValue("8") || IsValue("32") || IsValue("40")) v.push_back(p);
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

// The curve through the fit points of a spline: a cubic spline with the chord
// lengths as parameter steps, taking the fit tangents at its ends when the
// spline gives them, flattened by the spline segment rule.
void Thpgl::AddFitSpline(tfigura& figure, const std::vector<TPointD>& fits, bool closed,
                         const TPointD* startTangent, const TPointD* endTangent) {
  std::vector<TPointD> pts;
  for (const TPointD& p : fits)
    if (pts.empty() || !(p == pts.back())) pts.push_back(p);
  if (closed && pts.size() > 1 && pts.front() == pts.back()) pts.pop_back();
  if (pts.size() < 2 || (closed && pts.size() < 3)) {
    for (const TPointD& p : pts) AddDxfPoint(figure, p.X, p.Y);
    return;
  }
  TFitSpline spline;
  spline.Init(pts, closed, startTangent, endTangent);
  double chords = 0;
  for (std::size_t i = 0; i < spline.Pieces(); ++i) chords += spline.Chord(i);
  const double lc = DxfLengthToMm(chords);
  const double s = std::min(2.0, std::max(0.5, lc / (96.0 * static_cast<double>(pts.size()))));
  ReserveCurvePoints(figure, lc / s + static_cast<double>(spline.Pieces()) + 1);
  AddDxfPoint(figure, pts.front().X, pts.front().Y);
  for (std::size_t i = 0; i < spline.Pieces(); ++i) {
    const auto steps =
        static_cast<std::int32_t>(std::max(1.0, std::ceil(DxfLengthToMm(spline.Chord(i)) / s)));
    for (std::int32_t k = 1; k < steps; ++k) {
      const TPointD p = spline.At(i, static_cast<double>(k) / steps);
      AddDxfPoint(figure, p.X, p.Y);
    }
    const TPointD& end = (closed && i + 1 == spline.Pieces()) ? pts.front() : pts[i + 1];
    AddDxfPoint(figure, end.X, end.Y);
  }
}

void Thpgl::ReadDxfSpline(tfigura& figure) {
  std::int32_t flags = 0, degree = 0, knotCount = 0, controlCount = 0;
  bool haveFlags = false, haveDegree = false, haveKnotCount = false, haveControlCount = false;
  bool paper = false;
  std::vector<double> knots, weights;
  std::vector<TPointD> controls, fits;
  TPointD startTangent, endTangent;
  bool haveStartTangent = false, haveEndTangent = false;
  // Reads the Y (group yCode) that follows an X; false at the entity's end.
  auto readPoint = [&](TPointD& p, std::string_view yCode) {
    ReadDouble(p.X);
    if (!FindCode(yCode)) return false;
    ReadDouble(p.Y);
    return true;
  };
  bool cut = false;  // a point without its Y ended the entity
  while (!cut && !IsGroupCode("0") && !AtEof) {
    ReadLine();
    if (CodeLinePending) continue;
    switch (GroupCodeNumber()) {
      case 40: {
        double knot = 0;
        ReadDouble(knot);
        knots.push_back(knot);
        break;
      }
      case 41: {
        double weight = 1;
        ReadDouble(weight);
        if (!(weight > 0)) BadDxfValue(dxfTrimmed_);
        weights.push_back(weight);
        break;
      }
      case 10: {
        TPointD p;
        if (readPoint(p, "20")) {
          controls.push_back(p);
        } else {
          cut = true;
        }
        break;
      }
      case 11: {
        TPointD p;
        if (readPoint(p, "21")) {
          fits.push_back(p);
        } else {
          cut = true;
        }
        break;
      }
      case 12:
        if (!haveStartTangent) {
          haveStartTangent = readPoint(startTangent, "22");
          cut = !haveStartTangent;
        }
        break;
      case 13:
        if (!haveEndTangent) {
          haveEndTangent = readPoint(endTangent, "23");
          cut = !haveEndTangent;
        }
        break;
      case 67: {
        double space = 0;
        ReadDouble(space);
        paper = space == 1;
        break;
      }
      case 70:
        if (!haveFlags) ReadInt(flags);
        haveFlags = true;
        break;
      case 71:
        if (!haveDegree) {
          ReadInt(degree);
          if (degree > kMaxSplineDegree) BadDxfValue(dxfTrimmed_);
        }
        haveDegree = true;
        break;
      case 72:
        if (!haveKnotCount) ReadInt(knotCount);
        haveKnotCount = true;
        break;
      case 73:
        if (!haveControlCount) ReadInt(controlCount);
        haveControlCount = true;
        break;
      default:
        break;
    }
  }
  if (paper) return;
  const bool closed = (flags & 1) != 0;
  // The counts in the header only announce the lists; the lists read are used.
  const std::size_t nc = controls.size();
  const std::size_t nk = knots.size();
  auto throughFitPoints = [&] {
    AddFitSpline(figure, fits, closed, haveStartTangent ? &startTangent : nullptr,
                 haveEndTangent ? &endTangent : nullptr);
  };
  if (nc == 0) {
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
  // Weights are padded with 1 up to the number of control points; a spline
  // whose weights are all 1 is an ordinary one.
  if (weights.size() < nc) weights.resize(nc, 1.0);
  const bool rational =
      std::any_of(weights.begin(), weights.begin() + static_cast<std::ptrdiff_t>(nc),
                  [](double w) { return w != 1; });
  const std::vector<double>* w = rational ? &weights : nullptr;

  double polygon = 0;
  for (std::size_t i = 0; i + 1 < nc; ++i) polygon += DistanceD(controls[i], controls[i + 1]);
  const double lc = DxfLengthToMm(polygon);
  const double s = std::min(2.0, std::max(0.5, lc / (96.0 * static_cast<double>(nc))));
  const double segments = std::max(4.0, lc / s);
  if (!std::isfinite(segments)) BadDxfValue(NumberText(lc));
  ReserveCurvePoints(figure, segments + 2);
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
    ReserveCurvePoints(figure, static_cast<double>(nc) / 4 / step + 2);
    AddDxfPoint(figure, firstControl.X, firstControl.Y);
    TBezierCurve bezier;
    for (std::size_t g = 0; g < nc; g += 4) {
      bezier.BezierInit(3, step);
      while (bezier.BezierNext(p, controls, static_cast<int>(g), w)) AddDxfPoint(figure, p.X, p.Y);
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
  const int order = degree + 1;
  const int last = static_cast<int>(nc) - 1;
  // Knot spans of the curve: U[K-1] .. U[N+1]. When the non-empty ones are
  // equally long, equal parameter steps over the whole range sample every
  // span alike; otherwise each span takes its own steps, as many as its part
  // of the control polygon needs at the segment length s.
  const double lo = knots[static_cast<std::size_t>(order - 1)];
  const double hi = knots[static_cast<std::size_t>(last + 1)];
  bool uniform = true;
  double spanLength = -1;
  for (int j = order - 1; j <= last && uniform; ++j) {
    const double d = knots[static_cast<std::size_t>(j) + 1] - knots[static_cast<std::size_t>(j)];
    if (d <= 0) continue;
    if (spanLength < 0) {
      spanLength = d;
    } else if (std::abs(d - spanLength) > 1e-9 * (hi - lo)) {
      uniform = false;
    }
  }
  TBSplineCurve spline;
  spline.SetWeights(w);
  if (uniform) {
    spline.BSplineInit(degree, last, knots, step);
  } else {
    std::vector<int> steps;
    double total = 0;
    for (int j = order - 1; j <= last; ++j) {
      double length = 0;
      for (int i = std::max(0, j - degree); i < j; ++i)
        length += DistanceD(controls[static_cast<std::size_t>(i)],
                            controls[static_cast<std::size_t>(i) + 1]);
      const double n = std::max(1.0, std::ceil(DxfLengthToMm(length) / s));
      total += n;
      ReserveCurvePoints(figure, total + 2);
      steps.push_back(static_cast<int>(n));
    }
    spline.BSplineInitSpans(degree, last, knots, steps);
  }
  AddDxfPoint(figure, firstControl.X, firstControl.Y);
  while (spline.BSplineNext(p, controls)) AddDxfPoint(figure, p.X, p.Y);
  AddDxfPoint(figure, lastControl.X, lastControl.Y);
}

// A block reference: the block's figures are not read, but the operator is
// told how many references of the model were left out.
void Thpgl::ReadDxfInsert() {
  TGroupValues<1> g{{67}};
  ReadGroups(*this, g);
  if (!g.PaperSpace()) ++SkippedBlockRefs;
}

// ---- One figure ----

void Thpgl::ReadFigureDxf(tfigura& figure) {
  if (dxfBinary_) {
    AtEof = true;
    throw MessageError("Project_window", "dxfBinarny");
  }
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
      ocsActive_ = false;
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
      } else if (t == "INSERT") {
        ReadDxfInsert();
      } else if (t == "ENDSEC") {
        // The end of the ENTITIES section: nothing after it is drawing geometry.
        InEntities = false;
      }
      ocsActive_ = false;
    }
  }
  // A file that ends inside its ENTITIES section was cut off (an interrupted
  // copy or download): its last entity may be incomplete and later ones are
  // missing, so the drawing is refused rather than opened as another shape.
  if (AtEof && dxfReuseLine_ && dxfTrimmed_ == "ENDSEC") InEntities = false;
  if (AtEof && InEntities)
    throw MessageError("Project_window", "zbiorObciety", QString::number(LineCount));
  FinishFigure(figure);
  dxfDrawingPoints_ += static_cast<std::int64_t>(figure.Points.size());
  if (dxfDrawingPoints_ > kMaxDrawingPoints)
    throw MessageError("Project_window", "rysunekZaDuzoPunktow", QString::number(LineCount));
}

}  // namespace vm
