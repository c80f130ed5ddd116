// Reading ".RAW" triangle models and publishing their extents.
#include "model3d/raw_reader.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <charconv>
#include <cmath>
#include <new>

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

}  // namespace

TRAWodczytWatek::TRAWodczytWatek(QObject* parent)
    : TRAWodczytWatek(Dlgkonfig().radiounit.ItemIndex(), parent) {}

TRAWodczytWatek::TRAWodczytWatek(int unit, QObject* parent)
    : TWorkerThread(parent), unit_(unit), fileName_(ModelExtents.FileName) {}

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
  QByteArray pending;  // the unfinished last line of the chunks read so far
  QByteArray chunk(1 << 20, Qt::Uninitialized);
  auto takeLine = [&](std::string_view line) {
    if (line.find("Object") != std::string_view::npos) return;
    TRawTrojkat t;
    if (ParsujLinie(line, t)) list.push_back(t);
  };
  for (;;) {
    const qint64 got = f.read(chunk.data(), chunk.size());
    if (got < 0) {
      throw IoError("cannot read " + fileName.toStdString() + ": " + f.errorString().toStdString());
    }
    if (got == 0) break;
    pending.append(chunk.constData(), got);
    // Lines end with LF, CR LF or CR. A CR at the end of the data read so far
    // waits for the next chunk, which may start with its LF.
    std::size_t start = 0;
    const std::string_view data(pending.constData(), pending.size());
    for (std::size_t i = 0; i < data.size(); ++i) {
      const char c = data[i];
      if (c != '\n' && c != '\r') continue;
      if (c == '\r' && i + 1 == data.size()) break;
      takeLine(data.substr(start, i - start));
      if (c == '\r' && data[i + 1] == '\n') ++i;
      start = i + 1;
    }
    pending.remove(0, static_cast<qsizetype>(start));
  }
  if (!pending.isEmpty()) {
    std::string_view rest(pending.constData(), pending.size());
    if (rest.back() == '\r') rest.remove_suffix(1);
    takeLine(rest);
  }
  return list;
}

bool TRAWodczytWatek::ParsujLinie(std::string_view line, TRawTrojkat& t) {
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
    const float mm = static_cast<float>(UnitToMm(unit_, v[i]));
    if (!std::isfinite(mm)) return false;
    v[i] = mm;
  }
  TRawTrojkat r{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]};
  t = r;
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
    case TOutcome::TooLarge:
      return Tr("SerialCutFrom3D", "modelZaDuzy") + fileName_;
    default:
      return {};
  }
}

}  // namespace vm
