// Common value logic of the four numeric edit controls.
#include "shell/fltedit_base.h"

#include <cmath>

#include "drawing/units.h"

namespace vm {
namespace {

std::function<void()>& BeepHandler() {
  static std::function<void()> handler;
  return handler;
}

}  // namespace

std::function<void()> SetEditBeepHandler(std::function<void()> handler) {
  std::function<void()> old = std::move(BeepHandler());
  BeepHandler() = std::move(handler);
  return old;
}

void EditBeep() {
  if (BeepHandler()) BeepHandler()();
}

double EditMmToUnit(int unit, double mm) { return MmToUnit(unit, mm); }
double EditUnitToMm(int unit, double value) { return UnitToMm(unit, value); }

void TNumericEdit::SetEditorEnabled(bool b) {
  if (editorEnabled_ == b) return;
  editorEnabled_ = b;
  Changed();
}

void TNumericEdit::SetReadOnly(bool b) {
  if (readOnly_ == b) return;
  readOnly_ = b;
  Changed();
}

void TNumericEdit::SetText(const QString& text) {
  edited_ = true;
  if (text_ == text) return;
  text_ = text;
  Changed();
  if (OnChange) OnChange();
}

void TNumericEdit::ShowText(const QString& text) {
  edited_ = false;
  if (text_ == text) return;
  text_ = text;
  Changed();
  if (OnChange) OnChange();
}

double TNumericEdit::CheckValue(double v) const {
  if (minValue_ == maxValue_) return v;
  if (v < minValue_) return minValue_;
  if (v > maxValue_) return maxValue_;
  return v;
}

QString TNumericEdit::FormatShown(double shown) const {
  const QChar dp = LocaleDecimalPoint();
  if (precision_ != 0 && digit_ != 0) return FormatFloat(shown, format_, precision_, digit_, dp);
  return FormatGeneral(shown, dp);
}

void TNumericEdit::UpClick() {
  if (readOnly_) {
    EditBeep();
    return;
  }
  SetValue(Value() + increment_);
}

void TNumericEdit::DownClick() {
  if (readOnly_) {
    EditBeep();
    return;
  }
  SetValue(Value() - increment_);
}

void TNumericEdit::MouseWheel(int delta) {
  if (delta < 0)
    UpClick();
  else if (delta > 0)
    DownClick();
}

std::optional<QChar> TNumericEdit::KeyPress(QChar c) {
  const QChar dp = LocaleDecimalPoint();
  if (MapsNumpadDecimal() && numpadDecimal_ && (c == QLatin1Char('.') || c == QLatin1Char(',')))
    c = dp;
  const ushort u = c.unicode();
  const bool enter = (u == '\r' || u == '\n');
  const bool control = u < 32 || u == 127;
  bool ok = c == QLatin1Char('+') || c == QLatin1Char('-') || (u >= '0' && u <= '9') || c == dp ||
            (control && !enter);
  if (ok && !editorEnabled_ && (!control || u == 8 || u == 127)) ok = false;
  if (!ok) {
    EditBeep();
    return std::nullopt;
  }
  return c;
}

bool TNumericEdit::KeypadOpensOn(bool doubleClick) const {
  if (!KeypadEnabled()) return false;
  return jedenKlik_ ? !doubleClick : doubleClick;
}

// ---- plain edits ----

double TPlainNumericEdit::Value() const {
  const auto v = TextNumber();
  return v ? *v : MinValue();
}

void TPlainNumericEdit::SetValue(double v) {
  if (!std::isfinite(v)) return;
  ShowText(FormatShown(CheckValue(v)));
}

void TPlainNumericEdit::DoExit() {
  if (OnExit) OnExit();
  // A text that is no number is replaced by the minimum it reads as; an empty
  // text stays empty.
  if (!Text().isEmpty() && !TextNumber()) {
    SetValue(MinValue());
    return;
  }
  const double v = Value();
  if (CheckValue(v) != v) SetValue(v);
}

void TPlainNumericEdit::TakeKeypadText(const QString& text) {
  SetText(text);
  SetValue(Value());
}

// ---- unit edits ----

double TUnitNumericEdit::Value() const {
  if (!TextEdited()) return mm_;
  const auto v = TextNumber();
  return v ? EditUnitToMm(sunit_, *v) : MinValue();
}

void TUnitNumericEdit::SetValue(double mm) {
  if (!std::isfinite(mm)) return;
  mm_ = CheckValue(mm);
  ShowText(FormatShown(EditMmToUnit(sunit_, mm_)));
}

void TUnitNumericEdit::Redisplay() { ShowText(FormatShown(EditMmToUnit(sunit_, mm_))); }

void TUnitNumericEdit::CommitText() {
  if (!TextEdited()) {
    Redisplay();
    return;
  }
  // An empty or unconvertible text stores the minimum (in mm, like the range).
  const auto v = TextNumber();
  const double mm = v ? EditUnitToMm(sunit_, *v) : MinValue();
  SetValue(std::isfinite(mm) ? mm : MinValue());
}

void TUnitNumericEdit::TakeKeypadText(const QString& text) {
  SetText(text);
  CommitText();
}

double TUnitNumericEdit::MagnitudeIncrement() const {
  double v = std::fabs(EditMmToUnit(sunit_, Value()));
  if (v == 0 || !std::isfinite(v)) return 0.1;
  int k = 0;
  double step;
  if (v >= 1) {
    // k divisions by 10 leave v at least 1; the step is 10^k / 10.
    while (v >= 10) {
      v /= 10;
      ++k;
    }
    step = std::pow(10.0, k) / 10;
  } else {
    // k multiplications by 10 until v / 10 is at least 1; the step is 1 / 10^k.
    while (v < 10) {
      v *= 10;
      ++k;
    }
    step = 1 / std::pow(10.0, k);
  }
  if (!(step > 0) || !std::isfinite(step)) step = 0.1;
  return EditUnitToMm(sunit_, step);
}

void TUnitNumericEdit::UpClick() {
  const double step = PrepareStep();
  if (ReadOnly()) {
    EditBeep();
    return;
  }
  SetValue(Value() + step);
}

void TUnitNumericEdit::DownClick() {
  const double step = PrepareStep();
  if (ReadOnly()) {
    EditBeep();
    return;
  }
  SetValue(Value() - step);
}

}  // namespace vm
