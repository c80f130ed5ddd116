// Serial port names and their device paths.
#include "shell/port_names.h"

#include <QByteArray>
#include <QtGlobal>

namespace vm {

QString PortDevicePath(const QString& name) {
  const QString n = name.trimmed().toLower();
  if (n.size() == 4 && n.startsWith(QLatin1String("com")) && n[3] >= QLatin1Char('1') &&
      n[3] <= QLatin1Char('5')) {
    const int number = n[3].unicode() - '0';
    const QByteArray var = "VM_COM" + QByteArray::number(number);
    const QString over = qEnvironmentVariable(var.constData());
    if (!over.isEmpty()) return over;
    return QStringLiteral("/dev/ttyUSB") + QString::number(number - 1);
  }
  return name;
}

QString PortNameOfIndex(int index) {
  if (index < 0 || index > 4) index = 0;
  return QStringLiteral("com") + QString::number(index + 1);
}

}  // namespace vm
