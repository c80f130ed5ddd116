// The move-wire dialog: the radio choice between machine coordinates and an
// amount, the three edits with their unit labels, Execute, Cancel and the two
// service buttons, bound to the core dialog (machine/move_wire.h).
#pragma once

#include <QDialog>

#include "machine/move_wire.h"

class QLabel;
class QPushButton;

namespace vm::ui {

class TFltEditWidget;
class TRadioGroupWidget;

class MoveWireDialog : public QDialog {
  Q_OBJECT

 public:
  // Binds `form` and runs its FormCreate.
  explicit MoveWireDialog(Tprzesun& form, QWidget* parent = nullptr);
  ~MoveWireDialog() override;

  Tprzesun& form() { return form_; }
  TRadioGroupWidget* przesun() const { return przesun_; }
  TFltEditWidget* deltaX() const { return deltaX_; }
  TFltEditWidget* deltaY() const { return deltaY_; }
  TFltEditWidget* deltaZ() const { return deltaZ_; }
  QLabel* label4() const { return label4_; }
  QLabel* label5() const { return label5_; }
  QPushButton* wykonaj() const { return wykonaj_; }
  QPushButton* test() const { return test_; }
  QPushButton* testGrzalki() const { return testGrzalki_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Enter and Escape in the edits go to the form's key handler.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Tprzesun& form_;
  TRadioGroupWidget* przesun_ = nullptr;
  TFltEditWidget* deltaX_ = nullptr;
  TFltEditWidget* deltaY_ = nullptr;
  TFltEditWidget* deltaZ_ = nullptr;
  QLabel* label4_ = nullptr;
  QLabel* label5_ = nullptr;
  QPushButton* wykonaj_ = nullptr;
  QPushButton* test_ = nullptr;
  QPushButton* testGrzalki_ = nullptr;
};

}  // namespace vm::ui
