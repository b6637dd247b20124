// Where the windowed program's drawing differs from the full-screen one's:
// the clear follows the background shade.
#pragma once

#include <cstdint>

#include "game_state.h"

namespace windowed {

// The shade the windowed program starts with: white.
inline constexpr std::int32_t kStartShade = 255;

// Red and green follow dispColor, blue stays full: white at the start,
// deepening toward blue with each press of the background key.
std::uint32_t BackFillValue(const GameState& gs);

// Clears the back buffer to BackFillValue.
void DD_BackInit(GameState& gs);

}  // namespace windowed
