#include "shell/open_plan.h"

#include <QDir>
#include <QFileInfo>

#include "shell/serial_passes.h"

namespace vm {

OpenPlan PlanOpenProject(const QString& fileName, int mode) {
  OpenPlan plan;
  const QFileInfo info(fileName);
  if (!info.exists()) {
    plan.fileMissing = true;
    return plan;
  }
  plan.folder = QDir::toNativeSeparators(info.absolutePath());
  if (mode != 3) {
    plan.windows.push_back({info.absoluteFilePath(), QString(), 0});
    return plan;
  }
  plan.closeAll = true;
  plan.tile = true;
  const SerialPassTable table = ScanSerialFolder(info.absolutePath());
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    plan.windows.push_back({QDir(info.absolutePath()).filePath(it->second), it->second, it->first});
  }
  return plan;
}

}  // namespace vm
