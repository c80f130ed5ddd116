// Rasterising a turned model on several threads.
#include "model3d/parallel_raster.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "drawing/errors.h"
#include "drawing/rounding.h"
#include "model3d/silhouette_grid.h"

namespace vm {

std::int32_t RasterThreadCount = 0;

std::int32_t RasterThreads(std::int32_t wanted) {
  if (wanted > 0) return std::min(wanted, 256);
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : std::int32_t(std::min(cores, 256u));
}

namespace {

using silhouette::Lerp;
using silhouette::TTurn;

// Sample parameters i / m of a segment of m + 1 samples, kept for the short
// segments that make up nearly all of a model: the same doubles the division
// gives, without a division per sample.
class TSampleTable {
 public:
  static constexpr std::int32_t kMaxM = 256;
  TSampleTable() {
    std::size_t pos = 0;
    for (std::int32_t m = 1; m <= kMaxM; ++m) {
      start_[m] = pos;
      for (std::int32_t i = 0; i <= m; ++i) t_[pos++] = double(i) / m;
    }
  }
  const double* Row(std::int32_t m) const { return &t_[start_[m]]; }

 private:
  std::array<std::size_t, kMaxM + 1> start_{};
  std::array<double, (kMaxM + 1) * (kMaxM + 2) / 2> t_{};
};

const TSampleTable& SampleTable() {
  static const TSampleTable table;
  return table;
}

// 2^52 + 2^51: adding and taking it away rounds a double below 2^51 to the
// nearest integer, halves to even, in the default rounding mode.
constexpr double kRoundMagic = 6755399441055744.0;

// What every thread of a step shares.
struct TShared {
  const std::vector<TRawTrojkat>* Model = nullptr;
  TTurn Turn;
  std::int32_t Cols = 0, Rows = 0;
  std::uint8_t* Marks = nullptr;  // column-major, (Cols + 1) x (Rows + 1)
  const std::function<bool()>* Stop = nullptr;
  std::atomic<std::size_t> Next{0};  // first triangle of the next chunk
  std::atomic<bool> Stopped{false};
  std::mutex ErrorLock;
  std::exception_ptr Error;
};

class TMarker {
 public:
  explicit TMarker(TShared& s)
      : s_(s),
        table_(SampleTable()),
        cols_(s.Cols),
        rows_(s.Rows),
        halfCols_(s.Cols / 2.0),
        halfRows_(s.Rows / 2.0),
        stride_(std::size_t(s.Rows) + 1) {}

  // Marks the triangles of chunks taken in turn until none is left or the
  // step is stopped. False when stopped.
  bool Run() {
    constexpr std::size_t kChunk = 1024;
    const std::vector<TRawTrojkat>& model = *s_.Model;
    for (;;) {
      const std::size_t first = s_.Next.fetch_add(kChunk, std::memory_order_relaxed);
      if (first >= model.size()) return true;
      const std::size_t last = std::min(model.size(), first + kChunk);
      for (std::size_t k = first; k < last; ++k) {
        if (StopNow()) return false;
        TRawTrojkat t = model[k];
        silhouette::TurnTriangle(s_.Turn, t);
        if (!Triangle(t)) return false;
      }
    }
  }

 private:
  bool StopNow() {
    if (s_.Stopped.load(std::memory_order_relaxed)) return true;
    if ((*s_.Stop)()) {
      s_.Stopped.store(true, std::memory_order_relaxed);
      return true;
    }
    return false;
  }

  // The fan of segments of RasteryzujTrojkat.
  bool Triangle(TRawTrojkat& t) {
    silhouette::SortByZ(t);
    const TPoint3F first{t.X1, t.Y1, t.Z1}, second{t.X2, t.Y2, t.Z2}, third{t.X3, t.Y3, t.Z3};
    const bool finite = std::isfinite(t.X1) && std::isfinite(t.Y1) && std::isfinite(t.X2) &&
                        std::isfinite(t.Y2) && std::isfinite(t.X3) && std::isfinite(t.Y3);
    const std::int32_t n = silhouette::FanSegments(first, second, third);
    // A large fan is looked at between its segments too, so that a stop
    // request is seen quickly even on a model of a few huge triangles.
    const bool large = n > 64;
    for (std::int32_t k = 0; k <= n; ++k) {
      if (large && (k & 63) == 0 && StopNow()) return false;
      const double s = double(k) / n;
      const TPoint3F p = Lerp(first, third, s), q = Lerp(first, second, s);
      if (finite) {
        Segment(p, q);
      } else {
        SegmentChecked(p, q);
      }
    }
    return true;
  }

  void Mark(std::size_t cell) {
    // Every thread writes the same value: a relaxed atomic store is all it
    // takes (a plain byte store on common processors).
    std::atomic_ref<std::uint8_t>(s_.Marks[cell]).store(1, std::memory_order_relaxed);
  }

  // RasteryzujOdcinek with the cell index of CellIndex computed cheaply. For
  // a finite Single v, v / 0.2 equals v x 5 exactly: 5 v needs three bits
  // more than a Single has and is a double, and the quotient by the double
  // nearest 0.2 (0.2 (1 + 2^-54)) differs from it by less than half a unit in
  // its last place. Clamping to 0..last before the rounding gives the same
  // index as clamping after it.
  void Segment(TPoint3F p, TPoint3F q) {
    const std::int32_t m = silhouette::SegmentSamples(p, q);
    const double px = p.X, py = p.Y;
    const double dx = double(q.X) - p.X, dy = double(q.Y) - p.Y;
    const double* t = m <= TSampleTable::kMaxM ? table_.Row(m) : nullptr;
    std::size_t previous = SIZE_MAX;
    for (std::int32_t i = 0; i <= m; ++i) {
      const double ti = t != nullptr ? t[i] : double(i) / m;
      const float x = static_cast<float>(px + ti * dx);
      const float y = static_cast<float>(py + ti * dy);
      double c = double(x) * 5.0 + halfCols_;
      double r = double(y) * 5.0 + halfRows_;
      c = c > 0 ? (c < cols_ ? c : double(cols_)) : 0.0;
      r = r > 0 ? (r < rows_ ? r : double(rows_)) : 0.0;
      c = (c + kRoundMagic) - kRoundMagic;
      r = (r + kRoundMagic) - kRoundMagic;
      const std::size_t cell = std::size_t(c) * stride_ + std::size_t(r);
      if (cell != previous) Mark(cell);
      previous = cell;
    }
  }

  // The same for segments of a triangle with a coordinate that is not
  // finite: cells exactly as ZaznaczKomorke finds them.
  void SegmentChecked(TPoint3F p, TPoint3F q) {
    const std::int32_t m = silhouette::SegmentSamples(p, q);
    for (std::int32_t i = 0; i <= m; ++i) {
      const TPoint3F a = Lerp(p, q, double(i) / m);
      const std::int32_t col = silhouette::CellIndex(a.X, cols_);
      const std::int32_t row = silhouette::CellIndex(a.Y, rows_);
      if (col >= 0 && row >= 0) Mark(std::size_t(col) * stride_ + std::size_t(row));
    }
  }

  TShared& s_;
  const TSampleTable& table_;
  const std::int32_t cols_, rows_;
  const double halfCols_, halfRows_;
  const std::size_t stride_;
};

// Runs body(k) for k = 0 .. threads - 1, body(0) on this thread.
template <class Body>
void OnThreads(std::int32_t threads, Body body) {
  std::vector<std::thread> pool;
  pool.reserve(std::size_t(threads > 0 ? threads - 1 : 0));
  for (std::int32_t k = 1; k < threads; ++k) pool.emplace_back(body, k);
  body(0);
  for (std::thread& t : pool) t.join();
}

}  // namespace

void KlasyfikujKomorki(const std::vector<std::uint8_t>& marks, std::int32_t threads) {
  tpix2d& g = SilhouetteGrid;
  const std::int32_t cols = std::int32_t(g.size()) - 1;
  if (cols < 0) return;
  const std::int32_t rows = std::int32_t(g[0].size()) - 1;
  const std::size_t stride = std::size_t(rows) + 1;
  if (marks.size() != std::size_t(cols + 1) * stride) {
    throw RangeError("silhouette marks do not match the grid");
  }
  const std::uint8_t* m = marks.data();
  auto column = [&](std::int32_t i) {
    std::uint8_t* out = g[std::size_t(i)].data();
    const std::uint8_t* here = m + std::size_t(i) * stride;
    if (i == 0 || i == cols || rows < 2) {
      for (std::int32_t j = 0; j <= rows; ++j) out[j] = here[j] ? CellOutline : CellEmpty;
      return;
    }
    const std::uint8_t* left = here - stride;
    const std::uint8_t* right = here + stride;
    out[0] = here[0] ? CellOutline : CellEmpty;
    out[rows] = here[rows] ? CellOutline : CellEmpty;
    for (std::int32_t j = 1; j < rows; ++j) {
      const bool all = (left[j - 1] & left[j] & left[j + 1] & here[j - 1] & here[j + 1] &
                        right[j - 1] & right[j] & right[j + 1]) != 0;
      out[j] = !here[j] ? CellEmpty : all ? CellInterior : CellOutline;
    }
  };
  const std::int32_t n = std::max(1, std::min(threads, cols + 1));
  OnThreads(n, [&](std::int32_t k) {
    // Interleaved bands of columns keep every thread busy to the end.
    constexpr std::int32_t kBand = 64;
    for (std::int32_t b = k * kBand; b <= cols; b += n * kBand)
      for (std::int32_t i = b; i <= std::min(cols, b + kBand - 1); ++i) column(i);
  });
}

void OtworzPodstawe() {
  tpix2d& g = SilhouetteGrid;
  const std::int32_t cols = std::int32_t(g.size()) - 1;
  if (cols < 0 || g[0].empty()) return;
  std::int32_t i0 = 0;
  while (i0 <= cols && g[std::size_t(i0)][0] != CellOutline) ++i0;
  if (i0 > cols) return;
  for (std::int32_t i = i0 + 1; i < cols; ++i) {
    if (g[std::size_t(i)][0] == CellOutline && g[std::size_t(i) + 1][0] == CellOutline) {
      g[std::size_t(i)][0] = CellInterior;
    } else {
      break;
    }
  }
}

bool RasteryzujRownolegle(const std::vector<TRawTrojkat>& model, const silhouette::TTurn& turn,
                          std::int32_t threads, const std::function<bool()>& stop) {
  const std::int32_t cols = std::int32_t(SilhouetteGrid.size()) - 1;
  if (cols < 0) return true;
  const std::int32_t rows = std::int32_t(SilhouetteGrid[0].size()) - 1;
  std::vector<std::uint8_t> marks(std::size_t(cols + 1) * (std::size_t(rows) + 1), 0);

  TShared shared;
  shared.Model = &model;
  shared.Turn = turn;
  shared.Cols = cols;
  shared.Rows = rows;
  shared.Marks = marks.data();
  shared.Stop = &stop;
  // A small model is not worth the threads.
  const std::int32_t n = model.size() < 64 ? 1 : std::max(1, threads);
  OnThreads(n, [&shared](std::int32_t) {
    try {
      TMarker marker(shared);
      marker.Run();
    } catch (...) {
      const std::lock_guard<std::mutex> lock(shared.ErrorLock);
      if (!shared.Error) shared.Error = std::current_exception();
      shared.Stopped.store(true, std::memory_order_relaxed);
    }
  });
  if (shared.Error) std::rethrow_exception(shared.Error);
  if (shared.Stopped.load(std::memory_order_relaxed)) return false;
  KlasyfikujKomorki(marks, n == 1 ? 1 : threads);
  OtworzPodstawe();
  return true;
}

}  // namespace vm
