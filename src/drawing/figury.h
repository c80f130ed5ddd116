// The figure: one polyline of a project in plotter units, with everything the
// path preparation works out about it (box, closure, nesting, cutting order,
// entry point, links to other figures and per-vertex corner data).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "drawing/points.h"

namespace vm {

// Corner data of one vertex of a figure.
struct TVertexRec {
  double Angle = 0;           // turning angle at the vertex, radians in [-pi, pi]
  std::int32_t Weight = 0;    // distance weight for the connector search: 5, 6, 8, 9 or 10
  std::uint8_t Weighted = 0;  // when set, squared distances here are scaled by Weight / 10
};

// Fields are public and in their documented order; the figure has no behaviour
// beyond creating, appending and releasing what it holds. A new figure has every
// field zero, false or empty, except TurnParent: -1, no figure, so that a
// figure made anywhere (reader, generators) is no turning child of figure 0.
class tfigura {
 public:
  bool oryg = false;  // from the drawing (true) or added by the program
  std::int32_t Pen = 0;
  double PenWidth = 0;
  std::int32_t Index = 0;  // position in the project's list
  bool Cut = false;        // false for the rotation-axis figure
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t AxisWidth = 0;
  std::int32_t AxisHeight = 0;
  TPointI fig_pp;               // box corner with minimum X and Y
  TPointI fig_pk;               // box corner with maximum X and Y
  std::vector<TPointI> Points;  // the polyline in cutting order
  std::vector<TPointI> Outline;
  std::vector<TVertexRec> VertexRecs;
  bool Valid = false;      // holds at least one point
  std::int32_t Depth = 0;  // nesting depth
  bool Open = false;
  bool Visited = false;
  std::int32_t OrderNo = 0;
  std::int32_t TurnParent = -1;
  std::uint8_t Kind = 0;  // 0 drawn, 1 frame, 3 connector or enclosing figure
  std::uint8_t typ = 0;   // 0 open, 1 closed
  std::int32_t NestParent = 0;
  std::int32_t LinkParent = 0;
  std::int32_t LinkVertex = 0;  // vertex of the parent where this figure joins
  std::int32_t EntryVertex = 0;
  bool Unlinked = false;
  std::int32_t ChildCount = 0;
  std::int32_t LinkCandidate = 0;
  TPointI Centre;
  std::int32_t MinXIndex = 0;
  std::int32_t MaxXIndex = 0;
  std::int32_t MinYIndex = 0;
  std::int32_t MaxYIndex = 0;
  std::array<std::int32_t, 22> Neighbours{};  // 22 nearest figures, nearest first
  bool TracedClosed = false;
  std::int32_t TracedPartner = 0;

  // Copies to be added to one of the lists.
  static TPointI NewPoint(const TPointI& point) { return point; }
  static TVertexRec NewVertexRec(const TVertexRec& rec) { return rec; }

  void AddPoint(const TPointI& point) { Points.push_back(point); }

  // Releases every point and record the figure holds. The figure object itself
  // is released by its owner (a project's figure list holds it by unique_ptr).
  void FreeAll();
};

}  // namespace vm
