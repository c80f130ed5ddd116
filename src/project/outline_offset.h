// The offset outline of one figure for a tool of elliptical cross-section: the
// path of the tool's centre when it touches the figure from the left of the
// direction of travel without cutting into it. The roughing passes of turning
// are clipped against it. TMDIChild::makeOutline fills a figure's Outline with
// MakeOutline below.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/matma.h"
#include "drawing/points.h"

namespace vm {

// Tool geometry of an ellipse with horizontal semi-axis Rx and vertical
// semi-axis Ry (plotter units, both positive), centred at the origin.
struct TEllipseTool {
  std::int32_t Rx = 0;
  std::int32_t Ry = 0;

  // The ellipse point whose tangent has slope m (m not vertical), on the side
  // of smaller Y for m >= 0 and of larger Y for m < 0; (0, -Ry) for m = 0.
  TPointI TangentPoint(double slope) const;
  // The tool's extent perpendicular to a line: Rx for a vertical or degenerate
  // line, else the distance of the tangent point from the parallel line
  // through the centre, to whole units.
  double EllipseTangentPoint(const TLineEq& line) const;
  // Distance from the centre to the ellipse in the direction `angle` (radians).
  double EllipseRadiusAt(double angle) const;
  // The vertex moved by the ellipse point whose tangent is parallel to the
  // line, on the left of the direction of travel `direction` (radians): for a
  // vertical line Rx towards smaller X when it runs upwards, towards larger X
  // otherwise; for a travel towards larger X the side of larger Y.
  TPointI EllipsePointForSlope(TPointI vertex, const TLineEq& line, double direction) const;
  // The segment's line moved by the tool's extent to the left of the segment's
  // direction. A degenerate segment gives its point record unchanged.
  TLineEq OffsetLine(TSegment s) const;
  // The outline point at the joint of two segments: the crossing of their
  // offset lines where the direction changes by more than 0.1744444 rad, else
  // the end point of `in` moved by the ellipse point for the mean direction.
  TPointI VertexOffset(TSegment in, TSegment out) const;
};

// One outline point per figure point (an empty result for fewer than two
// points), offset and cleaned of runs that come too close to the figure, turn
// back against it or cross the outline. RangeError for a non-positive
// semi-axis.
std::vector<TPointI> MakeOutline(const std::vector<TPointI>& points, std::int32_t rx,
                                 std::int32_t ry);

}  // namespace vm
