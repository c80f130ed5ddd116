// The on-screen message boxes: installs the message handler built on QMessageBox.
#pragma once

#include "shell/messages.h"

class QWidget;

namespace vm::ui {

// Shows `request` as a modal QMessageBox owned by `parent` (the active window
// when null) and returns the button pressed.
ModalResult ExecMessageBox(const MessageRequest& request, QWidget* parent = nullptr);

// Routes ShowMessageBox and ConfirmDialog to ExecMessageBox.
void InstallMessageBoxHandler();

}  // namespace vm::ui
