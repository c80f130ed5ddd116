// The on-screen keypad window: buttons around the core keypad, the number in
// the title bar, OK (modal result 1) or Cancel / Escape (2).
#pragma once

#include <QDialog>
#include <QMap>
#include <QString>

#include "shell/numpad.h"

class QPushButton;

namespace vm::ui {

class TNumPadDialog : public QDialog {
  Q_OBJECT
 public:
  explicit TNumPadDialog(QWidget* parent = nullptr);

  TNumPadForm& Form() { return form_; }
  void SetBigLayout(bool big) { form_.SetBigLayout(big); }
  QString Text() const { return form_.Text(); }
  // 1 after OK, 2 after Cancel or Escape.
  int ModalResult() const { return modalResult_; }
  QPushButton* Button(const QString& name) const { return buttons_.value(name); }

 protected:
  void showEvent(QShowEvent* e) override;
  void reject() override;

 private:
  void Press(const QString& name);
  void ApplyLayout();
  void ShowText();

  TNumPadForm form_;
  QMap<QString, QPushButton*> buttons_;
  int modalResult_ = TNumPadForm::kModalCancel;
};

}  // namespace vm::ui
