// Reading speed of the DXF reader on a generated 50 MB drawing of LWPOLYLINEs.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <string>

#include "drawing/figury.h"
#include "drawing/hpgl.h"

namespace {

// A drawing as a typical CAD program writes it: right-aligned group codes,
// CR LF line ends, closed polylines of 24 vertices with 4 decimals.
QString MakeDrawing(const QTemporaryDir& dir, std::size_t targetBytes, std::size_t& bytes) {
  std::string text = "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
  text.reserve(targetBytes + 4096);
  char line[64];
  unsigned seed = 12345;
  int entity = 0;
  while (text.size() < targetBytes) {
    text += "  0\r\nLWPOLYLINE\r\n  5\r\n";
    std::snprintf(line, sizeof line, "%X\r\n", ++entity);
    text += line;
    text +=
        "100\r\nAcDbEntity\r\n  8\r\n0\r\n100\r\nAcDbPolyline\r\n 90\r\n       24\r\n 70\r\n"
        "     1\r\n 43\r\n0.0\r\n";
    const double ox = (entity % 200) * 20.0, oy = (entity / 200 % 100) * 20.0;
    for (int v = 0; v < 24; ++v) {
      seed = seed * 1103515245u + 12345u;
      const double x = ox + (seed >> 16) % 10000 / 1000.0;
      seed = seed * 1103515245u + 12345u;
      const double y = oy + (seed >> 16) % 10000 / 1000.0;
      std::snprintf(line, sizeof line, " 10\r\n%.4f\r\n 20\r\n%.4f\r\n", x, y);
      text += line;
    }
  }
  text += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
  bytes = text.size();
  const QString path = dir.filePath("bench.dxf");
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) ||
      f.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()))
    return {};
  return path;
}

void BM_DxfReader(benchmark::State& state) {
  static QTemporaryDir dir;
  static std::size_t bytes = 0;
  static const QString path = MakeDrawing(dir, 50u << 20, bytes);
  if (path.isEmpty()) {
    state.SkipWithError("cannot write the drawing");
    return;
  }
  std::size_t points = 0;
  for (auto _ : state) {
    vm::Thpgl reader;
    if (reader.Open(path, 2) != 0) {
      state.SkipWithError("cannot open the drawing");
      return;
    }
    vm::tfigura figure;
    while (!reader.AtEof) {
      figure.Points.clear();
      reader.ReadFigure(figure);
      points += figure.Points.size();
    }
    reader.Close();
    benchmark::DoNotOptimize(points);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_DxfReader)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
