// Walking the outline cells of the silhouette grid into traced figures.
#include "model3d/outline_trace.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

#include "drawing/definicje.h"
#include "drawing/figury.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "model3d/point_reduction.h"
#include "model3d/silhouette_grid.h"

namespace vm {
namespace {

// Index of the smallest of four end distances; a later one wins only when it
// is strictly smaller.
int NearestEnds(const double (&d)[4]) {
  int best = 0;
  for (int k = 1; k < 4; ++k)
    if (d[k] < d[best]) best = k;
  return best;
}

// `target` joined with `piece` at the ends `kind` names: 0 first-first (piece
// reversed in front), 1 first-last (piece in front), 2 last-first (piece
// appended), 3 last-last (piece reversed and appended).
void JoinPoints(std::vector<TPointI>& target, const std::vector<TPointI>& piece, int kind) {
  switch (kind) {
    case 0:
      target.insert(target.begin(), piece.rbegin(), piece.rend());
      break;
    case 1:
      target.insert(target.begin(), piece.begin(), piece.end());
      break;
    case 2:
      target.insert(target.end(), piece.begin(), piece.end());
      break;
    default:
      target.insert(target.end(), piece.rbegin(), piece.rend());
      break;
  }
}

// Distances between the ends of `a` and `b` in the order first-first,
// first-last, last-first, last-last.
void EndDistances(const std::vector<TPointI>& a, const std::vector<TPointI>& b, double (&d)[4]) {
  d[0] = DistanceI(a.front(), b.front());
  d[1] = DistanceI(a.front(), b.back());
  d[2] = DistanceI(a.back(), b.front());
  d[3] = DistanceI(a.back(), b.back());
}

}  // namespace

std::int32_t TOutlineTracer::Cols() const { return std::int32_t(SilhouetteGrid.size()) - 1; }

std::int32_t TOutlineTracer::Rows() const {
  return SilhouetteGrid.empty() ? -1 : std::int32_t(SilhouetteGrid[0].size()) - 1;
}

bool TOutlineTracer::Inside(std::int32_t col, std::int32_t row) const {
  // Columns are allocated alike, but a column of another length must not be
  // read past its end either.
  return col >= 0 && row >= 0 && col <= Cols() &&
         std::size_t(row) < SilhouetteGrid[std::size_t(col)].size();
}

bool TOutlineTracer::FreeOutline(std::int32_t col, std::int32_t row) const {
  if (!Inside(col, row)) return false;
  const std::uint8_t c = SilhouetteGrid[std::size_t(col)][std::size_t(row)];
  return (c & CellOutline) != 0 && (c & CellVisited) == 0;
}

TPointI TOutlineTracer::CellPoint(TCell cell) {
  return {CheckedMul(kCellUnits, cell.Col), CheckedMul(kCellUnits, cell.Row)};
}

double TOutlineTracer::KwadratOdleglosci(TPointI a, TPointI b) {
  return double(SquaredDistance(a, b));
}

void TOutlineTracer::MoveTo(TCell cell, std::uint8_t direction) {
  Tracer = cell;
  LastDirection = direction;
  Current = CellPoint(cell);
}

namespace {

// The first outline cell not yet visited among columns c0 .. c1, row by row
// upward from `from` (its row from its column on, later rows from column
// 0); Col -1 when there is none.
TCell FirstFreeOutline(const tpix2d& grid, TCell from, std::int32_t c0, std::int32_t c1,
                       std::int32_t rows) {
  // The search runs row by row, but the grid lies column after column: a band
  // of rows is scanned column by column (each column's part of the band is
  // one run of bytes, long enough for the processor to fetch ahead), keeping
  // the lowest row with a free outline cell and its first column.
  constexpr std::int32_t kBand = 512;
  for (std::int32_t j0 = std::max(from.Row, 0); j0 <= rows; j0 += kBand) {
    const std::int32_t j1 = std::min(rows, j0 + kBand - 1);
    std::int32_t bestRow = j1 + 1, bestCol = -1;
    for (std::int32_t col = c0; col <= c1 && bestRow > j0; ++col) {
      const tpix2dY& column = grid[std::size_t(col)];
      const std::int32_t last = std::min(j1, bestRow - 1);
      const std::int32_t top = std::min<std::int32_t>(last, std::int32_t(column.size()) - 1);
      std::int32_t row = j0;
      if (col < from.Col && row == from.Row) ++row;  // before the start
      while (row <= top) {
        // Eight cells at a time: a free outline cell has bit 2 set and bit 8
        // clear.
        if (row + 8 <= top + 1) {
          std::uint64_t w;
          std::memcpy(&w, column.data() + row, sizeof w);
          const std::uint64_t freeCells = (w >> 1) & ~(w >> 3) & 0x0101010101010101ULL;
          if (freeCells == 0) {
            row += 8;
            continue;
          }
        }
        const std::uint8_t c = column[std::size_t(row)];
        if ((c & CellOutline) != 0 && (c & CellVisited) == 0) {
          bestRow = row;
          bestCol = col;
          break;
        }
        ++row;
      }
    }
    if (bestCol >= 0) return {bestCol, bestRow};
  }
  return {-1, -1};
}

}  // namespace

bool TOutlineTracer::SzukajPoczatku() {
  Tracer = LastStart;
  const std::int32_t cols = Cols(), rows = Rows();
  if (cols < 0) return false;
  // A large grid is searched by several threads, each over its share of the
  // columns; the lowest row found wins, the leftmost share among equals. The
  // search only reads the grid.
  const std::int64_t cells = std::int64_t(cols + 1) * (std::int64_t(rows) + 1);
  const std::int32_t parts =
      cells < (std::int64_t(1) << 22)
          ? 1
          : std::int32_t(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
  TCell found{-1, -1};
  if (parts == 1) {
    found = FirstFreeOutline(SilhouetteGrid, LastStart, 0, cols, rows);
  } else {
    std::vector<TCell> best(std::size_t(parts), TCell{-1, -1});
    auto share = [&](std::int32_t k) {
      const auto first = [&](std::int32_t p) {
        return std::int32_t(std::int64_t(cols + 1) * p / parts);
      };
      best[std::size_t(k)] = FirstFreeOutline(SilhouetteGrid, LastStart, first(k),
                                              first(k + 1) - 1, rows);
    };
    std::vector<std::thread> pool;
    pool.reserve(std::size_t(parts));
    for (std::int32_t k = 1; k < parts; ++k) {
      try {
        pool.emplace_back(share, k);
      } catch (const std::system_error&) {
        share(k);  // no thread to be had: this one searches the share
      }
    }
    share(0);
    for (std::thread& t : pool) t.join();
    for (const TCell& c : best) {
      if (c.Col >= 0 && (found.Col < 0 || c.Row < found.Row)) found = c;
    }
  }
  if (found.Col < 0) return false;
  LastStart = Tracer = found;
  Current = CellPoint(Tracer);
  return true;
}

std::int32_t TOutlineTracer::LiczKandydatow() {
  std::int32_t n = 0;
  for (std::uint8_t k = 0; k < TKierunki8.size(); ++k) {
    const TCell c{Tracer.Col + TKierunki8[k][0], Tracer.Row + TKierunki8[k][1]};
    if (!FreeOutline(c.Col, c.Row)) continue;
    ++n;
    Candidate = c;
    LastDirection = k;
  }
  return n;
}

std::int32_t TOutlineTracer::NajblizszySasiad() const {
  double best = std::numeric_limits<std::int32_t>::max();
  std::int32_t taken = -1;
  for (std::int32_t k = 0; k < std::int32_t(TKierunki8.size()); ++k) {
    const TCell c{Tracer.Col + TKierunki8[k][0], Tracer.Row + TKierunki8[k][1]};
    if (!FreeOutline(c.Col, c.Row)) continue;
    const double d = KwadratOdleglosci(Current, CellPoint(c));
    if (d < best) {
      best = d;
      taken = k;
    }
  }
  return taken;
}

TNeighbourCounts TOutlineTracer::LiczSasiadow(TCell cell) const {
  TNeighbourCounts n;
  for (const auto& step : TKierunki8) {
    const std::int32_t col = cell.Col + step[0], row = cell.Row + step[1];
    if (!Inside(col, row)) continue;
    const std::uint8_t c = SilhouetteGrid[std::size_t(col)][std::size_t(row)];
    if (c & CellEmpty) ++n.Empty;
    if (c & CellInterior) ++n.Interior;
    if (c & CellOutline) ++n.Outline;
    if (c & CellVisited) ++n.Visited;
  }
  return n;
}

bool TOutlineTracer::NastepnaKomorka() {
  const std::int32_t n = LiczKandydatow();
  if (n == 0) return false;
  if (n == 1) {
    MoveTo(Candidate, LastDirection);
    return true;
  }
  if (n == 2) {
    const std::int32_t k = NajblizszySasiad();
    if (k < 0) return false;
    MoveTo({Tracer.Col + TKierunki8[k][0], Tracer.Row + TKierunki8[k][1]}, std::uint8_t(k));
    return true;
  }
  // Three or more ways on: prefer the neighbour with most empty (or most
  // interior) cells around it plus visited ones, which keeps the walk on the
  // silhouette's edge next to where it came from. Directions are tried from
  // three steps anticlockwise of the last one on.
  const std::int32_t last = LastDirection;
  std::int32_t bestScore = -1;
  double bestDist = std::numeric_limits<std::int32_t>::max();
  TCell taken;
  std::uint8_t takenDir = 0;
  for (std::int32_t k = 0; k < 8; ++k) {
    const std::uint8_t d = std::uint8_t(((last - 3 + k) % 8 + 8) % 8);
    const TCell c{Tracer.Col + TKierunki8[d][0], Tracer.Row + TKierunki8[d][1]};
    if (!FreeOutline(c.Col, c.Row)) continue;
    const double dist = KwadratOdleglosci(Current, CellPoint(c));
    const TNeighbourCounts around = LiczSasiadow(c);
    const std::int32_t score = std::max(around.Empty, around.Interior) + around.Visited;
    if (score == bestScore) {
      if (dist < bestDist) {
        bestDist = dist;
        taken = c;
        takenDir = d;
      }
    } else {
      if (dist < bestDist) bestDist = dist;
      if (score > bestScore) {
        bestScore = score;
        taken = c;
        takenDir = d;
      }
    }
  }
  if (bestScore < 1) return false;
  MoveTo(taken, takenDir);
  return true;
}

bool TOutlineTracer::DolaczDoFigury(const tfigura& f, std::size_t start) {
  if (f.Points.empty()) return false;
  for (std::size_t i = start; i < TracedFigures.size(); ++i) {
    tfigura* g = TracedFigures[i].get();
    if (g == nullptr || g->TracedClosed || g->Points.empty()) continue;
    double d[4];
    EndDistances(g->Points, f.Points, d);
    const int kind = NearestEnds(d);
    if (!(d[kind] < kJoinDistance)) continue;
    JoinPoints(g->Points, f.Points, kind);
    if (DistanceI(g->Points.front(), g->Points.back()) <= kJoinDistance) {
      g->Points.push_back(g->Points.front());
    }
    g->TracedClosed = g->Points.front() == g->Points.back();
    return true;
  }
  return false;
}

void TOutlineTracer::LaczFigury() {
  if (TracedFigures.size() < 2) return;
  tfigura* f0 = TracedFigures[0].get();
  std::size_t i = 1;
  while (i < TracedFigures.size() && TracedFigures.size() > 1) {
    tfigura* fi = TracedFigures[i].get();
    bool merged = false;
    if (!f0->TracedClosed && !f0->Points.empty() && fi != nullptr && !fi->Points.empty()) {
      double d[4];
      EndDistances(f0->Points, fi->Points, d);
      const int kind = NearestEnds(d);
      if (d[kind] < kJoinDistance) {
        JoinPoints(f0->Points, fi->Points, kind);
        UsunFigure(i);
        merged = true;
      }
    }
    // Every merge moves F0's ends: the remaining pieces are all tried again.
    i = merged ? 1 : i + 1;
  }
}

void TOutlineTracer::UsunFigure(std::size_t index) {
  if (index >= TracedFigures.size()) return;
  if (TracedFigures[index]) TracedFigures[index]->FreeAll();
  TracedFigures.erase(TracedFigures.begin() + std::ptrdiff_t(index));
}

void TOutlineTracer::SledzObrys() {
  TracedFigures.clear();
  LastStart = {0, 0};
  Tracer = {0, 0};
  if (SilhouetteGrid.empty()) return;
  // Each step enters a cell that was not visited and marks it, so a walk has
  // at most as many steps as the grid has cells; the bound guards the loop
  // all the same.
  const std::int64_t cells = std::int64_t(Cols() + 1) * (Rows() + 1);
  while (SzukajPoczatku()) {
    auto f = std::make_unique<tfigura>();
    f->AddPoint(Current);
    SilhouetteGrid[std::size_t(Tracer.Col)][std::size_t(Tracer.Row)] |= CellVisited;
    for (std::int64_t steps = 0; steps < cells && NastepnaKomorka(); ++steps) {
      f->AddPoint(Current);
      SilhouetteGrid[std::size_t(Tracer.Col)][std::size_t(Tracer.Row)] |= CellVisited;
    }
    if (f->Points.size() >= kMinClosedPoints &&
        DistanceI(f->Points.front(), f->Points.back()) <= kJoinDistance) {
      f->Points.push_back(f->Points.front());
      f->TracedClosed = true;
    } else {
      f->TracedClosed = false;
    }
    if (!f->TracedClosed && DolaczDoFigury(*f, 0)) continue;  // its points were copied
    TracedFigures.push_back(std::move(f));
  }
  LaczFigury();
  if (TracedFigures.size() > 1) {
    for (std::size_t i = TracedFigures.size(); i-- > 0;) {
      if (TracedFigures[i]->Points.size() <= 2) UsunFigure(i);
    }
  }
  if (!TracedFigures.empty()) RedukujPunkty(0, kReductionTolerance);
}

}  // namespace vm
