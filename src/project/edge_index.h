// Spatial index over the edges of a project's drawn figures, for the question
// the connector search asks of every connector it is about to make: does this
// straight cut pass through a drawn figure other than the two it joins? The
// hot wire cuts everything it passes through, so a connector that crosses a
// third figure cuts that part in two.
#pragma once

#include <cstdint>
#include <vector>

#include "drawing/points.h"

namespace vm {

class TMDIChild;

// Where a cut from a to b meets an edge or a vertex of another figure at a
// point more than `tolerance` units (in X or in Y) from both of its ends.
// Crossing an edge, passing through a vertex and running along an edge all
// count; meeting the figure only near an end of the cut is contact, which the
// cut may make. Exact integer arithmetic.
bool CutMeetsSegment(TPointI a, TPointI b, TPointI p, TPointI q, std::int32_t tolerance);

class TEdgeIndex {
 public:
  // Contact tolerance of the cutting path (as the touch test): 10 units.
  static constexpr std::int32_t kContact = 10;

  // Indexes the edges of the drawn figures (kind 0) of the window: every
  // consecutive point pair, and for a closed figure the pair (last, first).
  // A figure of one point is indexed as a point. The index reads the points
  // from the figures: those of the drawn figures must not change (nor their
  // lists grow) while it is in use.
  void Build(const TMDIChild& w);
  bool Empty() const { return edgeCount_ == 0; }

  // The first drawn figure, other than skip1 and skip2, that the cut from a
  // to b meets away from its ends (CutMeetsSegment); -1 when the cut is clear.
  std::int32_t FirstCrossed(TPointI a, TPointI b, std::int32_t skip1, std::int32_t skip2) const;
  // The same, giving the edge met (an index for CutMeetsEdge), -1 for none.
  std::int32_t FirstCrossedEdge(TPointI a, TPointI b, std::int32_t skip1, std::int32_t skip2) const;
  // Whether the cut from a to b meets that edge away from its own ends: a
  // quick test of the edge that stopped the last cut tried.
  bool CutMeetsEdge(TPointI a, TPointI b, std::int32_t edge) const;

 private:
  // An edge is named by its figure and the index of its first point; its
  // second point is the next one, or the first for the closing edge of a
  // closed figure and for a figure of one point. The points are read from
  // the figures, which must keep them unchanged while the index is in use.
  struct EdgeRef {
    std::int32_t figure, vertex;
  };
  TPointI P(EdgeRef e) const { return figurePoints_[static_cast<std::size_t>(e.figure)][e.vertex]; }
  TPointI Q(EdgeRef e) const {
    const auto f = static_cast<std::size_t>(e.figure);
    const std::int32_t next = e.vertex + 1 < figureSizes_[f] ? e.vertex + 1 : 0;
    return figurePoints_[f][next];
  }
  // The edge of a number (figures in order, their edges in order).
  EdgeRef RefOf(std::int32_t edge) const;
  // Calls fn(ref, cell) for every indexed edge, in number order, and every
  // cell ForCells gives for it.
  template <typename Fn>
  void ForEdgeCells(Fn&& fn) const;
  // Floor of a / cell_, exact for |a| < 2^52: the truncated quotient from
  // the reciprocal is off by at most two and is corrected in integers.
  std::int64_t CellDiv(std::int64_t a) const {
    auto q = static_cast<std::int64_t>(static_cast<double>(a) * invCell_);
    while (q * cell_ > a) --q;
    while ((q + 1) * cell_ <= a) ++q;
    return q;
  }
  std::int64_t CellX(double x) const;
  std::int64_t CellY(double y) const;
  // Calls fn(cell) for every cell the segment passes through (and its
  // neighbours across a boundary it runs along), within the grid.
  template <typename Fn>
  void ForCells(TPointI a, TPointI b, Fn&& fn) const;

  // Per figure: its points, their count and the number of its first edge
  // (edgeStart_[f] .. edgeStart_[f + 1]; figures not indexed have none).
  std::vector<const TPointI*> figurePoints_;
  std::vector<std::int32_t> figureSizes_;
  std::vector<std::int32_t> edgeStart_;
  std::int32_t edgeCount_ = 0;
  // Edges by cell: cellStart_[c] .. cellStart_[c + 1] in cellEdges_.
  std::vector<std::int32_t> cellStart_;
  std::vector<EdgeRef> cellEdges_;
  std::int64_t minX_ = 0, minY_ = 0, cell_ = 1, gx_ = 0, gy_ = 0;
  double invCell_ = 1;
  // Per edge: the last query that tested it (an edge may lie in several of
  // the cells a cut passes).
  mutable std::vector<std::uint16_t> stamp_;
  mutable std::uint16_t query_ = 0;
};

}  // namespace vm
