// Length units: the operator's choice of millimetre, inch or foot.
//
// Every length inside the program is held in millimetres; only values shown to
// or typed by the operator are in the current unit.
#pragma once

#include <QString>
#include <array>

namespace vm {

// Names of the units, indexed by unit index: 0 "mm", 1 "in", 2 "ft".
inline constexpr std::array<const char*, 3> UnitNames = {"mm", "in", "ft"};

// The unit code itself when it names a unit; 0 (mm) for any other.
constexpr int KnownUnit(int unit) {
  return unit >= 0 && unit < static_cast<int>(UnitNames.size()) ? unit : 0;
}

// The name of a unit; empty for a code that names none.
QString UnitName(int unit);

// A unit's name in brackets, as unit labels show it: "[mm]".
QString UnitLabel(int unit);

// Index of the current length unit; 0 (mm) at start. Reset by ResetDrawingGlobals().
extern int CurrentUnit;

// Converts mm to the given unit (0 mm, 1 inch, 2 foot); any other unit code gives 0.
double MmToUnit(int unit, double mm);

// Converts a value in the given unit to mm; any other unit code gives 0.
double UnitToMm(int unit, double value);

}  // namespace vm
