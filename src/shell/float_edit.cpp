// The numeric edits of the arch-cutting dialog family.
#include "shell/float_edit.h"

#include "drawing/units.h"

namespace vm {

void TFloatEditU::UseCurrentUnit() {
  SetUnitIndex(CurrentUnit);
  Redisplay();
  ApplyUnitDecimals();
}

void TFloatEditU::ApplyUnitDecimals() {
  switch (sunit()) {
    case 0:
      SetDigit(1);
      break;
    case 1:
      SetDigit(2);
      break;
    default:
      SetDigit(3);
      break;
  }
}

}  // namespace vm
