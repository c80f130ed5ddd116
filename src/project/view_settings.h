// The settings a project window's drawing and simulation read, gathered in
// one value so the rules can be computed (and tested) without the dialog.
#pragma once

#include <cstdint>

namespace vm {

struct TViewSettings {
  std::int32_t Mode = 2;           // 0 turning, 1 rotary cutting, 2 cutting, 3 serial cutting
  std::int32_t StolikSwitch = 0;   // 0 spindle, 1 table, 2 none
  double Srednicamaterialu = 500;  // material diameter, mm
  std::int32_t CatDir = 2;         // 0 right, 1 left, 2 both
  double Pauza_w_kacie = 200;      // corner pause, ms

  // Turning on a spindle or a table (work mode 0 with StolikSwitch 0 or 1).
  bool TurningOnAxis() const { return Mode == 0 && (StolikSwitch == 0 || StolikSwitch == 1); }
  // The project is cut as a plain-cutting tree (modes 2 and 3, and turning
  // with neither spindle nor table).
  bool PlainCutting() const { return Mode == 2 || Mode == 3 || (Mode == 0 && StolikSwitch == 2); }
};

// The current values of the settings dialog.
TViewSettings ViewSettingsFromKonfig();

}  // namespace vm
