// Plain-cutting preparation of generated drawings: letter-like figures, each
// an outline of 30 points with a hole of 10 points, on a grid inside a drawn
// rectangular frame. Goals (release build), with every connector tested
// against the drawn edges: 5,000 letters (10,000 figures, about 200,000
// points) in a drawn frame under 0.3 s; 10,000 letters under 0.6 s. The
// second argument 0 leaves the drawn frame out: the preparation then adds its
// own and joins the letters one to another in the general pass.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "drawing/figury.h"
#include "project/ciecie.h"
#include "project/okno_plt.h"

namespace {

using Polyline = std::vector<vm::TPointI>;

Polyline Ring(int cx, int cy, double r, double wobble, int n, double phase) {
  Polyline p;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * 3.141592653589793 * k / n + phase;
    const double rr = r * (1 + wobble * std::sin(5 * a));
    p.push_back({cx + int(std::lround(rr * std::cos(a))), cy + int(std::lround(rr * std::sin(a)))});
  }
  p.push_back(p.front());
  return p;
}

std::unique_ptr<vm::TMDIChild> Drawing(int letters, bool drawnFrame) {
  auto w = std::make_unique<vm::TMDIChild>();
  auto add = [&](Polyline pts) {
    auto f = std::make_unique<vm::tfigura>();
    f->Points = std::move(pts);
    w->AddFigure(std::move(f));
  };
  const int cols = int(std::ceil(std::sqrt(double(letters))));
  const int pitch = 1600;  // 40 mm
  for (int k = 0; k < letters; ++k) {
    const int cx = 1000 + (k % cols) * pitch, cy = 1000 + (k / cols) * pitch;
    const double phase = 0.1 * (k % 7);
    add(Ring(cx, cy, 600, 0.15, 30, phase));
    add(Ring(cx + 40, cy - 30, 200, 0.0, 10, phase));
  }
  const int side = cols * pitch + 1000;
  if (drawnFrame) add({{0, 0}, {side, 0}, {side, side}, {0, side}, {0, 0}});
  w->Ustaw_PPiPK();
  w->Width = w->MaxX - w->MinX;
  w->Height = w->MaxY - w->MinY;
  return w;
}

void BM_PlainCutting(benchmark::State& state) {
  const int letters = static_cast<int>(state.range(0));
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = true;
  // Third argument 1: connectors are tested only against the two figures
  // they join (no crossing test, no last-resort joining), for comparison.
  env.KeepCrossingConnectors = state.range(2) != 0;
  std::int64_t points = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = Drawing(letters, state.range(1) != 0);
    points = 0;
    for (const auto& f : w->Figures) points += static_cast<std::int64_t>(f->Points.size());
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
    if (r.Unlinked != 0) state.SkipWithError("figures left unlinked");
  }
  state.counters["figures"] = 2.0 * letters + (state.range(1) != 0 ? 1 : 0);
  state.counters["points"] = static_cast<double>(points);
}

// Rows of words like "OIOI": round letters with holes between thin bars much
// taller than they are, with corners only at their ends, in a drawn frame.
// The letters either side of a bar lie nearer to each other than to its
// corners, so many of the best cuts would go through a bar and the search
// has to find clear ones instead.
void BM_PlainCuttingBars(benchmark::State& state) {
  const int letters = static_cast<int>(state.range(0));
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.KeepCrossingConnectors = state.range(1) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<vm::TMDIChild>();
    auto add = [&](Polyline pts) {
      auto f = std::make_unique<vm::tfigura>();
      f->Points = std::move(pts);
      w->AddFigure(std::move(f));
    };
    const int cols = 2 * int(std::ceil(std::sqrt(double(letters) / 2)));
    const int pitch = 1200, rowPitch = 4000;
    for (int k = 0; k < letters; ++k) {
      const int cx = 800 + (k % cols) * pitch, cy = 2000 + (k / cols) * rowPitch;
      if (k % 2 == 1) {
        add({{cx - 80, cy - 1600},
             {cx + 80, cy - 1600},
             {cx + 80, cy + 1600},
             {cx - 80, cy + 1600},
             {cx - 80, cy - 1600}});
      } else {
        add(Ring(cx, cy, 480, 0.1, 30, 0.1 * (k % 7)));
        add(Ring(cx + 20, cy - 10, 200, 0.0, 12, 0));
      }
    }
    const int rows = (letters + cols - 1) / cols;
    add({{0, 0},
         {cols * pitch + 400, 0},
         {cols * pitch + 400, rows * rowPitch},
         {0, rows * rowPitch},
         {0, 0}});
    w->Ustaw_PPiPK();
    w->Width = w->MaxX - w->MinX;
    w->Height = w->MaxY - w->MinY;
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
    if (!r.UnreachedFigures.empty()) state.SkipWithError("figures left unreached");
    state.counters["blocked"] = r.PairsBlocked;
  }
}

BENCHMARK(BM_PlainCuttingBars)
    ->Args({5000, 0})
    ->Args({5000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Square tiles sharing their edges, 100 by 100: every tile is reached by
// contact from its neighbour, no connector is needed.
void BM_PlainCuttingTiles(benchmark::State& state) {
  const int side = static_cast<int>(state.range(0));
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<vm::TMDIChild>();
    for (int r = 0; r < side; ++r)
      for (int c = 0; c < side; ++c) {
        auto f = std::make_unique<vm::tfigura>();
        const int x = c * 400, y = r * 400;
        f->Points = {{x, y}, {x + 400, y}, {x + 400, y + 400}, {x, y + 400}, {x, y}};
        w->AddFigure(std::move(f));
      }
    w->Ustaw_PPiPK();
    w->Width = w->MaxX - w->MinX;
    w->Height = w->MaxY - w->MinY;
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
    if (r.Unlinked != 0) state.SkipWithError("figures left unlinked");
  }
  state.counters["figures"] = double(side) * side;
}

BENCHMARK(BM_PlainCuttingTiles)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK(BM_PlainCutting)
    ->Args({5000, 1, 0})
    ->Args({5000, 1, 1})
    ->Args({10000, 1, 0})
    ->Args({10000, 1, 1})
    ->Args({5000, 0, 0})
    ->Args({10000, 0, 0})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
