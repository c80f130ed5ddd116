// The numeric edits of the settings and most dialogs: TFltEdit holds a plain
// number, TFltEditU a length in mm shown in its display unit.
#pragma once

#include "shell/fltedit_base.h"

namespace vm {

class TFltEdit : public TPlainNumericEdit {
 public:
  using TPlainNumericEdit::TPlainNumericEdit;
  QString ClassName() const override { return QStringLiteral("TFltEdit"); }

  // Checks for a form that refuses bad input before using it: an empty text,
  // a value outside the range (when one is set) and, for ValidateInteger, a
  // fractional value are reported in an error box and give false.
  virtual bool ValidateFloat();
  virtual bool ValidateInteger();
};

class TFltEditU : public TUnitNumericEdit {
 public:
  using TUnitNumericEdit::TUnitNumericEdit;
  QString ClassName() const override { return QStringLiteral("TFltEditU"); }

  // Step by Increment (taken in the display unit) instead of the magnitude rule.
  bool LiniowyInkrement() const { return linear_; }
  void SetLiniowyInkrement(bool b) { linear_ = b; }

  // Keeps the mm value, takes the display unit, applies the decimals rule
  // (when Digit is set: 3 for mm and inch, 4 for foot) and shows the value.
  void SetEditUnit(int unit);
  // The decimals rule alone (a form applies it once after setting Digit).
  void ApplyUnitDecimals();

  // Exit: OnExit, then the typed text is taken over (empty or unconvertible:
  // the minimum), clamped and shown again.
  void DoExit() override;
  // Always the small keypad.
  bool KeypadBig() const override { return false; }

  // The checks see no range here: empty text and whole number only.
  bool ValidateFloat();
  bool ValidateInteger();

 protected:
  double PrepareStep() override;
  bool MapsNumpadDecimal() const override { return true; }

 private:
  bool linear_ = false;
};

// Free form used by the dialogs when the unit changes.
inline void SetEditUnit(TFltEditU& edit, int unit) { edit.SetEditUnit(unit); }

}  // namespace vm
