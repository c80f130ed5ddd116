// A small reader and writer of INI files ("[Section]" lines, then "key=value"
// lines), as other programs on the operator's system read and write them:
// section and key names compare without regard to case, names and values are
// taken without surrounding blanks, lines of other sections stay as they are.
// The file is 8-bit text.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace vm {

class TProfileIni {
 public:
  // Reads the file; false (and an empty profile) when it does not exist or
  // cannot be read.
  bool Load(const QString& fileName);
  // Writes the whole profile, replacing the file only once it is complete.
  // Raises IoError when the file cannot be written.
  void Save(const QString& fileName) const;

  bool SectionExists(const QString& section) const;
  // The value of the first matching key, nullopt when the section or key is missing.
  std::optional<QString> ReadString(const QString& section, const QString& key) const;
  // Replaces the key's value, adding the key (and the section at the end) when missing.
  void WriteString(const QString& section, const QString& key, const QString& value);
  // Removes the section header and every line up to the next section.
  void EraseSection(const QString& section);

  const QList<QByteArray>& Lines() const { return lines_; }

 private:
  // Index of the section header line, -1 when missing; End: one past its last line.
  int SectionStart(const QString& section) const;
  int SectionEnd(int start) const;

  QList<QByteArray> lines_;
};

}  // namespace vm
