// The display device's drawing primitives over the back buffer gs.DDBack.
// Each call borrows the back buffer's context and gives it back itself.
#pragma once

#include "game_state.h"

// The full-screen program's clear: raw 0xFFFFFF, white in 16 bits.
void DD_BackInit(GameState& gs);
void DD_FontShow(GameState& gs, const char* text, int height, int x, int y,
                 int red, int green, int blue, bool italic);
void DD_DrawLine(GameState& gs, int x1, int y1, int x2, int y2, int width,
                 int red, int green, int blue);
