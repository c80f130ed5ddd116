// Opening a document or a web address with the program the system associates
// with it. Core code calls ShellOpen; the ui installs the real opener at start.
#pragma once

#include <QString>
#include <functional>

namespace vm::platform {

// Returns true when the document was handed to a program.
using ShellOpenFn = std::function<bool(const QString& pathOrUrl)>;

// Installs the opener (an empty function removes it); returns the previous one.
ShellOpenFn SetShellOpenHandler(ShellOpenFn fn);

// Opens the document through the installed opener; false without one.
bool ShellOpen(const QString& pathOrUrl);

}  // namespace vm::platform
