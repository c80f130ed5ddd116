// Duplication: copies, the serpentine connecting figure, the checks and the
// Execute command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "drawing/units.h"
#include "dupl_fixture.h"

namespace vm {
namespace {

using test::DuplicationFixture;
using Points = std::vector<TPointI>;

struct ConnectorCase {
  const char* name;
  std::int32_t columns, rows;
  Points expected;
};

class DuplicationConnector : public DuplicationFixture,
                             public ::testing::WithParamInterface<ConnectorCase> {};

// Pattern 400 x 200 entered at (0, 0); shifts 800 and 400, step 80, both line
// distances 200.
TEST_P(DuplicationConnector, RunsThroughEveryCopyInSerpentineOrder) {
  const ConnectorCase& c = GetParam();
  MakeSource({Square()});
  TMDIChild target;
  BuildDuplicateFigures(PatternOf(source), {c.columns, c.rows, 800, 400, 80, 200, 200}, target);
  ASSERT_EQ(target.FigureCount(), c.columns * c.rows + 1);
  for (std::int32_t r = 0; r < c.rows; ++r)
    for (std::int32_t j = 0; j < c.columns; ++j)
      EXPECT_EQ(target.Figures[r * c.columns + j]->Points.front(), (TPointI{800 * j, 400 * r}));
  const tfigura& link = *target.Figures.back();
  EXPECT_EQ(link.Points, c.expected);
  EXPECT_EQ(link.typ, 1);
  EXPECT_FALSE(link.oryg);
  EXPECT_EQ(link.Kind, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DuplicationConnector,
    ::testing::Values(
        ConnectorCase{
            "OneCopy", 1, 1, {{-240, -240}, {-240, -240}, {0, 0}, {0, 0}, {0, -240}, {-240, -240}}},
        ConnectorCase{"TwoColumns",
                      2,
                      1,
                      {{-240, -240},
                       {-240, -240},
                       {0, 0},
                       {0, 0},
                       {80, -200},
                       {720, -200},
                       {800, 0},
                       {800, 0},
                       {800, -240},
                       {-240, -240}}},
        // Even rows: the single-figure pattern's start goes to figure 0.
        ConnectorCase{
            "TwoByTwo", 2, 2, {{-240, -200}, {-240, 200}, {0, 0},     {0, 400},   {80, 200},
                               {720, 200},   {800, 400},  {800, 400}, {880, 200}, {1400, 200},
                               {1400, -200}, {880, -200}, {800, 0},   {800, 0},   {720, -200},
                               {80, -200},   {0, 0},      {0, 0},     {0, 0},     {-240, -200}}},
        ConnectorCase{"ThreeRowsOneColumn",
                      1,
                      3,
                      {{-240, -240},
                       {-240, 560},
                       {0, 0},
                       {0, 800},
                       {80, 600},
                       {600, 600},
                       {600, 200},
                       {80, 200},
                       {0, 400},
                       {0, 400},
                       {-200, 200},
                       {-200, -200},
                       {0, 0},
                       {0, 0},
                       {0, -240},
                       {-240, -240}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DuplicationFixture, SeveralFiguresStartAtTheTopLeftCopy) {
  // Entry figure 0 of two: the start enters figure 1 of the top-left copy.
  MakeSource({Square(), {{100, 50}, {300, 50}, {300, 150}, {100, 50}}}, 0);
  TMDIChild target;
  BuildDuplicateFigures(PatternOf(source), {2, 2, 800, 400, 80, 200, 200}, target);
  ASSERT_EQ(target.FigureCount(), 9);
  EXPECT_EQ(target.Figures.back()->Points[2], (TPointI{100, 450}));
  // Entry figure 1 of two in one column: the figure after it does not exist,
  // so the start enters the top copy's entry figure itself.
  MakeSource({}, 1);
  TMDIChild one;
  BuildDuplicateFigures(PatternOf(source), {1, 2, 800, 400, 80, 200, 200}, one);
  EXPECT_EQ(one.Figures.back()->Points[2], (TPointI{100, 450}));
  EXPECT_EQ(one.Figures.back()->Points[3], (TPointI{100, 450}));
}

TEST_F(DuplicationFixture, OnlyDrawnFiguresAreRepeatedAndEnteredAtTheOutline) {
  // A hole listed before its outline, then what a plain-cutting preparation
  // adds: a frame around the drawing, which it starts at (depths one deeper).
  MakeSource({{{100, 50}, {300, 50}, {300, 150}, {100, 50}}, Square()});
  source.Figures[0]->Depth = 2;
  source.Figures[1]->Depth = 1;
  auto frame = std::make_unique<tfigura>();
  frame->Points = {{-400, -400}, {800, -400}, {800, 600}, {-400, 600}, {-400, -400}};
  frame->Kind = 1;
  source.AddFigure(std::move(frame));
  source.FirstFigure = 2;
  source.Ustaw_PPiPK();
  const TDuplicationPattern p = PatternOf(source);
  ASSERT_EQ(p.Figures.size(), 2u);
  EXPECT_EQ(p.First, 1);  // the outline, not the hole inside it
  EXPECT_EQ(p.Width, 400);
  EXPECT_EQ(p.Height, 200);
  // The source's own first figure, when drawn, stays the entry.
  source.FirstFigure = 0;
  EXPECT_EQ(PatternOf(source).First, 0);
}

// The connecting figure against every copy's figures: it reaches each copy's
// entry point and never crosses a copy's outline nor runs inside a closed
// figure (touching and running along an outline are allowed).
class ConnectorClearance : public DuplicationFixture {
 protected:
  static int Orient(TPointI a, TPointI b, TPointI c) {
    const __int128 v = static_cast<__int128>(std::int64_t{b.X} - a.X) * (std::int64_t{c.Y} - a.Y) -
                       static_cast<__int128>(std::int64_t{b.Y} - a.Y) * (std::int64_t{c.X} - a.X);
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
  }
  static bool StrictlyInside(double x, double y, const Points& poly) {
    bool inside = false;
    for (std::size_t i = 1; i < poly.size(); ++i) {
      const double cx = poly[i - 1].X, cy = poly[i - 1].Y, dx = poly[i].X, dy = poly[i].Y;
      const double ex = dx - cx, ey = dy - cy, len2 = ex * ex + ey * ey;
      const double t = std::clamp(((x - cx) * ex + (y - cy) * ey) / len2, 0.0, 1.0);
      if (std::hypot(x - cx - t * ex, y - cy - t * ey) < 0.5) return false;  // on the outline
      if ((cy > y) != (dy > y) && x < cx + (y - cy) * ex / ey) inside = !inside;
    }
    return inside;
  }
  // Builds the duplicate and checks its connecting figure.
  void Check(std::int32_t columns, std::int32_t rows) {
    const TDuplicationPattern p = PatternOf(source);
    const std::int32_t SX = p.Width + 400, SY = p.Height + 400;  // 10 mm gaps
    TMDIChild target;
    BuildDuplicateFigures(p, {columns, rows, SX, SY, SX / 10, 200, 200}, target);
    const std::size_t P = p.Figures.size();
    ASSERT_EQ(target.Figures.size(), P * columns * rows + 1);
    const Points& link = target.Figures.back()->Points;
    for (std::size_t c = 0; c + 1 < target.Figures.size(); ++c) {
      const Points& fig = target.Figures[c]->Points;
      if (c % P == static_cast<std::size_t>(p.First)) {
        EXPECT_NE(std::find(link.begin(), link.end(), fig.front()), link.end())
            << "copy " << c / P << " is not entered";
      }
      const bool closed = fig.front() == fig.back();
      for (std::size_t i = 1; i < link.size(); ++i) {
        const TPointI a = link[i - 1], b = link[i];
        for (std::size_t k = 1; k < fig.size(); ++k) {
          const TPointI c0 = fig[k - 1], d = fig[k];
          const bool crosses =
              Orient(a, b, c0) * Orient(a, b, d) < 0 && Orient(c0, d, a) * Orient(c0, d, b) < 0;
          ASSERT_FALSE(crosses) << "link segment " << i << " crosses figure " << c;
        }
        if (!closed) continue;
        for (int k = 1; k < 64; ++k) {
          const double t = k / 64.0;
          ASSERT_FALSE(StrictlyInside(a.X + t * (b.X - a.X), a.Y + t * (b.Y - a.Y), fig))
              << "link segment " << i << " runs inside figure " << c;
        }
      }
    }
  }
  static Points Rect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
  }
  // A round hole of radius r about (cx, cy), entered at its right-most point.
  static Points Circle(std::int32_t cx, std::int32_t cy, std::int32_t r) {
    Points pts;
    for (int k = 0; k <= 72; ++k) {
      const double a = 2 * std::numbers::pi * (k % 72) / 72;
      pts.push_back({cx + static_cast<std::int32_t>(std::lround(r * std::cos(a))),
                     cy + static_cast<std::int32_t>(std::lround(r * std::sin(a)))});
    }
    return pts;
  }
};

TEST_F(ConnectorClearance, TwoPartsSideBySide) {
  // A 100 mm square and a 50 mm square to its right at mid-height, entered at
  // either part.
  for (std::int32_t first : {0, 1}) {
    MakeSource({Rect(0, 0, 4000, 4000), Rect(4400, 1000, 6400, 3000)}, first);
    for (auto [columns, rows] : {std::pair{2, 1}, {3, 2}, {1, 3}, {4, 3}}) {
      SCOPED_TRACE(testing::Message() << "entry " << first << ", " << columns << " x " << rows);
      Check(columns, rows);
    }
    source.Figures.clear();
  }
}

TEST_F(ConnectorClearance, PartWithAHole) {
  // The outline is entered; the hole is never reached through the material.
  MakeSource({Rect(0, 0, 4000, 4000), Circle(2000, 2000, 1000)});
  for (auto [columns, rows] : {std::pair{1, 1}, {2, 1}, {3, 2}, {2, 3}}) {
    SCOPED_TRACE(testing::Message() << columns << " x " << rows);
    Check(columns, rows);
  }
}

TEST_F(ConnectorClearance, EntryAboveTheBoxBottom) {
  // One round part entered at its right-most point: the lines below the rows
  // would cut through the neighbouring copy.
  MakeSource({Circle(2000, 2000, 2000)});
  for (auto [columns, rows] : {std::pair{2, 1}, {3, 3}}) {
    SCOPED_TRACE(testing::Message() << columns << " x " << rows);
    Check(columns, rows);
  }
}

TEST_F(ConnectorClearance, PlainSquaresKeepTheirSerpentine) {
  // A square entered at its lower-left corner: the lines below the rows are
  // clear already and stay as they are.
  MakeSource({Square()});
  for (auto [columns, rows] : {std::pair{1, 1}, {2, 1}, {2, 2}, {3, 3}}) {
    SCOPED_TRACE(testing::Message() << columns << " x " << rows);
    Check(columns, rows);
  }
  TMDIChild target;
  BuildDuplicateFigures(PatternOf(source), {2, 1, 800, 400, 80, 200, 200}, target);
  EXPECT_EQ(target.Figures.back()->Points[4], (TPointI{80, -200}));
}

TEST_F(DuplicationFixture, CoordinatesPastThirtyTwoBitsRaise) {
  MakeSource({Square()});
  TMDIChild target;
  EXPECT_THROW(
      BuildDuplicateFigures(PatternOf(source), {3, 1, 1'500'000'000, 400, 80, 200, 200}, target),
      RangeError);
}

TEST_F(DuplicationFixture, FirstShowingOffersTheDefaults) {
  MakeSource({Square()});
  dlg.TntFormActivate();
  EXPECT_DOUBLE_EQ(dlg.PatternWidth, 10);
  EXPECT_DOUBLE_EQ(dlg.feIloscElemWWierszu.Value(), 2);
  EXPECT_DOUBLE_EQ(dlg.feIloscWierszy.Value(), 1);
  EXPECT_DOUBLE_EQ(dlg.feuPrzesuniecieMdzyElem.Value(), 20);
  EXPECT_DOUBLE_EQ(dlg.feuPrzesMdzyWierszami.Value(), 15);
  EXPECT_DOUBLE_EQ(dlg.feuOdlMdzyEl_i_laczPionowym.Value(), 5);
  EXPECT_DOUBLE_EQ(dlg.feuOdlMdzyEl_i_laczPoziomym.Value(), 5);
  EXPECT_EQ(dlg.ParamFileName, dir.filePath("part.dpl"));
  EXPECT_EQ(dlg.ePlik, source.Caption);
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(dlg.pWzorzecSzerokosc, "10" + dp + "0 ");
  EXPECT_EQ(dlg.pCalySzer, "40" + dp + "0 ");  // 2 x 20 mm
  EXPECT_EQ(dlg.pCalyWys, "15" + dp + "0 ");
  EXPECT_EQ(dlg.UnitLabel, "[mm]");
}

struct CheckCase {
  const char* name;
  double columns, rows, shift, rowShift, vLine, hLine;
  const char* key;
  const char* focus;
};

class DuplicationChecks : public DuplicationFixture,
                          public ::testing::WithParamInterface<CheckCase> {};

TEST_P(DuplicationChecks, RefuseWithMessageAndFocus) {
  const CheckCase& c = GetParam();
  MakeSource({Square()});
  dlg.TntFormActivate();
  dlg.feIloscElemWWierszu.SetValue(c.columns);
  dlg.feIloscWierszy.SetValue(c.rows);
  dlg.feuPrzesuniecieMdzyElem.SetValue(c.shift);
  dlg.feuPrzesMdzyWierszami.SetValue(c.rowShift);
  dlg.feuOdlMdzyEl_i_laczPionowym.SetValue(c.vLine);
  dlg.feuOdlMdzyEl_i_laczPoziomym.SetValue(c.hLine);
  dlg.btnZatwierdzClick();
  EXPECT_TRUE(windows.empty());
  EXPECT_EQ(closes, 0);
  EXPECT_EQ(focused, c.focus);
  ASSERT_FALSE(Errors().isEmpty());
  EXPECT_TRUE(Errors().back().startsWith(Tr("Duplication_parameters", c.key)))
      << Errors().back().toStdString();
  EXPECT_FALSE(QFile::exists(dlg.ParamFileName));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DuplicationChecks,
    ::testing::Values(
        CheckCase{"NoElements", 0, 1, 20, 15, 5, 5, "BlednaIloscElem", "feIloscElemWWierszu"},
        // Half an element would truncate to no copies at all.
        CheckCase{"HalfElement", 0.5, 1, 20, 15, 5, 5, "BlednaIloscElem", "feIloscElemWWierszu"},
        CheckCase{"NoRows", 2, -1, 20, 15, 5, 5, "BlednaIloscWierszy", "feIloscWierszy"},
        CheckCase{"RowsOverlap", 2, 1, 20, 4, 5, 5, "BlednePrzesMdzyWier", "feuPrzesMdzyWierszami"},
        CheckCase{"VerticalLineInGap", 2, 1, 20, 15, 10, 5, "OdlLacznikaPionZaDuza",
                  "feuOdlMdzyEl_i_laczPionowym"},
        CheckCase{"HorizontalLineInGap", 2, 1, 20, 15, 5, 10, "OdlLacznikaPoziomZaDuza",
                  "feuOdlMdzyEl_i_laczPoziomym"},
        CheckCase{"TooManyCopies", 5000, 5000, 20, 15, 5, 5, "projektZaDuzy",
                  "feIloscElemWWierszu"},
        // Past the coordinate range: refused before any window or file.
        CheckCase{"FarApart", 3, 1, 3e7, 15, 5, 5, "projektZaDuzy", "feIloscElemWWierszu"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DuplicationFixture, OverlapIsAskedAndYesReachesTheLineCheck) {
  MakeSource({Square()});
  dlg.TntFormActivate();
  dlg.feuPrzesuniecieMdzyElem.SetValue(8);
  dlg.feuOdlMdzyEl_i_laczPionowym.SetValue(0);
  dlg.btnZatwierdzClick();  // the recorder answers Cancel-like None
  ASSERT_EQ(messages.requests.size(), 1);
  const MessageRequest& ask = messages.requests.front();
  EXPECT_TRUE(ask.confirmation);
  EXPECT_EQ(ask.buttons, MsgButton::Yes | MsgButton::Cancel);
  const QString dp(LocaleDecimalPoint());
  EXPECT_EQ(ask.text, Tr("Duplication_parameters", "ElNachodzaNaSiebie") + "\r\n" +
                          Tr("Duplication_parameters", "SzerokoscPojedynElem") + ": 10" + dp +
                          "00 mm\r\n\r\n" + Tr("Duplication_parameters", "CzyAkceptujesz"));
  EXPECT_EQ(focused, "feuPrzesuniecieMdzyElem");

  messages.answers.push_back(ModalResult::Yes);
  dlg.btnZatwierdzClick();
  EXPECT_EQ(Errors().back(), Tr("Duplication_parameters", "OdlLacznikaPionZaDuza"));
  EXPECT_TRUE(windows.empty());
}

TEST_F(DuplicationFixture, ExecuteBuildsSavesAndPreparesTheNewWindow) {
  MakeSource({Square(), {{100, 50}, {300, 50}, {300, 150}, {100, 50}}});
  dlg.TntFormActivate();
  dlg.feIloscElemWWierszu.SetValue(2.7);  // two columns
  dlg.feIloscWierszy.SetValue(2);
  dlg.feuOdlMdzyEl_i_laczPionowym.SetValue(0);  // used as one plotter unit
  dlg.btnZatwierdzClick();
  EXPECT_TRUE(Errors().isEmpty()) << Errors().join("\n").toStdString();
  ASSERT_EQ(windows.size(), 1u);
  TMDIChild& w = *windows.front();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(preparations, 1);
  EXPECT_EQ(w.Caption, dir.filePath("part.dpl"));
  EXPECT_EQ(w.FileType, 2);
  ASSERT_EQ(w.FigureCount(), 2 * 2 * 2 + 1);
  // Copy (1, 1) holds list indices 6 and 7, shifted by 20 mm and 15 mm.
  EXPECT_EQ(w.Figures[6]->Points.front(), (TPointI{800, 600}));
  EXPECT_EQ(w.Figures[7]->Points.front(), (TPointI{900, 650}));
  EXPECT_EQ(dlg.VLineDistance, 1);
  EXPECT_EQ(dlg.Step, 80);
  // Start point: 1 + 40 left of the pattern, at the lower line for even rows.
  EXPECT_EQ(w.Figures.back()->Points.front(), (TPointI{-41, -1}));
  EXPECT_EQ(w.MinX, -41);
  EXPECT_EQ(w.Width, w.MaxX - w.MinX);
  EXPECT_EQ(w.Height, w.MaxY - w.MinY);
  EXPECT_EQ(w.SelectedFigure, -1);
  EXPECT_EQ(w.MaxDepth, 0);

  TfParDup again;
  again.PatternWidth = 10;
  ASSERT_TRUE(again.LoadParams(dlg.ParamFileName));
  EXPECT_EQ(again.Columns, 2);
  EXPECT_EQ(again.Rows, 2);
  EXPECT_DOUBLE_EQ(again.ElementShift, 20);
  EXPECT_DOUBLE_EQ(again.RowShift, 15);
  EXPECT_EQ(again.VLineDistance, 1);
  EXPECT_EQ(again.HLineDistance, 200);
}

TEST_F(DuplicationFixture, FailedPreparationFreesTheNewWindow) {
  ProjectHooks().ciecie = [](TMDIChild& w) {
    w.RequestClose();
    return false;
  };
  MakeSource({Square()});
  dlg.TntFormActivate();
  dlg.btnZatwierdzClick();
  ASSERT_EQ(windows.size(), 1u);
  EXPECT_EQ(freed, std::vector<TMDIChild*>{windows.front().get()});
  EXPECT_EQ(dlg.NewWindow, nullptr);
  EXPECT_EQ(closes, 1);
}

}  // namespace
}  // namespace vm
