// Nesting of a large project: a frame around 5,000 figures with a hole each
// (10,001 figures), the depth and parent search of the plain-cutting path.
#include <benchmark/benchmark.h>

#include <cmath>

#include "project/okno_plt.h"

namespace {

std::unique_ptr<vm::tfigura> Ring(int x0, int y0, int w, int h, int sides) {
  auto f = std::make_unique<vm::tfigura>();
  // A rectangle with extra points along its edges, like a traced letter.
  const int per = sides / 4;
  for (int k = 0; k < per; ++k) f->Points.push_back({x0 + w * k / per, y0});
  for (int k = 0; k < per; ++k) f->Points.push_back({x0 + w, y0 + h * k / per});
  for (int k = 0; k < per; ++k) f->Points.push_back({x0 + w - w * k / per, y0 + h});
  for (int k = 0; k < per; ++k) f->Points.push_back({x0, y0 + h - h * k / per});
  f->Points.push_back({x0, y0});
  return f;
}

// Times the nesting of the project w, its box set once.
void TimeNesting(benchmark::State& state, vm::TMDIChild& w) {
  w.Ustaw_PPiPK();
  for (auto _ : state) {
    w.MaxDepth = 0;
    w.co_w_czym();
    benchmark::DoNotOptimize(w.MaxDepth);
  }
}

void BM_NestingLettersWithHoles(benchmark::State& state) {
  const int letters = int(state.range(0));
  vm::TMDIChild w;
  for (int c = 0; c < letters; ++c) {
    const int x = (c % 100) * 1000, y = (c / 100) * 1000;
    w.AddFigure(Ring(x + 100, y + 100, 800, 800, 40));
    w.AddFigure(Ring(x + 300, y + 300, 400, 400, 20));
  }
  w.AddFigure(Ring(-1000, -1000, 102000, (letters / 100 + 2) * 1000 + 1000, 4));
  TimeNesting(state, w);
  state.counters["figures"] = double(w.Figures.size());
}
BENCHMARK(BM_NestingLettersWithHoles)->Arg(5000)->Unit(benchmark::kMillisecond);

// Squares one inside another, listed from the outermost in: every figure lies
// in every figure before it, the worst case of the enclosure lists. Second
// argument 1: listed from the innermost out, so every figure is moved deeper
// once per figure around it.
void BM_NestingConcentric(benchmark::State& state) {
  const int count = int(state.range(0));
  const bool inward = state.range(1) == 0;
  vm::TMDIChild w;
  for (int q = 0; q < count; ++q) {
    const int k = inward ? q : count - 1 - q;
    const int side = 20 * (count - k) + 1000;
    w.AddFigure(Ring(10 * k, 10 * k, side, side, 4));
  }
  TimeNesting(state, w);
  state.counters["depth"] = w.MaxDepth;
}
BENCHMARK(BM_NestingConcentric)
    ->Args({1000, 0})
    ->Args({3000, 0})
    ->Args({8000, 0})
    ->Args({8000, 1})
    ->Unit(benchmark::kMillisecond);

// Flattened circles one inside another (64 points each), listed from the
// outermost in (second argument 0) or from the innermost out (1): every
// enclosing circle is asked about many times through its edge slabs.
void BM_NestingConcentricCircles(benchmark::State& state) {
  const int count = int(state.range(0));
  const bool inward = state.range(1) == 0;
  vm::TMDIChild w;
  for (int q = 0; q < count; ++q) {
    const int k = inward ? q : count - 1 - q;
    const double r = 20.0 * (count - k) + 1000;
    auto f = std::make_unique<vm::tfigura>();
    for (int v = 0; v < 64; ++v) {
      const double a = 6.283185307179586 * (v + k) / 64;
      f->Points.push_back({int(r * std::cos(a)), int(r * std::sin(a))});
    }
    f->Points.push_back(f->Points.front());
    w.AddFigure(std::move(f));
  }
  TimeNesting(state, w);
  state.counters["depth"] = w.MaxDepth;
}
BENCHMARK(BM_NestingConcentricCircles)
    ->Args({4000, 0})
    ->Args({4000, 1})
    ->Unit(benchmark::kMillisecond);

// Copies of a two-figure part in n x n rows and columns, standing against
// each other, joined by a connecting figure as the duplication generator
// draws it: a serpentine through every copy's first point, with edges as long
// as a copy and row-long returns, and a frame round everything. Nearly every
// copy lies in the serpentine's box, so each is tested against its 40,000
// edges (and its first point lies on one of them).
void BM_NestingAroundConnectingFigure(benchmark::State& state) {
  const int n = int(state.range(0));
  const int w = 1600, h = 800, t = w / 10;
  vm::TMDIChild project;
  for (int r = 0; r < n; ++r) {
    for (int j = 0; j < n; ++j) {
      project.AddFigure(Ring(j * w, r * h, w - 200, h, 4));
      project.AddFigure(Ring(j * w + w - 200, r * h, 200, 200, 4));
    }
  }
  auto line = std::make_unique<vm::tfigura>();
  std::vector<vm::TPointI>& p = line->Points;
  p.push_back({-41, -41});
  p.push_back({-41, (n - 1) * h - 1});
  for (int r = n - 1; r >= 0; --r) {
    const bool fromLeft = (n - 1 - r) % 2 == 0;
    for (int k = 0; k < n; ++k) {
      const int x = (fromLeft ? k : n - 1 - k) * w, y = r * h;
      const int step = fromLeft ? t : -t;
      p.push_back({x, y});
      p.push_back({x + step, y - 1});
      p.push_back({x + (fromLeft ? w : -w) - step, y - 1});
    }
    const int edge = fromLeft ? n * w + 40 : -41;
    p.push_back({edge, r * h - 1});
    if (r > 0) p.push_back({edge, (r - 1) * h - 1});
  }
  p.push_back({n * w + 40, -41});
  p.push_back(p.front());
  project.AddFigure(std::move(line));
  project.AddFigure(Ring(-1000, -1000, n * w + 2000, n * h + 2000, 4));
  TimeNesting(state, project);
  state.counters["figures"] = double(project.Figures.size());
  state.counters["depth"] = project.MaxDepth;
}
BENCHMARK(BM_NestingAroundConnectingFigure)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
