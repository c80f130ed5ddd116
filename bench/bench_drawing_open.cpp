// The File > Open road of DXF drawings, stage by stage: reading the file into
// figures, joining and de-duplication, the plain-cutting preparation, and the
// whole load with the preparation.
//
// Drawings:
// - "squares": 5,000 closed 20 x 20 mm squares drawn as 100,000 LINE pieces
//   (five per side), written in random order and direction, as CAD programs
//   export exploded drawings. Goal: under 250 ms with the preparation.
// - "polylines": 2,000 closed LWPOLYLINEs of 1,000 vertices each, 67 MB with
//   CR LF line ends and right-aligned group codes. Goal: under 600 ms with the
//   preparation, peak memory under twice the file size.
//
// Peak memory (the process's resident maximum, counter "peak_MB") is only
// meaningful for one benchmark run alone, for example
//   bench_drawing_open --benchmark_filter=BM_Open/drawing:1
// It counts everything the process holds at its fullest, the libraries and
// the generator's write buffer included; the reader takes the file through a
// buffer of its own, so the file's text is never held whole.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "drawing/hpgl.h"
#include "project/ciecie.h"
#include "project/figure_collector.h"
#include "project/okno_plt.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

QTemporaryDir& Dir() {
  static QTemporaryDir dir;
  return dir;
}

// Writes the drawing text piece by piece, so the generator holds no copy of
// the whole file.
class DrawingFile {
 public:
  explicit DrawingFile(const char* name) : path_(Dir().filePath(name)), file_(path_) {
    ok_ = file_.open(QIODevice::WriteOnly);
  }
  void Add(const std::string& text) {
    chunk_ += text;
    if (chunk_.size() > (1u << 20)) Flush();
  }
  QString Close() {
    Flush();
    bytes_ = static_cast<std::size_t>(file_.size());
    file_.close();
    return ok_ ? path_ : QString();
  }
  std::size_t Bytes() const { return bytes_; }

 private:
  void Flush() {
    if (file_.write(chunk_.data(), static_cast<qint64>(chunk_.size())) !=
        static_cast<qint64>(chunk_.size()))
      ok_ = false;
    chunk_.clear();
  }
  QString path_;
  QFile file_;
  std::string chunk_;
  bool ok_ = false;
  std::size_t bytes_ = 0;
};

struct Drawing {
  QString path;
  std::size_t bytes = 0;
};

const Drawing& Squares() {
  static const Drawing d = [] {
    struct Piece {
      double x1, y1, x2, y2;
    };
    std::vector<Piece> pieces;
    for (int s = 0; s < 5000; ++s) {
      const double x0 = (s % 100) * 30.0, y0 = (s / 100) * 30.0;
      const double corner[5][2] = {
          {x0, y0}, {x0 + 20, y0}, {x0 + 20, y0 + 20}, {x0, y0 + 20}, {x0, y0}};
      for (int side = 0; side < 4; ++side) {
        for (int k = 0; k < 5; ++k) {
          const double a = k / 5.0, b = (k + 1) / 5.0;
          const double* p = corner[side];
          const double* q = corner[side + 1];
          pieces.push_back({p[0] + (q[0] - p[0]) * a, p[1] + (q[1] - p[1]) * a,
                            p[0] + (q[0] - p[0]) * b, p[1] + (q[1] - p[1]) * b});
        }
      }
    }
    std::mt19937 rng(16);
    std::shuffle(pieces.begin(), pieces.end(), rng);
    DrawingFile f("squares.dxf");
    f.Add("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    char text[256];
    int handle = 0;
    for (Piece p : pieces) {
      if (rng() % 2) p = {p.x2, p.y2, p.x1, p.y1};
      std::snprintf(
          text, sizeof text,
          "  0\r\nLINE\r\n  5\r\n%X\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n100\r\nAcDbLine\r\n"
          " 10\r\n%.4f\r\n 20\r\n%.4f\r\n 30\r\n0.0\r\n 11\r\n%.4f\r\n 21\r\n%.4f\r\n"
          " 31\r\n0.0\r\n",
          ++handle, p.x1, p.y1, p.x2, p.y2);
      f.Add(text);
    }
    f.Add("  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    const QString path = f.Close();
    return Drawing{path, f.Bytes()};
  }();
  return d;
}

const Drawing& Polylines() {
  static const Drawing d = [] {
    DrawingFile f("polylines.dxf");
    f.Add("  0\r\nSECTION\r\n  2\r\nENTITIES\r\n");
    char text[128];
    for (int e = 0; e < 2000; ++e) {
      // Wavy closed outlines of about 36 mm on a 40 mm grid.
      const double cx = (e % 50) * 40.0, cy = (e / 50) * 40.0;
      std::snprintf(text, sizeof text,
                    "  0\r\nLWPOLYLINE\r\n  5\r\n%X\r\n100\r\nAcDbEntity\r\n  8\r\n0\r\n"
                    "100\r\nAcDbPolyline\r\n 90\r\n     1000\r\n 70\r\n     1\r\n 43\r\n0.0\r\n",
                    e + 1);
      f.Add(text);
      for (int v = 0; v < 1000; ++v) {
        const double a = 2 * kPi * v / 1000;
        const double r = 15 + 2 * std::sin(7 * a + e);
        std::snprintf(text, sizeof text, " 10\r\n%.6f\r\n 20\r\n%.6f\r\n", cx + r * std::cos(a),
                      cy + r * std::sin(a));
        f.Add(text);
      }
    }
    f.Add("  0\r\nENDSEC\r\n  0\r\nEOF\r\n");
    const QString path = f.Close();
    return Drawing{path, f.Bytes()};
  }();
  return d;
}

const Drawing& Pick(int which) { return which == 0 ? Squares() : Polylines(); }

double PeakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

std::vector<std::unique_ptr<vm::tfigura>> ReadAll(const QString& path) {
  std::vector<std::unique_ptr<vm::tfigura>> out;
  vm::Thpgl reader;
  if (reader.Open(path, 2) != 0) return out;
  auto figure = std::make_unique<vm::tfigura>();
  while (!reader.AtEof) {
    reader.ReadFigure(*figure);
    if (!figure->Valid) continue;
    out.push_back(std::move(figure));
    figure = std::make_unique<vm::tfigura>();
  }
  reader.Close();
  return out;
}

vm::TPlainCutEnv PlainCutting() {
  vm::TPlainCutEnv env;
  env.Settings.Mode = 2;
  env.Settings.AddFrame = true;
  return env;
}

void SetCounters(benchmark::State& state, const Drawing& d, std::size_t figures) {
  state.counters["figures"] = static_cast<double>(figures);
  state.counters["file_MB"] = static_cast<double>(d.bytes) / (1 << 20);
  state.counters["peak_MB"] = PeakMb();
}

// Reading alone: the figures as the reader delivers them.
void BM_Read(benchmark::State& state) {
  const Drawing& d = Pick(static_cast<int>(state.range(0)));
  std::size_t figures = 0;
  for (auto _ : state) figures = ReadAll(d.path).size();
  if (figures == 0) state.SkipWithError("the drawing was not read");
  SetCounters(state, d, figures);
}

// Joining the pieces and dropping duplicates, on figures already read.
void BM_JoinAndDeduplicate(benchmark::State& state) {
  const Drawing& d = Pick(static_cast<int>(state.range(0)));
  const auto read = ReadAll(d.path);
  std::size_t figures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::unique_ptr<vm::tfigura>> copies;
    copies.reserve(read.size());
    for (const auto& f : read) copies.push_back(std::make_unique<vm::tfigura>(*f));
    state.ResumeTiming();
    vm::TFigureCollector collector;
    for (auto& f : copies) collector.Add(std::move(f));
    figures = collector.Take().size();
  }
  SetCounters(state, d, figures);
}

// The plain-cutting preparation of the loaded project.
void BM_Prepare(benchmark::State& state) {
  const Drawing& d = Pick(static_cast<int>(state.range(0)));
  const vm::TPlainCutEnv env = PlainCutting();
  std::size_t figures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto w = std::make_unique<vm::TMDIChild>();
    if (!w->Load(d.path)) {
      state.SkipWithError("load failed");
      return;
    }
    state.ResumeTiming();
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
    figures = w->Figures.size();
    state.PauseTiming();
    w.reset();
    state.ResumeTiming();
  }
  SetCounters(state, d, figures);
}

// The whole road: the project window's load, then the preparation.
void BM_Open(benchmark::State& state) {
  const Drawing& d = Pick(static_cast<int>(state.range(0)));
  const vm::TPlainCutEnv env = PlainCutting();
  std::size_t figures = 0;
  for (auto _ : state) {
    auto w = std::make_unique<vm::TMDIChild>();
    if (!w->Load(d.path)) {
      state.SkipWithError("load failed");
      return;
    }
    const vm::TPlainCutResult r = vm::PrepareCiecie(*w, env);
    benchmark::DoNotOptimize(r);
    figures = w->Figures.size();
  }
  SetCounters(state, d, figures);
}

// The load alone (reading, joining, de-duplication, box), for comparison.
void BM_Load(benchmark::State& state) {
  const Drawing& d = Pick(static_cast<int>(state.range(0)));
  std::size_t figures = 0;
  for (auto _ : state) {
    vm::TMDIChild w;
    if (!w.Load(d.path)) {
      state.SkipWithError("load failed");
      return;
    }
    figures = w.Figures.size();
  }
  SetCounters(state, d, figures);
}

void Drawings(benchmark::internal::Benchmark* b) {
  b->ArgName("drawing")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0);
}

BENCHMARK(BM_Read)->Apply(Drawings);
BENCHMARK(BM_JoinAndDeduplicate)->Apply(Drawings);
BENCHMARK(BM_Load)->Apply(Drawings);
BENCHMARK(BM_Prepare)->Apply(Drawings);
BENCHMARK(BM_Open)->Apply(Drawings);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
