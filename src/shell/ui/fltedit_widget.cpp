// The numeric edit widget.
#include "shell/ui/fltedit_widget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyleOptionSpinBox>
#include <QWheelEvent>
#include <algorithm>

#include "shell/ui/numpad_dialog.h"

namespace vm::ui {

void InstallEditBeep() {
  SetEditBeepHandler([] { QApplication::beep(); });
}

TFltEditWidget::TFltEditWidget(TNumericEdit& edit, QWidget* parent)
    : QAbstractSpinBox(parent), edit_(edit) {
  setObjectName(edit.Name());
  setKeyboardTracking(true);
  lineEdit()->installEventFilter(this);
  connect(lineEdit(), &QLineEdit::textEdited, this,
          [this](const QString& text) { edit_.SetText(text); });
  subscription_ = edit_.Subscribe([this] { Refresh(); });
  editLifetime_ = edit_.Lifetime();
  edit_.OnFocusRequest = [this] { setFocus(); };
  Refresh();
}

TFltEditWidget::~TFltEditWidget() {
  // A dialog may destroy its core form before its child widgets.
  if (editLifetime_.expired()) return;
  edit_.Unsubscribe(subscription_);
  edit_.OnFocusRequest = nullptr;
}

void TFltEditWidget::Refresh() {
  if (lineEdit()->text() != edit_.Text()) lineEdit()->setText(edit_.Text());
  setEnabled(edit_.Enabled());
  if (parentWidget()) setVisible(edit_.Visible());
  lineEdit()->setReadOnly(edit_.ReadOnly() || !edit_.EditorEnabled());
  setToolTip(edit_.Hint());
}

QSize TFltEditWidget::sizeHint() const {
  // The base class sizes an untyped spin box for an empty text; a layout
  // would then squeeze the field below a readable value.
  ensurePolished();
  const QFontMetrics fm = fontMetrics();
  const int text = std::max(fm.horizontalAdvance(QStringLiteral("-8888.888")),
                            fm.horizontalAdvance(edit_.Text()));
  QStyleOptionSpinBox option;
  initStyleOption(&option);
  // The field's own margins and cursor, as a line edit reserves them.
  const QSize field(text + 8, lineEdit()->sizeHint().height());
  return style()->sizeFromContents(QStyle::CT_SpinBox, &option, field, this);
}

void TFltEditWidget::stepBy(int steps) {
  for (; steps > 0; --steps) edit_.UpClick();
  for (; steps < 0; ++steps) edit_.DownClick();
}

void TFltEditWidget::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Up) {
    edit_.ArrowUp();
    e->accept();
    return;
  }
  if (e->key() == Qt::Key_Down) {
    edit_.ArrowDown();
    e->accept();
    return;
  }
  // Only the arrows step; the page keys are left to the window.
  if (e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown) {
    e->ignore();
    return;
  }
  const QString t = e->text();
  if (t.size() == 1 && !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
    const bool numpadDecimal = (e->modifiers() & Qt::KeypadModifier) &&
                               (e->key() == Qt::Key_Period || e->key() == Qt::Key_Comma);
    edit_.KeyDown(numpadDecimal);
    const QChar c = t[0];
    const auto accepted = edit_.KeyPress(c);
    if (!accepted) {
      // Enter still reaches the dialog (its default button); other refused
      // keys end here.
      if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
        QAbstractSpinBox::keyPressEvent(e);
      else
        e->accept();
      return;
    }
    if (accepted->isPrint()) {
      // insert() would write into a read-only field as well.
      if (lineEdit()->isReadOnly()) {
        e->accept();
        return;
      }
      lineEdit()->insert(QString(*accepted));
      edit_.SetText(lineEdit()->text());
      e->accept();
      return;
    }
  }
  QAbstractSpinBox::keyPressEvent(e);
}

void TFltEditWidget::wheelEvent(QWheelEvent* e) {
  edit_.MouseWheel(e->angleDelta().y());
  e->accept();
}

void TFltEditWidget::focusInEvent(QFocusEvent* e) {
  edit_.DoEnter();
  QAbstractSpinBox::focusInEvent(e);
}

void TFltEditWidget::focusOutEvent(QFocusEvent* e) {
  edit_.DoExit();
  QAbstractSpinBox::focusOutEvent(e);
}

bool TFltEditWidget::eventFilter(QObject* watched, QEvent* e) {
  if (watched == lineEdit() && isEnabled() &&
      (e->type() == QEvent::MouseButtonDblClick || e->type() == QEvent::MouseButtonPress)) {
    auto* me = static_cast<QMouseEvent*>(e);
    if (me->button() == Qt::LeftButton &&
        edit_.KeypadOpensOn(e->type() == QEvent::MouseButtonDblClick)) {
      ShowNumPad();
      return true;
    }
  }
  return QAbstractSpinBox::eventFilter(watched, e);
}

void TFltEditWidget::ShowNumPad() {
  TNumPadDialog pad(this);
  pad.SetBigLayout(edit_.KeypadBig());
  pad.move(mapToGlobal(QPoint(0, 0)));
  pad.exec();
  if (pad.ModalResult() == TNumPadForm::kModalOK) edit_.TakeKeypadText(pad.Text());
}

}  // namespace vm::ui
