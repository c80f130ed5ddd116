// The "Save as HPGL" command of the main window.
#include "shell/hpgl_save_command.h"

#include <QDir>

#include "drawing/errors.h"
#include "drawing/figury.h"
#include "drawing/hpgl_export.h"
#include "shell/messages.h"
#include "shell/program_info.h"

namespace vm {

TSaveDialogRequest HpglSaveDialogRequest() {
  TSaveDialogRequest r;
  r.title = QStringLiteral("Save output file as HPGL.plt");
  r.filters = {QStringLiteral("HPGL.plt (*.plt)"), QStringLiteral("all files (*.*)")};
  r.defaultExt = QStringLiteral("plt");
  r.initialFolder = ProgramFolder();
  return r;
}

bool FileSaveAsHPGLClick(const std::vector<std::unique_ptr<tfigura>>* figures,
                         const AskSaveFileName& ask) {
  if (figures == nullptr || figures->empty() || !ask) return false;
  const QString fileName = ask(HpglSaveDialogRequest());
  if (fileName.isEmpty()) return false;
  try {
    SaveFiguresAsHpgl(*figures, fileName);
  } catch (const IoError& e) {
    ShowMessageError(
        MessageError("Main_window", "bladZapisuHpgl", QString::fromStdString(e.what())));
    return false;
  }
  return true;
}

}  // namespace vm
