// INI file reading and writing.
#include "project/profile_ini.h"

#include <QFile>
#include <QSaveFile>

#include "drawing/errors.h"

namespace vm {
namespace {

// The section name of a header line "[name]", nullopt for any other line.
std::optional<QString> HeaderName(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') return std::nullopt;
  return QString::fromLatin1(t.mid(1, t.size() - 2)).trimmed();
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// Key and value of a "key=value" line.
bool SplitEntry(const QByteArray& line, QString& key, QString& value) {
  const qsizetype eq = line.indexOf('=');
  if (eq < 0) return false;
  key = QString::fromLatin1(line.left(eq)).trimmed();
  value = QString::fromLatin1(line.mid(eq + 1)).trimmed();
  return !key.isEmpty();
}

}  // namespace

bool TProfileIni::Load(const QString& fileName) {
  lines_.clear();
  QFile f(fileName);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray all = f.readAll();
  if (f.error() != QFileDevice::NoError) return false;
  for (QByteArray line : all.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    lines_.append(line);
  }
  // The text ends with a line break: no empty line after it.
  if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
  return true;
}

void TProfileIni::Save(const QString& fileName) const {
  QSaveFile f(fileName);
  if (!f.open(QIODevice::WriteOnly)) throw IoError("cannot create " + fileName.toStdString());
  for (const QByteArray& line : lines_) {
    if (f.write(line) != line.size() || f.write("\r\n", 2) != 2) break;
  }
  if (!f.commit()) throw IoError("cannot write " + fileName.toStdString());
}

int TProfileIni::SectionStart(const QString& section) const {
  for (int i = 0; i < lines_.size(); ++i) {
    const auto name = HeaderName(lines_[i]);
    if (name && SameName(*name, section)) return i;
  }
  return -1;
}

int TProfileIni::SectionEnd(int start) const {
  int i = start + 1;
  while (i < lines_.size() && !HeaderName(lines_[i])) ++i;
  return i;
}

bool TProfileIni::SectionExists(const QString& section) const { return SectionStart(section) >= 0; }

std::optional<QString> TProfileIni::ReadString(const QString& section, const QString& key) const {
  const int start = SectionStart(section);
  if (start < 0) return std::nullopt;
  const int end = SectionEnd(start);
  QString k, v;
  for (int i = start + 1; i < end; ++i)
    if (SplitEntry(lines_[i], k, v) && SameName(k, key)) return v;
  return std::nullopt;
}

void TProfileIni::WriteString(const QString& section, const QString& key, const QString& value) {
  const QByteArray entry = key.toLatin1() + '=' + value.toLatin1();
  int start = SectionStart(section);
  if (start < 0) {
    lines_.append('[' + section.toLatin1() + ']');
    lines_.append(entry);
    return;
  }
  const int end = SectionEnd(start);
  QString k, v;
  for (int i = start + 1; i < end; ++i) {
    if (SplitEntry(lines_[i], k, v) && SameName(k, key)) {
      lines_[i] = entry;
      return;
    }
  }
  // After the section's last entry, before any blank lines that end it.
  int at = end;
  while (at > start + 1 && lines_[at - 1].trimmed().isEmpty()) --at;
  lines_.insert(at, entry);
}

void TProfileIni::EraseSection(const QString& section) {
  const int start = SectionStart(section);
  if (start < 0) return;
  lines_.remove(start, SectionEnd(start) - start);
}

}  // namespace vm
