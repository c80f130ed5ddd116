// The serial-pass table of a serial-cut folder: every ".plt" file whose name
// begins with a decimal pass number 0..9999 is one pass of the serial job.
#pragma once

#include <QString>
#include <QStringList>
#include <map>

namespace vm {

constexpr int kMaxSerialPass = 9999;

// The pass number of a file name: its leading run of decimal digits, which must
// be followed by a non-digit. -1 when the name has no such run or the number is
// above 9999.
int SerialPassSlot(const QString& fileName);

// Pass number -> file name (without folder). Of two names with one number the
// one later in name order stays.
using SerialPassTable = std::map<int, QString>;

// Builds the table from a folder listing (names only). The names are examined
// in name order, so the result does not depend on the file system's order.
SerialPassTable BuildSerialPassTable(QStringList names);

// Lists the "*.plt" entries of a folder (any case of letters) and builds the table.
SerialPassTable ScanSerialFolder(const QString& folder);

}  // namespace vm
