// Widgets bound to the core controls of a dialog.
#include "shell/ui/konfig_widgets.h"

#include <QGridLayout>
#include <QRadioButton>

namespace vm::ui {

void BindControl(QWidget* widget, TControl& control, std::function<void(const QString&)> setText) {
  auto refresh = [widget, &control, setText] {
    widget->setEnabled(control.Enabled());
    if (widget->parentWidget()) widget->setVisible(control.Visible());
    widget->setToolTip(control.Hint());
    if (setText) setText(control.Caption());
  };
  const int id = control.Subscribe(refresh);
  QObject::connect(widget, &QObject::destroyed, [&control, id, alive = control.Lifetime()] {
    if (!alive.expired()) control.Unsubscribe(id);
  });
  widget->setObjectName(control.Name());
  refresh();
}

TLabelWidget::TLabelWidget(TLabel& label, QWidget* parent) : QLabel(parent) {
  BindControl(this, label, [this](const QString& t) { setText(t); });
}

TCheckBoxWidget::TCheckBoxWidget(TTntCheckBox& box, QWidget* parent)
    : QCheckBox(parent), box_(box) {
  setTristate(false);
  auto show = [this] {
    setText(box_.Caption());
    const Qt::CheckState s = box_.State() == TCheckBoxState::cbChecked  ? Qt::Checked
                             : box_.State() == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                                        : Qt::Unchecked;
    if (checkState() != s) setCheckState(s);
  };
  BindControl(this, box, [show](const QString&) { show(); });
  connect(this, &QCheckBox::clicked, this, [this](bool checked) { box_.SetChecked(checked); });
}

TRadioGroupWidget::TRadioGroupWidget(TTntRadioGroup& group, QWidget* parent)
    : QGroupBox(parent), group_(group) {
  new QGridLayout(this);
  Rebuild();
  BindControl(this, group, [this](const QString&) { Refresh(); });
}

void TRadioGroupWidget::Rebuild() {
  qDeleteAll(buttons_);
  buttons_.clear();
  auto* grid = static_cast<QGridLayout*>(layout());
  const int columns = std::max(1, group_.Columns());
  const int count = static_cast<int>(group_.Items().size());
  const int rows = (count + columns - 1) / columns;
  for (int i = 0; i < count; ++i) {
    auto* b = new QRadioButton(group_.Items()[i], this);
    b->setAutoExclusive(false);
    // Items fill the columns top to bottom, as a radio group lays them out.
    grid->addWidget(b, i % rows, i / rows);
    connect(b, &QRadioButton::clicked, this, [this, i] {
      group_.SetItemIndex(i);
      Refresh();
    });
    buttons_.append(b);
  }
}

void TRadioGroupWidget::Refresh() {
  setTitle(group_.Caption());
  if (buttons_.size() != group_.Items().size()) Rebuild();
  for (int i = 0; i < buttons_.size(); ++i) {
    buttons_[i]->setText(group_.Items()[i]);
    buttons_[i]->setChecked(i == group_.ItemIndex());
  }
}

}  // namespace vm::ui
