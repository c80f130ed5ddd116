// The numeric edits of the arch-cutting dialog family: TFloatEdit holds a
// plain number, TFloatEditU a length in mm shown in the current unit.
#pragma once

#include "shell/fltedit_base.h"

namespace vm {

class TFloatEdit : public TPlainNumericEdit {
 public:
  using TPlainNumericEdit::TPlainNumericEdit;
  QString ClassName() const override { return QStringLiteral("TFloatEdit"); }
};

class TFloatEditU : public TUnitNumericEdit {
 public:
  // A fresh edit takes the decimals of its unit (mm: 1); a form setting Digit
  // afterwards overrides them.
  explicit TFloatEditU(QString name) : TUnitNumericEdit(std::move(name)) { ApplyUnitDecimals(); }
  QString ClassName() const override { return QStringLiteral("TFloatEditU"); }

  // Keeps the mm value, takes the program's current unit and shows the value
  // again; the unit's decimals (1 mm, 2 inch, 3 foot) show from the next
  // display on.
  void UseCurrentUnit();
  // The decimals rule alone (applied at creation; a form's Digit may override).
  void ApplyUnitDecimals();

  // Exit: the typed text is taken over, clamped and shown again (no OnExit).
  void DoExit() override { CommitText(); }
};

}  // namespace vm
