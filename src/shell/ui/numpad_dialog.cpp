// The on-screen keypad window.
#include "shell/ui/numpad_dialog.h"

#include <QApplication>
#include <QFont>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace vm::ui {

TNumPadDialog::TNumPadDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("NumPadForm"));
  for (const TNumPadButton& b : TNumPadForm::Buttons()) {
    auto* button = new QPushButton(QString::fromLatin1(b.caption), this);
    const QString name = QString::fromLatin1(b.name);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    buttons_.insert(name, button);
    connect(button, &QPushButton::clicked, this, [this, name] { Press(name); });
  }
  ApplyLayout();
}

void TNumPadDialog::ApplyLayout() {
  const bool big = form_.BigLayout();
  for (const TNumPadButton& b : TNumPadForm::Buttons())
    buttons_.value(QString::fromLatin1(b.name))->setGeometry(big ? b.big : b.normal);
  if (big) {
    QFont f = font();
    f.setPointSize(14);
    setFont(f);
    QFont small = f;
    small.setPointSize(10);
    for (const char* n : {"ButtonCancel", "ButtonC", "ButtonCE", "ButtonOK"})
      buttons_.value(QString::fromLatin1(n))->setFont(small);
    // The big layout gives the outer size; the frame is the window system's.
    setFixedSize(TNumPadForm::kBigOuterSize);
  } else {
    setFixedSize(TNumPadForm::kNormalClientSize);
  }
}

void TNumPadDialog::showEvent(QShowEvent* e) {
  form_.FormActivate();
  ApplyLayout();
  buttons_.value(QStringLiteral("Buttonp"))->setText(TNumPadForm::ButtonpCaption());
  ShowText();
  modalResult_ = TNumPadForm::kModalCancel;
  QDialog::showEvent(e);
  if (QScreen* s = screen()) {
    // Measured from the client origin; a moved edge sets the window's own
    // left or top (its frame), the other one stays where the edit put it.
    const QPoint origin = geometry().topLeft();
    const QPoint p =
        TNumPadForm::KeepOnScreen(origin, frameGeometry().size(), s->geometry().size());
    QPoint target = pos();
    if (p.x() != origin.x()) target.setX(p.x());
    if (p.y() != origin.y()) target.setY(p.y());
    if (target != pos()) move(target);
  }
}

void TNumPadDialog::Press(const QString& name) {
  if (name == QLatin1String("ButtonOK")) {
    modalResult_ = TNumPadForm::kModalOK;
    done(TNumPadForm::kModalOK);
    return;
  }
  if (name == QLatin1String("ButtonCancel")) {
    reject();
    return;
  }
  if (name == QLatin1String("ButtonC")) {
    form_.ButtonCClick();
  } else if (name == QLatin1String("ButtonCE")) {
    form_.ButtonCEClick();
  } else if (name == QLatin1String("ButtonMinus")) {
    form_.ButtonClick(QLatin1Char('-'));
  } else if (name == QLatin1String("Buttonp")) {
    if (!form_.ButtonClick(TNumPadForm::ButtonpCaption()[0])) QApplication::beep();
  } else {
    form_.ButtonClick(buttons_.value(name)->text()[0]);
  }
  ShowText();
}

void TNumPadDialog::reject() {
  modalResult_ = TNumPadForm::kModalCancel;
  done(TNumPadForm::kModalCancel);
}

void TNumPadDialog::ShowText() { setWindowTitle(form_.Text()); }

}  // namespace vm::ui
