// The cutting path of a project prepared for plain or serial cutting, as one
// ordered list of items. The job-file saver and the on-screen replay both walk
// the cutting tree through this one walker, so the file and the screen follow
// the same path.
//
// The tree: the first figure has no link parent; every other reached figure
// names its LinkParent, the parent's LinkVertex where it hangs and its own
// EntryVertex (connectors are two-point figures of kind 3 hanging from their
// parent, their child hanging at the connector's end point). The walk starts
// at the first figure's entry vertex; at every vertex it first walks, in list
// order, the figures hanging there, then moves on to the next vertex.
//
// The walk never changes the project. An open figure of more than two points
// is cut forward and then the wire comes back along it: entered at its last
// point it is walked as if its point list were reversed; entered at an inner
// vertex it is cut from there to its last point, back to its first point and
// forward to the entry again. Items always name the stored vertex index.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "drawing/points.h"

namespace vm {

class TMDIChild;

struct TCutItem {
  enum class Kind : std::uint8_t {
    // The walk begins this figure (no motion: the wire is at the junction).
    Enter,
    // A cut along the figure to the vertex.
    Cut,
    // Back along an open figure to its start, one vertex at a time.
    Return,
  };
  Kind kind = Kind::Cut;
  std::int32_t figure = 0;  // index in the project's figure list
  std::int32_t vertex = 0;  // index in that figure's stored point list
  TPointI point;            // the vertex, plotter units (absolute)
  // Cut items: the vertex is vertex 0 of the walk (the stored vertex 0, or
  // the stored last point of a figure walked reversed).
  bool walkVertexZero = false;
  friend bool operator==(const TCutItem&, const TCutItem&) = default;
};

struct TCutPathRules {
  // Serial cutting: the pass ends on the first figure's last cut. An open
  // first figure is cut to its end without coming back; a closed figure is
  // cut all round to its entry without the joining step at its end; every
  // other figure still comes back to where it hangs (a connector out and
  // back). The figures hanging at the vertex where a figure's steps end are
  // still walked there.
  bool Serial = false;
  // False: the first figure's own Cut items are left out (a frame that is not
  // cut is only travelled through its attachments).
  bool CutFirstFigure = true;
  // Entry vertex of the first figure in place of its EntryVertex.
  std::optional<std::int32_t> FirstEntry;
};

struct TCutPath {
  std::int32_t FirstFigure = -1;  // -1: nothing to walk
  std::int32_t FirstEntry = 0;    // entry vertex of the first figure (stored index)
  TPointI Start;                  // the job's start: that vertex
  std::vector<TCutItem> Items;
};

// Walks the cutting tree of a project prepared by ciecie from FirstFigure.
// Figures still flagged Unlinked are not walked, and every figure is walked at
// most once. An empty project gives an empty path. Raises RangeError when
// FirstFigure or an entry vertex of a walked figure lies outside its list.
TCutPath WalkCutPath(const TMDIChild& w, const TCutPathRules& rules = {});

// The first figure's entry for a project that is one open figure, from the
// feed direction (1 towards larger X, 255 towards smaller X). For 1: the first
// point when its X is less than the last point's X, else the last point; for
// 255 the other end. -1 when the project has no first figure with points.
std::int32_t SingleOpenFigureEntry(const TMDIChild& w, std::uint8_t feedDirection);

}  // namespace vm
