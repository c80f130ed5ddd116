// Walking the plain-cutting tree of a large generated project: 20,000 closed
// figures of 25 points each, every one reached from the previous through a
// connector, as the saver walks it for a job file.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "drawing/figury.h"
#include "project/cut_path.h"
#include "project/okno_plt.h"

namespace {

std::unique_ptr<vm::TMDIChild> ChainedProject(int figures) {
  auto w = std::make_unique<vm::TMDIChild>();
  constexpr int kPoints = 25;
  auto add = [&](std::vector<vm::TPointI> pts, std::uint8_t typ) {
    auto f = std::make_unique<vm::tfigura>();
    f->Points = std::move(pts);
    f->typ = typ;
    f->LinkParent = -1;
    w->Figures.push_back(std::move(f));
    return static_cast<std::int32_t>(w->Figures.size()) - 1;
  };
  std::int32_t previous = -1;
  for (int k = 0; k < figures; ++k) {
    const int cx = (k % 200) * 1000, cy = (k / 200) * 1000;
    std::vector<vm::TPointI> ring;
    for (int i = 0; i < kPoints; ++i) {
      const double a = 2 * 3.14159265358979 * (i % (kPoints - 1)) / (kPoints - 1);
      ring.push_back(
          {cx + static_cast<int>(300 * std::cos(a)), cy + static_cast<int>(300 * std::sin(a))});
    }
    const std::int32_t fig = add(ring, 1);
    if (previous >= 0) {
      // A connector from the previous ring's vertex 6 to this ring's vertex 0.
      const vm::TPointI from = w->Figures[static_cast<std::size_t>(previous)]->Points[6];
      const std::int32_t conn = add({from, ring[0]}, 0);
      auto& c = *w->Figures[static_cast<std::size_t>(conn)];
      c.Kind = 3;
      c.LinkParent = previous;
      c.LinkVertex = 6;
      auto& f = *w->Figures[static_cast<std::size_t>(fig)];
      f.LinkParent = conn;
      f.LinkVertex = 1;
    }
    previous = fig;
  }
  w->FirstFigure = 0;
  return w;
}

void BM_WalkCutPath(benchmark::State& state) {
  const auto w = ChainedProject(static_cast<int>(state.range(0)));
  std::size_t items = 0;
  for (auto _ : state) {
    const vm::TCutPath path = vm::WalkCutPath(*w);
    items = path.Items.size();
    benchmark::DoNotOptimize(items);
  }
  state.counters["items"] = static_cast<double>(items);
}
BENCHMARK(BM_WalkCutPath)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
