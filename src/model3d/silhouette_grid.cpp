// Allocation, clearing and marking of the silhouette grid.
#include "model3d/silhouette_grid.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <new>
#include <utility>

#include "drawing/errors.h"
#include "drawing/rounding.h"
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

double Distance3(TPoint3F a, TPoint3F b) {
  const double dx = double(b.X) - a.X, dy = double(b.Y) - a.Y, dz = double(b.Z) - a.Z;
  return std::sqrt(dx * dx + dy * dy + dz * dz);
}

TPoint3F Lerp(TPoint3F a, TPoint3F b, double t) {
  return {static_cast<float>(a.X + t * (double(b.X) - a.X)),
          static_cast<float>(a.Y + t * (double(b.Y) - a.Y)),
          static_cast<float>(a.Z + t * (double(b.Z) - a.Z))};
}

// Index of the cell a coordinate falls into, clamped to 0..last. Clamping
// before rounding keeps far-away points on the border instead of overflowing.
// -1 for a coordinate that is not a number.
std::int32_t CellIndex(float v, std::int32_t last) {
  const double c = v / GridCellSize + last / 2.0;
  if (std::isnan(c)) return -1;
  if (c <= 0) return 0;
  if (c >= last) return last;
  return std::min(Round(c), last);
}

}  // namespace

void UstawRozmiarSiatki() {
  const double cols = std::max(ModelSize[0] / GridCellSize, ModelSize[2] / GridCellSize);
  const double rows = ModelSize[1] / GridCellSize;
  if (!std::isfinite(cols) || !std::isfinite(rows) || cols < 0 || rows < 0 ||
      (std::nearbyint(cols) + 1) * (std::nearbyint(rows) + 1) > double(MaxGridCells)) {
    TooLarge(cols, rows);
  }
  GridCols = Round(cols);
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
  const double a = Distance3(first, second);
  const double b = Distance3(first, third);
  const std::int32_t n = CheckedMul(2, Round(std::max(a / GridCellSize + 1, b / GridCellSize + 1)));
  for (std::int32_t k = 0; k <= n; ++k) {
    if (ClosingRequested()) return;  // nothing more would be marked
    const double s = double(k) / n;
    RasteryzujOdcinek(Lerp(first, third, s), Lerp(first, second, s));
  }
}

void RasteryzujOdcinek(TPoint3F p, TPoint3F q) {
  const std::int32_t m = CheckedAdd(Round(Distance3(p, q) / GridCellSize), 1);
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
