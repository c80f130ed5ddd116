// The program's version text.
#pragma once

#include <QByteArray>

namespace vm {

// Major "." minor, then "." release when asked, then "." build when asked.
QByteArray FormatVersion(int major, int minor, int release, int build, bool withRelease,
                         bool withBuild);

// FormatVersion of this program's own version (from the build).
QByteArray GetExeVersion(bool withRelease, bool withBuild);

}  // namespace vm
