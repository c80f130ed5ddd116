// The numeric edits of the settings and most dialogs.
#include "shell/fltedit.h"

#include <cmath>

#include "shell/messages.h"

namespace vm {
namespace {

const QString kCaption = QStringLiteral("Błąd");

QString RangeNumber(double v) {
  return FormatFloat(v, TFloatFormat::ffNumber, 15, 2, LocaleDecimalPoint());
}

// The checks shared by both edits. `range` is false where the edit sees no
// range. Shows the box (after asking for the focus) and returns false on the
// first failed check.
bool RunChecks(TNumericEdit& e, bool integer, bool range, double value) {
  auto fail = [&e](const QString& text) {
    if (e.OnFocusRequest) e.OnFocusRequest();
    ShowMessageBox(text, true, kCaption);
    return false;
  };
  const bool hasRange = range && e.MinValue() != e.MaxValue();
  const QString limits = QStringLiteral("min= ") + RangeNumber(e.MinValue()) +
                         QStringLiteral("; max= ") + RangeNumber(e.MaxValue()) +
                         QStringLiteral(" )");
  if (e.Text().isEmpty())
    return fail(QStringLiteral("Proszę wypełnić pole  »") + e.NzwPola() + QStringLiteral("«"));
  if (integer && value != std::trunc(value)) {
    QString t = QStringLiteral("W polu  »") + e.NzwPola() +
                QStringLiteral("« wymagana jest liczba całkowita");
    if (hasRange) t += QStringLiteral("\r\nDopuszczalny zakres (") + limits;
    return fail(t);
  }
  if (hasRange && (value < e.MinValue() || value > e.MaxValue()))
    return fail(QStringLiteral("W polu  »") + e.NzwPola() +
                QStringLiteral("«  wartość poza dopuszczalnym zakresem.") + QStringLiteral("\r\n") +
                QStringLiteral("( ") + limits);
  return true;
}

}  // namespace

bool TFltEdit::ValidateFloat() { return RunChecks(*this, false, true, Value()); }
bool TFltEdit::ValidateInteger() { return RunChecks(*this, true, true, Value()); }

bool TFltEditU::ValidateFloat() { return RunChecks(*this, false, false, 0); }
bool TFltEditU::ValidateInteger() {
  const auto shown = TextNumber();
  return RunChecks(*this, true, false, shown ? *shown : MinValue());
}

void TFltEditU::ApplyUnitDecimals() {
  if (Digit() != 0) SetDigit(sunit() == 2 ? 4 : 3);
}

void TFltEditU::SetEditUnit(int unit) {
  // Take over a pending edit in the old unit before switching.
  if (TextEdited()) CommitText();
  SetUnitIndex(unit);
  ApplyUnitDecimals();
  Redisplay();
}

void TFltEditU::DoExit() {
  if (OnExit) OnExit();
  CommitText();
}

double TFltEditU::PrepareStep() {
  if (linear_) return EditUnitToMm(sunit(), Increment());
  return TUnitNumericEdit::PrepareStep();
}

}  // namespace vm
