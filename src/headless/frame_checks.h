// What must hold after every frame, whatever the settings, the course and
// the keys: the checks shared by the soak tool and the fuzz harness.
#pragma once

#include <cstdint>
#include <string>

#include "game_state.h"

namespace frame_checks {

// A digest of the course table, which nothing may change after start-up.
std::uint64_t CourseDigest(const GameState& gs);

// What the checks compare against: the state right after start-up.
struct Baseline {
  std::uint64_t course = 0;
  std::int32_t dispColorLimit = 255;  // the shade never goes above this
};

// Baseline of a game whose first frame has run.
Baseline TakeBaseline(const GameState& gs);

// Empty when the state after a frame is sound; otherwise names the first
// broken rule. `frame` counts from 1.
std::string CheckFrame(const GameState& gs, const Baseline& baseline, long long frame);

}  // namespace frame_checks
