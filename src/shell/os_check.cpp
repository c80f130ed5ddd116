#include "shell/os_check.h"

#include <QStringList>

#include "platform/os_name.h"

namespace vm {

bool CheckOperatingSystem(QString& text, const QString& osReleasePath) {
  const platform::OsVersion os = platform::ReadOsRelease(osReleasePath);
  const QStringList parts = os.version.split('.');
  bool ok = false;
  const int major = parts.value(0).toInt(&ok);
  const int minor = parts.size() > 1 ? parts.value(1).toInt() : 0;
  text = os.productName + " [ver. " + QString::number(ok ? major : 0) + '.' +
         QString::number(minor) + "]" + "\r\n";
  return true;
}

}  // namespace vm
