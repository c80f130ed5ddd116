// Widgets bound to the core controls of a dialog: labels (and any widget that
// only shows a caption and an enabled state), check boxes and radio groups.
// Each widget follows its control and forwards the operator's clicks to it.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QList>

#include "shell/konfig_controls.h"

class QRadioButton;

namespace vm::ui {

// Keeps `widget`'s enabled state, visibility (for child widgets) and tool tip
// on those of `control`, and its text on the caption when `setText` is given.
void BindControl(QWidget* widget, TControl& control,
                 std::function<void(const QString&)> setText = nullptr);

class TLabelWidget : public QLabel {
  Q_OBJECT
 public:
  TLabelWidget(TLabel& label, QWidget* parent = nullptr);
};

class TCheckBoxWidget : public QCheckBox {
  Q_OBJECT
 public:
  TCheckBoxWidget(TTntCheckBox& box, QWidget* parent = nullptr);

 private:
  TTntCheckBox& box_;
};

class TRadioGroupWidget : public QGroupBox {
  Q_OBJECT
 public:
  TRadioGroupWidget(TTntRadioGroup& group, QWidget* parent = nullptr);
  QRadioButton* Button(int i) const { return buttons_.value(i); }

 private:
  void Rebuild();
  void Refresh();

  TTntRadioGroup& group_;
  QList<QRadioButton*> buttons_;
};

}  // namespace vm::ui
