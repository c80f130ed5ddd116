// Rasterising turned models into the silhouette grid: cell classes, clamping
// at the border, the open base, grid sizes and stopping a running step.
#include "model3d/silhouette_grid.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "drawing/definicje.h"
#include "model3d/rasterise_thread.h"
#include "shell/interfejs.h"
#include "support/test_support.h"
#include "worker_fixture.h"

namespace vm {
namespace {

// The grid drawn top row first: "." empty, "o" outline, "#" interior.
QStringList PictureRows() {
  QStringList rows;
  if (SilhouetteGrid.empty()) return rows;
  for (int j = int(SilhouetteGrid[0].size()) - 1; j >= 0; --j) {
    QString row;
    for (const tpix2dY& column : SilhouetteGrid) {
      const std::uint8_t c = column[j];
      row += c == CellEmpty ? '.' : c == CellOutline ? 'o' : c == CellInterior ? '#' : '?';
    }
    rows << row;
  }
  return rows;
}

// The same as one text, so that a failure shows the two pictures.
std::string Picture() { return PictureRows().join('\n').toStdString(); }
std::string Picture(const QStringList& rows) { return rows.join('\n').toStdString(); }

// Fills the grid from a picture drawn as Picture() draws it.
void SetPicture(const QStringList& rows) {
  GridRows = int(rows.size()) - 1;
  GridCols = int(rows[0].size()) - 1;
  AlokujSiatke();
  for (int j = 0; j <= GridRows; ++j)
    for (int i = 0; i <= GridCols; ++i)
      SilhouetteGrid[i][j] = rows[GridRows - j][i] == 'o' ? CellOutline : CellEmpty;
}

class SilhouetteGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetDrawingGlobals();
    ResetGridGlobals();
    ASSERT_TRUE(InstallLanguageFile(test::DataPath("../../lang/Velmarosta_US.xml")));
  }
  void TearDown() override {
    InstallInterfejs(nullptr);
    ResetDrawingGlobals();
    ResetGridGlobals();
  }
};

// A 1.2 mm square of two triangles, lying in the X-Y plane or standing in
// the Y-Z plane; corner at the origin.
std::vector<TRawTrojkat> Square(bool standing) {
  auto v = [standing](float a, float b) {
    return standing ? TPoint3F{0, b, a} : TPoint3F{a, b, 0};
  };
  auto tri = [](TPoint3F p, TPoint3F q, TPoint3F r) {
    return TRawTrojkat{p.X, p.Y, p.Z, q.X, q.Y, q.Z, r.X, r.Y, r.Z};
  };
  return {tri(v(0, 0), v(1.2f, 0), v(1.2f, 1.2f)), tri(v(0, 0), v(1.2f, 1.2f), v(0, 1.2f))};
}

const QStringList kSquare = {"..ooooooo..", "..o#####o..", "..o#####o..", "..o#####o..",
                             "..o#####o..", "..o#####o..", "..o#####o.."};

const QStringList kTriangle = {"........o..", ".......oo..", "......ooo..", ".....oo#o..",
                               "....oo##o..", "...oo###o..", "..o#####o.."};

TEST_F(SilhouetteGridTest, TurnedModelIsRasterisedIntoOutlineAndInterior) {
  const QStringList edgeOn(7, ".....o.....");
  QStringList point(7, "...........");
  point[3] = ".....o.....";
  const struct {
    const char* name;
    std::vector<TRawTrojkat> model;
    TPoint3F centre;
    double angle;
    int cols;
    QStringList expected;
  } cases[] = {
      {"flat square", Square(false), {0.6f, 0.6f, 0}, 0, 10, kSquare},
      {"standing square seen edge-on", Square(true), {0, 0.6f, 0.6f}, 0, 10, edgeOn},
      {"standing square turned by 90 degrees", Square(true), {0, 0.6f, 0.6f}, 90, 10, kSquare},
      {"wider than the grid: clamped to the border columns",
       Square(false),
       {0.6f, 0.6f, 0},
       0,
       4,
       {"ooooo", "o###o", "o###o", "o###o", "o###o", "o###o", "o###o"}},
      // A right triangle standing in the Y-Z plane, its right angle at z = 0:
      // the turn by 90 degrees brings +Z to -X, so the right angle is on the right.
      {"standing triangle turned by 90 degrees",
       {{0, 0, 0, 0, 0, 1.2f, 0, 1.2f, 0}},
       {0, 0.6f, 0.6f},
       90,
       10,
       kTriangle},
      {"three equal vertices",
       {{0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f, 0.3f}},
       {0.3f, 0.3f, 0.3f},
       0,
       10,
       point},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ModelTriangles = c.model;
    ModelCentreX = c.centre.X;
    ModelCentreY = c.centre.Y;
    ModelCentreZ = c.centre.Z;
    ModelAngle = c.angle;
    GridCols = c.cols;
    GridRows = 6;
    TRawDoPix worker;
    ASSERT_TRUE(test::RunToCompletion(worker));
    EXPECT_TRUE(worker.Completed());
    EXPECT_TRUE(worker.ErrorText().isEmpty());
    EXPECT_EQ(Picture(), Picture(c.expected));
    EXPECT_TRUE(RotatedTriangles.empty());
    EXPECT_EQ(ModelTriangles.size(), c.model.size());  // the model itself is not turned
  }
}

TEST_F(SilhouetteGridTest, InteriorNeedsEightMarkedNeighboursAndOnlyTheFirstBaseRunOpens) {
  SetPicture({".........................", "..ooo....................", "..ooo...o................",
              "..ooo....................", ".........................",
              "..........ooooooooooo.oo."});
  TRawDoPix().OznaczWnetrze();
  EXPECT_EQ(Picture(), Picture({".........................", "..ooo....................",
                                "..o#o...o................", "..ooo....................",
                                ".........................", "..........o#########o.oo."}));
}

TEST_F(SilhouetteGridTest, GridSizeFollowsTheModelAndRefusesWhatCannotBeHeld) {
  ModelSize[0] = 10;
  ModelSize[1] = 20;
  ModelSize[2] = 12;
  UstawRozmiarSiatki();
  EXPECT_EQ(GridCols, 60);  // the larger of X and Z
  EXPECT_EQ(GridRows, 100);

  const float refused[][3] = {{1e6f, 1e6f, 0}, {1e30f, 1, 1}, {INFINITY, 1, 1}, {NAN, 1, 1}};
  for (const auto& size : refused) {
    std::copy(size, size + 3, ModelSize);
    try {
      UstawRozmiarSiatki();
      ADD_FAILURE() << "size " << size[0] << " accepted";
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "siatkaZaDuza");
    }
    EXPECT_EQ(GridCols, 60);
    EXPECT_EQ(GridRows, 100);
  }

  // A step whose grid is too large reports it instead of failing silently.
  GridCols = GridRows = 100000;
  ModelTriangles = Square(false);
  TRawDoPix worker;
  ASSERT_TRUE(test::RunToCompletion(worker));
  EXPECT_FALSE(worker.Completed());
  EXPECT_EQ(worker.ErrorText(), Tr("SerialCutFrom3D", "siatkaZaDuza") + "100000 x 100000");
}

TEST_F(SilhouetteGridTest, TerminationOrClosingStopsARunningStep) {
  // Enough large triangles to keep the worker busy for minutes.
  ModelTriangles.assign(100000, TRawTrojkat{-20, -20, 0, 20, -20, 0, 0, 20, 0});
  GridCols = GridRows = 200;
  for (const bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "closing" : "terminate");
    AppClosing = false;
    TRawDoPix worker;
    worker.OnTerminate = [] {};
    bool done = false;
    QTimer::singleShot(0, [&] {
      if (closing)
        AppClosing = true;
      else
        worker.Terminate();
    });
    done = test::RunToCompletion(worker);
    ASSERT_TRUE(done);
    EXPECT_FALSE(worker.Completed());
    EXPECT_TRUE(RotatedTriangles.empty());
  }
  AppClosing = false;

  // Asked to stop before it starts, the worker leaves the grid alone.
  SilhouetteGrid.clear();
  TRawDoPix idle;
  idle.Terminate();
  ASSERT_TRUE(test::RunToCompletion(idle));
  EXPECT_TRUE(SilhouetteGrid.empty());
}

}  // namespace
}  // namespace vm
