#include "machine/machine_globals.h"

namespace vm {

TMachineGlobals Machine;

void TMachineGlobals::ResetFamily() {
  const TMachineGlobals defaults;
  SpeedFactor = defaults.SpeedFactor;
  MaxTravelSpeed = defaults.MaxTravelSpeed;
  MaxCuttingSpeed = defaults.MaxCuttingSpeed;
  FamilyJXFlag = defaults.FamilyJXFlag;
}

}  // namespace vm
