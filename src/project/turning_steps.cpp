// Steps shared by the turning and rotary-cutting preparations.
#include "project/turning_steps.h"

#include <algorithm>
#include <limits>

#include "drawing/errors.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/ciecie.h"

namespace vm {

namespace {

// Rebuilds the list with figure i at newIndex[i] (-1: removed) and carries
// every index into the list along.
void Rearrange(TMDIChild& w, const std::vector<std::int32_t>& newIndex, std::int32_t newCount) {
  const auto n = static_cast<std::int32_t>(newIndex.size());
  auto follow = [&](std::int32_t& k) {
    if (k >= 0 && k < n) k = newIndex[static_cast<std::size_t>(k)];
  };
  follow(w.AxisFigure);
  follow(w.FirstFigure);
  follow(w.SelectedFigure);
  TFigureList list(static_cast<std::size_t>(newCount));
  for (std::int32_t i = 0; i < n; ++i) {
    auto& f = w.Figures[static_cast<std::size_t>(i)];
    const std::int32_t to = newIndex[static_cast<std::size_t>(i)];
    if (to < 0) continue;
    follow(f->TurnParent);
    follow(f->NestParent);
    follow(f->LinkParent);
    for (std::int32_t& k : f->Neighbours) follow(k);
    f->Index = to;
    list[static_cast<std::size_t>(to)] = std::move(f);
  }
  w.Figures = std::move(list);
}

}  // namespace

bool IsHorizontalAxisLine(const tfigura& f) {
  return f.Points.size() == 2 && f.Points[0] != f.Points[1] && f.Points[0].Y == f.Points[1].Y;
}

bool IsVerticalAxisLine(const tfigura& f) {
  return f.Points.size() == 2 && f.Points[0] != f.Points[1] && f.Points[0].X == f.Points[1].X;
}

void ClearEarlierPreparation(TMDIChild& w) {
  ResetPlainCutting(w);
  for (auto& f : w.Figures)
    if (f->oryg) f->Cut = true;
  w.AxisFigure = -1;
  // The first figure of plain cutting may have been one of the figures just
  // removed; turning has none of its own and keeps a new window's 0.
  w.FirstFigure = 0;
}

void MarkAxis(TMDIChild& w) {
  const tfigura& axis = *w.Figures.at(static_cast<std::size_t>(w.AxisFigure));
  w.Figures[static_cast<std::size_t>(w.AxisFigure)]->Cut = false;
  for (auto& f : w.Figures) {
    f->AxisWidth = axis.Width;
    f->AxisHeight = axis.Height;
  }
  if (w.FigureCount() <= 1) throw MessageError("Project_window", "projektBrakProfilu");
}

void ShiftX(TMDIChild& w, std::int32_t d) {
  for (auto& f : w.Figures) {
    for (TPointI& p : f->Points) p.X = CheckedSub(p.X, d);
    for (TPointI& p : f->Outline) p.X = CheckedSub(p.X, d);
    f->fig_pp.X = CheckedSub(f->fig_pp.X, d);
    f->fig_pk.X = CheckedSub(f->fig_pk.X, d);
    f->Centre.X = CheckedSub(f->Centre.X, d);
  }
}

void ShiftY(TMDIChild& w, std::int32_t d) {
  for (auto& f : w.Figures) {
    for (TPointI& p : f->Points) p.Y = CheckedSub(p.Y, d);
    for (TPointI& p : f->Outline) p.Y = CheckedSub(p.Y, d);
    f->fig_pp.Y = CheckedSub(f->fig_pp.Y, d);
    f->fig_pk.Y = CheckedSub(f->fig_pk.Y, d);
    f->Centre.Y = CheckedSub(f->Centre.Y, d);
  }
}

TFigureSpan FigureSpan(const TMDIChild& w) {
  TFigureSpan s{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
                std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
  for (const auto& f : w.Figures) {
    s.MinX = std::min(s.MinX, f->fig_pp.X);
    s.MinY = std::min(s.MinY, f->fig_pp.Y);
    s.MaxX = std::max(s.MaxX, f->fig_pk.X);
    s.MaxY = std::max(s.MaxY, f->fig_pk.Y);
  }
  return s;
}

void Orient(TMDIChild& w, const std::function<bool(const tfigura&)>& reverse) {
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(i)];
    if (f.Cut && f.Points.size() >= 2 && reverse(f)) w.OdwrocKierunek(i);
  }
}

double PathLengthWithoutAxis(const TMDIChild& w) {
  double length = 0;
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    if (i == w.AxisFigure) continue;
    const auto& p = w.Figures[static_cast<std::size_t>(i)]->Points;
    for (std::size_t k = 1; k < p.size(); ++k) length += Distance(p[k - 1], p[k]);
  }
  return length;
}

void FinishPreparation(TMDIChild& w, bool turningOrder) {
  if (turningOrder) w.sortuj_toczenie();
  w.PathLength = PathLengthWithoutAxis(w);
  w.StatusBar.SimpleText.clear();
  if (const auto& show = ProjectHooks().ShowMainStatus) show(QString());
}

void RemoveFigures(TMDIChild& w, const std::function<bool(const tfigura&)>& drop) {
  std::vector<std::int32_t> newIndex(w.Figures.size(), -1);
  std::int32_t kept = 0;
  for (std::size_t i = 0; i < w.Figures.size(); ++i)
    if (!drop(*w.Figures[i])) newIndex[i] = kept++;
  Rearrange(w, newIndex, kept);
}

void ReorderFigures(TMDIChild& w, const std::vector<std::int32_t>& order) {
  if (order.size() != w.Figures.size()) throw RangeError("figure order of the wrong length");
  std::vector<std::int32_t> newIndex(order.size(), -1);
  for (std::size_t k = 0; k < order.size(); ++k) {
    const std::int32_t from = order[k];
    if (from < 0 || from >= w.FigureCount() || newIndex[static_cast<std::size_t>(from)] != -1)
      throw RangeError("figure order is not a permutation");
    newIndex[static_cast<std::size_t>(from)] = static_cast<std::int32_t>(k);
  }
  Rearrange(w, newIndex, static_cast<std::int32_t>(order.size()));
}

}  // namespace vm
