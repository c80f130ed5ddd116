#include "project/drawing_errors.h"

#include "drawing/errors.h"
#include "shell/interfejs.h"
#include "shell/messages.h"

namespace vm {

QString DrawingErrorText(const QString& fileName, const std::exception& e, const char* leadKey) {
  if (const auto* m = dynamic_cast<const MessageError*>(&e)) return MessageErrorText(*m);
  if (dynamic_cast<const RangeError*>(&e) != nullptr ||
      dynamic_cast<const OverflowError*>(&e) != nullptr)
    return Tr("Project_window", "rysunekPozaZakresem") + fileName;
  return Tr("Project_window", leadKey) + fileName + QStringLiteral("\r\n") +
         QString::fromLocal8Bit(e.what());
}

}  // namespace vm
