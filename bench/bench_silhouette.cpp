// One serial-cut step of a large model: a sphere of 1000 mm in 1,000,000
// triangles turned, rasterised into the silhouette grid and traced, at 1, 2,
// 4 and 8 threads, next to the plain single-threaded rasterising; and reading
// the same model from its ".RAW" file.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>

#include "drawing/definicje.h"
#include "model3d/outline_trace.h"
#include "model3d/rasterise_thread.h"
#include "model3d/raw_reader.h"
#include "model3d/silhouette_grid.h"

namespace {

// A sphere of the given diameter (mm) on its south pole at the origin, in
// 2 x stacks x slices triangles.
std::vector<vm::TRawTrojkat> Sphere(double diameter, int stacks, int slices) {
  const double r = diameter / 2;
  auto vertex = [&](int i, int j) {
    const double theta = std::numbers::pi * i / stacks;
    const double phi = 2 * std::numbers::pi * j / slices;
    return std::array<float, 3>{float(r * std::sin(theta) * std::cos(phi)),
                                float(r - r * std::cos(theta)),
                                float(r * std::sin(theta) * std::sin(phi))};
  };
  std::vector<vm::TRawTrojkat> out;
  out.reserve(std::size_t(2) * stacks * slices);
  auto add = [&](std::array<float, 3> a, std::array<float, 3> b, std::array<float, 3> c) {
    out.push_back({a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]});
  };
  for (int i = 0; i < stacks; ++i) {
    for (int j = 0; j < slices; ++j) {
      add(vertex(i, j), vertex(i + 1, j), vertex(i + 1, j + 1));
      add(vertex(i, j), vertex(i + 1, j + 1), vertex(i, j + 1));
    }
  }
  return out;
}

// The sphere as the reader would publish it.
void LoadSphere() {
  static const std::vector<vm::TRawTrojkat> sphere = Sphere(1000, 500, 1000);
  if (vm::ModelTriangles.size() == sphere.size()) return;
  vm::ModelTriangles = sphere;
  vm::ModelExtents = {-500, 0, -500, 500, 1000, 500, {}};
  vm::ModelSize[0] = vm::ModelSize[1] = vm::ModelSize[2] = 1000;
  vm::ModelCentreX = 0;
  vm::ModelCentreY = 500;
  vm::ModelCentreZ = 0;
  vm::UstawRozmiarSiatki();
}

// One step: rasterise (on `threads` threads) and trace, as the generator does.
void BM_SphereStep(benchmark::State& state) {
  LoadSphere();
  vm::ModelAngle = 30;
  vm::TOutlineTracer tracer;
  for (auto _ : state) {
    vm::TRawDoPix step(std::int32_t(state.range(0)), nullptr);
    step.Execute();
    if (!step.Completed()) state.SkipWithError("step not completed");
    tracer.SledzObrys();
    benchmark::DoNotOptimize(vm::TracedFigures.size());
  }
  state.counters["threads"] = double(state.range(0));
  state.counters["cols"] = vm::GridCols;
  state.counters["rows"] = vm::GridRows;
}
BENCHMARK(BM_SphereStep)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2);

// A whole run of 18 steps (0 to 170 degrees) on 8 threads.
void BM_SphereEighteenSteps(benchmark::State& state) {
  LoadSphere();
  vm::TOutlineTracer tracer;
  for (auto _ : state) {
    for (int k = 0; k < 18; ++k) {
      vm::ModelAngle = 10.0 * k;
      vm::TRawDoPix step(8, nullptr);
      step.Execute();
      if (!step.Completed()) state.SkipWithError("step not completed");
      tracer.SledzObrys();
      benchmark::DoNotOptimize(vm::TracedFigures.size());
    }
  }
}
BENCHMARK(BM_SphereEighteenSteps)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// The same step by the plain algorithm on one thread (the reference).
void BM_SphereStepPlain(benchmark::State& state) {
  LoadSphere();
  vm::ModelAngle = 30;
  vm::TOutlineTracer tracer;
  for (auto _ : state) {
    vm::TRawDoPix step(1, nullptr);
    if (!step.RasteryzujJednowatkowo()) state.SkipWithError("step not completed");
    tracer.SledzObrys();
    benchmark::DoNotOptimize(vm::TracedFigures.size());
  }
}
BENCHMARK(BM_SphereStepPlain)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// Reading the sphere's ".RAW" file (about 1,000,000 lines).
void BM_ReadSphereRaw(benchmark::State& state) {
  static QTemporaryDir dir;
  const QString path = dir.filePath("sphere.raw");
  if (!QFile::exists(path)) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return state.SkipWithError("cannot write the model");
    for (const vm::TRawTrojkat& t : Sphere(1000, 500, 1000)) {
      const float v[9] = {t.X1, t.Y1, t.Z1, t.X2, t.Y2, t.Z2, t.X3, t.Y3, t.Z3};
      QByteArray line;
      for (int k = 0; k < 9; ++k) {
        if (k) line += ' ';
        line += QByteArray::number(v[k], 'f', 4);
      }
      f.write(line + "\r\n");
    }
  }
  state.counters["MB"] = double(QFile(path).size()) / 1048576.0;
  for (auto _ : state) {
    vm::ModelExtents.FileName = path;
    vm::TRAWodczytWatek reader(0, nullptr);
    reader.Execute();
    if (reader.Outcome() != vm::TRAWodczytWatek::TOutcome::Read) state.SkipWithError("not read");
    benchmark::DoNotOptimize(vm::ModelTriangles.size());
  }
}
BENCHMARK(BM_ReadSphereRaw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
