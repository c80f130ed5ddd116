// Thinning of a traced outline: runs of points that lie close to a straight
// chord are replaced by the chord's end points.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/points.h"

namespace vm {

// Greedy chord extension: from an anchor, the chord is extended point by
// point while every point between lies strictly closer than `tolerance`
// (plotter units) to it; the last point that still fitted becomes the next
// anchor. The first and the last point always stay; no point is added or
// moved; fewer than three points are left as they are.
void RedukujPunkty(std::vector<TPointI>& points, double tolerance);

// The same on the point list of TracedFigures[index]; RangeError for an
// index outside the list.
void RedukujPunkty(std::int32_t index, double tolerance);

}  // namespace vm
