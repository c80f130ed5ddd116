// Allocation, clearing and marking of the silhouette grid.
#include "model3d/silhouette_grid.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "model3d/silhouette_math.h"
#include "model3d/worker_thread.h"

namespace vm {

std::int32_t GridCols = 200;
std::int32_t GridRows = 200;

void ResetGridGlobals() {
  GridCols = 200;
  GridRows = 200;
}

namespace {

[[noreturn]] void TooLarge(double cols, double rows) {
  throw MessageError("SerialCutFrom3D", "siatkaZaDuza",
                     QString::number(cols, 'f', 0) + " x " + QString::number(rows, 'f', 0));
}

// Coordinates of vertex i of a triangle, by member.
constexpr float TRawTrojkat::*kVertex[3][3] = {
    {&TRawTrojkat::X1, &TRawTrojkat::Y1, &TRawTrojkat::Z1},
    {&TRawTrojkat::X2, &TRawTrojkat::Y2, &TRawTrojkat::Z2},
    {&TRawTrojkat::X3, &TRawTrojkat::Y3, &TRawTrojkat::Z3}};

TPoint3F Vertex(const TRawTrojkat& t, int i) {
  return {t.*kVertex[i][0], t.*kVertex[i][1], t.*kVertex[i][2]};
}

using silhouette::CellIndex;
using silhouette::Lerp;

}  // namespace

double ModelTurnRadius() {
  double r2 = 0;
  auto widen = [&](float x, float z) {
    const double dx = x - ModelCentreX, dz = z - ModelCentreZ;
    r2 = std::max(r2, dx * dx + dz * dz);
  };
  for (const TRawTrojkat& t : ModelTriangles) {
    widen(t.X1, t.Z1);
    widen(t.X2, t.Z2);
    widen(t.X3, t.Z3);
  }
  return std::sqrt(r2);
}

void UstawRozmiarSiatki() {
  // Turned by any angle, no vertex leaves the circle of the turn radius about
  // the axis, so the silhouette is never wider than its diameter. The margin
  // keeps the outermost samples (after their rounding to Singles and to
  // cells) off the border columns.
  const double width = 2 * ModelTurnRadius();
  const double cols = std::nearbyint(width / GridCellSize) + 2 * GridMarginCols;
  const double rows = ModelSize[1] / GridCellSize;
  if (!std::isfinite(cols) || !std::isfinite(rows) || cols < 0 || rows < 0 ||
      (cols + 1) * (std::nearbyint(rows) + 1) > double(MaxGridCells)) {
    TooLarge(cols, rows);
  }
  GridCols = std::int32_t(cols);
  GridRows = Round(rows);
}

void AlokujSiatke() {
  if (GridCols < 0 || GridRows < 0 ||
      (std::int64_t(GridCols) + 1) * (std::int64_t(GridRows) + 1) > MaxGridCells) {
    TooLarge(GridCols, GridRows);
  }
  try {
    SilhouetteGrid.resize(std::size_t(GridCols) + 1);
    for (tpix2dY& column : SilhouetteGrid) column.resize(std::size_t(GridRows) + 1);
  } catch (const std::bad_alloc&) {
    SilhouetteGrid.clear();
    SilhouetteGrid.shrink_to_fit();
    TooLarge(GridCols, GridRows);
  }
}

void WypelnijSiatke() {
  for (tpix2dY& column : SilhouetteGrid) std::fill(column.begin(), column.end(), CellEmpty);
}

void ZamienWierzcholki(TRawTrojkat& t, int i, int j) {
  for (int k = 0; k < 3; ++k) std::swap(t.*kVertex[i][k], t.*kVertex[j][k]);
}

void RasteryzujTrojkat(TRawTrojkat& t) {
  if (t.Z1 > t.Z2) ZamienWierzcholki(t, 0, 1);
  if (t.Z2 > t.Z3) ZamienWierzcholki(t, 1, 2);
  if (t.Z1 > t.Z2) ZamienWierzcholki(t, 0, 1);
  const TPoint3F first = Vertex(t, 0), second = Vertex(t, 1), third = Vertex(t, 2);
  const std::int32_t n = silhouette::FanSegments(first, second, third);
  for (std::int32_t k = 0; k <= n; ++k) {
    if (ClosingRequested()) return;  // nothing more would be marked
    const double s = double(k) / n;
    RasteryzujOdcinek(Lerp(first, third, s), Lerp(first, second, s));
  }
}

void RasteryzujOdcinek(TPoint3F p, TPoint3F q) {
  const std::int32_t m = silhouette::SegmentSamples(p, q);
  for (std::int32_t i = 0; i <= m; ++i) {
    if (ClosingRequested()) return;
    ZaznaczKomorke(Lerp(p, q, double(i) / m));
  }
}

void ZaznaczKomorke(TPoint3F p) {
  if (ClosingRequested()) return;
  const std::int32_t col = CellIndex(p.X, GridCols);
  const std::int32_t row = CellIndex(p.Y, GridRows);
  if (col < 0 || row < 0) return;
  if (std::size_t(col) >= SilhouetteGrid.size() || std::size_t(row) >= SilhouetteGrid[col].size()) {
    throw RangeError("silhouette grid smaller than its dimensions");
  }
  SilhouetteGrid[col][row] = CellOutline;
}

}  // namespace vm
