#include "platform/joystick.h"

#include <SDL.h>

#include <algorithm>

namespace vm::platform {

namespace {

bool g_started = false;
bool g_startFailed = false;
SDL_Joystick* g_joystick = nullptr;

bool Start() {
  if (g_started) return true;
  if (g_startFailed) return false;
  // The window reads the stick while the operator works in another window;
  // and Ctrl+C must stay the program's, not turn into an event nobody reads.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
    g_startFailed = true;
    return false;
  }
  g_started = true;
  return true;
}

std::uint32_t AxisPosition(SDL_Joystick* j, int axis) {
  if (axis >= SDL_JoystickNumAxes(j)) return kJoystickCentre;
  return static_cast<std::uint32_t>(static_cast<int>(SDL_JoystickGetAxis(j, axis)) + 32768);
}

}  // namespace

int JoystickDeviceCount() {
  if (!Start()) return 0;
  SDL_JoystickUpdate();
  return std::max(SDL_NumJoysticks(), 0);
}

bool ReadJoystick(int index, JoystickState& state) {
  if (index != 0 || !Start()) return false;
  SDL_JoystickUpdate();
  if (g_joystick && !SDL_JoystickGetAttached(g_joystick)) {
    SDL_JoystickClose(g_joystick);
    g_joystick = nullptr;
  }
  if (!g_joystick) {
    if (SDL_NumJoysticks() < 1) return false;
    g_joystick = SDL_JoystickOpen(0);
    if (!g_joystick) return false;
    SDL_JoystickUpdate();
  }
  JoystickState s;
  s.X = AxisPosition(g_joystick, 0);
  s.Y = AxisPosition(g_joystick, 1);
  const int buttons = std::min(SDL_JoystickNumButtons(g_joystick), 32);
  for (int b = 0; b < buttons; ++b)
    if (SDL_JoystickGetButton(g_joystick, b)) s.Buttons |= 1u << b;
  state = s;
  return true;
}

void CloseJoysticks() {
  if (g_joystick) SDL_JoystickClose(g_joystick);
  g_joystick = nullptr;
  if (g_started) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  g_started = false;
  g_startFailed = false;
}

}  // namespace vm::platform
