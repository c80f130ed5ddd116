// The joystick as the manual control window reads it: the number of devices
// and the position and buttons of joystick 0, over SDL2's joystick API.
//
// Positions are 0..65535 per axis with the centre at 32768. The joystick is
// read also while another window has the focus. With no device (a headless
// machine) the count is 0 and every read fails; that is normal.
#pragma once

#include <cstdint>

namespace vm::platform {

inline constexpr std::uint32_t kJoystickCentre = 32768;

struct JoystickState {
  std::uint32_t X = kJoystickCentre;  // 0..65535
  std::uint32_t Y = kJoystickCentre;  // 0..65535
  std::uint32_t Buttons = 0;          // bit n: button n+1 pressed
};

// Joystick devices attached now (0 when the joystick layer cannot start).
int JoystickDeviceCount();

// Reads joystick `index` (only 0 is supported). False when there is no such
// device or it was unplugged; `state` is then unchanged.
bool ReadJoystick(int index, JoystickState& state);

// Closes the open device and shuts the joystick layer down (a later call
// starts it again).
void CloseJoysticks();

}  // namespace vm::platform
