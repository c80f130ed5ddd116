// Duplication: copies, the serpentine connecting figure, the checks and the
// Execute command.
#include <gtest/gtest.h>

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
