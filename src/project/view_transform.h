// The view transform of one project window: how plotter units map to the
// window's pixels. Each window computes its own at every paint and its mouse
// handlers use that same one, so a click is always measured against what that
// window shows.
#pragma once

#include <QPoint>
#include <cstdint>

#include "drawing/points.h"
#include "project/view_settings.h"

namespace vm {

class TMDIChild;

struct TViewTransform {
  std::int32_t Left = 7;      // pixel column of the project's minimum X
  std::int32_t BaseLine = 0;  // pixel row of the project's minimum Y
  double Scale = 0;           // pixels per plotter unit, for X and Y alike
  std::int32_t MinX = 0;      // the project's lower-left corner, plotter units
  std::int32_t MinY = 0;
  // False when the project is not drawn (no width or height, or no room).
  bool Valid = false;

  // x = Left + [(X - MinX) * Scale], y = BaseLine - [(Y - MinY) * Scale],
  // [ ] rounding halves to even (Y grows upwards on paper, downwards on screen).
  // Raises RangeError when a pixel does not fit 32 bits.
  QPoint ToPixel(TPointI p) const;
};

// The margins of the fit, in pixels.
inline constexpr std::int32_t kViewLeft = 7;

// The transform for a client area whose right and bottom edges are given, with
// a status bar of `statusBarHeight` pixels along the bottom: left offset 7,
// base line 7 pixels above the status bar, the project (and in turning on a
// spindle or table the material's radius above its lowest point) fitted into
// the width less 20 and the height less 10 and twice the status bar.
TViewTransform ComputeViewTransform(const TMDIChild& w, std::int32_t right, std::int32_t bottom,
                                    std::int32_t statusBarHeight, const TViewSettings& s);

}  // namespace vm
