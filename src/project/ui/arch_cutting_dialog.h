// The arch-cutting dialog: the notch depth edit and the Generate and Cancel
// buttons around the core TfZaginacz.
#pragma once

#include <QDialog>

#include "project/arch_cutting.h"

class QLabel;
class QPushButton;

namespace vm::ui {

class TFltEditWidget;
class TMainForm;

class TfZaginaczDialog : public QDialog {
  Q_OBJECT

 public:
  // `main` provides the project windows; nullptr: the one main window.
  explicit TfZaginaczDialog(TMainForm* main = nullptr, QWidget* parent = nullptr);
  ~TfZaginaczDialog() override;

  TfZaginacz& form() { return form_; }
  TFltEditWidget* depthEdit() const { return depth_; }
  QLabel* unitLabel() const { return unit_; }
  QPushButton* generateButton() const { return generate_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TfZaginacz form_;
  TFltEditWidget* depth_ = nullptr;
  QLabel* caption_ = nullptr;
  QLabel* unit_ = nullptr;
  QPushButton* generate_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

// One modal run of `dialog` for `source`; the unit and its edit settings are
// taken again first.
void ShowArchCuttingDialog(TfZaginaczDialog& dialog, TMDIChild& source);

}  // namespace vm::ui
