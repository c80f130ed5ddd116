// Binds the main window's "Save as HPGL" command to the active project window
// and a file dialog.
#pragma once

#include <QString>

#include "shell/hpgl_save_command.h"

class QWidget;

namespace vm::ui {

class TMainForm;

// Shows a save dialog built from `request`; the chosen name, empty when cancelled.
QString AskHpglFileName(const TSaveDialogRequest& request, QWidget* parent);

// File > "Zapisz jako HPGL": the active project's figures through FileSaveAsHPGLClick.
void InstallSaveAsHpglCommand(TMainForm& mainForm);

}  // namespace vm::ui
