// The axis set-up command "S": tells the controller whether the rotary axis
// turns a turntable ("S" 2) or a spindle or fixed table ("S" 0).
#pragma once

#include <QByteArray>
#include <cstdint>

namespace vm {

// 0 for the "Q " and "Q5" families whatever the settings; otherwise 2 when
// the settings choice StolikSwitch is not 0, else 0 (the spindle).
std::uint8_t AxisSetupByte(const QByteArray& model, int stolikSwitch);

// Sends "S" with the byte for the current model and settings and reads its
// one-byte reply.
void SendAxisSetup();

}  // namespace vm
