// Figure parameters computed for every figure a project keeps.
#include "project/figure_parameters.h"

#include <cstdint>

#include "drawing/matma.h"
#include "drawing/rounding.h"

namespace vm {

void licz_parametry(tfigura& f) {
  if (f.Points.empty()) {
    f.Valid = false;
    return;
  }
  // The running extremes start at the first point and a later point replaces
  // them only when strictly beyond, so ties keep the first index. (Starting
  // from the edges of the 32-bit range would leave a figure lying on the
  // smallest value outside its own box.)
  const std::int32_t n = CheckedCast<std::int32_t>(f.Points.size());
  std::int32_t minX = f.Points.front().X, maxX = minX;
  std::int32_t minY = f.Points.front().Y, maxY = minY;
  std::int32_t minXi = 0, maxXi = 0, minYi = 0, maxYi = 0;
  for (std::int32_t i = 1; i < n; ++i) {
    const TPointI& p = f.Points[static_cast<std::size_t>(i)];
    if (p.X < minX) minX = p.X, minXi = i;
    if (p.X > maxX) maxX = p.X, maxXi = i;
    if (p.Y < minY) minY = p.Y, minYi = i;
    if (p.Y > maxY) maxY = p.Y, maxYi = i;
  }
  f.Width = CheckedSub(maxX, minX);
  f.Height = CheckedSub(maxY, minY);
  f.fig_pp = {minX, minY};
  f.fig_pk = {maxX, maxY};
  f.MinXIndex = minXi;
  f.MaxXIndex = maxXi;
  f.MinYIndex = minYi;
  f.MaxYIndex = maxYi;
  // Integer division truncates toward zero, as the centre rule asks.
  f.Centre = {static_cast<std::int32_t>((std::int64_t{minX} + maxX) / 2),
              static_cast<std::int32_t>((std::int64_t{minY} + maxY) / 2)};
  f.Valid = true;
  f.Depth = 0;
  f.Open = n <= 2 || !PointsNear(f.Points.front(), f.Points.back());
  f.typ = f.Open ? 0 : 1;
  f.oryg = true;
  f.Cut = true;
  f.Unlinked = true;
}

}  // namespace vm
