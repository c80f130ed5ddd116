#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <vector>

#include "drawing/errors.h"
#include "drawing/hpgl.h"
#include "drawing/number_parse.h"
#include "support/test_support.h"

namespace vm {
namespace {

using Points = std::vector<TPointI>;

class HpglReader : public ::testing::Test {
 protected:
  QString Write(const QByteArray& text) {
    const QString path = dir_.filePath(QString("d%1.plt").arg(n_++));
    EXPECT_TRUE(test::WriteAll(path, text));
    return path;
  }

  // Reads every figure the way a project load does; invalid figures are dropped.
  std::vector<tfigura> ReadAll(const QByteArray& text) {
    Thpgl r;
    EXPECT_EQ(r.Open(Write(text), 1), 0);
    std::vector<tfigura> out;
    int calls = 0;
    while (!r.AtEof && calls++ < 100000) {
      tfigura f;
      r.ReadFigure(f);
      if (f.Valid) out.push_back(std::move(f));
    }
    r.Close();
    return out;
  }

  QTemporaryDir dir_;
  int n_ = 0;
};

TEST_F(HpglReader, ReadsTheDocumentedExamples) {
  struct Case {
    const char* text;
    std::vector<Points> figures;
  };
  for (const Case& c : std::vector<Case>{
           {"IN;SP1;PU0,0;PD100,0,100,100,0,100,0,0;PU;",
            {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}}},
           {"PU0,0;PD100,0,100,0;PU;", {{{0, 0}, {100, 0}}}},  // repeated point once
           {"PA10,10;PR;PD5,0,0,5;PU;", {{{10, 10}, {15, 10}, {15, 15}}}},
           {"PU10,10;PR;PD5,0,0,5;PU;", {{{0, 0}, {5, 0}, {5, 5}}}},
           {"pu0,0;pd10,10;pu;", {{{0, 0}, {10, 10}}}},
           {"PA0,0;PD10,0;SP2;PD20,0;PU;", {{{0, 0}, {10, 0}}, {{10, 0}, {20, 0}}}},
           {"PU0,0;C10,0;M20,0;PD30,0;PU;", {{{0, 0}, {10, 0}}, {{20, 0}, {30, 0}}}},
           {"IN;IP0,0,4000,4000;PU7,7;PD8,8;PU;", {{{7, 7}, {8, 8}}}},
           {"PU 0 0\r\nPD 10 0\r\nPU\r\n", {{{0, 0}, {10, 0}}}},
       }) {
    const auto figs = ReadAll(c.text);
    ASSERT_EQ(figs.size(), c.figures.size()) << c.text;
    for (std::size_t i = 0; i < figs.size(); ++i) {
      EXPECT_EQ(figs[i].Points, c.figures[i]) << c.text << " figure " << i;
    }
  }
}

TEST_F(HpglReader, FigureBoxClosureAndPens) {
  const auto figs = ReadAll("IN;SP1;PU0,0;PD100,0,100,100,0,100,0,0;PU;SP2;PD5,5;PU;");
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[0].Pen, 1);
  EXPECT_FALSE(figs[0].Open);  // more than two points, first equals last
  EXPECT_EQ(figs[0].Width, 100);
  EXPECT_EQ(figs[0].Height, 100);
  EXPECT_EQ(figs[0].fig_pp, (TPointI{0, 0}));
  EXPECT_EQ(figs[0].fig_pk, (TPointI{100, 100}));
  EXPECT_EQ(figs[1].Pen, 2);
  EXPECT_TRUE(figs[1].Open);
  // Closure from the reader is exact: ends 1 unit apart stay open.
  EXPECT_TRUE(ReadAll("PU0,0;PD10,0,10,10,1,0;PU;")[0].Open);
}

TEST_F(HpglReader, FileWithoutPenDownIsReadInOneCall) {
  Thpgl r;
  ASSERT_EQ(r.Open(Write("IN;PU10,10;PA20,20;SP3;"), 1), 0);
  tfigura f;
  r.ReadFigure(f);
  EXPECT_FALSE(f.Valid);
  EXPECT_TRUE(r.AtEof);
  EXPECT_EQ(r.CurrentPen, 3);

  Thpgl empty;
  ASSERT_EQ(empty.Open(Write(""), 1), 0);
  EXPECT_TRUE(empty.AtEof);
}

TEST_F(HpglReader, InstructionEndingTheFileIsExecuted) {
  EXPECT_EQ(ReadAll("PU0,0;PD10,0,10,10")[0].Points, (Points{{0, 0}, {10, 0}, {10, 10}}));
  // The last instruction starts a new figure after the previous one ended.
  const auto figs = ReadAll("PU0,0;PD10,0;PU20,0;PD30,0");
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[1].Points, (Points{{20, 0}, {30, 0}}));
  EXPECT_EQ(ReadAll("PU0,0;PD5,5;SP")[0].Points, (Points{{0, 0}, {5, 5}}));
  // A file of one instruction: its token is the first one found and ends the file.
  const auto lone = ReadAll(" pd");
  ASSERT_EQ(lone.size(), 1u);
  EXPECT_EQ(lone[0].Points, (Points{{0, 0}}));
}

TEST_F(HpglReader, DecimalCoordinatesAreRoundedHalvesToEven) {
  const auto figs = ReadAll("PU0.5,1.5;PD10.4,0.5,20.5,-1.5,-.5,3.;PU;");
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 2}, {10, 0}, {20, -2}, {0, 3}}));
  EXPECT_EQ(ReadAll("PU0,0;PD10,.,.,10;")[0].Points, (Points{{0, 0}, {10, 0}, {0, 10}}));
}

TEST_F(HpglReader, DecimalsDoNotDependOnTheSystemLocale) {
  struct CommaLocale {
    CommaLocale() { QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland)); }
    ~CommaLocale() { QLocale::setDefault(QLocale::c()); }
  } locale;
  const auto figs = ReadAll("PW0.25;PU0.5,1.5;PD10.5,2.5,-7.5,3.49;PU;");
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 2}, {10, 2}, {-8, 3}}));
  EXPECT_DOUBLE_EQ(figs[0].PenWidth, 0.25);
}

TEST_F(HpglReader, PenWidths) {
  auto figs = ReadAll("PW0.3,2;SP2;PD10,10;PU;SP1;PD20,20;PU;");
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_DOUBLE_EQ(figs[0].PenWidth, 0.3);
  EXPECT_DOUBLE_EQ(figs[1].PenWidth, 0.0);
  // One number: every pen's width; no number: back to the start value.
  figs = ReadAll("PW0.5;SP7;PD1,1;PU;SP256;PD2,2;PU;PW;PD3,3;PU;");
  ASSERT_EQ(figs.size(), 3u);
  EXPECT_DOUBLE_EQ(figs[0].PenWidth, 0.5);
  EXPECT_DOUBLE_EQ(figs[1].PenWidth, 0.5);
  EXPECT_DOUBLE_EQ(figs[2].PenWidth, 0.0);
}

TEST_F(HpglReader, LabelTextIsNotReadAsInstructions) {
  const auto figs = ReadAll("PU0,0;LBPD99,99;pu\x03PD10,0;PU;LBno end");
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 0}, {10, 0}}));
}

TEST_F(HpglReader, LabelsEndAtTheTerminatorTheDrawingDefines) {
  // Plots that write their own label terminator ("DT*,1;") keep the lines
  // after the first label; "IN" and "DT;" bring back ETX.
  auto figs = ReadAll(
      "IN;DT*,1;SI0.5,0.5;PU0,200;LBPD 1,1 C*;PD10,200;PU;IN;DT*,1;PU0,500;LBsome text*;"
      "PD0,600;PU;");
  ASSERT_EQ(figs.size(), 2u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 200}, {10, 200}}));
  EXPECT_EQ(figs[1].Points, (Points{{0, 500}, {0, 600}}));

  figs = ReadAll("DT#;LBpd#PU0,0;PD5,0;PU;IN;LBa#PD7,7;PU;\x03PD9,0;PU;DTx;LBab XPD1,1;PU;");
  ASSERT_EQ(figs.size(), 3u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 0}, {5, 0}}));
  EXPECT_EQ(figs[1].Points, (Points{{5, 0}, {9, 0}}));
  EXPECT_EQ(figs[2].Points, (Points{{9, 0}, {1, 1}}));
}

TEST_F(HpglReader, QuotedTextsAreNotReadAsInstructions) {
  // Comments and picture names of newer plots: their letters would draw
  // ("C", "PD") and their signs would be malformed numbers.
  const auto figs = ReadAll(
      "IN;CO\"Plotted from C:\\drawings\\PD-part.dwg\";BP1,\"A PDF test\",5,1;"
      "PU0,0;PD400,0,400,400;PU;CO\"no end PD1,1");
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 0}, {400, 0}, {400, 400}}));

  // Only those instructions take a quoted text: a stray quote elsewhere
  // does not swallow the rest of the plot.
  const auto stray = ReadAll("IN;PU0,0;\"PD400,0;PU;PU0,100;PD400,100;PU;");
  ASSERT_EQ(stray.size(), 2u);
  EXPECT_EQ(stray[1].Points, (Points{{0, 100}, {400, 100}}));
}

TEST_F(HpglReader, EncodedPolylineDataIsNotReadAsInstructions) {
  // The encoded data holds letters ("c" would draw, "PD" would put the pen
  // down) and runs to the ";" that ends the instruction; each encoded
  // polyline is counted. An empty "PE;" holds no polyline.
  Thpgl r;
  ASSERT_EQ(r.Open(Write("IN;PS16800,23760;PE<=\xbf\xbf"
                         "cPD\xc8;SP1;PU0,0;PD10,0;PU;"
                         "PE:\xc1Q<dc;PE;PE7<=ab"),
                   1),
            0);
  std::vector<tfigura> figs;
  while (!r.AtEof) {
    tfigura f;
    r.ReadFigure(f);
    if (f.Valid) figs.push_back(std::move(f));
  }
  r.Close();
  ASSERT_EQ(figs.size(), 1u);
  EXPECT_EQ(figs[0].Points, (Points{{0, 0}, {10, 0}}));
  EXPECT_EQ(r.SkippedEncodedPolylines, 3);
}

TEST_F(HpglReader, BadInputRaises) {
  // A malformed number is refused with a translated text naming it.
  for (const char* bad : {"PU0,0;PD1-2,5;", "1-2", "PU0,0;PD5,5,+-.,5;"}) {
    try {
      ReadAll(bad);
      ADD_FAILURE() << bad;
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "plikHpglZlaLiczba") << bad;
      EXPECT_TRUE(e.detail() == "1-2" || e.detail() == "+-.") << e.detail().toStdString();
    }
  }
  EXPECT_THROW(ReadAll("PU0,0;PD3000000000,0;"), RangeError);
  EXPECT_THROW(ReadAll("SP257;PD1,1;"), RangeError);
  EXPECT_THROW(ReadAll("PW0.5,-1;"), RangeError);
  EXPECT_THROW(ReadAll("PR;PU0,0;PD2147483000,0,1000,0;"), OverflowError);
}

TEST_F(HpglReader, OpenReportsResultCodes) {
  Thpgl r;
  EXPECT_EQ(r.Open(dir_.filePath("missing.plt"), 1), 2);
  EXPECT_EQ(r.Open(dir_.filePath("no/such/folder/x.plt"), 1), 3);
  EXPECT_EQ(r.Open(dir_.path(), 1), 5);
  EXPECT_EQ(r.Open(dir_.filePath("missing.plt"), 7), 0);  // unknown mode: nothing
  r.Close();
}

TEST_F(HpglReader, ReadsAcrossBufferBoundaries) {
  // Well beyond one read buffer, with strokes split at arbitrary offsets.
  QByteArray text = "IN;";
  const int n = 30000;
  for (int i = 0; i < n; ++i) {
    text += "PU" + QByteArray::number(i) + "," + QByteArray::number(-i) + ";PD" +
            QByteArray::number(i + 1000) + ",0," + QByteArray::number(i) + ",77;";
  }
  const auto figs = ReadAll(text);
  ASSERT_EQ(figs.size(), static_cast<std::size_t>(n));
  EXPECT_EQ(figs[12345].Points, (Points{{12345, -12345}, {13345, 0}, {12345, 77}}));
  EXPECT_EQ(figs.back().Points, (Points{{n - 1, 1 - n}, {n + 999, 0}, {n - 1, 77}}));
}

TEST_F(HpglReader, NumberSplitByABufferRefillIsReadWhole) {
  // One long pen-down run of two alternating points, shifted by every offset
  // of its repeating unit, so each character position of the numbers falls on
  // a refill of the read buffer in one of the files.
  const QByteArray unit = "12345,-6789,-6789,12345,";
  const int reps = 300 * 1024 / unit.size();
  for (int shift = 0; shift < unit.size(); ++shift) {
    QByteArray text = "PU0,0;PD" + QByteArray(shift, ' ');
    for (int i = 0; i < reps; ++i) text += unit;
    text += "PU;";
    const auto figs = ReadAll(text);
    ASSERT_EQ(figs.size(), 1u) << shift;
    const Points& p = figs[0].Points;
    ASSERT_EQ(p.size(), static_cast<std::size_t>(1 + 2 * reps)) << shift;
    for (std::size_t i = 1; i < p.size(); ++i) {
      const TPointI want = i % 2 ? TPointI{12345, -6789} : TPointI{-6789, 12345};
      ASSERT_EQ(p[i], want) << "shift " << shift << " point " << i;
    }
  }
}

}  // namespace
}  // namespace vm
