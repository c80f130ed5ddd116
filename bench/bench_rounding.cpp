// Placeholder benchmark: the cost of the checked Round used on every coordinate.
#include <benchmark/benchmark.h>

#include "drawing/rounding.h"

static void BM_Round(benchmark::State& state) {
  double v = 0.25;
  for (auto _ : state) {
    benchmark::DoNotOptimize(vm::Round(v));
    v += 1.0;
    if (v > 1e9) v = 0.25;
  }
}
BENCHMARK(BM_Round);
BENCHMARK_MAIN();
