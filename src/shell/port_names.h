// Serial port names: the settings offer "com1".."com5"; each maps to a device
// path, by default /dev/ttyUSB0../dev/ttyUSB4, overridable by the environment
// variables VM_COM1..VM_COM5 (a test or the controller emulator points a port
// at a pseudo-terminal that way).
#pragma once

#include <QString>

namespace vm {

// Device path of a port name ("com1".."com5", any case). Any other name is
// taken as a device path already and returned unchanged.
QString PortDevicePath(const QString& name);

// The port name of a port index 0..4 of the settings ("com1".."com5").
QString PortNameOfIndex(int index);

}  // namespace vm
