// The silhouette grid: a byte grid of 0.2 mm cells onto which the turned model
// is projected (cell values 1 empty, 2 outline, 4 interior; the tracer later
// ORs in 8 for visited cells).
//
// SilhouetteGrid[i][j] is column i (0..GridCols, horizontal) and row j
// (0..GridRows, vertical, row 0 at the bottom of the model). A point (x, y) in
// mm relative to the model centre falls into column Round(x / 0.2 +
// GridCols / 2) and row Round(y / 0.2 + GridRows / 2), clamped to the grid.
#pragma once

#include <cstdint>

#include "drawing/definicje.h"
#include "drawing/points.h"

namespace vm {

inline constexpr double GridCellSize = 0.2;  // mm per cell
inline constexpr std::uint8_t CellEmpty = 1;
inline constexpr std::uint8_t CellOutline = 2;
inline constexpr std::uint8_t CellInterior = 4;
inline constexpr std::uint8_t CellVisited = 8;

// The most cells a grid may have (1 GB of cells); a larger model is refused
// with a message instead of exhausting memory.
inline constexpr std::int64_t MaxGridCells = 1'000'000'000;

// Highest column and row index of the grid; 200 each at start.
extern std::int32_t GridCols;
extern std::int32_t GridRows;
// Puts GridCols and GridRows back to 200.
void ResetGridGlobals();

// Largest distance in mm of a vertex of ModelTriangles from the vertical
// axis through the model centre (ModelCentreX, ModelCentreZ) about which the
// steps turn the model: half the widest silhouette any step can have.
double ModelTurnRadius();

// Empty columns kept on each side of the widest turned silhouette.
inline constexpr std::int32_t GridMarginCols = 2;

// GridCols := Round(2 x ModelTurnRadius() / 0.2) + 2 x GridMarginCols, so
// that no step's outline reaches a border column; GridRows := Round(size Y /
// 0.2) from ModelSize. Raises MessageError ("SerialCutFrom3D",
// "siatkaZaDuza") and changes nothing when the sizes are not finite or the
// grid would have more than MaxGridCells cells.
void UstawRozmiarSiatki();

// Makes the grid GridCols + 1 columns of GridRows + 1 cells. Raises
// MessageError ("SerialCutFrom3D", "siatkaZaDuza") for negative or too large
// dimensions, or when the memory cannot be had.
void AlokujSiatke();
// Sets every cell to 1 (empty).
void WypelnijSiatke();

// Marks the cells under the triangle's projection (x, y) with 2 by a fan of
// segments from the vertex of lowest z; reorders the vertices by z in place.
// Raises RangeError when the triangle is too large to sample.
void RasteryzujTrojkat(TRawTrojkat& t);
// Marks the cells along the segment from p to q with 2.
void RasteryzujOdcinek(TPoint3F p, TPoint3F q);
// Marks the cell under p's x and y with 2; nothing while the application
// closes.
void ZaznaczKomorke(TPoint3F p);
// Swaps vertices i and j (0, 1, 2) of the triangle.
void ZamienWierzcholki(TRawTrojkat& t, int i, int j);

}  // namespace vm
