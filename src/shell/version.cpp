#include "shell/version.h"

#include "vm_version.h"

namespace vm {

QByteArray FormatVersion(int major, int minor, int release, int build, bool withRelease,
                         bool withBuild) {
  QByteArray v = QByteArray::number(major) + '.' + QByteArray::number(minor);
  if (withRelease) v += '.' + QByteArray::number(release);
  if (withBuild) v += '.' + QByteArray::number(build);
  return v;
}

QByteArray GetExeVersion(bool withRelease, bool withBuild) {
  return FormatVersion(VM_VERSION_MAJOR, VM_VERSION_MINOR, VM_VERSION_PATCH, VM_VERSION_BUILD + 0,
                       withRelease, withBuild);
}

}  // namespace vm
