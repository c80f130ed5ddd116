// Duplication of a detailed part: a 100 mm gear-like outline of 4,000 points
// with a round hole of 720 points, 10 x 10 copies. The connecting figure is
// checked against the copies and, the hole being listed after the outline,
// routed along the gaps between them.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "project/duplication.h"
#include "project/duplication_route.h"

namespace {

std::unique_ptr<vm::tfigura> Round(double cx, double cy, double r, double tooth, int n) {
  auto f = std::make_unique<vm::tfigura>();
  for (int k = 0; k <= n; ++k) {
    const double a = 2 * std::numbers::pi * (k % n) / n;
    const double rr = r + tooth * ((k / 20) % 2);  // teeth of 20 points
    f->Points.push_back({static_cast<std::int32_t>(std::lround(cx + rr * std::cos(a))),
                         static_cast<std::int32_t>(std::lround(cy + rr * std::sin(a)))});
  }
  return f;
}

struct Sheet {
  vm::TMDIChild source;
  vm::TDuplicationPattern pattern;
  vm::TDuplicationLayout layout;
  Sheet() {
    source.AddFigure(Round(2000, 2000, 1800, 200, 4000));
    source.AddFigure(Round(2000, 2000, 600, 0, 720));
    source.Ustaw_PPiPK();
    pattern = vm::PatternOf(source);
    const std::int32_t SX = pattern.Width + 400, SY = pattern.Height + 400;
    layout = {10, 10, SX, SY, SX / 10, 200, 200};
  }
};

void BM_DuplicateGearWithHole(benchmark::State& state) {
  Sheet s;
  for (auto _ : state) {
    vm::TMDIChild target;
    vm::BuildDuplicateFigures(s.pattern, s.layout, target);
    benchmark::DoNotOptimize(target.Figures.back()->Points.size());
  }
}
BENCHMARK(BM_DuplicateGearWithHole)->Unit(benchmark::kMillisecond);

// The check alone, of the finished connecting figure against all copies.
void BM_ConnectorClearanceCheck(benchmark::State& state) {
  Sheet s;
  vm::TMDIChild target;
  vm::BuildDuplicateFigures(s.pattern, s.layout, target);
  const std::vector<vm::TPointI> link = target.Figures.back()->Points;
  for (auto _ : state) {
    const vm::TPatternClearance clearance(s.pattern, s.layout);
    benchmark::DoNotOptimize(clearance.RouteClear(link));
  }
}
BENCHMARK(BM_ConnectorClearanceCheck)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
