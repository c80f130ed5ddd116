// The operating-system check of start-up.
#pragma once

#include <QString>

namespace vm {

// Fills `text` with the system's product name, " [ver. ", major "." minor,
// "]", "\r\n" and the service-pack text (none here), and tells whether the
// system is suitable: every system this program builds for is.
bool CheckOperatingSystem(QString& text,
                          const QString& osReleasePath = QStringLiteral("/etc/os-release"));

}  // namespace vm
