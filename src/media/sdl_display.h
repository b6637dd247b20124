// The display device on SDL: a window's renderer showing the 640x480 back
// buffer, once per frame.
#pragma once

#include "shell/game_state.h"

// The full-screen program's device: the window made to cover the desktop
// and the 640x480 picture scaled up as far as it fits, aspect kept, with
// black bars and square pixels; 16-bit back buffer. Each failing step is
// reported through Error. Needs gs.hwnd with its SDL window.
bool DD_INIT(GameState& gs);
// Releases the device and gives the desktop back. Nothing without a device.
void DD_END(GameState& gs);
// One copy of the whole back buffer to the screen. A copy that fails (the
// renderer lost its textures) remakes the screen texture instead; that
// frame is not shown.
void DD_Present(GameState& gs);

namespace windowed {
// The windowed program's device: the picture at 640x480 in the window's
// client area, never stretched; 32-bit back buffer. No message of its own.
bool DD_INIT(GameState& gs);
// Releases whatever DD_INIT made, each part only once.
int DD_END(GameState& gs);
void DD_Present(GameState& gs);
}  // namespace windowed
