// Loading a drawing of many separate pieces into a project: reading, joining
// the pieces into closed contours and checking for duplicates. The drawing
// has 5,000 twenty-sided contours drawn as 100,000 separate two-point pieces
// (HPGL pen-down runs or DXF LINE entities), every other piece drawn backwards.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>

#include "project/okno_plt.h"

namespace {

constexpr int kContours = 5000;
constexpr int kSides = 20;

struct Corner {
  int x, y;
};

std::vector<Corner> Contour(int c) {
  const int cx = (c % 100) * 1000 + 500;
  const int cy = (c / 100) * 1000 + 500;
  std::vector<Corner> corners;
  for (int k = 0; k < kSides; ++k) {
    const double a = 2 * std::numbers::pi * k / kSides;
    corners.push_back(
        {cx + int(std::lround(400 * std::cos(a))), cy + int(std::lround(400 * std::sin(a)))});
  }
  return corners;
}

QByteArray HpglPieces() {
  QByteArray text = "IN;SP1;";
  for (int c = 0; c < kContours; ++c) {
    const auto corners = Contour(c);
    for (int k = 0; k < kSides; ++k) {
      Corner a = corners[k], b = corners[(k + 1) % kSides];
      if (k % 2) std::swap(a, b);
      text += "PU" + QByteArray::number(a.x) + "," + QByteArray::number(a.y) + ";PD" +
              QByteArray::number(b.x) + "," + QByteArray::number(b.y) + ";PU;\n";
    }
  }
  return text;
}

// The same pieces as DXF LINE entities in mm (40 plotter units a mm).
QByteArray DxfPieces() {
  QByteArray text = "0\nSECTION\n2\nENTITIES\n";
  auto mm = [](int units) { return QByteArray::number(units / 40.0, 'f', 3); };
  for (int c = 0; c < kContours; ++c) {
    const auto corners = Contour(c);
    for (int k = 0; k < kSides; ++k) {
      Corner a = corners[k], b = corners[(k + 1) % kSides];
      if (k % 2) std::swap(a, b);
      text += "0\nLINE\n8\n0\n10\n" + mm(a.x) + "\n20\n" + mm(a.y) + "\n11\n" + mm(b.x) + "\n21\n" +
              mm(b.y) + "\n";
    }
  }
  return text + "0\nENDSEC\n0\nEOF\n";
}

// One long open polyline of 100,000 pieces drawn one after another.
QByteArray HpglChain() {
  QByteArray text = "IN;SP1;";
  for (int k = 0; k < kContours * kSides; ++k) {
    const int x = (k % 1000) * 100, y = (k / 1000) * 100 + (k % 2) * 50;
    const int x2 = ((k + 1) % 1000) * 100, y2 = ((k + 1) / 1000) * 100 + ((k + 1) % 2) * 50;
    text += "PU" + QByteArray::number(x) + "," + QByteArray::number(y) + ";PD" +
            QByteArray::number(x2) + "," + QByteArray::number(y2) + ";PU;\n";
  }
  return text;
}

void LoadFile(benchmark::State& state, const QByteArray& bytes, const char* name) {
  QTemporaryDir dir;
  const QString path = dir.filePath(name);
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
    state.SkipWithError("cannot write the drawing");
    return;
  }
  f.close();
  std::size_t figures = 0;
  for (auto _ : state) {
    vm::TMDIChild w;
    if (!w.Load(path)) {
      state.SkipWithError("load failed");
      return;
    }
    figures = w.Figures.size();
  }
  state.counters["figures"] = double(figures);
  state.SetItemsProcessed(state.iterations() * kContours * kSides);
}

void BM_LoadHpglPieces(benchmark::State& state) {
  static const QByteArray bytes = HpglPieces();
  LoadFile(state, bytes, "strokes.plt");
}
BENCHMARK(BM_LoadHpglPieces)->Unit(benchmark::kMillisecond);

void BM_LoadHpglChain(benchmark::State& state) {
  static const QByteArray bytes = HpglChain();
  LoadFile(state, bytes, "chain.plt");
}
BENCHMARK(BM_LoadHpglChain)->Unit(benchmark::kMillisecond);

void BM_LoadDxfPieces(benchmark::State& state) {
  static const QByteArray bytes = DxfPieces();
  LoadFile(state, bytes, "pieces.dxf");
}
BENCHMARK(BM_LoadDxfPieces)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
