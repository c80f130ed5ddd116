// What a project window shows and how it answers the mouse: the drawing of
// the figures in their colours, picking a figure with the left button (with
// its number and coordinates in the status line or a message box), the
// project info on the right button. One TProjectView belongs to one window
// and keeps that window's view transform.
#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <vector>

#include "project/figure_colours.h"
#include "project/view_settings.h"
#include "project/view_transform.h"

namespace vm {

class TMDIChild;
class tfigura;

// One polyline to draw with a 1-pixel pen in the copy mode.
struct TStroke {
  TColour Colour = kColourBlack;
  std::vector<QPoint> Pixels;
};

struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

enum class TMouseButton : std::uint8_t { Left, Right, Middle };

// A click within this many pixels of a segment (strictly less) picks its figure.
inline constexpr double kPickDistance = 3.0;

// The figure under pixel `mouse`: the highest-indexed figure with a segment
// between consecutive points closer than 3 pixels; -1 for none or when the
// transform draws nothing.
std::int32_t PickFigure(const TMDIChild& w, const TViewTransform& t, QPoint mouse);

// The status line of a picked figure: the "wybranaFiguraNr" text, the index
// and, with Ctrl and Shift held but not Alt, the raw first and last points.
QString PickStatusText(const TMDIChild& w, std::int32_t selected, TShiftState shift);

// The point list shown with Ctrl, Shift and Alt: one "\r\np<i>:(<x> ; <y>) [mm]"
// line per point, mm with two decimals.
QString PointListText(const tfigura& f);

class TProjectView {
 public:
  // This window's transform, from its most recent paint.
  const TViewTransform& Transform() const { return transform_; }

  // The drawing part of the window's paint: clears SimulationAborted, fits the
  // project into the client area (right and bottom edges, status bar height)
  // and gives the figures to draw in list order. Empty when the project is
  // not drawn.
  std::vector<TStroke> FormPaint(TMDIChild& w, std::int32_t right, std::int32_t bottom,
                                 std::int32_t statusBarHeight, const TViewSettings& s);

  enum class TAction : std::uint8_t {
    None,
    Repaint,   // invalidate with background erase and paint at once
    ShowInfo,  // show the project info window modally
  };

  // Left button: picks a figure, sets the status line and, with Ctrl, Shift
  // and Alt, shows the figure's points in an information box. Right button:
  // the project info. Other buttons: nothing.
  TAction FormMouseDown(TMDIChild& w, TMouseButton button, TShiftState shift, QPoint mouse);
  // Whether a move repaints: while the left button is held with a figure selected.
  bool FormMouseMove(const TMDIChild& w, bool leftHeld) const;
  // Clears the status line.
  void FormMouseUp(TMDIChild& w) const;

 private:
  TViewTransform transform_;
};

}  // namespace vm
