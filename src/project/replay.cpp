// The simulation replay (see replay.h).
#include "project/replay.h"

#include <algorithm>
#include <cmath>

#include "drawing/figury.h"
#include "drawing/matma.h"
#include "drawing/rounding.h"
#include "project/cut_path.h"
#include "project/okno_plt.h"

namespace vm {

namespace {

std::int64_t Sign(std::int64_t v) { return (v > 0) - (v < 0); }

int StepCoordinate(int from, int to, std::int64_t i, std::int64_t n) {
  const std::int64_t d = std::int64_t{to} - from;
  // Integer division truncates toward zero, as the step rule wants.
  const std::int64_t at = from + (2 * i * d + (n + 1) * Sign(d)) / (2 * n);
  return static_cast<int>(std::clamp<std::int64_t>(at, std::min(from, to), std::max(from, to)));
}

}  // namespace

std::vector<QPoint> AnimationSteps(QPoint from, QPoint to) {
  const double dx = static_cast<double>(to.x()) - from.x();
  const double dy = static_cast<double>(to.y()) - from.y();
  const std::int64_t n = Round64(std::sqrt(dx * dx + dy * dy));
  std::vector<QPoint> steps;
  if (n < 1) return steps;
  steps.reserve(static_cast<std::size_t>(n));
  for (std::int64_t i = 1; i <= n; ++i)
    steps.emplace_back(StepCoordinate(from.x(), to.x(), i, n),
                       StepCoordinate(from.y(), to.y(), i, n));
  return steps;
}

TReplay::TReplay(TMDIChild& w, const TViewTransform& t, const TViewSettings& s,
                 TReplayCanvas& canvas, AbortProbe& probe)
    : w_(w), t_(t), s_(s), canvas_(canvas), probe_(probe) {}

void TReplay::Run() {
  if (!t_.Valid) return;
  if (s_.PlainCutting()) {
    PlainCutting();
  } else if (s_.TurningOnAxis()) {
    Turning(false);
  } else if (s_.Mode == 1) {
    Turning(true);
  }
}

bool TReplay::Step() {
  if (!probe_.aborted()) return true;
  w_.SimulationAborted = true;
  return false;
}

bool TReplay::Travel(QPoint target) {
  for (const QPoint p : AnimationSteps(pen_, target)) {
    pen_ = p;
    canvas_.Wait(1);
    if (!Step()) return false;
  }
  return true;
}

bool TReplay::Cut(QPoint target) {
  for (const QPoint p : AnimationSteps(pen_, target)) {
    canvas_.Dot(p);
    canvas_.Wait(2);
    if (!Step()) return false;
  }
  pen_ = target;
  return true;
}

void TReplay::Pause() { canvas_.Wait(Round(s_.Pauza_w_kacie / 4)); }

bool TReplay::Sharp(std::int32_t figure, std::int32_t vertex) const {
  const auto& recs = w_.Figures[static_cast<std::size_t>(figure)]->VertexRecs;
  if (vertex < 0 || static_cast<std::size_t>(vertex) >= recs.size()) return false;
  return std::abs(recs[static_cast<std::size_t>(vertex)].Angle) > kSharpAngle;
}

void TReplay::PlainCutting() {
  w_.SimulationAborted = false;
  pen_ = t_.ToPixel(TPointI{w_.MinX, w_.MinY});
  canvas_.RecalibrateWait();
  canvas_.SetPen(kReplayColour, TPenMode::Copy);
  TCutPathRules rules;
  rules.Serial = s_.Mode == 3;
  // A project of one open figure is entered at the end the feed direction
  // asks for; the project keeps its own entry vertex.
  if (w_.SingleOpenFigure) {
    const std::int32_t entry = SingleOpenFigureEntry(w_, w_.FeedDirection);
    if (entry >= 0) rules.FirstEntry = entry;
  }
  const TCutPath path = WalkCutPath(w_, rules);
  if (path.FirstFigure < 0) return;
  pen_ = t_.ToPixel(path.Start);
  bool lastPaused = false;  // the previously drawn vertex paused
  for (const TCutItem& item : path.Items) {
    switch (item.kind) {
      case TCutItem::Kind::Enter:
        Pause();
        break;
      case TCutItem::Kind::Return:
        if (!Cut(t_.ToPixel(item.point))) return;
        if (Sharp(item.figure, item.vertex)) Pause();
        break;
      case TCutItem::Kind::Cut: {
        const bool open = w_.Figures[static_cast<std::size_t>(item.figure)]->typ == 0;
        if (open && item.walkVertexZero && !lastPaused) Pause();
        if (!Cut(t_.ToPixel(item.point))) return;
        lastPaused = Sharp(item.figure, item.vertex);
        if (lastPaused) Pause();
        break;
      }
    }
    if (w_.SimulationAborted) return;
  }
}

void TReplay::Turning(bool rotary) {
  const QPoint corner = t_.ToPixel(TPointI{w_.MinX, w_.MinY});
  pen_ = corner;
  canvas_.RecalibrateWait();
  canvas_.SetPen(kReplayColour, TPenMode::Merge);
  TPointI pos = rotary ? TPointI{0, 0} : TPointI{0, 1000000};
  for (const auto& fp : w_.Figures) {
    const tfigura& f = *fp;
    if (!f.Cut || (!rotary && f.OrderNo == 0) || f.Points.empty()) continue;
    bool forward = true;
    if (s_.CatDir == 1) forward = false;
    if (s_.CatDir == 2)
      forward = DistanceI(pos, f.Points.back()) > DistanceI(pos, f.Points.front());
    const std::size_t n = f.Points.size();
    auto at = [&](std::size_t k) { return f.Points[forward ? k : n - 1 - k]; };
    if (!Travel(t_.ToPixel(at(0)))) return;
    for (std::size_t k = 1; k < n; ++k) {
      if (!Cut(t_.ToPixel(at(k)))) return;
    }
    pos = at(n - 1);
  }
  Travel(corner);
}

}  // namespace vm
