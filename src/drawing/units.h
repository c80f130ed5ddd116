// Length units: the operator's choice of millimetre, inch or foot.
//
// Every length inside the program is held in millimetres; only values shown to
// or typed by the operator are in the current unit.
#pragma once

#include <array>

namespace vm {

// Names of the units, indexed by unit index: 0 "mm", 1 "in", 2 "ft".
inline constexpr std::array<const char*, 3> UnitNames = {"mm", "in", "ft"};

// Index of the current length unit; 0 (mm) at start. Reset by ResetDrawingGlobals().
extern int CurrentUnit;

// Converts mm to the given unit (0 mm, 1 inch, 2 foot); any other unit code gives 0.
double MmToUnit(int unit, double mm);

// Converts a value in the given unit to mm; any other unit code gives 0.
double UnitToMm(int unit, double value);

}  // namespace vm
