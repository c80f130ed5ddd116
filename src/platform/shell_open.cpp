#include "platform/shell_open.h"

#include <utility>

namespace vm::platform {

namespace {
ShellOpenFn g_open;
}

ShellOpenFn SetShellOpenHandler(ShellOpenFn fn) { return std::exchange(g_open, std::move(fn)); }

bool ShellOpen(const QString& pathOrUrl) { return g_open ? g_open(pathOrUrl) : false; }

}  // namespace vm::platform
