// Key codes of the manual control window's handlers and jogging (the codes
// JogMove takes), and the mapping of Qt's keys onto them.
#pragma once

namespace vm {

inline constexpr int kKeyCtrl = 17;
inline constexpr int kKeyPageUp = 33;
inline constexpr int kKeyPageDown = 34;
inline constexpr int kKeyHome = 36;
inline constexpr int kKeyLeft = 37;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyRight = 39;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyInsert = 45;
inline constexpr int kKeyNumpad0 = 96;  // numpad 1..9 are 97..105
inline constexpr int kKeyNumpad5 = 101;
inline constexpr int kKeyAdd = 107;       // numpad +
inline constexpr int kKeySubtract = 109;  // numpad -

// The keys that jog the wire in X and Y: the arrows and numpad 1-4, 6-9.
constexpr bool IsJogKey(int key) {
  return (key >= kKeyLeft && key <= kKeyDown) || (key >= 97 && key <= 105 && key != kKeyNumpad5);
}

// The code of a Qt key (Qt::Key) pressed with or without the keypad
// modifier; 0 for a key the window does not know.
int VirtualKeyOf(int qtKey, bool keypad);

}  // namespace vm
