// Tracing the silhouette grid of one serial-cut step into figures.
//
// The tracer walks from cell to cell along the outline cells (value 2) of
// SilhouetteGrid, marking each cell it enters visited (OR 8), and turns every
// walk into a figure of TracedFigures: cell (i, j) is the point (8 i, 8 j) in
// plotter units. Open pieces whose ends meet are joined, pieces of at most two
// points dropped and the first figure thinned by RedukujPunkty.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "drawing/points.h"

namespace vm {

class tfigura;

// The eight neighbours as (column offset, row offset), clockwise from up:
// up, up-right, right, down-right, down, down-left, left, up-left.
inline constexpr std::array<std::array<std::int32_t, 2>, 8> TKierunki8 = {
    {{0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}, {-1, 1}}};

// Plotter units per grid cell (0.2 mm at 40 units a mm).
inline constexpr std::int32_t kCellUnits = 8;
// Two ends within this distance close a figure or join two pieces: six cells.
inline constexpr double kJoinDistance = 48;
// A traced piece needs this many points before its ends can close it.
inline constexpr std::size_t kMinClosedPoints = 6;
// Tolerance of the point reduction on the traced outline: 1.5 cells.
inline constexpr double kReductionTolerance = 12;

struct TCell {
  std::int32_t Col = 0;
  std::int32_t Row = 0;
  friend bool operator==(const TCell&, const TCell&) = default;
};

// Cell counts around a cell by class; a cell may count in several.
struct TNeighbourCounts {
  std::int32_t Empty = 0;     // bit 1
  std::int32_t Interior = 0;  // bit 4
  std::int32_t Outline = 0;   // bit 2
  std::int32_t Visited = 0;   // bit 8
};

class TOutlineTracer {
 public:
  TCell Tracer;                    // the cell the walk stands on
  TCell LastStart;                 // where the last piece began; the next search starts here
  TCell Candidate;                 // the last neighbour LiczKandydatow found
  TPointI Current;                 // the point of the tracer cell
  std::uint8_t LastDirection = 0;  // index into TKierunki8 of the last step

  // The whole tracing of one step: TracedFigures is filled anew from the grid
  // (walks, closure, joining, dropping of tiny pieces) and its first figure
  // reduced. An empty grid or one without outline cells leaves it empty.
  void SledzObrys();

  // From LastStart, row by row upward (the first row from the tracer's
  // column, later rows from column 0), the first outline cell not yet
  // visited: it becomes LastStart and Tracer, Current its point.
  bool SzukajPoczatku();
  // One step of the walk to a neighbouring outline cell not yet visited.
  // True when the tracer moved (the new cell is not yet marked visited).
  bool NastepnaKomorka();
  // Outline neighbours of the tracer not yet visited; Candidate and
  // LastDirection hold the last one in table order.
  std::int32_t LiczKandydatow();
  // The nearest such neighbour's table index (orthogonal before diagonal,
  // lower index among equals), -1 when there is none.
  std::int32_t NajblizszySasiad() const;
  // The classes of the cells around `cell` that lie inside the grid.
  TNeighbourCounts LiczSasiadow(TCell cell) const;
  static double KwadratOdleglosci(TPointI a, TPointI b);

  // Joins the open piece `f` to the first open figure of TracedFigures from
  // `start` on that has an end within kJoinDistance of one of f's ends
  // (copies of f's points go in front of or behind it, reversed as needed).
  bool DolaczDoFigury(const tfigura& f, std::size_t start);
  // Merges into TracedFigures[0], while it is open, every later figure with
  // an end near one of its ends.
  void LaczFigury();
  // Frees TracedFigures[index] and removes it from the list.
  void UsunFigure(std::size_t index);

  // Grid helpers on the actual grid: inside, and the cell's value.
  bool Inside(std::int32_t col, std::int32_t row) const;
  bool FreeOutline(std::int32_t col, std::int32_t row) const;
  static TPointI CellPoint(TCell cell);

 private:
  void MoveTo(TCell cell, std::uint8_t direction);
  std::int32_t Cols() const;  // highest column index, -1 for an empty grid
  std::int32_t Rows() const;
};

}  // namespace vm
