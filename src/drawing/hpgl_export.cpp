// HPGL export of a project's figures.
#include "drawing/hpgl_export.h"

#include <QDir>
#include <QSaveFile>
#include <charconv>
#include <cstdint>

#include "drawing/errors.h"

namespace vm {
namespace {

// Text is gathered in blocks of about this size before it goes to the file.
constexpr qsizetype kBlockSize = 64 * 1024;

void AppendInt(QByteArray& out, std::int32_t v) {
  char buf[16];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr - buf);
}

void AppendLine(QByteArray& out, const char* instruction, const TPointI& p) {
  out.append(instruction);
  AppendInt(out, p.X);
  out.append(',');
  AppendInt(out, p.Y);
  out.append(";\r\n");
}

void AppendFigure(QByteArray& out, const tfigura& f) {
  if (f.Points.empty()) return;
  AppendLine(out, "PA ", f.Points.front());
  for (std::size_t i = 1; i < f.Points.size(); ++i) AppendLine(out, "PD ", f.Points[i]);
  out.append("PU;\r\n");
}

// The message names the file and the system's reason.
[[noreturn]] void ThrowWriteError(const QSaveFile& file) {
  throw IoError(QDir::toNativeSeparators(file.fileName()).toStdString() + ": " +
                file.errorString().toStdString());
}

}  // namespace

QByteArray HpglExportText(std::span<const std::unique_ptr<tfigura>> figures) {
  QByteArray out;
  for (const auto& f : figures) {
    if (f) AppendFigure(out, *f);
  }
  return out;
}

void SaveFiguresAsHpgl(std::span<const std::unique_ptr<tfigura>> figures, const QString& fileName) {
  // An unfinished QSaveFile discards its temporary file when it goes out of
  // scope, so every throw below leaves the target untouched.
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) ThrowWriteError(file);
  QByteArray block;
  block.reserve(kBlockSize + 64);
  auto flush = [&] {
    if (file.write(block) != block.size()) ThrowWriteError(file);
    block.clear();
  };
  for (const auto& f : figures) {
    if (!f) continue;
    AppendFigure(block, *f);
    if (block.size() >= kBlockSize) flush();
  }
  flush();
  if (!file.commit()) ThrowWriteError(file);
}

}  // namespace vm
