#include "shell/ui/hpgl_save_dialog.h"

#include <QFileDialog>

#include "project/okno_plt.h"
#include "project/ui/project_window.h"
#include "shell/ui/main_window.h"

namespace vm::ui {

QString AskHpglFileName(const TSaveDialogRequest& request, QWidget* parent) {
  QFileDialog dialog(parent, request.title);
  dialog.setObjectName(QStringLiteral("SaveDialog"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(request.filters);
  dialog.setDefaultSuffix(request.defaultExt);
  dialog.setDirectory(request.initialFolder);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

void InstallSaveAsHpglCommand(TMainForm& mainForm) {
  TMainForm* main = &mainForm;
  mainForm.commands.SaveAsHpgl = [main] {
    ProjectWindow* w = main->ActiveProject();
    FileSaveAsHPGLClick(w ? &w->project().Figures : nullptr,
                        [main](const TSaveDialogRequest& r) { return AskHpglFileName(r, main); });
  };
}

}  // namespace vm::ui
