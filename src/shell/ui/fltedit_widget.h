// The numeric edit widget: a spin box bound to one of the core numeric edits
// (TFltEdit, TFltEditU, TFloatEdit, TFloatEditU). The core object holds the
// value and every rule; the widget forwards typing, steps, wheel, focus and
// clicks, shows the core's text and opens the keypad.
#pragma once

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <memory>

#include "shell/fltedit_base.h"

namespace vm::ui {

// Makes the edits' refusals beep through the application.
void InstallEditBeep();

class TFltEditWidget : public QAbstractSpinBox {
  Q_OBJECT
 public:
  TFltEditWidget(TNumericEdit& edit, QWidget* parent = nullptr);
  ~TFltEditWidget() override;

  TNumericEdit& Edit() { return edit_; }
  // The text field inside the spin box.
  QLineEdit* Field() const { return lineEdit(); }
  // Opens the keypad under the field and takes over its text on OK.
  void ShowNumPad();

  void stepBy(int steps) override;
  // Room for a value of several digits, or for the current text if longer.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  StepEnabled stepEnabled() const override { return StepUpEnabled | StepDownEnabled; }
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void Refresh();

  TNumericEdit& edit_;
  int subscription_ = 0;
  std::weak_ptr<void> editLifetime_;
};

}  // namespace vm::ui
