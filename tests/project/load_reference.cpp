#include "load_reference.h"

#include "drawing/matma.h"
#include "project/figure_parameters.h"

namespace vm::test {

void ReferenceJoinOpenFigures(TFigureList& list, tfigura& f) {
  if (!f.Open || f.Points.size() <= 1) return;
  bool joined = true;
  while (joined) {
    joined = false;
    const std::size_t n = list.size();
    for (std::size_t idx = 0; idx < n; ++idx) {
      if (idx >= list.size()) continue;  // no longer in the list
      const tfigura& g = *list[idx];
      if (!g.Open || g.Points.size() <= 1) continue;
      auto& F = f.Points;
      const auto& G = g.Points;
      const TPointI f0 = F.front(), f1 = F.back(), g0 = G.front(), g1 = G.back();
      if (PointsNear(f1, g0)) {
        for (std::size_t k = 1; k < G.size(); ++k) F.push_back(G[k]);
      } else if (PointsNear(f1, g1)) {
        for (std::size_t k = G.size() - 1; k-- > 0;) F.push_back(G[k]);
      } else if (PointsNear(f0, g0)) {
        for (std::size_t k = 1; k < G.size(); ++k) F.insert(F.begin(), G[k]);
      } else if (PointsNear(f0, g1)) {
        for (std::size_t k = G.size() - 1; k-- > 0;) F.insert(F.begin(), G[k]);
      } else {
        continue;
      }
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(idx));
      joined = true;
    }
  }
}

bool ReferenceIsNewFigure(const TFigureList& list, const tfigura& f) {
  for (const auto& g : list) {
    if (g->Points.size() != f.Points.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < f.Points.size() && same; ++k)
      same = g->Points[k].X == f.Points[k].X && g->Points[k].Y == f.Points[k].Y;
    if (same) return false;
  }
  return true;
}

void ReferenceAdd(TFigureList& list, std::unique_ptr<tfigura> f) {
  ReferenceJoinOpenFigures(list, *f);
  if (!ReferenceIsNewFigure(list, *f)) return;
  licz_parametry(*f);
  list.push_back(std::move(f));
}

}  // namespace vm::test
