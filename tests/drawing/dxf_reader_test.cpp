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
  int blockRefs = 0;             // INSERTs of the model not read
  int meshes = 0;                // meshes left out
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
    d.blockRefs = reader.SkippedBlockRefs;
    d.meshes = reader.SkippedMeshes;
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
}

TEST_F(DxfReader, BadValuesGiveTheDrawingError) {
  struct Case {
    const char* body;
    int line;  // line of the offending value
    const char* key = "zbiorUszkodzony";
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
      {"0|LINE|10|0|20|0|11|1e9|21|0", 0},                     // 40 000 000 000 plotter units
      {"0|CIRCLE|10|0|20|0|40|1e8", 0, "figuraPozaZakresem"},  // points out of range
      {"0|SPLINE|70|8|71|26|72|0|73|0", 10},                   // a degree no CAD program writes
      {"0|SPLINE|71|3|40|0|40|0|40|0|40|0|40|1|40|1|40|1|40|1|41|1|41|-2|10|0|20|0", 28},
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
      EXPECT_EQ(e.key(), c.key);
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
  // Cut anywhere: reading ends, with the entities read so far (cut before the
  // entities or after their end) or the cut-off or drawing error.
  const qsizetype entitiesEnd = whole.indexOf("ENDSEC");
  for (qsizetype cut = 0; cut < whole.size(); cut += 3) {
    try {
      const Drawing d = ReadText(whole.left(cut));
      EXPECT_LE(d.figures.size(), full.figures.size()) << cut;
      EXPECT_TRUE(d.figures.empty() || cut >= entitiesEnd) << cut;
    } catch (const MessageError& e) {
      EXPECT_TRUE(e.key() == "zbiorUszkodzony" || e.key() == "zbiorObciety") << cut;
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
      EXPECT_TRUE(e.key() == "zbiorUszkodzony" || e.key() == "zbiorObciety") << drop;
    }
  }
}

// ---- Drawings as CAD programs write them ----

// Largest distance between two point lists of equal length, point by point.
int MaxDeviation(const std::vector<TPointI>& a, const std::vector<TPointI>& b) {
  EXPECT_EQ(a.size(), b.size());
  int worst = 0;
  for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
    worst = std::max({worst, std::abs(a[i].X - b[i].X), std::abs(a[i].Y - b[i].Y)});
  return worst;
}

// Distance (plotter units) from q to the polyline pts.
double DistanceToPolyline(const TPointD& q, const std::vector<TPointI>& pts) {
  double best = 1e300;
  for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
    const double ax = pts[i].X, ay = pts[i].Y, bx = pts[i + 1].X, by = pts[i + 1].Y;
    const double dx = bx - ax, dy = by - ay, l2 = dx * dx + dy * dy;
    double t = l2 > 0 ? ((q.X - ax) * dx + (q.Y - ay) * dy) / l2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    best = std::min(best, std::hypot(q.X - (ax + t * dx), q.Y - (ay + t * dy)));
  }
  return best;
}

TEST_F(DxfReader, ExtrusionMinusZMirrorsTheObjectAboutY) {
  // Each entity written with the extrusion direction (0,0,-1) against the same
  // shape written in world coordinates (mirrored X, arcs turning the other way).
  struct Case {
    const char* name;
    const char* mirrored;
    const char* world;
    bool reversed;  // the world entity runs the other way round
  };
  const Case cases[] = {
      {"arc", "0|ARC|8|0|10|10|20|0|30|0|40|5|210|0|220|0|230|-1|100|AcDbArc|50|0|51|90",
       "0|ARC|8|0|10|-10|20|0|40|5|50|90|51|180", true},
      {"lwpolyline with bulge",
       "0|LWPOLYLINE|8|0|90|2|70|0|10|0|20|0|42|1|10|10|20|0|210|0|220|0|230|-1",
       "0|LWPOLYLINE|8|0|90|2|70|0|10|-10|20|0|42|1|10|0|20|0", true},
      {"2d polyline",
       "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|70|1|210|0|220|0|230|-1|0|VERTEX|8|0|10|5|20|0|"
       "0|VERTEX|8|0|10|10|20|0|42|0.5|0|VERTEX|8|0|10|10|20|5|0|SEQEND",
       "0|LWPOLYLINE|8|0|90|3|70|1|10|-5|20|0|10|-10|20|0|42|-0.5|10|-10|20|5", false},
      {"ellipse",
       "0|ELLIPSE|8|0|10|10|20|0|11|10|21|0|210|0|220|0|230|-1|40|0.5|41|0|42|"
       "1.5707963267948966",
       "0|ELLIPSE|8|0|10|10|20|0|11|10|21|0|40|0.5|41|4.71238898038469|42|6.283185307179586", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Drawing m = ReadBody(c.mirrored);
    const Drawing w = ReadBody(c.world);
    ASSERT_EQ(m.figures.size(), 1u);
    ASSERT_EQ(w.figures.size(), 1u);
    std::vector<TPointI> expected = w.figures[0].Points;
    if (c.reversed) std::reverse(expected.begin(), expected.end());
    EXPECT_LE(MaxDeviation(m.figures[0].Points, expected), 1);
  }

  // A hole at (10,0) of a mirrored part lies at (-10,0).
  const Drawing circle = ReadBody("0|CIRCLE|8|0|10|10|20|3|30|0|40|2|210|0|220|0|230|-1");
  ASSERT_EQ(circle.figures.size(), 1u);
  for (const TPointI& p : circle.figures[0].Points) EXPECT_NEAR(Dist(p, -400, 120), 80, 0.71);
  EXPECT_EQ(circle.figures[0].fig_pp.X, -480);
  EXPECT_EQ(circle.figures[0].fig_pk.X, -320);

  // Any other direction: the arbitrary-axis rule. With the direction +X the
  // object's X axis is world Y, its Y axis world Z, and its elevation lies
  // along world X: a circle seen from above is a line at X = elevation.
  const Drawing tilted = ReadBody("0|CIRCLE|8|0|10|5|20|0|30|7|40|2|210|1|220|0|230|0");
  ASSERT_EQ(tilted.figures.size(), 1u);
  for (const TPointI& p : tilted.figures[0].Points) {
    EXPECT_EQ(p.X, 280);
    EXPECT_GE(p.Y, 120);
    EXPECT_LE(p.Y, 280);
  }

  // The direction +Z written out leaves every point as it is.
  const Drawing plain = ReadBody("0|CIRCLE|8|0|10|10|20|3|30|0|40|2");
  const Drawing up = ReadBody("0|CIRCLE|8|0|10|10|20|3|30|0|40|2|210|0|220|0|230|1");
  EXPECT_EQ(plain.figures[0].Points, up.figures[0].Points);
}

TEST_F(DxfReader, PolylineKindsByTheirFlags) {
  // A closed 3D polyline (flag 8) is its vertices, not a curve through them.
  const Drawing square = ReadBody(
      "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|70|9|0|VERTEX|8|0|10|0|20|0|30|5|70|32|"
      "0|VERTEX|8|0|10|100|20|0|30|5|70|32|0|VERTEX|8|0|10|100|20|100|30|5|70|32|"
      "0|VERTEX|8|0|10|0|20|100|30|5|70|32|0|SEQEND");
  ASSERT_EQ(square.figures.size(), 1u);
  EXPECT_EQ(square.figures[0].Points,
            (std::vector<TPointI>{{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}));

  // Polyface (64) and polygon (16) meshes are surfaces: left out and counted.
  const Drawing meshes = ReadBody(
      "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|70|64|71|3|72|1|0|VERTEX|8|0|10|0|20|0|30|0|70|192|"
      "0|VERTEX|8|0|10|10|20|0|30|0|70|192|0|VERTEX|8|0|10|0|20|10|30|0|70|192|"
      "0|VERTEX|8|0|10|0|20|0|30|0|70|128|71|1|72|2|73|3|0|SEQEND|"
      "0|POLYLINE|8|0|66|1|10|0|20|0|30|0|70|16|71|2|72|2|0|VERTEX|8|0|10|0|20|0|70|64|"
      "0|VERTEX|8|0|10|1|20|0|70|64|0|VERTEX|8|0|10|0|20|1|70|64|0|VERTEX|8|0|10|1|20|1|70|64|"
      "0|SEQEND|0|LINE|8|0|10|1|20|2|11|3|21|4");
  ASSERT_EQ(meshes.figures.size(), 1u);
  EXPECT_EQ(meshes.figures[0].Points, (std::vector<TPointI>{{40, 80}, {120, 160}}));
  EXPECT_EQ(meshes.meshes, 2);
}

TEST_F(DxfReader, PaperSpaceIsLeftOutAndBlockReferencesAreCounted) {
  const Drawing d = ReadBody(
      // the sheet: a frame, a title block reference and a note circle
      "0|LWPOLYLINE|8|0|67|1|90|2|70|1|10|0|20|0|10|297|20|210|"
      "0|INSERT|8|0|67|1|2|TITLE|10|0|20|0|"
      "0|LINE|67|1|8|0|10|0|20|0|11|5|21|5|0|CIRCLE|67|1|8|0|10|0|20|0|40|3|"
      "0|ARC|67|1|8|0|10|0|20|0|40|3|50|0|51|90|"
      "0|ELLIPSE|67|1|8|0|10|0|20|0|11|1|21|0|40|0.5|41|0|42|1|"
      "0|POLYLINE|67|1|8|0|66|1|70|0|0|VERTEX|8|0|10|0|20|0|0|VERTEX|8|0|10|9|20|9|0|SEQEND|"
      "0|SPLINE|67|1|8|0|71|3|11|0|21|0|11|1|21|1|11|2|21|0|"
      // the model: two block references, one with attributes, and a line
      "0|INSERT|8|0|66|1|2|PART|10|0|20|0|0|ATTRIB|8|0|10|0|20|0|1|A|0|SEQEND|8|0|"
      "0|INSERT|8|0|67|0|2|PART|10|50|20|0|0|LINE|8|0|10|1|20|2|11|3|21|4");
  ASSERT_EQ(d.figures.size(), 1u);
  EXPECT_EQ(d.figures[0].Points, (std::vector<TPointI>{{40, 80}, {120, 160}}));
  EXPECT_EQ(d.blockRefs, 2);
  EXPECT_EQ(d.meshes, 0);

  // Entities after the end of the ENTITIES section (a BLOCKS section written
  // last) are no part of the drawing.
  const Drawing after = ReadText(Pairs(
      "0|SECTION|2|ENTITIES|0|LINE|8|0|10|1|20|2|11|3|21|4|0|ENDSEC|0|SECTION|2|BLOCKS|0|BLOCK|"
      "2|PART|0|LINE|8|0|10|0|20|0|11|9|21|9|0|ENDBLK|0|ENDSEC|0|EOF"));
  EXPECT_EQ(after.figures.size(), 1u);
}

TEST_F(DxfReader, FileCutOffInsideItsEntitiesIsRefused) {
  const std::string square =
      "0|LWPOLYLINE|8|0|90|4|70|1|10|0|20|0|10|100|20|0|10|100|20|100|10|0|20|100";
  const std::string old =
      "0|POLYLINE|8|0|66|1|70|1|0|VERTEX|8|0|10|0|20|0|0|VERTEX|8|0|10|100|20|0|"
      "0|VERTEX|8|0|10|100|20|100|0|VERTEX|8|0|10|0|20|100|0|SEQEND";
  for (const std::string& body : {square, old}) {
    const QByteArray whole = Pairs(Entities(body));
    ASSERT_EQ(ReadText(whole).figures.size(), 1u);
    // Cut in the last vertex (the square would open as a triangle), after it,
    // and with the section's end missing but the file's end present.
    const qsizetype last = whole.lastIndexOf("10\n0\n20\n100");
    for (const QByteArray& cut : {whole.left(last + 4), whole.left(whole.indexOf("0\nENDSEC")),
                                  Pairs("0|SECTION|2|ENTITIES|" + body + "|0|EOF")}) {
      SCOPED_TRACE(cut.right(40).toStdString());
      try {
        ReadText(cut);
        ADD_FAILURE() << "no error";
      } catch (const MessageError& e) {
        EXPECT_EQ(e.key(), "zbiorObciety");
      }
    }
  }
}

TEST_F(DxfReader, RationalSplinesUseTheirWeights) {
  // The exact circle of radius 50 as a quadratic rational spline: nine control
  // points on the square around it, the corners weighted sqrt(2)/2.
  const double h = std::sqrt(0.5);
  const double ctl[9][2] = {{50, 0},    {50, 50}, {0, 50},   {-50, 50}, {-50, 0},
                            {-50, -50}, {0, -50}, {50, -50}, {50, 0}};
  std::string body = "0|SPLINE|8|0|70|15|71|2|72|12|73|9|74|0";
  for (double k : {0.0, 0.0, 0.0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1.0, 1.0, 1.0})
    body += "|40|" + std::to_string(k);
  for (int i = 0; i < 9; ++i) body += "|41|" + std::to_string(i % 2 ? h : 1.0);
  std::string unweighted = body;
  for (const auto& c : ctl) {
    const std::string p = "|10|" + std::to_string(c[0]) + "|20|" + std::to_string(c[1]);
    body += p;
    unweighted += p;
  }
  const Drawing d = ReadBody(body);
  ASSERT_EQ(d.figures.size(), 1u);
  EXPECT_GT(d.figures[0].Points.size(), 100u);
  for (const TPointI& p : d.figures[0].Points) EXPECT_NEAR(Dist(p, 0, 0), 2000, 0.71);
  EXPECT_FALSE(d.figures[0].Open);

  // All weights 1 give the points of the same spline without weights.
  std::string ones = unweighted, none = unweighted;
  for (int i = 0; i < 9; ++i) {
    const std::string w = "|41|" + std::to_string(i % 2 ? h : 1.0);
    ones.replace(ones.find(w), w.size(), "|41|1");
    none.replace(none.find(w), w.size(), "");
  }
  EXPECT_EQ(ReadBody(ones).figures[0].Points, ReadBody(none).figures[0].Points);
}

TEST_F(DxfReader, UnevenKnotsAreSteppedOverTheirValues) {
  // A cubic spline whose last knot jumps far beyond the others: every part of
  // the curve is drawn, not only the long last span.
  std::vector<TPointD> ctl;
  for (int i = 0; i < 158; ++i) ctl.push_back({i * 1.0, 10 * std::sin(i * 0.3)});
  std::vector<double> knots{0, 0, 0, 0};
  for (int i = 1; i <= 154; ++i) knots.push_back(i);
  knots.insert(knots.end(), 4, 86084);
  std::string body = "0|SPLINE|8|0|70|8|71|3|72|" + std::to_string(knots.size()) + "|73|158";
  for (double k : knots) body += "|40|" + std::to_string(k);
  for (const TPointD& c : ctl) body += "|10|" + std::to_string(c.X) + "|20|" + std::to_string(c.Y);
  const Drawing d = ReadBody(body);
  ASSERT_EQ(d.figures.size(), 1u);
  const auto& pts = d.figures[0].Points;
  double worst = 0;
  for (std::size_t span = 3; span < 158; ++span) {
    for (int i = 0; i < 20; ++i) {
      const double t = knots[span] + (knots[span + 1] - knots[span]) * i / 20;
      const TPointD q = test::DeBoor(3, knots, ctl, t);
      worst = std::max(worst, DistanceToPolyline({q.X * 40, q.Y * 40}, pts));
    }
  }
  EXPECT_LT(worst, 4);  // 0.1 mm
}

TEST_F(DxfReader, FitPointSplinesAreCurvesThroughTheirPoints) {
  // Fit points on a circle of radius 50 mm (every 20 degrees): the polygon
  // through them would stray 0.76 mm from the circle.
  auto onCircle = [](int k) {
    const double a = k * 20 * kPi / 180;
    return "|11|" + std::to_string(50 * std::cos(a)) + "|21|" + std::to_string(50 * std::sin(a));
  };
  // Half a circle, with the circle's tangents at its ends.
  std::string open = "0|SPLINE|8|0|70|8|71|3|72|0|73|0|74|10|12|0|22|1|13|0|23|-1";
  for (int k = 0; k <= 9; ++k) open += onCircle(k);
  // The full circle, closed.
  std::string closed = "0|SPLINE|8|0|70|11|71|3|72|0|73|0|74|18";
  for (int k = 0; k < 18; ++k) closed += onCircle(k);
  for (const std::string& body : {open, closed}) {
    const Drawing d = ReadBody(body);
    ASSERT_EQ(d.figures.size(), 1u);
    const auto& pts = d.figures[0].Points;
    EXPECT_GT(pts.size(), 60u);
    for (const TPointI& p : pts) EXPECT_NEAR(Dist(p, 0, 0), 2000, 2);  // 0.05 mm
    for (int k = 0; k <= 9; ++k) {                                     // through the fit points
      const TPointI f{static_cast<std::int32_t>(std::lround(2000 * std::cos(k * kPi / 9))),
                      static_cast<std::int32_t>(std::lround(2000 * std::sin(k * kPi / 9)))};
      EXPECT_NE(std::find(pts.begin(), pts.end(), f), pts.end()) << k;
    }
    EXPECT_FALSE(HasRepeatedPoint(pts));
  }
  EXPECT_FALSE(ReadBody(closed).figures[0].Open);
}

TEST_F(DxfReader, ArcAnglesAreFoldedIntoOneTurn) {
  struct Case {
    const char* angles;  // start and end as written
    const char* folded;  // the same arc within one turn
  };
  const Case cases[] = {
      {"50|0|51|900394", "50|0|51|34"},
      {"50|0|51|3589793", "50|0|51|233"},
      {"50|3589793|51|0", "50|233|51|0"},
      {"50|350|51|-321.5", "50|350|51|38.5"},
      {"50|-300|51|350", "50|60|51|350"},
      {"50|0|51|720", "50|0|51|360"},  // equal angles after folding: the full circle
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.angles);
    const Drawing d = ReadBody(std::string("0|ARC|8|0|10|0|20|0|40|10|") + c.angles);
    const Drawing f = ReadBody(std::string("0|ARC|8|0|10|0|20|0|40|10|") + c.folded);
    ASSERT_EQ(d.figures.size(), 1u);
    ASSERT_EQ(f.figures.size(), 1u);
    EXPECT_LE(MaxDeviation(d.figures[0].Points, f.figures[0].Points), 1);
  }
}

TEST_F(DxfReader, CurvesTooLargeAreRefusedBeforeTheyAreFlattened) {
  struct Case {
    const char* body;
    const char* key;
  };
  const Case cases[] = {
      // 3,180,000 mm: ten million points
      {"0|CIRCLE|8|0|10|0|20|0|40|3180000", "figuraZaDuzoPunktow"},
      {"0|ELLIPSE|8|0|10|0|20|0|11|3000000|21|0|40|1|41|0|42|6.28", "figuraZaDuzoPunktow"},
      // a bulge of 1e9 is a circle of about 2.5e9 mm through two close vertices
      {"0|LWPOLYLINE|8|0|90|2|70|0|10|0|20|0|42|1000000000|10|5|20|0", "figuraZaDuzoPunktow"},
      // a circle whose box does not fit the plotter units
      {"0|CIRCLE|8|0|10|54000000|20|0|40|1000", "figuraPozaZakresem"},
      // two points that fit, but not the distance between them
      {"0|LINE|8|0|10|-30000000|20|0|11|30000000|21|0", "figuraPozaZakresem"},
      // a long spline through fit points
      {"0|SPLINE|8|0|71|3|11|0|21|0|11|4000000|21|1|11|8000000|21|0", "figuraZaDuzoPunktow"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    try {
      ReadBody(c.body);
      ADD_FAILURE() << "no error";
    } catch (const MessageError& e) {
      EXPECT_EQ(e.section(), "Project_window");
      EXPECT_EQ(e.key(), c.key);
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
