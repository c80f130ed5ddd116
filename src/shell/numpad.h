// The on-screen keypad: builds a number text from button presses for the
// numeric edits. The text is shown in the keypad's title bar.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

namespace vm {

// One button: component name, caption ("" for the separator, which shows the
// locale's decimal separator), its place in the normal and the big layout.
struct TNumPadButton {
  const char* name;
  const char* caption;
  QRect normal;
  QRect big;
};

class TNumPadForm {
 public:
  static constexpr int kModalOK = 1;
  static constexpr int kModalCancel = 2;
  // Client area of the normal layout; outer size of the big one.
  static constexpr QSize kNormalClientSize{129, 111};
  static constexpr QSize kBigOuterSize{298, 318};

  // The twelve digit, separator and minus buttons and C, CE, Cancel, OK.
  static const std::vector<TNumPadButton>& Buttons();

  // Set by the calling edit before the keypad is shown.
  bool BigLayout() const { return big_; }
  void SetBigLayout(bool b) { big_ = b; }

  // Every showing starts with an empty text.
  void FormActivate() { text_.clear(); }

  // The number being built (the form's caption).
  const QString& Text() const { return text_; }
  // Caption of the separator button: the locale's decimal separator.
  static QString ButtonpCaption();

  // A digit ('0'..'9') appends itself; '-' makes the number negative (it
  // never makes it positive again); the decimal separator ("." or ",") appends
  // the locale's separator unless the text has one already. Returns false when
  // the press is refused (nothing changes).
  bool ButtonClick(QChar key);
  void ButtonCClick() { text_.clear(); }
  void ButtonCEClick() {
    if (!text_.isEmpty()) text_.chop(1);
  }

  // Keeps a keypad placed at `topLeft` with outer `size` on a screen of
  // `screen` size: past the right edge it moves left by its width + 5, past the
  // bottom up by its height - 5.
  static QPoint KeepOnScreen(QPoint topLeft, QSize size, QSize screen);

 private:
  QString text_;
  bool big_ = false;
};

}  // namespace vm
