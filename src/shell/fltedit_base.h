// Common value logic of the four numeric edit controls (TFltEdit, TFltEditU,
// TFloatEdit, TFloatEditU): range and clamping, display format, steps by
// buttons, arrow keys and wheel, the key filter, exit handling and taking over
// the keypad's text.
//
// The plain edits read their value from their text, as the operator sees it.
// The unit edits hold a length in mm and show it in their display unit; the mm
// value is kept exactly and only replaced when the operator edits the text, so
// a value set from code never drifts through its rounded display.
#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "shell/fltedit_format.h"
#include "shell/konfig_controls.h"

namespace vm {

// The message beep of refused keys and steps. Core has no sound; the ui
// installs one. Returns the previous handler.
std::function<void()> SetEditBeepHandler(std::function<void()> handler);
void EditBeep();

// mm <-> display unit of an edit (0 mm, 1 inch, 2 foot).
double EditMmToUnit(int unit, double mm);
double EditUnitToMm(int unit, double value);

class TNumericEdit : public TControl {
 public:
  explicit TNumericEdit(QString name) : TControl(std::move(name)) {}

  double MinValue() const { return minValue_; }
  double MaxValue() const { return maxValue_; }
  // Sets the range without touching the value (a form sets it before the value).
  void SetMinValue(double v) { minValue_ = v; }
  void SetMaxValue(double v) { maxValue_ = v; }
  double Increment() const { return increment_; }
  void SetIncrement(double v) { increment_ = v; }
  TFloatFormat ffFormat() const { return format_; }
  void SetffFormat(TFloatFormat f) { format_ = f; }
  int Precision() const { return precision_; }
  void SetPrecision(int p) { precision_ = p; }
  int Digit() const { return digit_; }
  void SetDigit(int d) { digit_ = d; }

  const QString& NzwPola() const { return nzwPola_; }
  void SetNzwPola(const QString& n) { nzwPola_ = n; }
  bool BigNumPad() const { return bigNumPad_; }
  void SetBigNumPad(bool b) { bigNumPad_ = b; }
  bool JedenKlikKalkulator() const { return jedenKlik_; }
  void SetJedenKlikKalkulator(bool b) { jedenKlik_ = b; }
  bool EditorEnabled() const { return editorEnabled_; }
  void SetEditorEnabled(bool b);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool b);

  // The text in the field.
  const QString& Text() const { return text_; }
  // The operator's typing (or a paste): replaces the text as it stands. The
  // value follows from it at once for the plain edits, at exit for the unit
  // edits.
  void SetText(const QString& text);

  virtual double Value() const = 0;
  // Clamps and shows the value; a non-finite value is refused (no change).
  virtual void SetValue(double v) = 0;
  // The value clamped into MinValue..MaxValue; no clamping when they are equal.
  double CheckValue(double v) const;

  // Spin buttons and steps: Value +/- Increment; refused with a beep when
  // read-only.
  virtual void UpClick();
  virtual void DownClick();
  // Wheel: turning down (negative delta) steps up, turning up steps down.
  void MouseWheel(int delta);
  // Up/down arrow keys step like the buttons.
  void ArrowUp() { UpClick(); }
  void ArrowDown() { DownClick(); }

  // Focus enters / leaves the control.
  void DoEnter() {
    if (OnEnter) OnEnter();
  }
  virtual void DoExit() = 0;

  // Key down: whether the key is the numeric keypad's decimal key with Num
  // Lock on (only the TFltEditU key filter uses it).
  void KeyDown(bool numpadDecimalKey) { numpadDecimal_ = numpadDecimalKey; }
  // Key press filter: the character to insert, or nullopt when the key is
  // dropped (with a beep).
  std::optional<QChar> KeyPress(QChar c);

  // Keypad: whether it opens, in which layout, and on which click.
  virtual bool KeypadEnabled() const { return true; }
  virtual bool KeypadBig() const { return bigNumPad_; }
  bool KeypadOpensOn(bool doubleClick) const;
  // The keypad closed with OK: its text becomes the field's and the value is
  // taken over from it.
  virtual void TakeKeypadText(const QString& text) = 0;

  // Runs when the text or value changes (by the operator or from code).
  std::function<void()> OnChange;
  // Runs when the control takes the focus.
  std::function<void()> OnEnter;
  // Runs when focus leaves the control (before the value is taken over).
  std::function<void()> OnExit;
  // Asks the widget to take the focus (the checks do, before their box).
  std::function<void()> OnFocusRequest;

 protected:
  // The display text of a value in the shown unit.
  QString FormatShown(double shown) const;
  // Replaces the text from code (not the operator's edit).
  void ShowText(const QString& text);
  // The text as a number, nullopt when empty or not a number.
  std::optional<double> TextNumber() const { return ParseFloatText(text_); }
  bool TextEdited() const { return edited_; }
  virtual bool MapsNumpadDecimal() const { return false; }

 private:
  double minValue_ = 0;
  double maxValue_ = 0;
  double increment_ = 0;
  TFloatFormat format_ = TFloatFormat::ffGeneral;
  int precision_ = 0;
  int digit_ = 0;
  QString nzwPola_;
  bool bigNumPad_ = false;
  bool jedenKlik_ = false;
  bool editorEnabled_ = true;
  bool readOnly_ = false;
  bool numpadDecimal_ = false;
  bool edited_ = false;
  QString text_;
};

// The plain edits: the value is what the text says.
class TPlainNumericEdit : public TNumericEdit {
 public:
  using TNumericEdit::TNumericEdit;
  // The text as a number; an empty or unconvertible text reads as MinValue.
  double Value() const override;
  void SetValue(double v) override;
  // Exit: a value outside the range is clamped and shown again; one inside
  // keeps its text as typed; a text that is no number becomes the minimum.
  void DoExit() override;
  void TakeKeypadText(const QString& text) override;
};

// The unit edits: a length held in mm, shown in the display unit `sunit`.
class TUnitNumericEdit : public TNumericEdit {
 public:
  using TNumericEdit::TNumericEdit;
  // The mm value; while the operator is editing, what the text says.
  double Value() const override;
  // Stores the clamped mm value and shows it in the display unit.
  void SetValue(double mm) override;
  void TakeKeypadText(const QString& text) override;
  void UpClick() override;
  void DownClick() override;
  bool KeypadEnabled() const override { return EditorEnabled(); }

  int sunit() const { return sunit_; }
  // Shows the value again (same mm) in the display format.
  void Redisplay();

 protected:
  // The typed text taken over: empty or unconvertible gives MinValue.
  void CommitText();
  // One tenth of the leading magnitude of the shown value, in mm.
  double MagnitudeIncrement() const;
  // The step in mm for the next click; the magnitude rule sets Increment.
  virtual double PrepareStep() {
    SetIncrement(MagnitudeIncrement());
    return Increment();
  }
  void SetUnitIndex(int u) { sunit_ = u; }

 private:
  double mm_ = 0;
  int sunit_ = 0;
};

}  // namespace vm
