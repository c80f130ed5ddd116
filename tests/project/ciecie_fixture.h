// Small projects for the plain-cutting tests, built the way the generators
// build theirs: figures added one by one, then the box.
#pragma once

#include <memory>
#include <vector>

#include "drawing/figury.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"

namespace vm::test {

using Polyline = std::vector<TPointI>;

// Closed axis-parallel rectangle of five points, counter-clockwise from (x0, y0).
inline Polyline Rect(int x0, int y0, int x1, int y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

inline std::unique_ptr<TMDIChild> MakeProject(const std::vector<Polyline>& figures) {
  auto w = std::make_unique<TMDIChild>();
  for (const auto& pts : figures) {
    auto f = std::make_unique<tfigura>();
    f->Points = pts;
    w->AddFigure(std::move(f));
  }
  w->Ustaw_PPiPK();
  w->Width = w->MaxX - w->MinX;
  w->Height = w->MaxY - w->MinY;
  w->MaxDepth = 0;
  w->SelectedFigure = -1;
  return w;
}

inline TPlainCutEnv Env(int mode, bool addFrame) {
  TPlainCutEnv env;
  env.Settings.Mode = mode;
  env.Settings.AddFrame = addFrame;
  return env;
}

inline tfigura& F(TMDIChild& w, int i) { return *w.Figures.at(static_cast<std::size_t>(i)); }

inline int CountKind(const TMDIChild& w, int kind) {
  int n = 0;
  for (const auto& f : w.Figures) n += f->Kind == kind ? 1 : 0;
  return n;
}

}  // namespace vm::test

#include <gtest/gtest.h>

namespace vm::test {

// Every reached figure but the first hangs from a reached figure at a vertex
// that exists, enters at a vertex that exists, and leads back to the first
// figure; every connector runs from its parent's vertex to its child's vertex.
inline void ExpectSoundTree(TMDIChild& w) {
  const int n = w.FigureCount();
  ASSERT_GE(w.FirstFigure, 0);
  ASSERT_LT(w.FirstFigure, n);
  EXPECT_FALSE(F(w, w.FirstFigure).Unlinked);
  EXPECT_EQ(F(w, w.FirstFigure).LinkParent, -1);
  for (int q = 0; q < n; ++q) {
    tfigura& f = F(w, q);
    if (f.Unlinked || q == w.FirstFigure) continue;
    ASSERT_GE(f.LinkParent, 0) << q;
    ASSERT_LT(f.LinkParent, n) << q;
    tfigura& parent = F(w, f.LinkParent);
    EXPECT_FALSE(parent.Unlinked) << q;
    ASSERT_GE(f.LinkVertex, 0) << q;
    ASSERT_LT(f.LinkVertex, static_cast<int>(parent.Points.size())) << q;
    ASSERT_GE(f.EntryVertex, 0) << q;
    ASSERT_LT(f.EntryVertex, static_cast<int>(f.Points.size())) << q;
    int steps = 0, at = q;
    while (at != w.FirstFigure && steps <= n) {
      at = F(w, at).LinkParent;
      ++steps;
      ASSERT_GE(at, 0) << q;
    }
    EXPECT_EQ(at, w.FirstFigure) << "figure " << q << " does not lead to the first figure";
    if (f.Kind == 3) {
      EXPECT_FALSE(f.oryg);
      EXPECT_EQ(f.typ, 0);
    }
  }
}

// Children of a connector are joined at its end point, where it meets them.
inline void ExpectConnectorsMeetTheirEnds(TMDIChild& w) {
  for (int q = 0; q < w.FigureCount(); ++q) {
    tfigura& f = F(w, q);
    if (f.Unlinked || f.LinkParent < 0) continue;
    tfigura& parent = F(w, f.LinkParent);
    if (parent.Kind == 3 && parent.Points.size() == 2 && parent.LinkParent >= 0) {
      EXPECT_EQ(f.LinkVertex, 1) << q;
      EXPECT_EQ(parent.Points[1], f.Points[f.EntryVertex]) << q;
      const tfigura& grand = F(w, parent.LinkParent);
      EXPECT_EQ(parent.Points[0], grand.Points[parent.LinkVertex]) << q;
    }
  }
}

}  // namespace vm::test
