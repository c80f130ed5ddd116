// Name and version of the operating system, for the start-up check.
#pragma once

#include <QString>

namespace vm::platform {

struct OsVersion {
  QString productName;  // e.g. "Debian GNU/Linux 12 (bookworm)"; empty when unknown
  QString version;      // VERSION_ID, e.g. "12"; empty when unknown
};

// Reads PRETTY_NAME (or NAME) and VERSION_ID from an os-release file.
// A missing or unreadable file gives empty texts.
OsVersion ReadOsRelease(const QString& path = QStringLiteral("/etc/os-release"));

}  // namespace vm::platform
