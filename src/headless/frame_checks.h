// What must hold after every frame, whatever the settings, the course and
// the keys: the checks shared by the soak tool and the fuzz harness.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game_state.h"

namespace frame_checks {

// What the checks compare against: the state right after start-up.
struct Baseline {
  std::array<std::int32_t, kMapEntries> course{};  // nothing may change it after start-up
  std::int32_t dispColorLimit = 255;  // the shade never goes above this
};

// Baseline of a game whose first frame has run.
Baseline TakeBaseline(const GameState& gs);

// Empty when the state after a frame is sound; otherwise names the first
// broken rule. `frame` counts from 1.
std::string CheckFrame(const GameState& gs, const Baseline& baseline, long long frame);

}  // namespace frame_checks
