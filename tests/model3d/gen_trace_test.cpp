// Tracing silhouette grids into figures: walks, closure, joining of pieces,
// an empty grid.
#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <memory>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "model3d/outline_trace.h"
#include "model3d/silhouette_grid.h"

namespace vm {
namespace {

// Fills the grid from a picture drawn top row first: "o" outline, "#"
// interior, anything else empty.
void SetPicture(const QStringList& rows) {
  GridRows = int(rows.size()) - 1;
  GridCols = int(rows[0].size()) - 1;
  AlokujSiatke();
  for (int j = 0; j <= GridRows; ++j) {
    for (int i = 0; i <= GridCols; ++i) {
      const QChar c = rows[GridRows - j][i];
      SilhouetteGrid[i][j] = c == 'o' ? CellOutline : c == '#' ? CellInterior : CellEmpty;
    }
  }
}

std::vector<TPointI> Cells(std::initializer_list<std::pair<int, int>> cells) {
  std::vector<TPointI> p;
  for (auto [i, j] : cells) p.push_back({8 * i, 8 * j});
  return p;
}

std::unique_ptr<tfigura> Figure(std::vector<TPointI> points) {
  auto f = std::make_unique<tfigura>();
  f->Points = std::move(points);
  return f;
}

class TraceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawingGlobals();
    ResetGridGlobals();
  }
  void TearDown() override {
    ResetDrawingGlobals();
    ResetGridGlobals();
  }
  TOutlineTracer tracer;
};

TEST_F(TraceTest, ArchOnItsBaseIsOneOpenFigureFromLeftOverTheTopToRight) {
  // The base run between the legs is interior, so the outline stays open.
  // clang-format off
  SetPicture({"................",
              ".oooooooooooooo.",
              ".o############o.",
              ".o############o.",
              ".o############o."});
  // clang-format on
  tracer.SledzObrys();
  ASSERT_EQ(TracedFigures.size(), 1u);
  const tfigura& f = *TracedFigures[0];
  EXPECT_FALSE(f.TracedClosed);
  EXPECT_EQ(f.Points.front(), (TPointI{8, 0}));
  EXPECT_EQ(f.Points.back(), (TPointI{112, 0}));
  // Reduced to a few points near the corners, all on cell points in the grid.
  EXPECT_LE(f.Points.size(), 6u);
  std::int32_t top = 0;
  for (const TPointI& p : f.Points) {
    EXPECT_TRUE(p.X % 8 == 0 && p.Y % 8 == 0);
    EXPECT_TRUE(p.X >= 0 && p.X <= 8 * GridCols && p.Y >= 0 && p.Y <= 8 * GridRows);
    top = std::max(top, p.Y);
  }
  EXPECT_EQ(top, 24);
  // Every outline cell was visited once the step is traced.
  for (const tpix2dY& column : SilhouetteGrid)
    for (std::uint8_t c : column) EXPECT_FALSE((c & CellOutline) && !(c & CellVisited));
}

TEST_F(TraceTest, RingClosesOnItsFirstPoint) {
  // clang-format off
  SetPicture({"oooooo",
              "o####o",
              "o####o",
              "oooooo"});
  // clang-format on
  tracer.SledzObrys();
  ASSERT_EQ(TracedFigures.size(), 1u);
  const tfigura& f = *TracedFigures[0];
  EXPECT_TRUE(f.TracedClosed);
  EXPECT_EQ(f.Points.front(), (TPointI{0, 0}));
  EXPECT_EQ(f.Points.back(), f.Points.front());
  EXPECT_LE(f.Points.size(), 7u);  // thinned to about the corners
}

TEST_F(TraceTest, ClosureNeedsSixPointsWithinSixCells) {
  struct Case {
    QString row;
    bool closed;
  } cases[] = {
      {"ooooo.....", false},  // 5 points, ends 32 apart: never closed
      {"oooooo....", true},   // 6 points, ends 40 apart
      {"ooooooooo.", false},  // 9 points, ends 64 apart
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row.toStdString());
    SetPicture({"..........", c.row});
    tracer.SledzObrys();
    ASSERT_EQ(TracedFigures.size(), 1u);
    EXPECT_EQ(TracedFigures[0]->TracedClosed, c.closed);
  }
}

TEST_F(TraceTest, AtAJunctionTheWalkTakesTheCellWithMostEmptyNeighbours) {
  // clang-format off
  SetPicture({".....",
              "..o..",
              ".ooo.",
              ".###.",
              "....."});
  // clang-format on
  SilhouetteGrid[2][2] |= CellVisited;
  tracer.Tracer = {2, 2};
  tracer.Current = TOutlineTracer::CellPoint(tracer.Tracer);
  // Up borders five empty cells, left and right only four (and interior).
  ASSERT_TRUE(tracer.NastepnaKomorka());
  EXPECT_EQ(tracer.Tracer, (TCell{2, 3}));
  EXPECT_EQ(tracer.LastDirection, 0);
  EXPECT_EQ(tracer.Current, (TPointI{16, 24}));
}

TEST_F(TraceTest, StartSearchOnALargeGridTakesTheLowestRowThenTheLeftmostCell) {
  // A grid large enough to be searched in shares of columns: the answer
  // must not depend on which share finds a cell first.
  GridCols = GridRows = 2099;
  AlokujSiatke();
  WypelnijSiatke();
  for (auto [i, j] : {std::pair{1500, 300}, {700, 300}, {1900, 200}, {20, 900}, {2050, 900}}) {
    SilhouetteGrid[i][j] = CellOutline;
  }
  const std::pair<int, int> expected[] = {{1900, 200}, {700, 300}, {1500, 300}, {20, 900},
                                          {2050, 900}};
  for (auto [i, j] : expected) {
    ASSERT_TRUE(tracer.SzukajPoczatku());
    EXPECT_EQ(tracer.Tracer, (TCell{i, j}));
    EXPECT_EQ(tracer.LastStart, (TCell{i, j}));
    SilhouetteGrid[i][j] |= CellVisited;
  }
  EXPECT_FALSE(tracer.SzukajPoczatku());
  // From a start in the middle of a row, the cells of that row to its left
  // are not looked at again.
  SilhouetteGrid[700][300] = CellOutline;
  SilhouetteGrid[1500][300] = CellOutline;
  tracer.LastStart = {1000, 300};
  ASSERT_TRUE(tracer.SzukajPoczatku());
  EXPECT_EQ(tracer.Tracer, (TCell{1500, 300}));
}

TEST_F(TraceTest, GridWithoutOutlineTracesNothing) {
  SetPicture({"....", "....", "...."});
  tracer.SledzObrys();
  EXPECT_TRUE(TracedFigures.empty());
  SilhouetteGrid.clear();
  tracer.SledzObrys();
  EXPECT_TRUE(TracedFigures.empty());
}

TEST_F(TraceTest, PiecesJoinBelowSixCellsApartOnly) {
  struct Case {
    std::int32_t gap;
    bool joined;
  } cases[] = {{47, true}, {48, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gap);
    TracedFigures.clear();
    TracedFigures.push_back(Figure({{0, 0}, {100, 0}}));
    const auto piece = Figure({{100 + c.gap, 0}, {300, 0}});
    EXPECT_EQ(tracer.DolaczDoFigury(*piece, 0), c.joined);
    const std::vector<TPointI> expected =
        c.joined ? std::vector<TPointI>{{0, 0}, {100, 0}, {100 + c.gap, 0}, {300, 0}}
                 : std::vector<TPointI>{{0, 0}, {100, 0}};
    EXPECT_EQ(TracedFigures[0]->Points, expected);
  }
}

TEST_F(TraceTest, JoiningReversesThePieceToMeetTheNearEnd) {
  // The piece's last point is next to the figure's first: it goes in front.
  TracedFigures.push_back(Figure({{200, 0}, {300, 0}}));
  const auto front = Figure({{0, 0}, {190, 0}});
  ASSERT_TRUE(tracer.DolaczDoFigury(*front, 0));
  EXPECT_EQ(TracedFigures[0]->Points, (std::vector<TPointI>{{0, 0}, {190, 0}, {200, 0}, {300, 0}}));
  // Closed figures take no pieces.
  TracedFigures[0]->TracedClosed = true;
  const auto other = Figure({{310, 0}, {400, 0}});
  EXPECT_FALSE(tracer.DolaczDoFigury(*other, 0));

  // Merging into the first figure: last-last puts the piece in reversed.
  TracedFigures.clear();
  TracedFigures.push_back(Figure({{0, 0}, {100, 0}}));
  TracedFigures.push_back(Figure({{900, 900}, {950, 950}}));  // far away: stays
  TracedFigures.push_back(Figure({{500, 0}, {110, 0}}));
  tracer.LaczFigury();
  ASSERT_EQ(TracedFigures.size(), 2u);
  EXPECT_EQ(TracedFigures[0]->Points, (std::vector<TPointI>{{0, 0}, {100, 0}, {110, 0}, {500, 0}}));
}

TEST_F(TraceTest, JoinThatMeetsTheOtherEndClosesTheFigure) {
  // Two halves of a loop traced as separate pieces make one closed outline.
  TracedFigures.push_back(Figure(Cells({{0, 0}, {0, 10}, {10, 10}})));
  const auto half = Figure(Cells({{10, 9}, {10, 0}, {1, 0}}));
  ASSERT_TRUE(tracer.DolaczDoFigury(*half, 0));
  const tfigura& g = *TracedFigures[0];
  EXPECT_TRUE(g.TracedClosed);
  EXPECT_EQ(g.Points.back(), g.Points.front());
}

}  // namespace
}  // namespace vm
