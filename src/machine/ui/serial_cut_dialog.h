// The serial-cut parameters dialog: a resizable modal dialog with the grid of
// project windows and their turntable angles, the repetition count and the
// downward shift, and the buttons Cancel, Confirm and Defaults. The core
// dialog (machine/serial_cut_dialog.h) holds the values and every check.
#pragma once

#include <QDialog>

#include "machine/serial_cut_dialog.h"

class QKeyEvent;
class QPushButton;
class QTableWidget;

namespace vm::ui {

class TFltEditWidget;
class TLabelWidget;

class SerialCutDialog : public QDialog {
  Q_OBJECT

 public:
  SerialCutDialog(TfDlgSeryjne& form, QWidget* parent = nullptr);

  TfDlgSeryjne& form() { return form_; }
  QTableWidget* grid() const { return grid_; }
  QPushButton* confirmButton() const { return zatwierdz_; }
  QPushButton* defaultsButton() const { return domyslne_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Grid from the core cells and back.
  void fillGrid();
  void takeGrid();
  void confirm();

  TfDlgSeryjne& form_;
  QTableWidget* grid_ = nullptr;
  TLabelWidget* countLabel_ = nullptr;
  TLabelWidget* shiftLabel_ = nullptr;
  TFltEditWidget* count_ = nullptr;
  TFltEditWidget* shift_ = nullptr;
  QPushButton* anuluj_ = nullptr;
  QPushButton* zatwierdz_ = nullptr;
  QPushButton* domyslne_ = nullptr;
};

// Makes vm::ShowSerialCutDialog show this dialog over `parent`.
void InstallSerialCutDialog(QWidget* parent);

}  // namespace vm::ui
