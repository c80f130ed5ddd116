#include "platform/os_name.h"

#include <QFile>

namespace vm::platform {

namespace {

// A value of os-release may be quoted with " or '; the quotes are dropped.
QString Unquote(QString v) {
  v = v.trimmed();
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v = v.mid(1, v.size() - 2);
  }
  return v;
}

}  // namespace

OsVersion ReadOsRelease(const QString& path) {
  OsVersion result;
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return result;
  QString name;
  QString pretty;
  while (!f.atEnd()) {
    const QString line = QString::fromUtf8(f.readLine()).trimmed();
    const qsizetype eq = line.indexOf('=');
    if (line.startsWith('#') || eq <= 0) continue;
    const QString key = line.left(eq);
    const QString value = Unquote(line.mid(eq + 1));
    if (key == QLatin1String("PRETTY_NAME"))
      pretty = value;
    else if (key == QLatin1String("NAME"))
      name = value;
    else if (key == QLatin1String("VERSION_ID"))
      result.version = value;
  }
  result.productName = pretty.isEmpty() ? name : pretty;
  return result;
}

}  // namespace vm::platform
