#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vm::test {

QString DataPath(const QString& name) { return QStringLiteral(VM_TEST_DATA_DIR "/") + name; }

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

QString Hex(const QByteArray& bytes) {
  return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

}  // namespace vm::test
