// Reading ".RAW" triangle models and publishing their extents.
#include "model3d/raw_reader.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <charconv>
#include <cmath>
#include <new>
#include <thread>

#include "drawing/errors.h"
#include "drawing/units.h"
#include "shell/interfejs.h"
#include "shell/konfig.h"

namespace vm {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// One number of a model line: an optional sign, digits with an optional "."
// and fraction, an optional exponent with at least one digit; "." whatever
// the locale, the whole token consumed. A value that does not fit a Single
// (or a double) is refused as well.
bool ParseRawNumber(std::string_view token, float& out) {
  std::size_t i = 0;
  const std::size_t n = token.size();
  if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
  const std::size_t mantissaStart = i;
  std::size_t digits = 0;
  while (i < n && IsDigit(token[i])) ++i, ++digits;
  if (i < n && token[i] == '.') {
    ++i;
    while (i < n && IsDigit(token[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (token[i] == 'e' || token[i] == 'E')) {
    ++i;
    if (i < n && (token[i] == '+' || token[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < n && IsDigit(token[i])) ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  // from_chars takes no "+"; the sign of the mantissa is put back below.
  const bool negative = token[0] == '-';
  const char* first = token.data() + mantissaStart;
  double v = 0;
  const auto r = std::from_chars(first, token.data() + n, v, std::chars_format::general);
  // Beyond the range of a double (either way) is no coordinate either.
  if (r.ec != std::errc() || r.ptr != token.data() + n) return false;
  if (negative) v = -v;
  const float f = static_cast<float>(v);
  if (!std::isfinite(f)) return false;
  out = f;
  return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// One line as a triangle in mm (see ParsujLinie); `t` zeroed when it is none.
bool ParseTriangle(std::string_view line, int unit, TRawTrojkat& t) {
  t = TRawTrojkat{};
  std::size_t b = 0, e = line.size();
  while (b < e && IsBlank(line[b])) ++b;
  while (e > b && IsBlank(line[e - 1])) --e;
  if (b == e) return false;

  // Every blank separates two tokens, so doubled, leading or trailing blanks
  // give empty tokens; a line is a triangle only with exactly nine tokens. The
  // first token begins after the first blank, or at the start when the line
  // does not begin with one.
  std::array<std::string_view, 9> tokens;
  std::size_t count = 0;
  std::size_t pos = line[0] == ' ' ? 1 : 0;
  for (;;) {
    const std::size_t blank = line.find(' ', pos);
    if (count == tokens.size()) return false;  // more than nine tokens
    tokens[count++] = line.substr(pos, blank == std::string_view::npos ? line.npos : blank - pos);
    if (blank == std::string_view::npos) break;
    pos = blank + 1;
  }
  if (count != tokens.size()) return false;

  std::array<float, 9> v{};
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (!ParseRawNumber(tokens[i], v[i])) return false;
    const float mm = static_cast<float>(UnitToMm(unit, v[i]));
    if (!std::isfinite(mm)) return false;
    v[i] = mm;
  }
  TRawTrojkat r{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
  t = r;
  return true;
}

// One piece of the file made of whole lines, parsed on its own thread.
struct TPiece {
  std::string_view Text;
  std::vector<TRawTrojkat> Triangles;
  double Min[3] = {INFINITY, INFINITY, INFINITY};
  double Max[3] = {-INFINITY, -INFINITY, -INFINITY};

  void Widen(const TRawTrojkat& t) {
    const float v[3][3] = {{t.X1, t.Y1, t.Z1}, {t.X2, t.Y2, t.Z2}, {t.X3, t.Y3, t.Z3}};
    for (const auto& p : v) {
      for (int a = 0; a < 3; ++a) {
        if (p[a] < Min[a]) Min[a] = p[a];
        if (p[a] > Max[a]) Max[a] = p[a];
      }
    }
  }
};

bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Lines end with LF, CR LF or CR. Calls take(line) for every line of `text`,
// which ends with a line end; false when `stop` said so (it is asked every
// 4096 lines).
template <class Take, class Stop>
bool ForEachLine(std::string_view text, Take take, Stop stop) {
  std::size_t start = 0;
  std::uint32_t lines = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!IsLineEnd(c)) continue;
    // A look at the flags every 4096 lines keeps a stop request waiting for
    // well under a millisecond (tens of them in a debugging build).
    if ((++lines & 4095) == 0 && stop()) return false;
    take(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  return true;
}

// Where a piece that should end near `pos` ends: after the next line end
// (both characters of a CR LF).
std::size_t PieceEnd(std::string_view text, std::size_t pos) {
  while (pos < text.size() && !IsLineEnd(text[pos])) ++pos;
  if (pos >= text.size()) return text.size();
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  return pos + 1;
}

}  // namespace

TRAWodczytWatek::TRAWodczytWatek(QObject* parent)
    : TRAWodczytWatek(Dlgkonfig().radiounit.ItemIndex(), parent) {}

TRAWodczytWatek::TRAWodczytWatek(int unit, QObject* parent)
    : TWorkerThread(parent), unit_(unit), fileName_(ModelExtents.FileName) {}

bool TRAWodczytWatek::StopRequested() const { return Terminated() || ClosingRequested(); }

void TRAWodczytWatek::ResetExtents() {
  constexpr double inf = std::numeric_limits<double>::infinity();
  minX_ = minY_ = minZ_ = inf;
  maxX_ = maxY_ = maxZ_ = -inf;
}

void TRAWodczytWatek::Execute() {
  ResetExtents();
  std::vector<TRawTrojkat> list;
  try {
    list = CzytajPlik(fileName_);
  } catch (const IoError& e) {
    ioError_ = QString::fromStdString(e.what());
    outcome_ = TOutcome::ReadError;
    return;
  } catch (const std::bad_alloc&) {
    ioError_ = QStringLiteral("out of memory");
    outcome_ = TOutcome::ReadError;
    return;
  }
  if (!list.empty()) {
    // Coordinates that each fit a Single can still span more than one holds:
    // such a model has infinite sizes and is refused, nothing published.
    for (const double size : {maxX_ - minX_, maxY_ - minY_, maxZ_ - minZ_}) {
      if (!std::isfinite(static_cast<float>(size))) {
        outcome_ = TOutcome::TooLarge;
        return;
      }
    }
  }
  if (StopRequested()) {
    outcome_ = TOutcome::Stopped;
    return;
  }
  if (!list.empty() && minX_ == maxX_ && minY_ == maxY_ && minZ_ == maxZ_) {
    outcome_ = TOutcome::Point;
    return;
  }
  ModelTriangles = std::move(list);
  if (ModelTriangles.empty()) {
    // Without a triangle the running extents are still infinite; zero extents
    // keep sizes, centre and everything sized from them finite.
    outcome_ = TOutcome::Empty;
    ModelExtents.MinX = ModelExtents.MinY = ModelExtents.MinZ = 0;
    ModelExtents.MaxX = ModelExtents.MaxY = ModelExtents.MaxZ = 0;
    ModelSize[0] = ModelSize[1] = ModelSize[2] = 0;
    ModelCentreX = ModelCentreY = ModelCentreZ = 0;
    return;
  }
  outcome_ = TOutcome::Read;
  ModelExtents.MinX = minX_;
  ModelExtents.MinY = minY_;
  ModelExtents.MinZ = minZ_;
  ModelExtents.MaxX = maxX_;
  ModelExtents.MaxY = maxY_;
  ModelExtents.MaxZ = maxZ_;
  ModelSize[0] = static_cast<float>(maxX_ - minX_);
  ModelSize[1] = static_cast<float>(maxY_ - minY_);
  ModelSize[2] = static_cast<float>(maxZ_ - minZ_);
  ModelCentreX = ModelSize[0] / 2.0 + minX_;
  ModelCentreY = ModelSize[1] / 2.0 + minY_;
  ModelCentreZ = ModelSize[2] / 2.0 + minZ_;
}

std::vector<TRawTrojkat> TRAWodczytWatek::CzytajPlik(const QString& fileName) {
  // Only a regular file has an end; a device or pipe could be read forever.
  if (!QFileInfo(fileName).isFile()) throw IoError("not a file: " + fileName.toStdString());
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) {
    throw IoError("cannot open " + fileName.toStdString() + ": " + f.errorString().toStdString());
  }
  std::vector<TRawTrojkat> list;
  bytesRead_.store(0, std::memory_order_relaxed);
  // The file is read in blocks; the whole lines of a block are parsed in
  // pieces on several threads, and the pieces' triangles joined in the
  // file's order. The unfinished last line waits for the next block.
  const qint64 kBlock = std::max<qint64>(2, BlockBytes);
  const std::size_t kPieceMin = std::size_t(std::max<qint64>(1, BlockBytes / 16));
  const std::size_t threads = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  QByteArray pending;
  std::atomic<bool> stop{false};
  auto stopNow = [this, &stop] {
    if (stop.load(std::memory_order_relaxed)) return true;
    if (!StopRequested()) return false;
    stop.store(true, std::memory_order_relaxed);
    return true;
  };
  auto filter = [this](TPiece& piece) {
    return [this, &piece](std::string_view line) {
      if (line.find("Object") != std::string_view::npos) return;
      TRawTrojkat t;
      if (!ParseTriangle(line, unit_, t)) return;
      piece.Triangles.push_back(t);
      piece.Widen(t);
    };
  };
  // After the first block, the list is made as large as the file will
  // probably need (its lines alike), so that joining the later blocks does
  // not copy it again and again.
  const qint64 fileSize = f.size();
  std::size_t parsedBytes = 0;
  bool sized = false;
  bool atEnd = false;
  while (!atEnd) {
    if (stopNow()) return list;
    const qsizetype kept = pending.size();
    pending.resize(kept + kBlock);
    const qint64 got = f.read(pending.data() + kept, kBlock);
    if (got < 0) {
      throw IoError("cannot read " + fileName.toStdString() + ": " + f.errorString().toStdString());
    }
    pending.resize(kept + got);
    bytesRead_.fetch_add(got, std::memory_order_relaxed);
    atEnd = got == 0;
    const std::string_view data(pending.constData(), std::size_t(pending.size()));
    // Whole lines: up to the last line end, unless that is a CR at the end
    // of the data read so far, whose LF may come with the next block. At the
    // end of the file the last line needs no end.
    std::size_t whole = data.size();
    if (!atEnd) {
      whole = data.find_last_of("\r\n");
      if (whole == std::string_view::npos) continue;
      if (data[whole] == '\r' && whole + 1 == data.size()) {
        whole = whole == 0 ? std::string_view::npos : data.find_last_of("\r\n", whole - 1);
        if (whole == std::string_view::npos) continue;
      }
      whole = PieceEnd(data, whole);
    }
    const std::string_view lines = data.substr(0, whole);
    const std::size_t count = std::max<std::size_t>(1, std::min(threads, lines.size() / kPieceMin));
    std::vector<TPiece> pieces(count);
    std::size_t from = 0;
    for (std::size_t k = 0; k < count; ++k) {
      const std::size_t to = k + 1 == count
                                 ? lines.size()
                                 : PieceEnd(lines, std::max(from, lines.size() * (k + 1) / count));
      pieces[k].Text = lines.substr(from, to - from);
      from = to;
    }
    auto parse = [&](std::size_t k) {
      TPiece& piece = pieces[k];
      std::string_view text = piece.Text;
      const bool lastLine = atEnd && k + 1 == count;
      const bool done = ForEachLine(text, filter(piece), stopNow);
      // The file's last line, with no line end after it.
      if (done && lastLine) {
        const std::size_t end = text.find_last_of("\r\n");
        std::string_view rest = end == std::string_view::npos ? text : text.substr(end + 1);
        if (!rest.empty()) filter(piece)(rest);
      }
    };
    std::vector<std::thread> pool;
    for (std::size_t k = 1; k < count; ++k) pool.emplace_back(parse, k);
    parse(0);
    for (std::thread& t : pool) t.join();
    if (stopNow()) return list;
    for (TPiece& piece : pieces) {
      list.insert(list.end(), piece.Triangles.begin(), piece.Triangles.end());
      if (piece.Triangles.empty()) continue;
      minX_ = std::min(minX_, piece.Min[0]);
      minY_ = std::min(minY_, piece.Min[1]);
      minZ_ = std::min(minZ_, piece.Min[2]);
      maxX_ = std::max(maxX_, piece.Max[0]);
      maxY_ = std::max(maxY_, piece.Max[1]);
      maxZ_ = std::max(maxZ_, piece.Max[2]);
    }
    parsedBytes += whole;
    if (!sized && !atEnd && parsedBytes > 0 && !list.empty()) {
      sized = true;
      const double expected = 1.1 * double(list.size()) * double(fileSize) / double(parsedBytes);
      if (expected > double(list.capacity()) && expected < double(list.max_size())) {
        list.reserve(std::size_t(expected));
      }
    }
    pending.remove(0, qsizetype(whole));
  }
  // A file whose first lines were denser than the rest leaves much unused.
  if (list.capacity() - list.size() > list.size() / 8) list.shrink_to_fit();
  return list;
}

bool TRAWodczytWatek::ParsujLinie(std::string_view line, TRawTrojkat& t) {
  if (!ParseTriangle(line, unit_, t)) return false;
  AktualizujZakres(t);
  return true;
}

void TRAWodczytWatek::AktualizujZakres(const TRawTrojkat& t) {
  const float xs[3] = {t.X1, t.X2, t.X3};
  const float ys[3] = {t.Y1, t.Y2, t.Y3};
  const float zs[3] = {t.Z1, t.Z2, t.Z3};
  for (int i = 0; i < 3; ++i) {
    if (xs[i] < minX_) minX_ = xs[i];
    if (xs[i] > maxX_) maxX_ = xs[i];
    if (ys[i] < minY_) minY_ = ys[i];
    if (ys[i] > maxY_) maxY_ = ys[i];
    if (zs[i] < minZ_) minZ_ = zs[i];
    if (zs[i] > maxZ_) maxZ_ = zs[i];
  }
}

QString TRAWodczytWatek::ErrorText() const {
  switch (outcome_) {
    case TOutcome::ReadError:
      return Tr("Universal", "zbioruNieMoznaOtworzyc") + fileName_;
    case TOutcome::Empty:
      return Tr("SerialCutFrom3D", "modelPusty") + fileName_;
    case TOutcome::Point:
      return Tr("SerialCutFrom3D", "modelPunktowy") + fileName_;
    case TOutcome::TooLarge:
      return Tr("SerialCutFrom3D", "modelZaDuzy") + fileName_;
    default:
      return {};
  }
}

}  // namespace vm
