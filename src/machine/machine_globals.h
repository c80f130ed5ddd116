// Machine-dependent factors and link state of the machine link, kept in one
// place. The job writer, the manual control window and the cut sequencer read
// them; ReadMachineInfo, LoadCalibration and SelectStepsPerTurn set them.
#pragma once

#include <cstdint>

namespace vm {

struct TMachineGlobals {
  std::int32_t StepsPerTurn = 50000;  // rotary-axis steps per revolution
  double CalibrationX = 1.0;          // 1 + feKalibracjaX / 100
  double CalibrationY = 1.0;          // 1 + feKalibracjaY / 100
  // Factors of the machine family; the "JX" family has its own.
  std::int32_t SpeedFactor = 1;         // step periods and move counts; 3 for "JX"
  std::int32_t MaxTravelSpeed = 3000;   // mm/min; 1000 for "JX"
  std::int32_t MaxCuttingSpeed = 1500;  // mm/min; 1000 for "JX"
  bool FamilyJXFlag = false;            // the model text begins with "JX"
  bool JogActive = false;               // a key jog is running
  bool WaitingIdle = false;             // WaitWhileBusy is polling

  // Back to the values of a machine of the default family.
  void ResetFamily();
  // Back to the start-up values.
  void Reset() { *this = TMachineGlobals{}; }
};

extern TMachineGlobals Machine;

}  // namespace vm
