// Length unit conversions and the current unit.
#include "drawing/units.h"

namespace vm {

int CurrentUnit = 0;

namespace {
// Millimetres per unit; 0 marks an unknown unit code.
double UnitFactor(int unit) {
  switch (unit) {
    case 0:
      return 1.0;
    case 1:
      return 25.4;
    case 2:
      return 304.8;
    default:
      return 0.0;
  }
}
}  // namespace

QString UnitName(int unit) {
  if (unit < 0 || unit >= static_cast<int>(UnitNames.size())) return {};
  return QString::fromLatin1(UnitNames[static_cast<std::size_t>(unit)]);
}

QString UnitLabel(int unit) { return QLatin1Char('[') + UnitName(unit) + QLatin1Char(']'); }

double MmToUnit(int unit, double mm) {
  const double f = UnitFactor(unit);
  if (f == 0.0) return 0.0;
  return unit == 0 ? mm : mm / f;
}

double UnitToMm(int unit, double value) {
  const double f = UnitFactor(unit);
  if (f == 0.0) return 0.0;
  return value * f;
}

}  // namespace vm
