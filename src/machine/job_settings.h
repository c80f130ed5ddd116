// Gathers what the job writer needs from the live settings store, the machine
// link and the active project window into one JobSettings value.
#pragma once

#include <cstdint>

#include "drawing/job_writer.h"

namespace vm {

class TMDIChild;

// The settings of a job of output code `mode` for the project window `active`
// (none: the project values stay 0), one of `projectWindowCount` windows.
// `modelCutOffAtEnd` is the serial-cut generator's choice to cut the model off
// after the last pass. The status query goes over the machine link.
JobSettings CurrentJobSettings(TJobOutputMode mode, const TMDIChild* active,
                               std::int32_t projectWindowCount, bool modelCutOffAtEnd);

}  // namespace vm
