// The model info dialog window: shows the texts of the core TfModelInfo in
// fixed labels; OK and Esc close it.
#pragma once

#include <QDialog>

#include "model3d/model_info.h"

class QLabel;

namespace vm::ui {

class TfModelInfoDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TfModelInfoDialog(QWidget* parent = nullptr);

  TfModelInfo& form() { return form_; }
  // The label of a control name ("pZrodlo", "lXminJm", ...), or nullptr.
  QLabel* label(const QString& name) const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLabel* addLabel(QWidget* parent, const char* name, int left, int top, int width,
                   bool valuePanel = false);
  void showTexts();

  TfModelInfo form_;
};

// Creates a dialog with its top-left corner at (x, y) on the screen, gives it
// a copy of `model`, shows it modally and frees it when it closes.
void ShowModelInfoDialog(int x, int y, const TModel& model, QWidget* parent = nullptr);

}  // namespace vm::ui
