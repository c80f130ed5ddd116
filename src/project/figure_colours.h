// The colours a project window draws in: every figure by its role in the
// current work mode, the replayed path, and the window's background.
// Colours are 0x00BBGGRR values (red in the low byte).
#pragma once

#include <cstdint>

#include "project/view_settings.h"

namespace vm {

class TMDIChild;

using TColour = std::uint32_t;

inline constexpr TColour kColourBlack = 0x000000;
inline constexpr TColour kColourGreen = 0x008000;
inline constexpr TColour kColourBlue = 0xFF0000;
inline constexpr TColour kColourRed = 0x0000FF;
inline constexpr TColour kColourWhite = 0xFFFFFF;
// Button-face grey: the white selection and the replay's merged red stay
// visible on it.
inline constexpr TColour kColourBackground = 0xC8D0D4;

enum class TFigureRole : std::uint8_t {
  Ordinary,  // black
  Axis,      // the rotation-axis figure of turning and rotary cutting: green
  Open,      // an open figure where open figures matter: blue
  Unlinked,  // not reached by the plain-cutting path: red (wins over open)
  Selected,  // the figure picked with the mouse: white (wins over all)
};

TColour RoleColour(TFigureRole role);

// The replayed path.
inline constexpr TColour kReplayColour = kColourRed;

// Role of figure `index` of the project in the given work mode:
// - turning with neither spindle nor table: ordinary, open;
// - turning on a spindle or table, and rotary cutting: the axis figure, ordinary;
// - cutting and serial cutting: ordinary, open, unlinked;
// the selected figure in any mode.
TFigureRole FigureRole(const TMDIChild& w, std::int32_t index, const TViewSettings& s);

}  // namespace vm
