// Rasterising turned models into the silhouette grid: cell classes, clamping
// at the border, the open base, grid sizes and stopping a running step.
#include "model3d/silhouette_grid.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <cmath>

#include "drawing/definicje.h"
#include "model3d/parallel_raster.h"
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

// The twelve triangles of an axis-aligned box.
std::vector<TRawTrojkat> Box(float x0, float y0, float z0, float x1, float y1, float z1) {
  const TPoint3F v[8] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0},
                         {x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
  const int faces[12][3] = {{0, 1, 2}, {0, 2, 3}, {4, 5, 6}, {4, 6, 7}, {0, 1, 5}, {0, 5, 4},
                            {3, 2, 6}, {3, 6, 7}, {0, 3, 7}, {0, 7, 4}, {1, 2, 6}, {1, 6, 5}};
  std::vector<TRawTrojkat> out;
  for (const auto& f : faces)
    out.push_back({v[f[0]].X, v[f[0]].Y, v[f[0]].Z, v[f[1]].X, v[f[1]].Y, v[f[1]].Z, v[f[2]].X,
                   v[f[2]].Y, v[f[2]].Z});
  return out;
}

// Publishes a model as the reader does: triangles, sizes and centre.
void Publish(std::vector<TRawTrojkat> model) {
  ModelTriangles = std::move(model);
  float lo[3] = {INFINITY, INFINITY, INFINITY}, hi[3] = {-INFINITY, -INFINITY, -INFINITY};
  for (const TRawTrojkat& t : ModelTriangles) {
    const float v[3][3] = {{t.X1, t.Y1, t.Z1}, {t.X2, t.Y2, t.Z2}, {t.X3, t.Y3, t.Z3}};
    for (const auto& p : v)
      for (int a = 0; a < 3; ++a) lo[a] = std::min(lo[a], p[a]), hi[a] = std::max(hi[a], p[a]);
  }
  for (int a = 0; a < 3; ++a) ModelSize[a] = hi[a] - lo[a];
  ModelCentreX = ModelSize[0] / 2.0 + lo[0];
  ModelCentreY = ModelSize[1] / 2.0 + lo[1];
  ModelCentreZ = ModelSize[2] / 2.0 + lo[2];
}

TEST_F(SilhouetteGridTest, GridSizeFollowsTheModelAndRefusesWhatCannotBeHeld) {
  // A 10 x 20 x 12 box turns within the circle of its X-Z diagonal
  // (15.62 mm): 78 columns and two empty ones on each side.
  Publish(Box(0, 0, 0, 10, 20, 12));
  UstawRozmiarSiatki();
  EXPECT_EQ(GridCols, 78 + 4);
  EXPECT_EQ(GridRows, 100);
  // The radius is measured from the turning axis through the centre.
  EXPECT_NEAR(ModelTurnRadius(), std::hypot(5.0, 6.0), 1e-6);

  const float refused[][6] = {{0, 0, 0, 3e5f, 3e5f, 1}, {0, 0, 0, 1e30f, 1, 1}};
  for (const auto& b : refused) {
    Publish(Box(b[0], b[1], b[2], b[3], b[4], b[5]));
    try {
      UstawRozmiarSiatki();
      ADD_FAILURE() << "size " << b[3] << " accepted";
    } catch (const MessageError& e) {
      EXPECT_EQ(e.key(), "siatkaZaDuza");
    }
    EXPECT_EQ(GridCols, 82);
    EXPECT_EQ(GridRows, 100);
  }

  // A step whose grid is too large reports it instead of failing silently.
  GridCols = GridRows = 100000;
  Publish(Square(false));
  TRawDoPix worker;
  ASSERT_TRUE(test::RunToCompletion(worker));
  EXPECT_FALSE(worker.Completed());
  EXPECT_EQ(worker.ErrorText(), Tr("SerialCutFrom3D", "siatkaZaDuza") + "100000 x 100000");
}

// A sphere of the given diameter standing on the origin, 2 x stacks x slices
// triangles.
std::vector<TRawTrojkat> Sphere(double d, int stacks, int slices) {
  const double r = d / 2;
  auto v = [&](int i, int j) {
    const double th = M_PI * i / stacks, ph = 2 * M_PI * j / slices;
    return TPoint3F{float(r * std::sin(th) * std::cos(ph)), float(r - r * std::cos(th)),
                    float(r * std::sin(th) * std::sin(ph))};
  };
  std::vector<TRawTrojkat> out;
  auto add = [&](TPoint3F a, TPoint3F b, TPoint3F c) {
    out.push_back({a.X, a.Y, a.Z, b.X, b.Y, b.Z, c.X, c.Y, c.Z});
  };
  for (int i = 0; i < stacks; ++i)
    for (int j = 0; j < slices; ++j) {
      add(v(i, j), v(i + 1, j), v(i + 1, j + 1));
      add(v(i, j), v(i + 1, j + 1), v(i, j + 1));
    }
  return out;
}

// Triangles of all shapes, sides up to `size` mm, scattered over a 30 mm
// block, some of them slivers and points, from a fixed seed.
std::vector<TRawTrojkat> Scattered(int count, float size = 4) {
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return float(seed >> 8) / float(1u << 24);
  };
  std::vector<TRawTrojkat> out;
  for (int k = 0; k < count; ++k) {
    const float x = 30 * next(), y = 30 * next(), z = 30 * next();
    const float a = k % 50 == 0 ? 0 : size * next();
    out.push_back({x, y, z, x + a * next(), y + a * next(), z - a * next(), x - a * next(),
                   y + a * next(), z + a * next()});
  }
  return out;
}

// Two spheres of 40 mm, 120 mm apart along x: a grid with whole stretches
// outside and inside the silhouette.
std::vector<TRawTrojkat> TwoSpheres() {
  std::vector<TRawTrojkat> out = Sphere(40, 16, 24);
  const std::size_t n = out.size();
  for (std::size_t k = 0; k < n; ++k) {
    TRawTrojkat t = out[k];
    t.X1 += 120, t.X2 += 120, t.X3 += 120;
    out.push_back(t);
  }
  return out;
}

TEST_F(SilhouetteGridTest, StepOnManyThreadsGivesTheSingleThreadedGridCellForCell) {
  const struct {
    const char* name;
    std::vector<TRawTrojkat> model;
    int narrowCols;  // > 0: a grid narrower than the model, clamped at the border
  } models[] = {
      {"sphere", Sphere(20, 24, 40), 0},
      {"scattered triangles", Scattered(600), 0},
      {"scattered triangles on a narrow grid", Scattered(600), 60},
      {"two spheres far apart", TwoSpheres(), 0},
      // Fans of hundreds of segments, and segments of hundreds of samples.
      {"large triangles", Scattered(30, 90), 0},
  };
  for (const auto& m : models) {
    Publish(m.model);
    UstawRozmiarSiatki();
    if (m.narrowCols > 0) GridCols = m.narrowCols;
    for (const double angle : {17.5, 133.0}) {
      SCOPED_TRACE(std::string(m.name) + " at " + std::to_string(angle));
      ModelAngle = angle;
      TRawDoPix plain(1, nullptr);
      ASSERT_TRUE(plain.RasteryzujJednowatkowo());
      const tpix2d expected = SilhouetteGrid;
      for (const int threads : {1, 3, 8}) {
        TRawDoPix step(threads, nullptr);
        ASSERT_TRUE(test::RunToCompletion(step));
        ASSERT_TRUE(step.Completed()) << step.ErrorText().toStdString();
        ASSERT_EQ(SilhouetteGrid.size(), expected.size());
        std::int64_t differing = 0;
        for (std::size_t i = 0; i < expected.size(); ++i)
          for (std::size_t j = 0; j < expected[i].size(); ++j)
            differing += SilhouetteGrid[i][j] != expected[i][j];
        EXPECT_EQ(differing, 0) << threads << " threads";
      }
    }
  }
}

TEST_F(SilhouetteGridTest, ClassifyingLooksPastTheEdgesOfWholeBlocksOfMarks) {
  // Everything marked but one cell just right of one block of 64 x 64 cells
  // and one just above another: the cells next to them stay outline, as do
  // all cells on the grid's border.
  GridCols = GridRows = 199;
  AlokujSiatke();
  const std::size_t width = 200;
  std::vector<std::uint8_t> marks(width * width, 1);
  marks[70 * width + 128] = 0;
  marks[192 * width + 100] = 0;
  for (const int threads : {1, 4}) {
    KlasyfikujKomorki(marks, threads);
    std::int64_t differing = 0;
    for (std::int32_t i = 0; i <= GridCols; ++i) {
      for (std::int32_t j = 0; j <= GridRows; ++j) {
        auto marked = [&](std::int32_t c, std::int32_t r) { return marks[r * width + c] == 1; };
        std::uint8_t expected = CellEmpty;
        if (marked(i, j)) {
          expected = CellOutline;
          bool all = i > 0 && j > 0 && i < GridCols && j < GridRows;
          for (int di = -1; all && di <= 1; ++di)
            for (int dj = -1; all && dj <= 1; ++dj) all = marked(i + di, j + dj);
          if (all) expected = CellInterior;
        }
        differing += SilhouetteGrid[i][j] != expected;
      }
    }
    EXPECT_EQ(differing, 0) << threads << " threads";
    EXPECT_EQ(SilhouetteGrid[127][70], CellOutline);
    EXPECT_EQ(SilhouetteGrid[100][191], CellOutline);
    EXPECT_EQ(SilhouetteGrid[0][10], CellOutline);
  }
}

TEST_F(SilhouetteGridTest, TurnedCubeHasTheTrueWidthAndStaysOffTheBorder) {
  // A 20 mm cube seen at 0, 30 and 45 degrees is 20, 27.32 and 28.28 mm wide.
  Publish(Box(0, 0, 0, 20, 20, 20));
  UstawRozmiarSiatki();
  for (const double angle : {0.0, 30.0, 45.0, 90.0}) {
    SCOPED_TRACE(angle);
    ModelAngle = angle;
    TRawDoPix step(4, nullptr);
    ASSERT_TRUE(test::RunToCompletion(step));
    ASSERT_TRUE(step.Completed());
    int first = GridCols + 1, last = -1;
    for (int i = 0; i <= GridCols; ++i)
      for (int j = 0; j <= GridRows; ++j)
        if (SilhouetteGrid[i][j] != CellEmpty) first = std::min(first, i), last = std::max(last, i);
    const double a = angle * M_PI / 180;
    const double width = 20 * (std::fabs(std::cos(a)) + std::fabs(std::sin(a)));
    EXPECT_NEAR((last - first) * GridCellSize, width, 2 * GridCellSize);
    EXPECT_GT(first, 0);
    EXPECT_LT(last, GridCols);
  }
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
