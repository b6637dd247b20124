// The view: projection of the course ahead and everything drawn per frame.
#pragma once

#include "media/draw_context.h"
#include "shell/game_state.h"

void MainLoopViewCalc(GameState& gs);
void MainLoopViewDraw(GameState& gs);

// The ghost overlay on the scene's context (null when none could be
// borrowed), and the recording of this frame into the ghost arrays.
void MainLoopViewDrawGhost(GameState& gs, DrawContext* dc);
