#include "shell/program_info.h"

#include <QCoreApplication>

#include "drawing/definicje.h"

namespace vm {

QString ProgramFolder() {
  if (!ExeDir.isEmpty()) return ExeDir;
  QString dir = QCoreApplication::applicationDirPath();
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

}  // namespace vm
