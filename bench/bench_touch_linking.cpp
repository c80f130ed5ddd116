// Plain-cutting preparation of drawings whose figures touch: the contact
// search and the linking of touching figures. Goals (release build, whole
// preparation): a figure touched by 8,000 squares, a 100 x 100 duplication of
// a two-figure part whose copies touch, 8,000 concentric squares, and two
// closed figures of 80,000 points touching next to their starts, each under
// 1 s. Also a two-figure part put through the duplication generator (copies
// apart with the dialog's default spacing, or standing against each other)
// and four overlapping circles of radius 30 m.
// 4,000 short open segments scattered over a plate, alone or inside a
// drawn plate, each under 0.5 s.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "drawing/figury.h"
#include "project/ciecie.h"
#include "project/duplication.h"
#include "project/okno_plt.h"

namespace {

using Polyline = std::vector<vm::TPointI>;

Polyline Rect(int x0, int y0, int x1, int y1) {
  return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A project of figures as a load leaves it: box, size, no depth, no selection.
std::unique_ptr<vm::TMDIChild> Ready(std::unique_ptr<vm::TMDIChild> w) {
  w->Ustaw_PPiPK();
  w->Width = w->MaxX - w->MinX;
  w->Height = w->MaxY - w->MinY;
  w->MaxDepth = 0;
  w->SelectedFigure = -1;
  return w;
}

std::unique_ptr<vm::TMDIChild> Project(const std::vector<Polyline>& figures) {
  auto w = std::make_unique<vm::TMDIChild>();
  for (const auto& pts : figures) {
    auto f = std::make_unique<vm::tfigura>();
    f->Points = pts;
    w->AddFigure(std::move(f));
  }
  return Ready(std::move(w));
}

// A long plate with a vertex every 2.5 mm along its top edge, and a small
// square standing on each of those vertices.
std::vector<Polyline> Hub(int squares) {
  std::vector<Polyline> out;
  Polyline hub{{0, 0}, {100 * squares, 0}};
  for (int k = squares; k >= 0; --k) hub.push_back({100 * k, 1000});
  hub.push_back({0, 0});
  out.push_back(hub);
  for (int k = 0; k < squares; ++k) out.push_back(Rect(100 * k, 1000, 100 * k + 60, 1060));
  return out;
}

// A square part with a small tab square in its corner, copied on a grid
// whose copies meet at their corners.
std::vector<Polyline> Duplication(int n) {
  std::vector<Polyline> out;
  const int p = 800;
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < n; ++c) {
      const int x = c * p, y = r * p;
      out.push_back(Rect(x, y, x + p, y + p));
      out.push_back(Rect(x, y, x + p / 4, y + p / 4));
    }
  return out;
}

std::vector<Polyline> Concentric(int n) {
  std::vector<Polyline> out;
  for (int k = 0; k < n; ++k)
    out.push_back(Rect(-20 * k - 20, -20 * k - 20, 20 * k + 20, 20 * k + 20));
  return out;
}

// Two closed figures of n points each that touch only where the second
// vertex of each lies, so the contact lies at the far end of the
// vertex-by-vertex scan from either side: a long strip above, and below it a
// strip whose second vertex reaches up to the strip's.
std::vector<Polyline> TwoStrips(int n) {
  Polyline a;
  for (int k = 0; k < n / 2; ++k) a.push_back({40 * k, 0});
  for (int k = n / 2 - 1; k >= 0; --k) a.push_back({40 * k, 1000});
  a.push_back(a.front());
  Polyline b{{-100, -200}, {43, -3}, {-100, -400}};
  for (int k = 0; k < n - 4; ++k) b.push_back({40 * k, -1000});
  b.push_back(b.front());
  return {a, b};
}

// Short open segments scattered at random over a plate-sized area.
std::vector<Polyline> Segments(int n) {
  std::vector<Polyline> out;
  std::uint32_t seed = 12345;
  auto next = [&] {
    seed = seed * 1664525u + 1013904223u;
    return int(seed >> 8);
  };
  for (int k = 0; k < n; ++k) {
    const int x = next() % 400000, y = next() % 400000;
    out.push_back({{x, y}, {x + next() % 2000 - 1000, y + next() % 2000 - 1000}});
  }
  return out;
}

void Run(benchmark::State& state, const std::vector<Polyline>& drawing, bool addFrame) {
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = addFrame;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = Project(drawing);
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
  }
  state.counters["figures"] = double(drawing.size());
}

void BM_TouchHub(benchmark::State& state) { Run(state, Hub(int(state.range(0))), false); }
BENCHMARK(BM_TouchHub)
    ->Arg(2000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

void BM_TouchDuplication(benchmark::State& state) {
  Run(state, Duplication(int(state.range(0))), true);
}
BENCHMARK(BM_TouchDuplication)
    ->Arg(40)
    ->Arg(100)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

void BM_TouchConcentric(benchmark::State& state) {
  Run(state, Concentric(int(state.range(0))), true);
}
BENCHMARK(BM_TouchConcentric)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

void BM_TouchTwoStrips(benchmark::State& state) {
  Run(state, TwoStrips(int(state.range(0))), true);
}
BENCHMARK(BM_TouchTwoStrips)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// A part of 40 x 20 mm with a small square piece standing against its right
// edge at the bottom, prepared as the operator would before duplicating it.
std::unique_ptr<vm::TMDIChild> DuplicationSource() {
  auto w = Project({Rect(0, 0, 1600, 800), Rect(1600, 0, 1800, 200)});
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = true;
  vm::PrepareCiecie(*w, env);
  return w;
}

// The duplication generator's copies of that source, n x n, joined by its
// connecting figure: with the dialog's default spacing (10 mm gaps, the
// connecting lines 5 mm from the copies), or with the copies standing
// against each other.
std::unique_ptr<vm::TMDIChild> Duplicated(int n, bool touching) {
  const auto source = DuplicationSource();
  const vm::TDuplicationPattern pattern = vm::PatternOf(*source);
  vm::TDuplicationLayout l;
  l.Columns = n;
  l.Rows = n;
  l.SX = pattern.Width + (touching ? 0 : 400);
  l.SY = pattern.Height + (touching ? 0 : 400);
  l.Step = l.SX / 10;
  l.VLine = touching ? 1 : 200;
  l.HLine = touching ? 1 : 200;
  auto w = std::make_unique<vm::TMDIChild>();
  vm::BuildDuplicateFigures(pattern, l, *w);
  return Ready(std::move(w));
}

void BM_DuplicatedPattern(benchmark::State& state) {
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = true;
  const int n = int(state.range(0));
  const bool touching = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = Duplicated(n, touching);
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_DuplicatedPattern)
    ->Args({40, 0})
    ->Args({100, 0})
    ->Args({40, 1})
    ->Args({60, 1})
    ->Args({100, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// Four circles of radius 30 m, 10 mm apart along X, flattened as a DXF
// circle is (a vertex every 2 mm): each runs within touching distance of the
// others over a long stretch near its top and bottom.
std::vector<Polyline> HugeCircles() {
  std::vector<Polyline> out;
  const double r = 30000.0 * 40;
  const int count = 94248;
  for (int c = 0; c < 4; ++c) {
    Polyline p;
    for (int k = 0; k <= count; ++k) {
      const double a = 2 * 3.141592653589793 * k / count;
      p.push_back({int(std::lround(c * 400 + r * std::cos(a))), int(std::lround(r * std::sin(a)))});
    }
    out.push_back(p);
  }
  return out;
}

void BM_TouchHugeCircles(benchmark::State& state) {
  Run(state, HugeCircles(), state.range(0) != 0);
}
BENCHMARK(BM_TouchHugeCircles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// Serial cutting of a long line doubling back on itself and a short upright
// line standing on it between two of its vertices: every cut between them
// runs along the long line, so the crossing walk goes round every pair.
void BM_SerialCrossingWalk(benchmark::State& state) {
  const int n = int(state.range(0));
  Polyline zigzag;
  for (int k = 0; k < n; ++k) zigzag.push_back({k % 2 == 0 ? 100 * k : 100 * k - 150, 0});
  const int x = 100 * (n / 2) + 25;
  const std::vector<Polyline> drawing{zigzag, {{x, 0}, {x, 500}}};
  vm::TPlainCutEnv env;
  env.Settings.Mode = 3;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = Project(drawing);
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_SerialCrossingWalk)
    ->Arg(16000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

void BM_TouchOpenSegments(benchmark::State& state) {
  Run(state, Segments(int(state.range(0))), true);
}
BENCHMARK(BM_TouchOpenSegments)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// The same segments inside a drawn plate: all of them children of the plate,
// joined to it and to each other one parent at a time.
void BM_TouchOpenSegmentsInPlate(benchmark::State& state) {
  auto drawing = Segments(int(state.range(0)));
  drawing.push_back(Rect(-2000, -2000, 402000, 402000));
  Run(state, drawing, true);
}
BENCHMARK(BM_TouchOpenSegmentsInPlate)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

}  // namespace

BENCHMARK_MAIN();
