// The plain and serial cutting saver: the job of a small cutting tree decoded
// command by command (header, corner pauses, moves in machine units, closing
// turn, trailer), the frame that is not cut, calibrated starts, and a file
// that cannot be created.
#include <gtest/gtest.h>

#include <utility>

#include "drawing/errors.h"
#include "saver_fixture.h"
#include "view_fixture.h"

namespace vm {
namespace {

using test::AddFig;
using test::Finish;
using test::Hang;
using test::Join;

// A 100 mm square (4000 units) entered at its corner 0; a connector from its
// corner 1 (4000, 0) to a triangle inside. Corner 0's higher neighbour is
// (0, 4000), so the square runs backward, and so does the triangle.
void SquareConnectorTriangle(TMDIChild& w) {
  AddFig(w, {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}).typ = 1;
  tfigura& conn = AddFig(w, {{4000, 0}, {2000, 800}});
  conn.typ = 0;
  conn.Kind = 3;
  Hang(conn, 0, 1, 0);
  tfigura& tri = AddFig(w, {{2000, 800}, {2800, 800}, {2000, 1600}, {2000, 800}});
  tri.typ = 1;
  Hang(tri, 1, 1, 0);
  Finish(w);
  w.FirstFigure = 0;
  w.CutFrame = true;
}

const QStringList kPlainHeader = {"v 0 800", "v 1 800", "t 1 51", "r 1 1", "p 1",
                                  "f 1",     "p 250",   "p 250",  "p 250", "p 250"};
const QStringList kSerialHeader = {"v 0 800", "v 1 800", "t 1 51", "r 1 1", "f 1"};
const QStringList kTrailer = {"p 1", "r 0 2"};

// Every move of these paths turns by more than 30 degrees: each gets the
// corner pause before it.
QStringList CornerMoves(const std::vector<std::pair<int, int>>& moves) {
  QStringList out;
  for (const auto& [dx, dy] : moves)
    out << "p 10"
        << "p 200" << QStringLiteral("a %1 %2 0").arg(dx).arg(dy);
  return out;
}

// Along the square to its corner 1, out along the connector, round the
// triangle, back along the connector and along the square's last edge
// (1/100 mm; 40 units = 1 mm).
const std::vector<std::pair<int, int>> kTreeMoves = {{0, 10000},    {10000, 0},    {0, -10000},
                                                     {-5000, 2000}, {0, 2000},     {2000, -2000},
                                                     {-2000, 0},    {5000, -2000}, {-10000, 0}};

class PlainSaver : public test::SaverTest {
 protected:
  void SetUp() override {
    SaverTest::SetUp();
    SquareConnectorTriangle(w);
  }
  TMDIChild w;
};

TEST_F(PlainSaver, PlainJobCutsTheTreeWithCornerPausesBetweenHeaderAndTrailer) {
  w.SimulationAborted = true;  // left from a stopped replay: the save starts afresh
  w.save_ciecie(Path(), 0, 0, w.FigureCount() - 1, Job(JobPlainCutting, 2));
  EXPECT_FALSE(w.SimulationAborted);
  const QStringList expected = kPlainHeader + CornerMoves(kTreeMoves) + kTrailer;
  EXPECT_EQ(Shape(Bytes()), expected) << Join(Shape(Bytes()));
  EXPECT_EQ(w.Reader, nullptr);
  EXPECT_EQ(waitCursors, 1);
  EXPECT_EQ(restoredCursors, 1);
}

TEST_F(PlainSaver, SerialPassClosesEveryOutlineReturnsAlongConnectorsAndTurnsAtTheEnd) {
  // Both the square and the triangle run backward from their entries, and
  // the triangle hangs on a connector: the serial pass still cuts every edge,
  // comes back along the connector and ends where it began.
  w.save_ciecie(Path(), 0, 0.25, w.FigureCount() - 1, Job(JobSerialCutting, 3));
  const QStringList turn = {"p 10", "p 200", "a 0 0 12500"};  // a quarter of 50000 steps
  const QStringList expected = kSerialHeader + CornerMoves(kTreeMoves) + turn + kTrailer;
  EXPECT_EQ(Shape(Bytes()), expected) << Join(Shape(Bytes()));
}

TEST_F(PlainSaver, FrameNotCutOnlyTravelsThroughItsAttachments) {
  w.CutFrame = false;
  w.save_ciecie(Path(), 0, 0, 0, Job(JobPlainCutting, 2));
  // From the entry straight to the connector's end, the triangle, back to the
  // connector's start; none of the square's edges.
  const QStringList expected =
      kPlainHeader +
      CornerMoves({{5000, 2000}, {0, 2000}, {2000, -2000}, {-2000, 0}, {5000, -2000}}) + kTrailer;
  EXPECT_EQ(Shape(Bytes()), expected) << Join(Shape(Bytes()));
}

TEST_F(PlainSaver, CalibratedJobStartsAtTheCalibratedEntryAndComesBackToIt) {
  // Entered at corner 2 (4000, 4000): 101 mm from the box corner after a
  // calibration of +1 %. Every edge is 101 mm long and the path ends at the
  // entry again, so the start is calibrated like the targets.
  w.Figures[0]->EntryVertex = 2;
  JobSettings job = Job(JobPlainCutting, 2);
  job.CalibrationX = job.CalibrationY = 1.01;
  w.save_ciecie(Path(), 0, 0, 0, job);
  const auto moves = Moves(Bytes());
  ASSERT_GE(moves.size(), 3u);
  EXPECT_EQ(moves[0].dx, -10100);  // to (0, 4000)
  EXPECT_EQ(moves[0].dy, 0);
  EXPECT_EQ(moves[1].dy, -10100);  // to (0, 0)
  std::int64_t sx = 0, sy = 0;
  for (const auto& m : moves) {
    sx += m.dx;
    sy += m.dy;
  }
  EXPECT_EQ(sx, 0);
  EXPECT_EQ(sy, 0);
}

TEST_F(PlainSaver, OpenFigureEnteredAtAnInnerVertexIsCutOutAndBackAlongItself) {
  // The connector from the square's corner 1 ends at vertex 2 of an open
  // figure. The wire cuts from there to the figure's end, back along it to its
  // start, forward again to the entry and back along the connector, never
  // straight across from one part of the figure to another.
  TMDIChild t;
  AddFig(t, {{0, 0}, {4000, 0}, {4000, 4000}, {0, 4000}, {0, 0}}).typ = 1;
  tfigura& conn = AddFig(t, {{4000, 0}, {2000, 1000}});
  conn.Kind = 3;
  Hang(conn, 0, 1, 0);
  Hang(AddFig(t, {{1000, 2000}, {2000, 2000}, {2000, 1000}, {3000, 1000}, {3000, 3000}}), 1, 1, 2);
  Finish(t);
  t.FirstFigure = 0;
  t.CutFrame = true;
  t.save_ciecie(Path(), 0, 0, t.FigureCount() - 1, Job(JobPlainCutting, 2));

  // The positions the moves reach, in plotter units (2.5 machine units each).
  std::vector<TPointI> reached;
  std::int64_t x = 0, y = 0;
  for (const sim::JobCommand& m : Moves(Bytes())) {
    x += m.dx;
    y += m.dy;
    ASSERT_EQ(x % 5, 0);
    ASSERT_EQ(y % 5, 0);
    reached.push_back({static_cast<std::int32_t>(x * 2 / 5), static_cast<std::int32_t>(y * 2 / 5)});
  }
  const std::vector<TPointI> expected = {
      {0, 4000},    {4000, 4000}, {4000, 0},                   // the square to corner 1
      {2000, 1000},                                            // the connector, to the entry
      {3000, 1000}, {3000, 3000},                              // on to the figure's end
      {3000, 1000}, {2000, 1000}, {2000, 2000}, {1000, 2000},  // back to its start
      {2000, 2000}, {2000, 1000},                              // forward to the entry
      {4000, 0},                                               // back along the connector
      {0, 0}};                                                 // the square's last edge
  EXPECT_EQ(reached, expected);
}

TEST_F(PlainSaver, UnwritableFileRaisesAndLeavesNothingBehind) {
  const QString bad = dir.filePath(QStringLiteral("missing/folder/out.cn"));
  EXPECT_THROW(w.save_ciecie(bad, 0, 0, 0, Job(JobPlainCutting, 2)), IoError);
  EXPECT_EQ(w.Reader, nullptr);
  EXPECT_EQ(restoredCursors, waitCursors);
  EXPECT_TRUE(status.isEmpty() || status.back().isEmpty());
}

}  // namespace
}  // namespace vm
