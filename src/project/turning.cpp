// Turning preparation (spindle and table), the turning order and the hooks
// through which the project windows run turning and rotary cutting.
#include "project/turning.h"

#include <algorithm>
#include <numeric>
#include <utility>
#include <vector>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "project/drawing_errors.h"
#include "project/okno_plt.h"
#include "project/turning_steps.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"
#include "shell/messages.h"

namespace vm {

namespace {

// Index of the axis line with the smallest minimum Y (the first of equals).
std::int32_t LowestAxisLine(const TMDIChild& w, bool (*isAxis)(const tfigura&)) {
  std::int32_t axis = -1;
  for (std::int32_t i = 0; i < w.FigureCount(); ++i) {
    const tfigura& f = *w.Figures[static_cast<std::size_t>(i)];
    if (!isAxis(f)) continue;
    if (axis < 0 || f.fig_pp.Y < w.Figures[static_cast<std::size_t>(axis)]->fig_pp.Y) axis = i;
  }
  return axis;
}

const tfigura& Axis(const TMDIChild& w) {
  return *w.Figures[static_cast<std::size_t>(w.AxisFigure)];
}

void SetSize(TMDIChild& w) {
  w.Width = CheckedSub(w.MaxX, w.MinX);
  w.Height = CheckedSub(w.MaxY, w.MinY);
}

}  // namespace

void toczenie_wrzeciono(TMDIChild& w) {
  ClearEarlierPreparation(w);
  w.AxisFigure = LowestAxisLine(w, IsHorizontalAxisLine);
  if (w.AxisFigure < 0) throw MessageError("Project_window", "projektBrakOsiObrotuPozProsta");
  MarkAxis(w);

  ShiftY(w, Axis(w).fig_pp.Y);
  TFigureSpan span = FigureSpan(w);
  w.MinY = span.MinY;
  w.MaxY = span.MaxY;
  // Part of the drawing below the spindle axis: a warning only.
  if (w.MinY != 0) ShowMessageBox(Tr("Project_window", "osMaBycPonizejProfilu"), true);

  ShiftX(w, Axis(w).fig_pp.X);
  span = FigureSpan(w);
  w.MinX = 0;
  w.MaxX = span.MaxX;
  SetSize(w);

  w.SelectedFigure = -1;
  // A figure with both ends at one X runs downwards; then every figure runs
  // towards larger X.
  Orient(w, [](const tfigura& f) {
    return f.Points.front().X == f.Points.back().X && f.Points.front().Y < f.Points.back().Y;
  });
  Orient(w, [](const tfigura& f) { return f.Points.back().X < f.Points.front().X; });
  FinishPreparation(w, true);
}

void toczenie_stolik(TMDIChild& w) {
  ClearEarlierPreparation(w);
  w.AxisFigure = LowestAxisLine(w, IsVerticalAxisLine);
  if (w.AxisFigure < 0) throw MessageError("Project_window", "projektBrakOsiObrotu");
  MarkAxis(w);

  ShiftX(w, Axis(w).fig_pk.X);
  TFigureSpan span = FigureSpan(w);
  w.MinX = span.MinX;
  w.MaxX = span.MaxX;

  ShiftY(w, Axis(w).fig_pp.Y);
  span = FigureSpan(w);
  w.MinY = 0;
  w.MaxY = span.MaxY;
  SetSize(w);

  w.SelectedFigure = -1;
  Orient(w, [](const tfigura& f) { return f.Points.back().X < f.Points.front().X; });
  FinishPreparation(w, true);
}

void PrepareToczenie(TMDIChild& w, int stolikSwitch) {
  if (stolikSwitch != 0)
    toczenie_stolik(w);
  else
    toczenie_wrzeciono(w);
}

void TMDIChild::sortuj_toczenie() {
  const std::int32_t n = FigureCount();
  for (auto& f : Figures) {
    f->Visited = false;
    f->OrderNo = -1;
  }
  // The figures turned from each figure, in list order.
  std::vector<std::vector<std::int32_t>> children(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const std::int32_t parent = Figures[static_cast<std::size_t>(i)]->TurnParent;
    if (parent >= 0 && parent < n) children[static_cast<std::size_t>(parent)].push_back(i);
  }
  std::int32_t counter = 1;
  auto fig = [this](std::int32_t k) -> tfigura& { return *Figures[static_cast<std::size_t>(k)]; };
  // The first figure turned from `a`, in list order, that is not numbered
  // yet; `next` remembers how far a's children have been looked at. -1: none.
  auto FindChildFigure = [&](std::int32_t a, std::size_t& next) -> std::int32_t {
    const auto& kids = children[static_cast<std::size_t>(a)];
    while (next < kids.size() && fig(kids[next]).Visited) ++next;
    return next < kids.size() ? kids[next++] : -1;
  };
  // Numbers a figure's children (depth first) before the figure itself. A
  // figure is marked when it is entered, so a TurnParent cycle ends instead
  // of numbering for ever; without a cycle the order is the same.
  auto NumberFigure = [&](std::int32_t root) {
    std::vector<std::pair<std::int32_t, std::size_t>> stack{{root, 0}};
    fig(root).Visited = true;
    while (!stack.empty()) {
      const std::int32_t a = stack.back().first;
      const std::int32_t c = FindChildFigure(a, stack.back().second);
      if (c >= 0) {
        fig(c).Visited = true;
        stack.emplace_back(c, 0);
        continue;
      }
      fig(a).OrderNo = counter++;
      stack.pop_back();
    }
  };
  for (const std::int32_t depth : {1, 0})
    for (std::int32_t i = 0; i < n; ++i)
      if (!fig(i).Visited && fig(i).Depth == depth) NumberFigure(i);

  // Exchanging neighbours until none is out of order is a stable sort.
  std::vector<std::int32_t> order(static_cast<std::size_t>(n));
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::int32_t a, std::int32_t b) { return fig(a).OrderNo < fig(b).OrderNo; });
  ReorderFigures(*this, order);
}

namespace {

bool RunPreparation(TMDIChild& w, void (*prepare)(TMDIChild&, int)) {
  TWaitCursor cursor;
  try {
    prepare(w, Dlgkonfig().StolikSwitch.ItemIndex());
    return true;
  } catch (const MessageError& e) {
    cursor.Restore();
    ShowMessageError(e);
  } catch (const Error& e) {
    cursor.Restore();
    ShowMessageBox(DrawingErrorText(w.Caption, e), true);
  }
  w.RequestClose();
  return false;
}

}  // namespace

void InstallTurning() {
  ProjectHooks().toczenie = [](TMDIChild& w) { return RunPreparation(w, PrepareToczenie); };
  ProjectHooks().ciecie_obrotowe = [](TMDIChild& w) {
    return RunPreparation(w, PrepareCiecieObrotowe);
  };
}

}  // namespace vm
