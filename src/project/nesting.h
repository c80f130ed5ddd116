// Nesting and direction of a project's figures: which closed figure every
// figure lies in, how deep, and the reversal of figures into a wanted
// direction. The window-level operations (co_w_czym, OdwrocKierunek,
// UstawKierunek, JakiKierunek) are members of TMDIChild; these are the routines
// they are built from, for the preparations that need them one by one.
#pragma once

#include <cstdint>

#include "project/okno_plt.h"

namespace vm {

// Same number of points and every point equal at the same position.
bool FiguresEqual(const tfigura& a, const tfigura& b);

// Whether figure a lies inside figure b (indexes into w.Figures): never for the
// same index or equal figures, never inside an open figure, only when b's box
// strictly contains a's box; then by the parity of the crossings of the
// vertical line through a's points with b's edges, moving on to a's next point
// while the point is doubtful (the counts above and below differ in parity).
bool FigureInside(const TMDIChild& w, std::int32_t a, std::int32_t b);

// Gives every figure whose NestParent is k the depth of k plus one, recursively,
// and raises w.MaxDepth to every depth it sets and to k's own.
void PropagateDepth(TMDIChild& w, std::int32_t k);

// Exchanges point k with point n - 1 - k; only Points change.
void ReverseFigurePoints(tfigura& figure);

// Reverses figure `index` of the project and carries along every index that
// points into it: its entry vertex, its extreme-point indexes, its vertex
// records (turn angles change sign on the reversed path) and the link vertex of
// every linked figure hanging from it. Reversing twice restores the project.
void ReverseFigure(TMDIChild& w, std::int32_t index);

// Orientation of a closed figure measured at its lowest vertex: 1 when the
// direction angle of the edge to the next point is larger than that of the
// edge to the previous point (clockwise), -1 when smaller (counter-clockwise),
// 0 for an open figure, a figure without a vertex with two distinct
// neighbours, or equal angles.
std::int32_t FigureOrientation(const tfigura& figure);

}  // namespace vm
