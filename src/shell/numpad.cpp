// The on-screen keypad.
#include "shell/numpad.h"

#include "shell/fltedit_format.h"

namespace vm {

const std::vector<TNumPadButton>& TNumPadForm::Buttons() {
  auto big = [](int col, int row) { return QRect(8 + 72 * col, 8 + 72 * row, 57, 57); };
  static const std::vector<TNumPadButton> buttons = {
      {"Button7", "7", QRect(8, 8, 22, 22), big(0, 0)},
      {"Button8", "8", QRect(32, 8, 22, 22), big(1, 0)},
      {"Button9", "9", QRect(56, 8, 22, 22), big(2, 0)},
      {"Button4", "4", QRect(8, 32, 22, 22), big(0, 1)},
      {"Button5", "5", QRect(32, 32, 22, 22), big(1, 1)},
      {"Button6", "6", QRect(56, 32, 22, 22), big(2, 1)},
      {"Button1", "1", QRect(8, 56, 22, 22), big(0, 2)},
      {"Button2", "2", QRect(32, 56, 22, 22), big(1, 2)},
      {"Button3", "3", QRect(56, 56, 22, 22), big(2, 2)},
      {"Button0", "0", QRect(8, 80, 22, 22), big(0, 3)},
      {"ButtonMinus", "-", QRect(32, 80, 22, 22), big(1, 3)},
      {"Buttonp", "", QRect(56, 80, 22, 22), big(2, 3)},
      {"ButtonC", "C", QRect(80, 8, 41, 22), big(3, 0)},
      {"ButtonCE", "CE", QRect(80, 32, 41, 22), big(3, 1)},
      {"ButtonCancel", "Cancel", QRect(80, 56, 41, 22), big(3, 2)},
      {"ButtonOK", "OK", QRect(80, 80, 41, 22), big(3, 3)},
  };
  return buttons;
}

QString TNumPadForm::ButtonpCaption() { return QString(LocaleDecimalPoint()); }

bool TNumPadForm::ButtonClick(QChar key) {
  if (key >= QLatin1Char('0') && key <= QLatin1Char('9')) {
    text_.append(key);
    return true;
  }
  if (key == QLatin1Char('-')) {
    if (!text_.startsWith(QLatin1Char('-'))) text_.prepend(QLatin1Char('-'));
    return true;
  }
  const QChar dp = LocaleDecimalPoint();
  if (key == QLatin1Char('.') || key == QLatin1Char(',') || key == dp) {
    // A second separator would make the text unreadable, and the edit would
    // then take its minimum instead of what was meant.
    if (text_.contains(QLatin1Char('.')) || text_.contains(QLatin1Char(',')) || text_.contains(dp))
      return false;
    text_.append(dp);
    return true;
  }
  return false;
}

QPoint TNumPadForm::KeepOnScreen(QPoint topLeft, QSize size, QSize screen) {
  QPoint p = topLeft;
  if (topLeft.x() + size.width() > screen.width()) p.setX(topLeft.x() - size.width() - 5);
  if (topLeft.y() + size.height() > screen.height()) p.setY(topLeft.y() - size.height() + 5);
  return p;
}

}  // namespace vm
