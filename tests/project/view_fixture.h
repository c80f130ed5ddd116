// Small projects for the drawing and replay tests, with a client area in
// which one plotter unit is one pixel.
#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <memory>
#include <numbers>
#include <vector>

#include "drawing/figury.h"
#include "project/cut_path.h"
#include "project/okno_plt.h"
#include "project/view_transform.h"

namespace vm::test {

// A figure as the preparation leaves it: parameters computed, linked by hand.
inline tfigura& AddFig(TMDIChild& w, const std::vector<TPointI>& points) {
  auto f = std::make_unique<tfigura>();
  f->Points = points;
  const std::int32_t i = w.AddFigure(std::move(f));
  tfigura& fig = *w.Figures[static_cast<std::size_t>(i)];
  fig.LinkParent = -1;
  fig.LinkVertex = -1;
  fig.EntryVertex = 0;
  fig.Unlinked = false;
  // Every vertex a corner, as the preparation marks open figures' ends.
  fig.VertexRecs.assign(fig.Points.size(), TVertexRec{std::numbers::pi / 2, 5, 1});
  return fig;
}
inline tfigura& AddFig(TMDIChild& w, std::initializer_list<TPointI> points) {
  return AddFig(w, std::vector<TPointI>(points));
}

inline void Hang(tfigura& child, std::int32_t parent, std::int32_t linkVertex, std::int32_t entry) {
  child.LinkParent = parent;
  child.LinkVertex = linkVertex;
  child.EntryVertex = entry;
}

// Sets the box after the figures were added.
inline void Finish(TMDIChild& w) {
  w.Ustaw_PPiPK();
  w.Width = w.MaxX - w.MinX;
  w.Height = w.MaxY - w.MinY;
}

// Client area whose fit gives scale 1 for a project of w x h units with a
// status bar of sb pixels: pixel = (7 + X - MinX, bottom - sb - 7 - (Y - MinY)).
struct Client {
  std::int32_t right, bottom, statusBar;
};
inline Client UnitScaleClient(std::int32_t w, std::int32_t h, std::int32_t sb = 0) {
  return {w + 1 + 20, h + 1 + 10 + 2 * sb, sb};
}

// The items as compact text: "E0" enter figure 0, "C0.3" cut to its vertex
// 3, "R0.3" return to it; blank-separated.
inline QString Items(const TCutPath& path) {
  QStringList out;
  for (const TCutItem& p : path.Items) {
    const char* k = p.kind == TCutItem::Kind::Enter ? "E"
                    : p.kind == TCutItem::Kind::Cut ? "C"
                                                    : "R";
    out << (p.kind == TCutItem::Kind::Enter
                ? QStringLiteral("%1%2").arg(k).arg(p.figure)
                : QStringLiteral("%1%2.%3").arg(k).arg(p.figure).arg(p.vertex));
  }
  return out.join(' ');
}

// Everything of a project the walk and the replay must leave as it was.
struct Snapshot {
  std::vector<std::vector<TPointI>> points;
  std::vector<std::int32_t> entry, linkVertex, linkParent;
  std::uint8_t feed = 0;
  std::int32_t first = 0;
  bool operator==(const Snapshot&) const = default;
};
inline Snapshot Take(const TMDIChild& w) {
  Snapshot s;
  for (const auto& f : w.Figures) {
    s.points.push_back(f->Points);
    s.entry.push_back(f->EntryVertex);
    s.linkVertex.push_back(f->LinkVertex);
    s.linkParent.push_back(f->LinkParent);
  }
  s.feed = w.FeedDirection;
  s.first = w.FirstFigure;
  return s;
}

}  // namespace vm::test
