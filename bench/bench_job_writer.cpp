// Writing a plain-cutting job of 300,000 moves (about 4 MiB) through the job
// writer, file included.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <vector>

#include "drawing/job_writer.h"
#include "drawing/points.h"

namespace {

// A meander of long straight runs with a corner every 16 moves and a few short
// moves, so every rule of the move encoding is exercised.
std::vector<vm::TPointI> Path(int moves) {
  std::vector<vm::TPointI> points;
  points.reserve(static_cast<std::size_t>(moves) + 1);
  vm::TPointI p{0, 0};
  points.push_back(p);
  int dir = 1;
  for (int i = 1; i <= moves; ++i) {
    if (i % 16 == 0) {
      p.Y += 400;  // a corner
      dir = -dir;
    } else if (i % 16 == 7) {
      p.X += dir * 60;  // a short move
    } else {
      p.X += dir * 1200;
    }
    points.push_back(p);
  }
  return points;
}

void BM_WriteJob(benchmark::State& state) {
  const int moves = static_cast<int>(state.range(0));
  const std::vector<vm::TPointI> path = Path(moves);
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("out.cn"));
  vm::JobSettings settings;
  settings.CalibrationX = 1.01;
  qint64 bytes = 0;
  for (auto _ : state) {
    vm::JobWriter w;
    w.BeginJob(file, settings);
    w.SetStart(0, 0, 0);
    for (const vm::TPointI& p : path) w.MoveTo(p.X, p.Y);
    w.EndJob();
    bytes = QFileInfo(file).size();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  state.counters["file_MiB"] = static_cast<double>(bytes) / (1 << 20);
}
BENCHMARK(BM_WriteJob)->Arg(300000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
