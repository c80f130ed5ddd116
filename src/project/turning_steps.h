// Steps shared by the turning and rotary-cutting preparations: axis lines,
// clearing what an earlier preparation added, shifting the project, the
// direction rule, the path length and list edits that keep indexes valid.
#pragma once

#include <cstdint>
#include <functional>

#include "project/okno_plt.h"

namespace vm {

// A figure of exactly two distinct points with equal Y (horizontal) or equal
// X (vertical). Two equal points mark no direction and are no axis line.
bool IsHorizontalAxisLine(const tfigura& f);
bool IsVerticalAxisLine(const tfigura& f);

// Removes the frame, start point and connectors of an earlier plain-cutting
// preparation and gives every drawn figure its Cut flag back, so that a
// project prepared again (after the settings changed) starts from its drawing.
void ClearEarlierPreparation(TMDIChild& w);

// Clears the axis figure's Cut and copies its Width and Height into every
// figure's AxisWidth and AxisHeight; MessageError "projektBrakProfilu" when
// the axis is the only figure.
void MarkAxis(TMDIChild& w);

// Subtracts d from every X (Y) of every figure: points, outline, box, centre.
// OverflowError when a coordinate leaves the 32-bit range.
void ShiftX(TMDIChild& w, std::int32_t d);
void ShiftY(TMDIChild& w, std::int32_t d);

// Smallest figure minimum and largest figure maximum over the list.
struct TFigureSpan {
  std::int32_t MinX, MinY, MaxX, MaxY;
};
TFigureSpan FigureSpan(const TMDIChild& w);

// Reverses every figure with Cut set for which `reverse` holds.
void Orient(TMDIChild& w, const std::function<bool(const tfigura&)>& reverse);

// The end of every preparation after the orientation: the turning order
// (when asked), PathLength without the axis figure, cleared status lines.
void FinishPreparation(TMDIChild& w, bool turningOrder);

// Sum of the segment lengths of every figure except the axis figure.
double PathLengthWithoutAxis(const TMDIChild& w);

// Removes (and frees) the figures for which `drop` holds. Indexes into the
// list (AxisFigure, FirstFigure, SelectedFigure, every figure's TurnParent,
// NestParent, LinkParent, Neighbours and Index) follow their figures; those
// that pointed at a removed figure become -1.
void RemoveFigures(TMDIChild& w, const std::function<bool(const tfigura&)>& drop);

// Puts the figures into the order `order` (a permutation of the list
// indexes: order[k] is the old index of the figure that goes to k), carrying
// the indexes as above.
void ReorderFigures(TMDIChild& w, const std::vector<std::int32_t>& order);

}  // namespace vm
