// The project window's figure list operations: parameters, adding figures,
// the project box, the first entry position and the text dump.
#include <gtest/gtest.h>

#include "project/figure_parameters.h"
#include "project_fixture.h"

namespace vm::test {
namespace {

std::unique_ptr<tfigura> Fig(std::vector<TPointI> points) {
  auto f = std::make_unique<tfigura>();
  f->Points = std::move(points);
  return f;
}

TEST(FigureParameters, ClosureByNearnessOfTheEnds) {
  struct Case {
    std::vector<TPointI> points;
    bool open;
  };
  const Case cases[] = {
      {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}}, false},
      {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {9, 9}}, false},
      {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {10, 0}}, true},
      {{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, -10}}, true},
      {{{5, 5}, {5, 5}}, true},  // two points are always open
      {{{5, 5}}, true},
  };
  for (const Case& c : cases) {
    tfigura f;
    f.Points = c.points;
    licz_parametry(f);
    EXPECT_EQ(f.Open, c.open) << c.points.back().X << "," << c.points.back().Y;
    EXPECT_EQ(f.typ, c.open ? 0 : 1);
    EXPECT_TRUE(f.Valid);
    EXPECT_TRUE(f.Cut);
    EXPECT_TRUE(f.Unlinked);
    EXPECT_TRUE(f.oryg);
  }
}

TEST(FigureParameters, BoxIndexesAndCentre) {
  tfigura f;
  f.Depth = 4;
  f.Points = {{-3, 7}, {-3, -5}, {0, 7}, {0, -5}};
  licz_parametry(f);
  EXPECT_EQ(f.fig_pp, (TPointI{-3, -5}));
  EXPECT_EQ(f.fig_pk, (TPointI{0, 7}));
  EXPECT_EQ(f.Width, 3);
  EXPECT_EQ(f.Height, 12);
  // Ties keep the first point.
  EXPECT_EQ(f.MinXIndex, 0);
  EXPECT_EQ(f.MaxXIndex, 2);
  EXPECT_EQ(f.MinYIndex, 1);
  EXPECT_EQ(f.MaxYIndex, 0);
  // (-3 + 0) / 2 truncates toward zero to -1.
  EXPECT_EQ(f.Centre, (TPointI{-1, 1}));
  EXPECT_EQ(f.Depth, 0);

  tfigura empty;
  empty.Valid = true;
  empty.Width = 77;
  licz_parametry(empty);
  EXPECT_FALSE(empty.Valid);
  EXPECT_EQ(empty.Width, 77);  // nothing else changes
}

TEST(FigureParameters, BoxOnTheEdgesOfTheIntegerRangeHoldsItsPoints) {
  constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
  tfigura f;
  f.Points = {{lo, hi}, {lo, hi - 50}, {lo, hi}};
  licz_parametry(f);
  EXPECT_EQ(f.fig_pp, (TPointI{lo, hi - 50}));
  EXPECT_EQ(f.fig_pk, (TPointI{lo, hi}));
  EXPECT_EQ(f.Width, 0);
  EXPECT_EQ(f.Height, 50);
  EXPECT_EQ(f.MaxXIndex, 0);
  EXPECT_EQ(f.MaxYIndex, 0);

  TMDIChild w;
  w.AddFigure(Fig({{lo, lo}, {lo, lo + 10}}));
  w.Ustaw_PPiPK();
  EXPECT_EQ((std::array{w.MinX, w.MinY, w.MaxX, w.MaxY}), (std::array{lo, lo, lo, lo + 10}));
}

class ProjectTest : public ProjectFixture {};

TEST_F(ProjectTest, AddFigureAddLacznikAndTheBox) {
  TMDIChild w;
  EXPECT_EQ(w.AddFigure(Fig({{10, 20}, {30, 40}, {30, 20}, {10, 20}})), 0);
  EXPECT_EQ(w.AddLacznik(Fig({{-5, 0}, {10, 20}}), 1), 1);
  EXPECT_TRUE(w.Figures[0]->oryg);
  EXPECT_EQ(w.Figures[0]->typ, 1);
  EXPECT_FALSE(w.Figures[1]->oryg);
  EXPECT_EQ(w.Figures[1]->typ, 1);  // the given closure, though two points are open
  EXPECT_TRUE(w.Figures[1]->Open);
  w.Figures[0]->Index = 9;
  w.Ustaw_PPiPK();
  EXPECT_EQ(w.Figures[0]->Index, 0);
  EXPECT_EQ(w.Figures[1]->Index, 1);
  EXPECT_EQ((std::array{w.MinX, w.MinY, w.MaxX, w.MaxY}), (std::array{-5, 0, 30, 40}));

  TMDIChild none;
  none.Ustaw_PPiPK();
  EXPECT_EQ(none.MinX, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(none.MaxX, std::numeric_limits<std::int32_t>::min() + 1);
}

TEST_F(ProjectTest, FirstEntryIntoTheMaterial) {
  TMDIChild w;
  EXPECT_EQ(w.DajPoz1szegoWjazduWmat(), 0.0);
  w.AddFigure(Fig({{400, 800}, {4000, 800}}));  // the axis line
  w.AddFigure(Fig({{80, 120}, {200, 200}}));
  w.AxisFigure = 0;
  struct Case {
    int stolik;
    double mm;
  };
  for (const Case c : {Case{0, 2.0}, Case{1, 3.0}, Case{2, 0.0}}) {
    Dlgkonfig().StolikSwitch.SetItemIndex(c.stolik);
    EXPECT_DOUBLE_EQ(w.DajPoz1szegoWjazduWmat(), c.mm) << c.stolik;
  }
  w.AxisFigure = -1;
  Dlgkonfig().StolikSwitch.SetItemIndex(0);
  EXPECT_DOUBLE_EQ(w.DajPoz1szegoWjazduWmat(), 10.0);
}

TEST_F(ProjectTest, TextDump) {
  TMDIChild w;
  w.AddFigure(Fig({{0, 0}, {10, 0}, {10, 10}, {0, 0}}));
  w.AddLacznik(Fig({{-1, 2}, {3, 4}}), 0);
  w.AddFigure(Fig({{7, 7}}));
  w.Figures[2]->typ = 5;  // another value repeats the previous line's word
  const QString path = dir.filePath("dump.txt");
  w.ZapiszFiguryDoPliku(path);
  const QByteArray closed = QByteArray("zamkni") + char(0xEA) + "ta";
  EXPECT_EQ(ReadAll(path),
            "Figura0   [fig_pp:(0,0) fig_pk:(10,10)] oryg: T typ: " + closed +
                "\r\n0, 0, 0\r\n10, 0, 0\r\n10, 10, 0\r\n0, 0, 0\r\n"
                "Figura1   [fig_pp:(-1,2) fig_pk:(3,4)] oryg: F typ: otwarta\r\n"
                "-1, 2, 0\r\n3, 4, 0\r\n"
                "Figura2   [fig_pp:(7,7) fig_pk:(7,7)] oryg: T typ: otwarta\r\n7, 7, 0\r\n");
  EXPECT_THROW(w.ZapiszFiguryDoPliku(dir.filePath("no/such/folder/dump.txt")), IoError);
}

TEST_F(ProjectTest, WindowEvents) {
  TMDIChild w;
  TCloseAction action = TCloseAction::Hide;
  w.FormClose(action);
  EXPECT_EQ(action, TCloseAction::Free);
  Interfejs()->SetRightToLeft(true);
  w.TntFormCreate();
  EXPECT_TRUE(w.RightToLeft);
}

}  // namespace
}  // namespace vm::test
