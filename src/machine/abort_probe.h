// The probe an abortable loop asks between its steps. The program's probe
// watches the event queue for a key press or a left click; tests pass their own.
#pragma once

namespace vm {

struct AbortProbe {
  virtual ~AbortProbe() = default;
  virtual bool aborted() = 0;
};

}  // namespace vm
