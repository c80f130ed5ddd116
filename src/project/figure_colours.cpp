// Colour roles of the figures (see figure_colours.h).
#include "project/figure_colours.h"

#include "drawing/figury.h"
#include "project/okno_plt.h"

namespace vm {

TColour RoleColour(TFigureRole role) {
  switch (role) {
    case TFigureRole::Ordinary:
      return kColourBlack;
    case TFigureRole::Axis:
      return kColourGreen;
    case TFigureRole::Open:
      return kColourBlue;
    case TFigureRole::Unlinked:
      return kColourRed;
    case TFigureRole::Selected:
      return kColourWhite;
  }
  return kColourBlack;
}

TFigureRole FigureRole(const TMDIChild& w, std::int32_t index, const TViewSettings& s) {
  if (index == w.SelectedFigure) return TFigureRole::Selected;
  const tfigura& f = *w.Figures.at(static_cast<std::size_t>(index));
  const bool open = f.typ == 0;
  if (s.Mode == 0 && s.StolikSwitch == 2) return open ? TFigureRole::Open : TFigureRole::Ordinary;
  if (s.TurningOnAxis() || s.Mode == 1)
    return index == w.AxisFigure ? TFigureRole::Axis : TFigureRole::Ordinary;
  if (s.Mode == 2 || s.Mode == 3) {
    if (f.Unlinked) return TFigureRole::Unlinked;
    return open ? TFigureRole::Open : TFigureRole::Ordinary;
  }
  return TFigureRole::Ordinary;
}

}  // namespace vm
