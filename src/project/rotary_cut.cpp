// Rotary-cutting preparation: the axis line for the spindle (horizontal) or
// the table (vertical), the shift of the project onto it and the direction.
#include <algorithm>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "project/okno_plt.h"
#include "project/turning.h"
#include "project/turning_steps.h"

namespace vm {

void PrepareCiecieObrotowe(TMDIChild& w, int stolikSwitch) {
  ClearEarlierPreparation(w);
  w.HorizontalAxis = false;
  w.VerticalAxis = false;
  w.AxisFigure = -1;
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(i)];
    const tfigura* axis =
        w.AxisFigure < 0 ? nullptr : w.Figures[static_cast<std::size_t>(w.AxisFigure)].get();
    if (stolikSwitch == 0 && IsHorizontalAxisLine(f)) {
      // Spindle: the lowest horizontal line.
      w.HorizontalAxis = true;
      if (!axis || f.fig_pp.Y < axis->fig_pp.Y) w.AxisFigure = i;
    } else if (stolikSwitch == 1 && IsVerticalAxisLine(f)) {
      // Table: the rightmost vertical line.
      w.VerticalAxis = true;
      if (!axis || f.fig_pp.X > axis->fig_pp.X) w.AxisFigure = i;
    }
  }
  if (w.AxisFigure < 0) {
    if (stolikSwitch == 0) throw MessageError("Project_window", "projektBrakOsiObrotuPozProsta");
    if (stolikSwitch == 1) throw MessageError("Project_window", "projektBrakOsiObrotuPionProsta");
    throw MessageError("Project_window", "BrakSposobuMocowaniaMaterialu");
  }
  MarkAxis(w);

  const tfigura& axis = *w.Figures[static_cast<std::size_t>(w.AxisFigure)];
  ShiftY(w, axis.fig_pp.Y);
  TFigureSpan span = FigureSpan(w);
  w.MinY = span.MinY;
  w.MaxY = span.MaxY;
  w.ProfileOnAxis = w.MaxY == 0;

  ShiftX(w, axis.fig_pp.X);
  span = FigureSpan(w);
  w.MinX = span.MinX;
  w.MaxX = std::max<std::int32_t>(-1, span.MaxX);
  w.Width = CheckedSub(w.MaxX, w.MinX);
  w.Height = CheckedSub(w.MaxY, w.MinY);

  w.SelectedFigure = -1;
  Orient(w, [](const tfigura& f) { return f.Points.back().X < f.Points.front().X; });
  FinishPreparation(w, false);
}

}  // namespace vm
