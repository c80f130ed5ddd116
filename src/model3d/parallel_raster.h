// One serial-cut step rasterised on several threads: the model is turned
// triangle by triangle, the triangles are shared out among the threads, and
// every thread marks the cells its samples fall into in one shared mark array
// (every mark writes the same value, so the order of the marks does not
// matter). The marks are then classified column by column into empty,
// outline and interior cells of SilhouetteGrid. The result is, cell for cell,
// that of turning the list, marking every triangle with RasteryzujTrojkat and
// classifying with the interior pass, done on one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "drawing/definicje.h"
#include "model3d/silhouette_math.h"

namespace vm {

// Threads a step uses; 0: one per processor core.
extern std::int32_t RasterThreadCount;

// The number of threads a request of `wanted` (0: one per core) gives.
std::int32_t RasterThreads(std::int32_t wanted);

// Fills SilhouetteGrid (already allocated with GridCols + 1 columns of
// GridRows + 1 cells) with the silhouette of `model` turned by `turn`: empty,
// outline and interior cells, the base run along row 0 opened. `stop` is
// asked from every thread, often enough that a step ends within a few
// milliseconds of it saying yes; false when the step was stopped (the grid
// then holds no silhouette). A triangle too large to sample raises
// RangeError, as the single-threaded marking does.
bool RasteryzujRownolegle(const std::vector<TRawTrojkat>& model, const silhouette::TTurn& turn,
                          std::int32_t threads, const std::function<bool()>& stop);

// Cells that are marked and all of whose eight neighbours are marked become
// interior (4), other marked cells outline (2), unmarked ones empty (1); the
// border columns and rows are never interior. `marks` holds one byte per
// cell, row after row, 1 for a marked cell and 0 for another.
void KlasyfikujKomorki(const std::vector<std::uint8_t>& marks, std::int32_t threads);

// Along row 0, the cells between the first and the last cell of the first run
// of outline cells become interior, so that the traced outline is open along
// the model's base.
void OtworzPodstawe();

}  // namespace vm
