// Lines and values of the settings text files ("name := value", CR LF).
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

#include "shell/konfig_controls.h"

namespace vm {

// "cbUnchecked", "cbChecked", "cbGrayed".
QString CheckBoxStateToStr(TCheckBoxState s);
// The state of one of the three words (exact, case-sensitive); any other text
// gives cbUnchecked.
TCheckBoxState StrToCheckBoxState(const QString& s);

// "+", "-", a digit, or a decimal separator ("." or ",": files written where
// the other separator is in use read back the same).
bool IsNumberChar(QChar c);
// The longest leading run of number characters.
QString NumericPrefix(const QString& s);

// One line split into key and value: blanks, ":" and "=" are dropped; the
// characters before the first of them form the key, all later kept
// characters the value. An empty line gives an empty key.
struct TKonfigLine {
  QString key;
  QString value;
};
TKonfigLine ReadKonfigLine(const QString& line);

// The lines of a settings file: text up to each CR or LF (8-bit text).
QStringList SplitKonfigLines(const QByteArray& bytes);

// A radio-group value: a decimal integer, or nullopt.
std::optional<int> KonfigIntValue(const QString& value);
// A float value: the numeric prefix as a number, or nullopt when the prefix is
// empty or not a number.
std::optional<double> KonfigFloatValue(const QString& value);

}  // namespace vm
