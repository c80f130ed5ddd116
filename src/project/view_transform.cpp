// Fitting a project into its window (see view_transform.h).
#include "project/view_transform.h"

#include <algorithm>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/okno_plt.h"

namespace vm {

QPoint TViewTransform::ToPixel(TPointI p) const {
  // Differences in 64 bits: a far point minus the corner need not fit 32.
  const double dx = static_cast<double>(std::int64_t{p.X} - MinX) * Scale;
  const double dy = static_cast<double>(std::int64_t{p.Y} - MinY) * Scale;
  const std::int64_t x = std::int64_t{Left} + Round64(dx);
  const std::int64_t y = std::int64_t{BaseLine} - Round64(dy);
  return QPoint(CheckedCast<int>(x), CheckedCast<int>(y));
}

TViewTransform ComputeViewTransform(const TMDIChild& w, std::int32_t right, std::int32_t bottom,
                                    std::int32_t statusBarHeight, const TViewSettings& s) {
  TViewTransform t;
  t.Left = kViewLeft;
  t.BaseLine = bottom - statusBarHeight - 7;
  t.MinX = w.MinX;
  t.MinY = w.MinY;
  const double availableWidth = static_cast<double>(right) - 20;
  const double availableHeight = static_cast<double>(bottom) - 10 - 2.0 * statusBarHeight;
  if (w.Width < 1 || w.Height < 1) return t;
  double height = w.Height;
  // Turning: room for the material's radius above the project's lowest point.
  if (s.TurningOnAxis())
    height = std::max<double>(height, MmToPlotterUnits(s.Srednicamaterialu / 2));
  t.Scale =
      std::min(availableWidth / (static_cast<double>(w.Width) + 1), availableHeight / (height + 1));
  t.Valid = t.Scale > 0;
  return t;
}

}  // namespace vm
