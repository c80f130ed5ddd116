// Roughing passes for turning (make_new_fig): horizontal cuts that step down
// from the material's radius towards the profile and follow each figure's
// outline where it stands above the cut.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/figure_parameters.h"
#include "project/okno_plt.h"
#include "project/turning_steps.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

namespace {

// Each pass takes 10 mm off the material.
constexpr std::int32_t kPassStepMm = 10;

// The path of one pass at height `level` between the limits xL and xR: along
// the level, and along the outline wherever the outline is above the level;
// at the limits it climbs or descends vertically. Repeated points are left out.
std::vector<TPointI> RoughingBand(const std::vector<TPointI>& outline, std::int32_t xL,
                                  std::int32_t xR, std::int32_t level) {
  std::vector<TPointI> path;
  if (xR < xL) return path;
  auto add = [&](TPointI p) {
    if (path.empty() || !PointsEqual(path.back(), p)) path.push_back(p);
  };
  auto at = [](TPointI a, TPointI b, double t) {
    return TPointI{Round(a.X + t * (double(b.X) - a.X)), Round(a.Y + t * (double(b.Y) - a.Y))};
  };
  add({xL, level});
  bool onOutline = false;
  for (std::size_t k = 1; k < outline.size(); ++k) {
    TPointI a = outline[k - 1], b = outline[k];
    // The part of the edge inside the limits.
    if (a.X == b.X) {
      if (a.X < xL || a.X > xR) continue;
    } else {
      const double t1 = (double(xL) - a.X) / (double(b.X) - a.X);
      const double t2 = (double(xR) - a.X) / (double(b.X) - a.X);
      const double t0 = std::max(0.0, std::min(t1, t2)), tEnd = std::min(1.0, std::max(t1, t2));
      if (t0 > tEnd) continue;
      const TPointI a0 = a;
      a = at(a0, b, t0);
      b = at(a0, b, tEnd);
    }
    const bool aAbove = a.Y > level, bAbove = b.Y > level;
    auto crossing = [&] {
      const double t = (double(level) - a.Y) / (double(b.Y) - a.Y);
      return TPointI{Round(a.X + t * (double(b.X) - a.X)), level};
    };
    if (aAbove && !onOutline) {
      // The outline is above the level where it enters the limits.
      add({a.X, level});
      add(a);
      onOutline = true;
    } else if (!aAbove && onOutline) {
      add({a.X, level});
      onOutline = false;
    }
    if (aAbove && bAbove) {
      add(b);
    } else if (aAbove) {
      add(crossing());
      onOutline = false;
    } else if (bAbove) {
      add(crossing());
      add(b);
      onOutline = true;
    }
  }
  if (onOutline) add({path.back().X, level});
  add({xR, level});
  return path;
}

}  // namespace

void TMDIChild::make_new_fig() {
  // Connectors and the roughing figures of an earlier call go first.
  RemoveFigures(*this, [](const tfigura& f) { return !f.oryg; });

  const double diameter = Dlgkonfig().Srednicamaterialu.Value();
  const double radiusMm = diameter / 2;
  std::int32_t radius = 0;
  if (PlotterUnitsToMm(Height) > radiusMm && diameter != 0) {
    ShowMessageBox(Tr("Project_window", "projektWiekszyOdSrednicy"), true);
    radius = Height;
  } else {
    radius = MmToPlotterUnits(radiusMm);
  }
  const std::int32_t step = MmToPlotterUnits(kPassStepMm);
  const std::int32_t passes = Round((double(radius) - MinY) / step + 0.5);

  // Every drawn figure of the profile is roughed; each needs its outline.
  std::vector<std::int32_t> sources;
  for (std::int32_t i = 0; i < FigureCount(); ++i) {
    const tfigura& f = *Figures[static_cast<std::size_t>(i)];
    if (i == AxisFigure || !f.oryg || f.Points.empty()) continue;
    if (f.Outline.size() < 2) return;
    sources.push_back(i);
  }

  std::int32_t previousLevel = 0;
  for (std::int32_t j = 1; j <= passes; ++j) {
    // The levels step down by one pass each and end at the project's bottom;
    // a pass at the level of the one before would cut nothing.
    const std::int64_t wanted = std::int64_t(radius) - std::int64_t(j) * step;
    const auto level = static_cast<std::int32_t>(std::max<std::int64_t>(wanted, MinY));
    if (j > 1 && level == previousLevel) break;
    previousLevel = level;
    RoughingPass = j;
    for (const std::int32_t s : sources) {
      const tfigura& src = *Figures[static_cast<std::size_t>(s)];
      std::int32_t xL = src.fig_pp.X, xR = src.fig_pk.X;
      if (src.Depth == 0) {
        // An outermost figure: from one unit right of its leftmost point or
        // outline point to its rightmost one.
        xL = xR = src.Points.front().X;
        for (const auto* list : {&src.Points, &src.Outline})
          for (const TPointI& p : *list) {
            xL = std::min(xL, p.X);
            xR = std::max(xR, p.X);
          }
        xL = CheckedAdd(xL, 1);
      }
      std::vector<TPointI> band = RoughingBand(src.Outline, xL, xR, level);
      if (band.size() < 2) continue;
      auto f = std::make_unique<tfigura>();
      f->Points = std::move(band);
      licz_parametry(*f);
      f->oryg = false;
      f->Cut = false;
      f->Depth = j;
      f->Pen = 1;
      f->TurnParent = s;
      f->Index = FigureCount();
      Figures.push_back(std::move(f));
    }
  }
  sortuj_toczenie();
}

}  // namespace vm
