// The project info window: a small modal dialog with the active project's
// file, the settings file, the scaled sizes, the path length and the
// estimated time (texts computed by the core Tinfoform).
#pragma once

#include <QDialog>

#include "project/info.h"

class QLabel;

namespace vm {
class TMDIChild;
}

namespace vm::ui {

class InfoForm : public QDialog {
  Q_OBJECT

 public:
  explicit InfoForm(QWidget* parent = nullptr);

  Tinfoform& form() { return form_; }
  // Fills the value labels from the project and the current settings.
  void fill(const TMDIChild& project);
  // The label of a component name ("fname", "totlen", ...), or nullptr.
  QLabel* label(const QString& name) const;

 private:
  QLabel* addLabel(const char* name, int left, int top, int width, bool caption);
  void showTexts();

  Tinfoform form_;
};

// Creates the one info window (the program does so at start-up, as the tenth
// of its long-lived windows); later calls leave it as it is.
void CreateInfoForm(QWidget* parent);

// Shows the info window for `project` modally (created first when
// it does not exist yet).
// A value too large to compute is reported in an error box instead.
void ShowInfoForm(const TMDIChild& project, QWidget* parent = nullptr);

}  // namespace vm::ui
