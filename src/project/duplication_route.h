// The way of the duplication's connecting figure between the copies: a check
// that a polyline keeps clear of every copy's material, and a route that
// reaches every copy's entry point along the gaps between the copies.
//
// Clear means: the polyline never crosses a figure of a copy from one side to
// the other and no piece of it lies inside a closed figure. Touching a figure
// and running along its outline are clear (the wire cuts there anyway).
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/points.h"

namespace vm {

struct TDuplicationPattern;
struct TDuplicationLayout;

class TPatternClearance {
 public:
  // The pattern's figures, repeated at (j x SX, r x SY) for the layout's
  // columns j and rows r.
  TPatternClearance(const TDuplicationPattern& pattern, const TDuplicationLayout& layout);

  // Whether the segment a-b keeps clear of every copy.
  bool SegmentClear(TPointI a, TPointI b) const;
  // Whether every segment of the polyline keeps clear of every copy.
  bool RouteClear(const std::vector<TPointI>& route) const;
  // Whether the segment a-b, given in the pattern's own coordinates, keeps
  // clear of the pattern's figures.
  bool LocalSegmentClear(std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) const;

 private:
  struct Figure {
    std::vector<TPointI> Points;  // with the closing point when closed
    bool Closed = false;
    std::int64_t MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
  };
  bool StrictlyInside(double x, double y, const Figure& f) const;

  std::vector<Figure> figures_;
  std::int64_t minX_ = 0, minY_ = 0, maxX_ = 0, maxY_ = 0;  // the pattern's box
  std::int64_t sx_ = 0, sy_ = 0;
  std::int32_t columns_ = 1, rows_ = 1;
};

// The connecting figure along the gaps: from the start point left of the
// sheet up to the top row, then through the copies in serpentine order (top
// row left to right, the next right to left, ...), each reached from the gap
// around it by a straight spur to its entry point and left the same way, and
// back to the start. Empty when the layout has no gaps to run in (shifts not
// above the pattern's size plus the line distances).
std::vector<TPointI> RouteAlongGaps(const TDuplicationPattern& pattern,
                                    const TDuplicationLayout& layout,
                                    const TPatternClearance& clearance, TPointI start);

}  // namespace vm
