// The view: projection of the course ahead and everything drawn per frame.
#pragma once

#include <cstdint>

#include "platform_api.h"
#include "game_state.h"

void MainLoopViewCalc(GameState& gs);
// The same offsets integrated step by step in doubles, as the view is
// defined, where MainLoopViewCalc takes an exact integer path when it can:
// the reference the two are held to.
void MainLoopViewCalcStepByStep(GameState& gs);

// Draws the frame into gs.DDBack in four stages: the course scene with the
// ghost overlay (which also records the frame), the texts, the debug
// readouts and the course map. Without a back buffer only the ghost frame
// is recorded.
void MainLoopViewDraw(GameState& gs);

// The stages, each on its own borrowed context or through the primitives.
void MainLoopViewDrawScene(GameState& gs);
void MainLoopViewDrawTexts(GameState& gs);
void MainLoopViewDrawDebug(GameState& gs);
void MainLoopViewDrawMap(GameState& gs);

// The ghost overlay on the scene's context (null when none could be
// borrowed), and the recording of this frame into the ghost arrays.
void MainLoopViewDrawGhost(GameState& gs, DrawContext* dc);

namespace view {

// Screen coordinates come from 64-bit sums; extreme states may put them far
// off screen, never past what the drawing context takes.
inline int ScreenCoord(std::int64_t v) {
  constexpr std::int64_t kLimit = 1 << 30;
  return static_cast<int>(v < -kLimit ? -kLimit : (v > kLimit ? kLimit : v));
}

inline void Line(DrawContext& dc, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  dc.MoveTo(ScreenCoord(x1), ScreenCoord(y1));
  dc.LineTo(ScreenCoord(x2), ScreenCoord(y2));
}

// A modulo that stays non-negative, for section counts that extreme states
// could drive below zero.
inline std::int64_t Mod(std::int64_t v, std::int64_t m) {
  const std::int64_t r = v % m;
  return r < 0 ? r + m : r;
}

}  // namespace view
