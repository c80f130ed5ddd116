// Throughput of the HPGL reader on a generated drawing of 100,000 strokes
// (about 10 MB): open, read every figure, close.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "drawing/hpgl.h"

namespace {

struct Drawing {
  QTemporaryDir dir;
  QString path;
  qint64 size = 0;
};

// Each stroke: a pen-up move and a pen-down run of eight points.
const Drawing& GeneratedDrawing() {
  static const std::unique_ptr<Drawing> d = [] {
    auto d = std::make_unique<Drawing>();
    d->path = d->dir.filePath("strokes.plt");
    QByteArray text = "IN;SP1;\n";
    text.reserve(11 * 1024 * 1024);
    for (int i = 0; i < 100000; ++i) {
      const int x = 10000 + (i % 1000) * 97, y = 20000 + (i / 1000) * 89;
      text += "PU" + QByteArray::number(x) + "," + QByteArray::number(y) + ";PD";
      for (int k = 1; k <= 8; ++k) {
        if (k > 1) text += ',';
        text += QByteArray::number(x + k * 13) + "," + QByteArray::number(y + (k * k) % 50);
      }
      text += ";\n";
    }
    text += "PU;SP0;\n";
    QFile f(d->path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
    d->size = text.size();
    return d;
  }();
  return *d;
}

void BM_HpglReader(benchmark::State& state) {
  const Drawing& d = GeneratedDrawing();
  std::int64_t figures = 0;
  for (auto _ : state) {
    vm::Thpgl reader;
    if (reader.Open(d.path, 1) != 0) {
      state.SkipWithError("cannot open the generated drawing");
      return;
    }
    while (!reader.AtEof) {
      vm::tfigura f;
      reader.ReadFigure(f);
      figures += f.Valid ? 1 : 0;
      benchmark::DoNotOptimize(f.Points.data());
    }
    reader.Close();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * d.size);
  state.counters["figures"] =
      benchmark::Counter(static_cast<double>(figures) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_HpglReader)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
