// The duplication dialog: binds the core TfParDup (edits, texts, checks and
// the build) to widgets, and makes its new window on the main window.
#pragma once

#include <QDialog>
#include <map>

#include "project/duplication.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vm::ui {

class TFltEditWidget;
class TMainForm;

class TfParDupDialog : public QDialog {
  Q_OBJECT

 public:
  // `main` provides the project windows; nullptr: the one main window.
  explicit TfParDupDialog(TMainForm* main = nullptr, QWidget* parent = nullptr);
  ~TfParDupDialog() override;

  TfParDup& form() { return form_; }
  void setSource(TMDIChild& source) { form_.Source = &source; }

  // Widgets by component name (tests).
  QLabel* label(const QString& name) const;
  TFltEditWidget* edit(const QString& name) const;
  QPushButton* button(const QString& name) const;
  QLineEdit* fileEdit() const { return ePlik_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* addLabel(const char* name, const QString& text);
  void showTexts();
  // Enter runs Execute, Escape closes; true when the key was taken.
  bool formKey(QKeyEvent* event);

  TfParDup form_;
  std::map<QString, QLabel*> labels_;
  std::map<QString, TFltEditWidget*> edits_;
  std::map<QString, QPushButton*> buttons_;
  QLineEdit* ePlik_ = nullptr;
};

// Creates the dialog for `source`, shows it modally and frees it.
void ShowDuplicateDialog(TMDIChild& source, TMainForm* main = nullptr);

}  // namespace vm::ui
