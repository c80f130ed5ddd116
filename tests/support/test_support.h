// Helpers shared by the test suites.
#pragma once

#include <QByteArray>
#include <QString>

#include "support/printers.h"

namespace vm::test {

// Absolute path of a fixture in tests/data.
QString DataPath(const QString& name);

// Reads a whole file; fails the calling test (returns empty) when it cannot.
QByteArray ReadAll(const QString& path);

// Writes bytes to a file, creating folders; returns false on failure.
bool WriteAll(const QString& path, const QByteArray& bytes);

// Renders bytes as space-separated upper-case hex pairs ("41 01 06"), so that
// byte-exact expectations read like the format tables.
QString Hex(const QByteArray& bytes);

}  // namespace vm::test
