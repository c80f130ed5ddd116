// Small routines shared by the windows: file sizes, unit decimals, angles and
// fixed-size text arrays.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <vector>

namespace vm {

class TControl;

// Size of a file as text: below 1024 bytes "<n>b", below 1 MiB the rounded
// (halves to even) KiB count and "KB", from 1 MiB on the rounded MiB count and
// "MB". Raises IoError when the file cannot be opened for reading.
QByteArray FileSizeText(const QString& fileName);

// Decimals shown for a length unit index: mm 2, inch 2, foot 3, others 1.
unsigned char DecimalsForUnits(int unitIndex);
// The same for the unit chosen in the settings dialog ("radiounit").
unsigned char DecimalsForUnits();

// Gives every component whose class name is "TFltEditU" (any case) the
// current length unit (vm::CurrentUnit).
void ApplyUnitsToForm(const std::vector<TControl*>& components);

double DegToRad(double degrees);

// Zeroes the first n units of `array`, then copies the first min(n, length)
// characters of `text` into it. Units from n on are not touched.
void WideToFixedArray(const QString& text, char16_t* array, std::size_t n);

// A menu caption as a window title: the "&" that marks the shortcut letter
// dropped, "&&" kept as one "&".
QString WithoutMnemonic(const QString& caption);

}  // namespace vm
