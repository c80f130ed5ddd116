// Rasterising a turned model on several threads.
#include "model3d/parallel_raster.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VM_RASTER_AVX2 1
#endif
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
// gives, without a division per sample. Every row ends in three more 1s, so
// that the samples can be taken four at a time (a repeated last sample marks
// nothing new).
class TSampleTable {
 public:
  static constexpr std::int32_t kMaxM = 256;
  static constexpr std::int32_t kPad = 3;
  TSampleTable() {
    std::size_t pos = 0;
    for (std::int32_t m = 1; m <= kMaxM; ++m) {
      start_[m] = pos;
      for (std::int32_t i = 0; i <= m; ++i) t_[pos++] = double(i) / m;
      for (std::int32_t i = 0; i < kPad; ++i) t_[pos++] = 1.0;
    }
  }
  const double* Row(std::int32_t m) const { return &t_[start_[m]]; }

 private:
  std::array<std::size_t, kMaxM + 1> start_{};
  std::array<double, kMaxM*(kMaxM + 1) / 2 + (kPad + 1) * kMaxM> t_{};
};

const TSampleTable& SampleTable() {
  static const TSampleTable table;
  return table;
}

// 2^52 + 2^51: adding and taking it away rounds a double below 2^51 to the
// nearest integer, halves to even, in the default rounding mode.
constexpr double kRoundMagic = 6755399441055744.0;

#if defined(VM_RASTER_AVX2)
// What the AVX2 marking of a fan needs.
struct TFanJob {
  std::uint8_t* Marks;
  std::size_t Stride;
  const TSampleTable* Table;
  double Cols, Rows, HalfCols, HalfRows;
  TPoint3F First, Second, Third;  // ordered by z
  std::int32_t N;                 // segments of the fan beyond the first
};

// Segments k0 .. k1 of a fan of finite vertices on a processor with AVX2:
// four segments at a time, then the samples of each segment four at a time.
// Lane by lane these are the operations of Lerp, SegmentSamples and
// TMarker::Segment in their order, each rounding as its scalar form does
// (no fused multiply-add), so the same cells are marked. False, with nothing
// marked, when a segment is too long for the quick count of its samples; the
// caller then takes the block the plain way.
// A double rounded to a Single and back, four at a time.
__attribute__((target("avx2"), always_inline)) inline __m256d single(__m256d v) {
  return _mm256_cvtps_pd(_mm256_cvtpd_ps(v));
}

__attribute__((target("avx2"))) bool MarkFanAvx2(const TFanJob& f, std::int32_t k0,
                                                 std::int32_t k1) {
  constexpr std::int32_t kBlock = 64;
  alignas(32) double px[kBlock + 4], py[kBlock + 4], dx[kBlock + 4], dy[kBlock + 4];
  alignas(32) std::int32_t samples[kBlock + 4];
  const __m256d magic = _mm256_set1_pd(kRoundMagic);
  {
    const __m256d n = _mm256_set1_pd(double(f.N));
    const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3), lastK = _mm_set1_epi32(k1);
    const __m256d ax = _mm256_set1_pd(f.First.X), ay = _mm256_set1_pd(f.First.Y),
                  az = _mm256_set1_pd(f.First.Z);
    // The differences as Lerp takes them, in doubles.
    const __m256d d3x = _mm256_set1_pd(double(f.Third.X) - f.First.X),
                  d3y = _mm256_set1_pd(double(f.Third.Y) - f.First.Y),
                  d3z = _mm256_set1_pd(double(f.Third.Z) - f.First.Z);
    const __m256d d2x = _mm256_set1_pd(double(f.Second.X) - f.First.X),
                  d2y = _mm256_set1_pd(double(f.Second.Y) - f.First.Y),
                  d2z = _mm256_set1_pd(double(f.Second.Z) - f.First.Z);
    const __m256d cell = _mm256_set1_pd(silhouette::kCellSize);
    const __m256d limit = _mm256_set1_pd(1073741824.0);
    for (std::int32_t k = k0; k <= k1; k += 4) {
      // Lanes past the block repeat its last segment.
      const __m128i kk = _mm_min_epi32(_mm_add_epi32(_mm_set1_epi32(k), lanes), lastK);
      const __m256d sv = _mm256_div_pd(_mm256_cvtepi32_pd(kk), n);
      const __m256d pX = single(_mm256_add_pd(ax, _mm256_mul_pd(sv, d3x)));
      const __m256d pY = single(_mm256_add_pd(ay, _mm256_mul_pd(sv, d3y)));
      const __m256d pZ = single(_mm256_add_pd(az, _mm256_mul_pd(sv, d3z)));
      const __m256d qX = single(_mm256_add_pd(ax, _mm256_mul_pd(sv, d2x)));
      const __m256d qY = single(_mm256_add_pd(ay, _mm256_mul_pd(sv, d2y)));
      const __m256d qZ = single(_mm256_add_pd(az, _mm256_mul_pd(sv, d2z)));
      const __m256d ex = _mm256_sub_pd(qX, pX), ey = _mm256_sub_pd(qY, pY),
                    ez = _mm256_sub_pd(qZ, pZ);
      const __m256d len = _mm256_sqrt_pd(_mm256_add_pd(
          _mm256_add_pd(_mm256_mul_pd(ex, ex), _mm256_mul_pd(ey, ey)), _mm256_mul_pd(ez, ez)));
      const __m256d v = _mm256_div_pd(len, cell);
      // Lengths of 2^30 cells or more, or not numbers, go the plain way.
      if (_mm256_movemask_pd(_mm256_cmp_pd(v, limit, _CMP_LT_OQ)) != 0xF) return false;
      const __m256i counts = _mm256_castpd_si256(_mm256_add_pd(v, magic));
      const std::int32_t j = k - k0;
      _mm256_store_pd(px + j, pX);
      _mm256_store_pd(py + j, pY);
      _mm256_store_pd(dx + j, ex);
      _mm256_store_pd(dy + j, ey);
      // The low half of each lane is the rounded count.
      const __m256i lowHalves =
          _mm256_permutevar8x32_epi32(counts, _mm256_setr_epi32(0, 2, 4, 6, 0, 0, 0, 0));
      _mm_store_si128(reinterpret_cast<__m128i*>(samples + j),
                      _mm_add_epi32(_mm256_castsi256_si128(lowHalves), _mm_set1_epi32(1)));
    }
  }
  const __m256d five = _mm256_set1_pd(5.0), zero = _mm256_setzero_pd();
  const __m256d hc = _mm256_set1_pd(f.HalfCols), hr = _mm256_set1_pd(f.HalfRows);
  const __m256d topc = _mm256_set1_pd(f.Cols), topr = _mm256_set1_pd(f.Rows);
  const __m256i low = _mm256_set1_epi64x(0xFFFFFFFF);
  const __m256i stride = _mm256_set1_epi64x(std::int64_t(f.Stride));
  const __m128i lanes = _mm_setr_epi32(0, 1, 2, 3);
  std::uint8_t* const marks = f.Marks;
  auto mark = [marks](std::uint64_t c) {
    std::atomic_ref<std::uint8_t>(marks[c]).store(1, std::memory_order_relaxed);
  };
  for (std::int32_t j = 0; j <= k1 - k0; ++j) {
    const std::int32_t m = samples[j];
    const double* t = m <= TSampleTable::kMaxM ? f.Table->Row(m) : nullptr;
    const __m256d vpx = _mm256_set1_pd(px[j]), vpy = _mm256_set1_pd(py[j]);
    const __m256d vdx = _mm256_set1_pd(dx[j]), vdy = _mm256_set1_pd(dy[j]);
    const __m128i last = _mm_set1_epi32(m);
    const __m256d vm = _mm256_set1_pd(double(m));
    for (std::int32_t i = 0; i <= m; i += 4) {
      __m256d ti;
      if (t != nullptr) {
        ti = _mm256_loadu_pd(t + i);
      } else {
        // Lanes past the last sample repeat it.
        const __m128i k = _mm_min_epi32(_mm_add_epi32(_mm_set1_epi32(i), lanes), last);
        ti = _mm256_div_pd(_mm256_cvtepi32_pd(k), vm);
      }
      __m256d x = _mm256_add_pd(vpx, _mm256_mul_pd(ti, vdx));
      __m256d y = _mm256_add_pd(vpy, _mm256_mul_pd(ti, vdy));
      x = _mm256_cvtps_pd(_mm256_cvtpd_ps(x));  // stored as Singles
      y = _mm256_cvtps_pd(_mm256_cvtpd_ps(y));
      x = _mm256_min_pd(_mm256_max_pd(_mm256_add_pd(_mm256_mul_pd(x, five), hc), zero), topc);
      y = _mm256_min_pd(_mm256_max_pd(_mm256_add_pd(_mm256_mul_pd(y, five), hr), zero), topr);
      const __m256i col = _mm256_and_si256(_mm256_castpd_si256(_mm256_add_pd(x, magic)), low);
      const __m256i row = _mm256_castpd_si256(_mm256_add_pd(y, magic));
      const __m256i cell = _mm256_add_epi64(_mm256_mul_epu32(row, stride), col);
      const __m128i lo = _mm256_castsi256_si128(cell), hi = _mm256_extracti128_si256(cell, 1);
      mark(std::uint64_t(_mm_cvtsi128_si64(lo)));
      mark(std::uint64_t(_mm_extract_epi64(lo, 1)));
      mark(std::uint64_t(_mm_cvtsi128_si64(hi)));
      mark(std::uint64_t(_mm_extract_epi64(hi, 1)));
    }
  }
  return true;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

// What every thread of a step shares.
struct TShared {
  const std::vector<TRawTrojkat>* Model = nullptr;
  TTurn Turn;
  std::int32_t Cols = 0, Rows = 0;
  // Row after row, (Rows + 1) x (Cols + 1): a model's samples run mostly
  // along rows, and a band of rows stays in the cache.
  std::uint8_t* Marks = nullptr;
  const std::function<bool()>* Stop = nullptr;
  // Triangles a thread takes at a time: long runs keep neighbouring
  // triangles (the front and the back of a part) on one thread, so that the
  // later ones find their cells marked.
  std::size_t Chunk = 1024;
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
        stride_(std::size_t(s.Cols) + 1) {}

  // Marks the triangles of chunks taken in turn until none is left or the
  // step is stopped. False when stopped.
  bool Run() {
    const std::vector<TRawTrojkat>& model = *s_.Model;
    const std::size_t kChunk = s_.Chunk;
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
    if (finite && Covered(t)) return true;
    // A large fan is looked at between its segments too, so that a stop
    // request is seen quickly even on a model of a few huge triangles.
    const bool large = n > 64;
#if defined(VM_RASTER_AVX2)
    if (avx2_ && finite) {
      const TFanJob job{s_.Marks, stride_, &table_, double(cols_), double(rows_), halfCols_,
                        halfRows_, first, second, third, n};
      for (std::int32_t k0 = 0; k0 <= n; k0 += 64) {
        if (large && StopNow()) return false;
        const std::int32_t k1 = std::min(n, k0 + 63);
        if (!MarkFanAvx2(job, k0, k1)) {
          for (std::int32_t k = k0; k <= k1; ++k) {
            const double s = double(k) / n;
            Segment(Lerp(first, third, s), Lerp(first, second, s));
          }
        }
      }
      return true;
    }
#endif
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

  // The cell index of a coordinate as Segment computes it; it never
  // decreases as the coordinate grows.
  static std::int32_t CellOf(double v, double half, std::int32_t last) {
    const double c = std::min(std::max(v * 5.0 + half, 0.0), double(last));
    return std::int32_t((c + kRoundMagic) - kRoundMagic);
  }

  // The cells a sample between the two corners of a rectangle can fall
  // into. The samples of a triangle lie between its vertices, give or take
  // the rounding of two interpolations to Singles (below 0.002 mm for
  // coordinates within 10 m): the rectangle widened by 0.01 mm holds them.
  // False for coordinates farther out.
  bool CellsBetween(float loX, float hiX, float loY, float hiY, std::int32_t (&box)[4]) const {
    constexpr float kNear = 1e4f;    // mm
    constexpr double kSlack = 0.01;  // mm
    if (!(loX > -kNear && hiX < kNear && loY > -kNear && hiY < kNear)) return false;
    box[0] = CellOf(loX - kSlack, halfCols_, cols_);
    box[1] = CellOf(hiX + kSlack, halfCols_, cols_);
    box[2] = CellOf(loY - kSlack, halfRows_, rows_);
    box[3] = CellOf(hiY + kSlack, halfRows_, rows_);
    return true;
  }

  // Whether some cell of a rectangle of cells is not marked.
  bool AnyUnmarked(const std::int32_t (&box)[4]) const {
    auto mark = [](std::uint8_t& cell) {
      return std::atomic_ref<std::uint8_t>(cell).load(std::memory_order_relaxed);
    };
    for (std::int32_t r = box[2]; r <= box[3]; ++r) {
      std::uint8_t* row = s_.Marks + std::size_t(r) * stride_;
      std::int32_t c = box[0];
      // Marks are 0 or 1: eight of them ANDed give 0 when one is unmarked,
      // one test for eight cells.
      for (; c + 7 <= box[1]; c += 8) {
        const std::uint8_t all = mark(row[c]) & mark(row[c + 1]) & mark(row[c + 2]) &
                                 mark(row[c + 3]) & mark(row[c + 4]) & mark(row[c + 5]) &
                                 mark(row[c + 6]) & mark(row[c + 7]);
        if (all == 0) return true;
      }
      for (; c <= box[1]; ++c) {
        if (mark(row[c]) == 0) return true;
      }
    }
    return false;
  }

  // Marking a triangle all of whose cells are marked already changes
  // nothing: marks only ever go from 0 to 1 (a mark seen from another thread
  // is there for good), and the grid is the union of the marks. On a closed
  // model about half the triangles (the back of what the front covers) are
  // such.
  bool Covered(const TRawTrojkat& t) const {
    std::int32_t box[4];
    return CellsBetween(std::min({t.X1, t.X2, t.X3}), std::max({t.X1, t.X2, t.X3}),
                        std::min({t.Y1, t.Y2, t.Y3}), std::max({t.Y1, t.Y2, t.Y3}), box) &&
           !AnyUnmarked(box);
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
    // Everything the loop needs in locals: the marks are written through a
    // pointer the compiler cannot tell apart from the members.
    std::uint8_t* const marks = s_.Marks;
    const double cols = cols_, rows = rows_, halfCols = halfCols_, halfRows = halfRows_;
    const std::size_t stride = stride_;
    const double px = p.X, py = p.Y;
    const double dx = double(q.X) - p.X, dy = double(q.Y) - p.Y;
    const double* t = m <= TSampleTable::kMaxM ? table_.Row(m) : nullptr;
#if defined(__SSE2__)
    // x and y side by side in one register. After adding 2^52 + 2^51 the low
    // 32 bits of each double are the rounded value.
    const __m128d p2 = _mm_set_pd(py, px), d2 = _mm_set_pd(dy, dx);
    const __m128d five = _mm_set1_pd(5.0), half = _mm_set_pd(halfRows, halfCols);
    const __m128d zero = _mm_setzero_pd(), top = _mm_set_pd(rows, cols);
    const __m128d magic = _mm_set1_pd(kRoundMagic);
    for (std::int32_t i = 0; i <= m; ++i) {
      const double ti = t != nullptr ? t[i] : double(i) / m;
      const __m128d at = _mm_add_pd(p2, _mm_mul_pd(_mm_set1_pd(ti), d2));
      const __m128d single = _mm_cvtps_pd(_mm_cvtpd_ps(at));  // stored as Singles
      __m128d c = _mm_add_pd(_mm_mul_pd(single, five), half);
      c = _mm_min_pd(_mm_max_pd(c, zero), top);
      const __m128i k = _mm_castpd_si128(_mm_add_pd(c, magic));
      const std::size_t col = std::uint32_t(_mm_cvtsi128_si32(k));
      const std::size_t row = std::uint32_t(_mm_cvtsi128_si32(_mm_srli_si128(k, 8)));
      std::atomic_ref<std::uint8_t>(marks[row * stride + col]).store(1, std::memory_order_relaxed);
    }
#else
    for (std::int32_t i = 0; i <= m; ++i) {
      const double ti = t != nullptr ? t[i] : double(i) / m;
      const float x = static_cast<float>(px + ti * dx);
      const float y = static_cast<float>(py + ti * dy);
      double c = std::min(std::max(double(x) * 5.0 + halfCols, 0.0), cols);
      double r = std::min(std::max(double(y) * 5.0 + halfRows, 0.0), rows);
      c = (c + kRoundMagic) - kRoundMagic;
      r = (r + kRoundMagic) - kRoundMagic;
      const std::size_t cell = std::size_t(std::int64_t(r)) * stride + std::size_t(std::int64_t(c));
      std::atomic_ref<std::uint8_t>(marks[cell]).store(1, std::memory_order_relaxed);
    }
#endif
  }

  // The same for segments of a triangle with a coordinate that is not
  // finite: cells exactly as ZaznaczKomorke finds them.
  void SegmentChecked(TPoint3F p, TPoint3F q) {
    const std::int32_t m = silhouette::SegmentSamples(p, q);
    for (std::int32_t i = 0; i <= m; ++i) {
      const TPoint3F a = Lerp(p, q, double(i) / m);
      const std::int32_t col = silhouette::CellIndex(a.X, cols_);
      const std::int32_t row = silhouette::CellIndex(a.Y, rows_);
      if (col >= 0 && row >= 0) Mark(std::size_t(row) * stride_ + std::size_t(col));
    }
  }

  TShared& s_;
  const TSampleTable& table_;
  const std::int32_t cols_, rows_;
  const double halfCols_, halfRows_;
  const std::size_t stride_;
#if defined(VM_RASTER_AVX2)
  const bool avx2_ = HasAvx2();
#endif
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
  const std::size_t width = std::size_t(cols) + 1;
  if (marks.size() != width * (std::size_t(rows) + 1)) {
    throw RangeError("silhouette marks do not match the grid");
  }
  const std::uint8_t* m = marks.data();
  // The marks lie row after row and the grid column after column: a tile of
  // kTile x kTile cells is classified row by row (the same few operations on
  // neighbouring bytes, which the compiler does many at a time) into a small
  // buffer, then written out column by column.
  constexpr std::int32_t kTile = 64;
  auto tile = [&](std::int32_t i0, std::int32_t j0) {
    const std::int32_t i1 = std::min(cols, i0 + kTile - 1), j1 = std::min(rows, j0 + kTile - 1);
    // Most tiles lie wholly outside the silhouette or inside it: when no
    // cell of the tile or around it is marked, all its cells are empty; when
    // all are marked and the tile does not reach the border, all are
    // interior.
    {
      std::uint8_t any = 0, all = 1;
      const std::int32_t c0 = std::max(i0 - 1, 0), c1 = std::min(i1 + 1, cols);
      for (std::int32_t j = std::max(j0 - 1, 0); j <= std::min(j1 + 1, rows); ++j) {
        const std::uint8_t* row = m + std::size_t(j) * width;
        for (std::int32_t i = c0; i <= c1; ++i) {
          any |= row[i];
          all &= row[i];
        }
      }
      const bool border = i0 == 0 || j0 == 0 || i1 == cols || j1 == rows;
      if (any == 0 || (all == 1 && !border)) {
        const std::uint8_t value = any == 0 ? CellEmpty : CellInterior;
        for (std::int32_t i = i0; i <= i1; ++i) {
          std::memset(g[std::size_t(i)].data() + j0, value, std::size_t(j1 - j0) + 1);
        }
        return;
      }
    }
    std::uint8_t buffer[kTile][kTile];  // [row - j0][column - i0]
    for (std::int32_t j = j0; j <= j1; ++j) {
      const std::uint8_t* here = m + std::size_t(j) * width;
      std::uint8_t* out = buffer[j - j0];
      // Cells on the grid's border are never interior.
      const bool innerRow = j > 0 && j < rows;
      const std::int32_t a = std::max(i0, 1), b = std::min(i1, cols - 1);
      for (std::int32_t i = i0; i <= i1; ++i) out[i - i0] = std::uint8_t(1 + here[i]);
      if (!innerRow || a > b) continue;
      const std::uint8_t* up = here + width;
      const std::uint8_t* down = here - width;
      // Marks are 0 or 1: 1 + mark is empty (1) or outline (2), and a marked
      // cell with eight marked neighbours adds 2 (interior, 4).
      for (std::int32_t i = a; i <= b; ++i) {
        const std::uint8_t all = up[i - 1] & up[i] & up[i + 1] & here[i - 1] & here[i] &
                                 here[i + 1] & down[i - 1] & down[i] & down[i + 1];
        out[i - i0] = std::uint8_t(1 + here[i] + 2 * all);
      }
    }
    for (std::int32_t i = i0; i <= i1; ++i) {
      std::uint8_t* column = g[std::size_t(i)].data();
      for (std::int32_t j = j0; j <= j1; ++j) column[j] = buffer[j - j0][i - i0];
    }
  };
  const std::int32_t tilesAcross = cols / kTile + 1, tilesUp = rows / kTile + 1;
  const std::int64_t tiles = std::int64_t(tilesAcross) * tilesUp;
  const std::int32_t n =
      std::int32_t(std::max<std::int64_t>(1, std::min<std::int64_t>(threads, tiles)));
  std::atomic<std::int64_t> next{0};
  OnThreads(n, [&](std::int32_t) {
    for (std::int64_t k; (k = next.fetch_add(1, std::memory_order_relaxed)) < tiles;) {
      tile(std::int32_t(k % tilesAcross) * kTile, std::int32_t(k / tilesAcross) * kTile);
    }
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
  shared.Chunk = std::max<std::size_t>(1024, model.size() / (4 * std::size_t(n)));
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
