#include "shell/serial_passes.h"

#include <QDir>
#include <algorithm>

namespace vm {

int SerialPassSlot(const QString& fileName) {
  int digits = 0;
  while (digits < fileName.size() && fileName[digits] >= u'0' && fileName[digits] <= u'9') {
    ++digits;
  }
  // At least one digit, and a non-digit after it.
  if (digits == 0 || digits == fileName.size()) return -1;
  // Leading zeros are allowed; more than a handful of significant digits is
  // out of range anyway, so stop before the value could overflow.
  long value = 0;
  for (int i = 0; i < digits; ++i) {
    value = value * 10 + (fileName[i].unicode() - u'0');
    if (value > kMaxSerialPass) return -1;
  }
  return static_cast<int>(value);
}

SerialPassTable BuildSerialPassTable(QStringList names) {
  std::sort(names.begin(), names.end());
  SerialPassTable table;
  for (const QString& name : names) {
    const int slot = SerialPassSlot(name);
    if (slot >= 0) table[slot] = name;
  }
  return table;
}

SerialPassTable ScanSerialFolder(const QString& folder) {
  const QStringList names =
      QDir(folder).entryList({QStringLiteral("*.plt")}, QDir::Files, QDir::Name);
  return BuildSerialPassTable(names);
}

}  // namespace vm
