// Number text of the numeric edits and the settings files.
//
// Display: the edits' float formats (general, exponent, fixed, number,
// currency) with a given decimal separator. Parsing: a whole text, "." or ","
// as the separator, finite values only. Files: a plain decimal form (never an
// exponent) that reads back to the very same double.
#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

namespace vm {

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Formats `v` for display. General: `precision` significant digits (15 when 0),
// trailing zeros dropped, exponent form only below 1e-5 or from 10^precision up.
// Fixed/number/currency: `digits` decimals (number and currency with thousands
// groups). Exponent: `precision` significant digits.
QString FormatFloat(double v, TFloatFormat format, int precision, int digits, QChar decimalPoint);

// The general format with 15 significant digits: what an edit shows when it has
// no formatted display.
QString FormatGeneral(double v, QChar decimalPoint);

// The decimal separator of the current locale (QLocale default).
QChar LocaleDecimalPoint();

// Reads a whole text as a number: surrounding blanks are ignored, "." and ","
// both act as the decimal separator, an exponent is accepted. Empty text, any
// other character and non-finite values ("inf", "nan", overflow) give nullopt.
std::optional<double> ParseFloatText(QStringView text);

// Writes a number for a settings file: plain decimal notation with "." and no
// exponent; 15 significant digits when they read back exactly, otherwise the
// shortest digits that do.
QString FormatSettingsNumber(double v);

}  // namespace vm
