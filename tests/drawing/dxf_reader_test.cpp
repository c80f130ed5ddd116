// The DXF mode of the drawing reader: group pairs, entities, units and the
// handling of malformed files.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "curves_reference.h"
#include "drawing/definicje.h"
#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "drawing/units.h"
#include "support/test_support.h"

namespace vm {
namespace {

constexpr double kPi = 3.14159265358979323846;

// "0|SECTION|2|ENTITIES" -> one line per field, ended by eol.
QByteArray Pairs(const std::string& compact, const std::string& eol = "\n") {
  QByteArray out;
  std::size_t start = 0;
  for (;;) {
    const std::size_t bar = compact.find('|', start);
    out += QByteArray::fromStdString(compact.substr(start, bar - start)) + eol.c_str();
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return out;
}

std::string Entities(const std::string& body) {
  return "0|SECTION|2|ENTITIES|" + body + "|0|ENDSEC|0|EOF";
}

struct Drawing {
  std::vector<tfigura> figures;  // the figures with points, in file order
  int reads = 0;                 // ReadFigure calls
};

class DxfReader : public ::testing::Test {
 protected:
  void SetUp() override { ResetDrawingGlobals(); }
  void TearDown() override { ResetDrawingGlobals(); }

  QString Write(const QByteArray& bytes) {
    const QString path = dir_.filePath(QString("d%1.dxf").arg(++files_));
    EXPECT_TRUE(test::WriteAll(path, bytes));
    return path;
  }

  // Reads a whole drawing the way the project load does.
  static Drawing ReadFile(const QString& path) {
    Drawing d;
    Thpgl reader;
    EXPECT_EQ(reader.Open(path, 2), 0);
    while (!reader.AtEof && d.reads < 100000) {
      tfigura f;
      ++d.reads;
      reader.ReadFigure(f);
      if (f.Valid) d.figures.push_back(f);
    }
    EXPECT_TRUE(reader.AtEof) << "reading did not come to an end";
    reader.Close();
    return d;
  }
  Drawing ReadText(const QByteArray& bytes) { return ReadFile(Write(bytes)); }
  Drawing ReadBody(const std::string& body) { return ReadText(Pairs(Entities(body))); }
  static Drawing ReadFixture(const char* name) {
    return ReadFile(test::DataPath(QString("dxf/") + name));
  }

  QTemporaryDir dir_;
  int files_ = 0;
};

double Dist(const TPointI& p, double cx, double cy) { return std::hypot(p.X - cx, p.Y - cy); }

// A repeated point is a move of zero length, which the job writer takes for a corner.
bool HasRepeatedPoint(const std::vector<TPointI>& pts) {
  return std::adjacent_find(pts.begin(), pts.end()) != pts.end();
}

TEST_F(DxfReader, LineEndsDecimalCommaAndEmptyValueLines) {
  // An empty value line (the layer name) must not shift the group pairs.
  const std::string body = "0|LINE|8||10|1,5|20|  2.5  | 11 |10|21|-4";
  for (const char* eol : {"\r\n", "\n", "\r", "\n\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(eol)));
    const Drawing d = ReadText(Pairs(Entities(body), eol));
    ASSERT_EQ(d.figures.size(), 1u);
    EXPECT_EQ(d.figures[0].Points, (std::vector<TPointI>{{60, 100}, {400, -160}}));
    EXPECT_EQ(d.figures[0].Pen, 1);
    EXPECT_TRUE(d.figures[0].Open);
  }
  // The file need not end with a line end.
  const Drawing d = ReadText(Pairs(Entities(body)).chopped(1));
  EXPECT_EQ(d.figures.size(), 1u);
}

TEST_F(DxfReader, LinesAcrossTheReadBufferAreWhole) {
  // The file is read in blocks of 256 KiB. A long comment moves the block
  // boundary through every byte of the entities behind it, between CR and LF
  // included.
  const std::string lines =
      "0|LINE|8|0|10|12.5|20|-3,25|11|7|21|1000|0|LINE|8|0|10|1|20|2|11|3|21|4";
  const std::vector<std::vector<TPointI>> expected = {{{500, -130}, {280, 40000}},
                                                      {{40, 80}, {120, 160}}};
  constexpr qsizetype kBlock = 256 * 1024;
  const QByteArray head = "0\r\nSECTION\r\n2\r\nENTITIES\r\n999\r\n";
  // A second long comment fills the next block, so the refill overwrites
  // the whole buffer.
  const QByteArray tail =
      "\r\n" + Pairs(lines + "|999|" + std::string(kBlock, 'd') + "|0|ENDSEC|0|EOF", "\r\n");
  for (qsizetype shift = 0; shift < 80; ++shift) {
    const QByteArray comment(kBlock - head.size() - 2 - shift, 'c');
    const Drawing d = ReadText(head + comment + tail);
    ASSERT_EQ(d.figures.size(), 2u) << shift;
    for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(d.figures[i].Points, expected[i]) << shift;
  }
}

TEST_F(DxfReader, CirclesFollowTheSegmentRule) {
  const Drawing big = ReadFixture("circle_r10.dxf");  // centre (50, 20) mm
  ASSERT_EQ(big.figures.size(), 1u);
  const tfigura& c = big.figures[0];
  ASSERT_EQ(c.Points.size(), 97u);  // n = 96
  EXPECT_EQ(c.Points.front(), (TPointI{2400, 800}));
  EXPECT_EQ(c.Points.back(), c.Points.front());
  EXPECT_FALSE(c.Open);
  for (const TPointI& p : c.Points) EXPECT_NEAR(Dist(p, 2000, 800), 400, 0.71);
  EXPECT_EQ(c.fig_pp, (TPointI{1600, 400}));
  EXPECT_EQ(c.fig_pk, (TPointI{2400, 1200}));

  const Drawing small = ReadFixture("circle_r1.dxf");  // 13 segments raised to 16
  ASSERT_EQ(small.figures.size(), 1u);
  EXPECT_EQ(small.figures[0].Points.size(), 17u);
}

TEST_F(DxfReader, ArcFrom350To10DegreesSweepsTwentyDegreesCounterClockwise) {
  const Drawing d = ReadFixture("arc_350_10.dxf");
  ASSERT_EQ(d.figures.size(), 1u);
  const auto& pts = d.figures[0].Points;
  ASSERT_EQ(pts.size(), 17u);  // at least 16 segments
  double previous = -1e9;
  for (const TPointI& p : pts) {
    double a = std::atan2(p.Y, p.X) * 180 / kPi;
    if (a > 180) a -= 360;
    EXPECT_GT(a, previous);  // counter-clockwise
    previous = a;
    EXPECT_NEAR(Dist(p, 0, 0), 400, 0.71);
  }
  EXPECT_NEAR(std::atan2(pts.front().Y, pts.front().X) * 180 / kPi, -10, 0.2);
  EXPECT_NEAR(std::atan2(pts.back().Y, pts.back().X) * 180 / kPi, 10, 0.2);
}

TEST_F(DxfReader, BulgeOneOverTenMillimetresIsASemicircleOfRadiusFive) {
  const Drawing d = ReadFixture("bulge_semicircle.dxf");
  ASSERT_EQ(d.figures.size(), 1u);
  const auto& pts = d.figures[0].Points;
  ASSERT_GE(pts.size(), 17u);
  EXPECT_EQ(pts.front(), (TPointI{0, 0}));
  EXPECT_EQ(pts.back(), (TPointI{400, 0}));
  int lowest = 0;
  for (const TPointI& p : pts) {
    EXPECT_NEAR(Dist(p, 200, 0), 200, 0.71);
    EXPECT_LE(p.Y, 0);  // a positive bulge turns counter-clockwise: below the chord
    lowest = std::min(lowest, p.Y);
  }
  EXPECT_EQ(lowest, -200);
  EXPECT_FALSE(HasRepeatedPoint(pts));  // the arc ends on the vertex, which is not added again
}

TEST_F(DxfReader, ClosedPolylinesRepeatTheirFirstPoint) {
  const Drawing lw = ReadFixture("lwpolyline_closed.dxf");
  ASSERT_EQ(lw.figures.size(), 1u);
  EXPECT_EQ(lw.figures[0].Points,
            (std::vector<TPointI>{{0, 0}, {400, 0}, {400, 400}, {0, 400}, {0, 0}}));
  EXPECT_FALSE(lw.figures[0].Open);

  // The same square as an old-style polyline, followed by another entity.
  const Drawing old = ReadBody(
      "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|70|1|0|VERTEX|8|0|10|0|20|0|0|VERTEX|8|0|10|10|20|0|"
      "0|VERTEX|8|0|10|10|20|10|0|VERTEX|8|0|10|0|20|10|0|SEQEND|8|0|"
      "0|LINE|8|0|10|1|20|1|11|2|21|2");
  ASSERT_EQ(old.figures.size(), 2u);
  EXPECT_EQ(old.figures[0].Points, lw.figures[0].Points);
  EXPECT_EQ(old.figures[1].Points, (std::vector<TPointI>{{40, 40}, {80, 80}}));

  // A closed polyline whose last vertex repeats the first ends there once.
  const Drawing repeated =
      ReadBody("0|LWPOLYLINE|8|0|90|5|70|1|10|0|20|0|10|10|20|0|10|10|20|10|10|0|20|10|10|0|20|0");
  ASSERT_EQ(repeated.figures.size(), 1u);
  EXPECT_EQ(repeated.figures[0].Points, lw.figures[0].Points);
}

TEST_F(DxfReader, ZeroBulgeIsAStraightSegment) {
  const Drawing d = ReadBody(
      "0|LWPOLYLINE|8|0|90|3|70|0|10|0|20|0|42|0.0|10|10|20|0|42|0.000000001|10|10|20|10|42|0");
  ASSERT_EQ(d.figures.size(), 1u);
  EXPECT_EQ(d.figures[0].Points, (std::vector<TPointI>{{0, 0}, {400, 0}, {400, 400}}));
}

TEST_F(DxfReader, BulgeOnTheLastVertexIsKept) {
  // A slot: two straight sides and two half circles, the second one closing it.
  const Drawing closed =
      ReadBody("0|LWPOLYLINE|8|0|90|4|70|1|10|0|20|0|10|10|20|0|42|1|10|10|20|10|10|0|20|10|42|1");
  ASSERT_EQ(closed.figures.size(), 1u);
  const auto& pts = closed.figures[0].Points;
  EXPECT_EQ(pts.front(), (TPointI{0, 0}));
  EXPECT_EQ(pts.back(), pts.front());
  EXPECT_FALSE(closed.figures[0].Open);
  auto has = [&](TPointI q) { return std::find(pts.begin(), pts.end(), q) != pts.end(); };
  EXPECT_TRUE(has({400, 400}));
  EXPECT_TRUE(has({0, 400}));
  EXPECT_TRUE(has({600, 200}));   // apex of the first half circle
  EXPECT_TRUE(has({-200, 200}));  // apex of the closing half circle
  EXPECT_FALSE(HasRepeatedPoint(pts));

  const Drawing open = ReadBody("0|LWPOLYLINE|8|0|90|2|70|0|10|0|20|0|10|10|20|0|42|1");
  ASSERT_EQ(open.figures.size(), 1u);
  EXPECT_EQ(open.figures[0].Points, (std::vector<TPointI>{{0, 0}, {400, 0}}));
}

TEST_F(DxfReader, InchDrawingsAreScaled) {
  const Drawing mm = ReadFixture("mixed_mm.dxf");
  ASSERT_EQ(mm.figures.size(), 7u);
  EXPECT_EQ(mm.figures[0].Points, (std::vector<TPointI>{{0, 0}, {400, 200}}));

  CurrentUnit = 1;
  const Drawing inch = ReadFixture("mixed_mm.dxf");
  ASSERT_EQ(inch.figures.size(), 7u);
  EXPECT_EQ(inch.figures[0].Points, (std::vector<TPointI>{{0, 0}, {10160, 5080}}));
  for (std::size_t i = 0; i < inch.figures.size(); ++i) {
    // Every entity is 25.4 times larger; curves get finer segments to match.
    EXPECT_NEAR(inch.figures[i].Width, 25.4 * mm.figures[i].Width,
                0.01 * inch.figures[i].Width + 60)
        << i;
    EXPECT_NEAR(inch.figures[i].Height, 25.4 * mm.figures[i].Height,
                0.01 * inch.figures[i].Height + 60)
        << i;
  }

  // "$LTSCALE" 0.000394 marks a drawing in inches: every entity, arcs, bulges
  // and spline-fit segments included, reads as with the unit set to inch.
  CurrentUnit = 0;
  const Drawing marked = ReadFixture("mixed_ltscale_inch.dxf");
  ASSERT_EQ(marked.figures.size(), inch.figures.size());
  for (std::size_t i = 0; i < inch.figures.size(); ++i)
    EXPECT_EQ(marked.figures[i].Points, inch.figures[i].Points) << i;
  EXPECT_DOUBLE_EQ(LtScale, 0.000394);

  // The next drawing does not inherit the scale.
  const Drawing after = ReadFixture("mixed_mm.dxf");
  EXPECT_EQ(LtScale, 1);
  for (std::size_t i = 0; i < mm.figures.size(); ++i)
    EXPECT_EQ(after.figures[i].Points, mm.figures[i].Points) << i;
}

TEST_F(DxfReader, EntityNamesAreOnlyValuesOfGroupCodeZero) {
  // Layers and comments named like entities are not entities.
  const Drawing d = ReadBody(
      "999|ARC|0|LINE|8|ARC|10|0|20|0|11|10|21|0|0|CIRCLE|8|SPLINE|10|0|20|0|40|1|"
      "0|TEXT|8|0|1|LWPOLYLINE|10|0|20|0|0|LINE|8| LINE |10|1|20|1|11|1|21|2");
  ASSERT_EQ(d.figures.size(), 3u);
  EXPECT_EQ(d.figures[0].Points, (std::vector<TPointI>{{0, 0}, {400, 0}}));
  EXPECT_EQ(d.figures[1].Points.size(), 17u);
  EXPECT_EQ(d.figures[2].Points, (std::vector<TPointI>{{40, 40}, {40, 80}}));
}

TEST_F(DxfReader, SkippedAndNonEntities) {
  // A LINE of linetype BYBLOCK gives a figure without points; a "LWPOLYLINE"
  // followed by group code 2 is no entity.
  Thpgl reader;
  ASSERT_EQ(
      reader.Open(Write(Pairs(Entities(
                      "0|LINE|8|0|6|BYBLOCK|10|0|20|0|11|5|21|5|"
                      "0|LWPOLYLINE|2|AcDbPolyline|10|7|20|7|"
                      "0|LINE|8|0|6|ByBlock|10|0|20|0|11|5|21|5|0|LINE|8|0|10|1|20|2|11|3|21|4"))),
                  2),
      0);
  tfigura first;
  reader.ReadFigure(first);
  EXPECT_FALSE(first.Valid);
  EXPECT_FALSE(reader.AtEof);
  tfigura second;
  reader.ReadFigure(second);
  EXPECT_FALSE(second.Valid);  // the second BYBLOCK line; the class name was passed over
  tfigura third;
  reader.ReadFigure(third);
  EXPECT_EQ(third.Points, (std::vector<TPointI>{{40, 80}, {120, 160}}));
}

TEST_F(DxfReader, EllipseWithEndBelowStartSweepsCounterClockwise) {
  // Major axis 10 along X, ratio 0.5, from 3 pi / 2 to pi / 2: the right half.
  const Drawing half = ReadBody(
      "0|ELLIPSE|8|0|10|0|20|0|11|10|21|0|40|0.5|41|4.71238898038469|42|1.5707963267948966");
  ASSERT_EQ(half.figures.size(), 1u);
  const auto& pts = half.figures[0].Points;
  EXPECT_EQ(pts.size(), 64u);  // Len = pi * 10 mm: 63 segments
  EXPECT_EQ(pts.front(), (TPointI{0, -200}));
  EXPECT_EQ(pts.back(), (TPointI{0, 200}));
  int rightmost = 0;
  for (const TPointI& p : pts) {
    EXPECT_GE(p.X, 0);
    rightmost = std::max(rightmost, p.X);
  }
  EXPECT_EQ(rightmost, 400);

  // A rotated full ellipse: major axis along Y.
  const Drawing full =
      ReadBody("0|ELLIPSE|8|0|10|5|20|5|11|0|21|10|40|0.5|41|0|42|6.283185307179586");
  ASSERT_EQ(full.figures.size(), 1u);
  EXPECT_FALSE(full.figures[0].Open);
  for (const TPointI& p : full.figures[0].Points) {
    const double x = (p.X - 200) / 200.0, y = (p.Y - 200) / 400.0;
    EXPECT_NEAR(x * x + y * y, 1, 0.01);
  }
}

TEST_F(DxfReader, SplineFitPolylineRunsThroughItsFitVertices) {
  const Drawing d = ReadFixture("mixed_mm.dxf");
  ASSERT_EQ(d.figures.size(), 7u);
  const auto& pts = d.figures[4].Points;  // vertices (0,0) .. (50,10) of flag 8
  EXPECT_EQ(pts.front(), (TPointI{0, 0}));
  ASSERT_GE(pts.size(), 2u);
  EXPECT_EQ(pts[pts.size() - 1], (TPointI{2000, 400}));
  EXPECT_EQ(pts[pts.size() - 2], (TPointI{2000, 400}));
  EXPECT_NE(std::find(pts.begin(), pts.end(), TPointI{1200, 400}), pts.end());
  for (const TPointI& p : pts) {  // the frame point (99, 99) of flag 16 is not used
    EXPECT_LE(p.X, 2000);
    EXPECT_LT(p.Y, 800);
  }
  EXPECT_GT(pts.size(), 30u);
}

TEST_F(DxfReader, SplinesFollowTheirControlPolygon) {
  auto spline = [](int degree, const std::vector<double>& knots, const std::vector<TPointD>& ctl) {
    std::string s = "0|SPLINE|8|0|70|8|71|" + std::to_string(degree) + "|72|" +
                    std::to_string(knots.size()) + "|73|" + std::to_string(ctl.size()) + "|74|0";
    for (double k : knots) s += "|40|" + std::to_string(k);
    for (const TPointD& c : ctl) s += "|10|" + std::to_string(c.X) + "|20|" + std::to_string(c.Y);
    return s;
  };
  // Distance (plotter units) from p to a curve sampled densely.
  auto nearCurve = [](const TPointI& p, const std::vector<TPointD>& samples) {
    double best = 1e300;
    for (const TPointD& q : samples) best = std::min(best, std::hypot(p.X - q.X, p.Y - q.Y));
    return best;
  };
  auto bsplineSamples = [](const std::vector<double>& u, const std::vector<TPointD>& c) {
    std::vector<TPointD> out;
    const double lo = u[3], hi = u[c.size()];
    for (int i = 0; i <= 20000; ++i) {
      const TPointD q = test::DeBoor(3, u, c, std::min(lo + (hi - lo) * i / 20000, hi - 1e-12));
      out.push_back({q.X * 40, q.Y * 40});
    }
    return out;
  };

  // Twelve control points and 16 simple knots: an ordinary B-spline, not
  // three separate Bezier pieces.
  std::vector<TPointD> ctl;
  for (int i = 0; i < 12; ++i) ctl.push_back({i * 5.0, (i % 3) * 7.0});
  const std::vector<double> knots{0, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 9};
  const Drawing b = ReadBody(spline(3, knots, ctl));
  ASSERT_EQ(b.figures.size(), 1u);
  const auto samples = bsplineSamples(knots, ctl);
  const auto& pts = b.figures[0].Points;
  EXPECT_EQ(pts.front(), (TPointI{0, 0}));
  EXPECT_EQ(pts.back(), (TPointI{2200, 560}));
  for (const TPointI& p : pts) EXPECT_LE(nearCurve(p, samples), 1.0);
  EXPECT_GT(pts.size(), 40u);

  // Knots repeated four times at each junction: a chain of three separate
  // cubic Bezier pieces over the control points 0-3, 4-7 and 8-11.
  const std::vector<double> chainKnots{0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
  const Drawing chain = ReadBody(spline(3, chainKnots, ctl));
  ASSERT_EQ(chain.figures.size(), 1u);
  std::vector<TPointD> pieces;
  for (int g = 0; g < 12; g += 4) {
    for (int i = 0; i <= 5000; ++i) {
      const double t = i / 5000.0, u = 1 - t;
      const double b[4] = {u * u * u, 3 * t * u * u, 3 * t * t * u, t * t * t};
      TPointD q;
      for (int j = 0; j < 4; ++j) {
        q.X += b[j] * ctl[g + j].X * 40;
        q.Y += b[j] * ctl[g + j].Y * 40;
      }
      pieces.push_back(q);
    }
  }
  const auto& cp = chain.figures[0].Points;
  EXPECT_GT(cp.size(), 12u);
  for (const TPointI& p : cp) EXPECT_LE(nearCurve(p, pieces), 1.0);

  // A chain a few millimetres long still passes through the joints of its
  // pieces instead of shrinking to one straight chord.
  std::vector<TPointD> tiny;
  for (const TPointD& c : ctl) tiny.push_back({c.X / 40, c.Y / 40});
  const Drawing small = ReadBody(spline(3, chainKnots, tiny));
  ASSERT_EQ(small.figures.size(), 1u);
  const auto& sp = small.figures[0].Points;
  for (int joint : {3, 7, 11})
    EXPECT_NE(std::find(sp.begin(), sp.end(), TPointI{joint * 5, (joint % 3) * 7}), sp.end())
        << joint;

  // More knots than 501.
  std::vector<TPointD> many;
  std::vector<double> manyKnots{0, 0, 0};
  for (int i = 0; i < 600; ++i) many.push_back({i * 0.5, (i % 2) * 3.0});
  for (int i = 0; i <= 597; ++i) manyKnots.push_back(i);
  manyKnots.insert(manyKnots.end(), 3, 597);
  const Drawing big = ReadBody(spline(3, manyKnots, many));
  ASSERT_EQ(big.figures.size(), 1u);
  EXPECT_EQ(big.figures[0].Points.front(), (TPointI{0, 0}));
  EXPECT_EQ(big.figures[0].Points.back(), (TPointI{11980, 120}));
  EXPECT_GT(big.figures[0].Points.size(), 600u);

  // Four control points with equal pairs: a straight line.
  const Drawing line =
      ReadBody(spline(3, {0, 0, 0, 0, 1, 1, 1, 1}, {{0, 0}, {0, 0}, {5, 5}, {5, 5}}));
  ASSERT_EQ(line.figures.size(), 1u);
  EXPECT_EQ(line.figures[0].Points, (std::vector<TPointI>{{0, 0}, {200, 200}}));

  // Fit points only: the polyline through them.
  const Drawing fit = ReadBody(
      "0|SPLINE|8|0|70|8|71|3|72|0|73|0|74|3|11|0|21|0|31|0|11|10|21|5|31|0|11|20|21|0|31|0");
  ASSERT_EQ(fit.figures.size(), 1u);
  EXPECT_EQ(fit.figures[0].Points, (std::vector<TPointI>{{0, 0}, {400, 200}, {800, 0}}));
}

TEST_F(DxfReader, BadValuesGiveTheDrawingError) {
  struct Case {
    const char* body;
    int line;  // line of the offending value
  };
  // Line numbers count from "0" of "SECTION" as line 1; the entity starts at line 5.
  const Case cases[] = {
      {"0|CIRCLE|10|0|20|0|40|abc", 12},
      {"0|CIRCLE|10|0|20|0|40|1.2.3", 12},
      {"0|CIRCLE|10|0|20|0|40|nan", 12},
      {"0|CIRCLE|10|0|20|0|40|inf", 12},
      {"0|CIRCLE|10|0|20|0|40|1e999", 12},
      {"0|LINE|10|--1|20|0|11|1|21|1", 8},
      {"0|LWPOLYLINE|70|x|10|0|20|0", 8},
      {"0|LWPOLYLINE|70|1.5|10|0|20|0", 8},
      {"0|LINE|10|0|20|0|11|1e9|21|0", 0},       // 40 000 000 000 plotter units
      {"0|CIRCLE|10|0|20|0|40|1e8", 0},          // points out of range
      {"0|ARC|10|0|20|0|40|1|50|0|51|1e12", 0},  // a sweep of countless turns
      {"0|SPLINE|71|3|72|4|73|5|40|0|40|0|40|0|40|0|10|0|20|0|10|1|20|1|10|2|20|0|10|3|20|1|"
       "10|4|20|0",
       0},  // too few knots
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    try {
      ReadBody(c.body);
      ADD_FAILURE() << "no error";
    } catch (const MessageError& e) {
      EXPECT_EQ(e.section(), "Project_window");
      EXPECT_EQ(e.key(), "zbiorUszkodzony");
      if (c.line > 0) {
        EXPECT_TRUE(e.detail().startsWith(QString::number(c.line) + ": ")) << e.what();
      }
    }
  }
  // An empty value line keeps the value it replaces.
  const Drawing d = ReadBody("0|LINE|10||20|2|11|1|21|1");
  ASSERT_EQ(d.figures.size(), 1u);
  EXPECT_EQ(d.figures[0].Points, (std::vector<TPointI>{{0, 80}, {40, 40}}));
}

TEST_F(DxfReader, TruncatedAndMisalignedFilesEndCleanly) {
  const QByteArray whole = test::ReadAll(test::DataPath("dxf/mixed_mm.dxf"));
  ASSERT_FALSE(whole.isEmpty());
  const Drawing full = ReadText(whole);
  // Cut anywhere: reading ends, with the entities read so far or the drawing error.
  for (qsizetype cut = 0; cut < whole.size(); cut += 3) {
    try {
      const Drawing d = ReadText(whole.left(cut));
      EXPECT_LE(d.figures.size(), full.figures.size()) << cut;
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "zbiorUszkodzony") << cut;
    }
  }
  // One line missing anywhere shifts every later pair.
  const QList<QByteArray> lines = whole.split('\n');
  for (qsizetype drop = 0; drop < lines.size(); ++drop) {
    QByteArray text;
    for (qsizetype i = 0; i < lines.size(); ++i)
      if (i != drop) text += lines[i] + '\n';
    try {
      ReadText(text);
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "zbiorUszkodzony") << drop;
    }
  }
}

TEST_F(DxfReader, OpenFailureAndEmptyFile) {
  Thpgl reader;
  EXPECT_EQ(reader.Open(dir_.filePath("missing.dxf"), 2), 2);
  const Drawing empty = ReadText(QByteArray());
  EXPECT_TRUE(empty.figures.empty());
  EXPECT_LE(empty.reads, 1);
  const Drawing noEntities = ReadText(Pairs("0|SECTION|2|HEADER|9|$LTSCALE|40|2|0|ENDSEC|0|EOF"));
  EXPECT_TRUE(noEntities.figures.empty());
}

}  // namespace
}  // namespace vm
