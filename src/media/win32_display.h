// The display device on Windows: DirectDraw 7 with GDI drawing on the back
// buffer.
#pragma once

#include "shell/game_state.h"
#include "shell/win32_api.h"

struct IDirectDrawSurface7;

// The full-screen program's device: exclusive mode at 640x480 in 16 bits, a
// flipping primary surface with one back buffer. Each failing step after the
// DirectDraw object is reported through Error. Needs gs.hwnd.
bool DD_INIT(GameState& gs);
// Gives the display back and releases everything. Nothing without a device.
void DD_END(GameState& gs);
// BltFast of the whole back buffer onto the primary; a lost primary is
// restored instead, and that frame is not shown.
void DD_Present(GameState& gs);
// Puts the desktop's own surface on the screen, so that a message box can be
// seen over the exclusive mode. Nothing without a device.
void DD_FlipToGDISurface(GameState& gs);
// The back buffer's DirectDraw surface, for reading its pixels; null without one.
IDirectDrawSurface7* DD_BackSurface(const GameState& gs);

namespace windowed {
// The windowed program's device: normal mode, the desktop's primary surface
// with a clipper bound to the window, and an off-screen back surface in the
// desktop's format. No message of its own; 1 when ready, 0 when not.
int DD_INIT(GameState& gs);
// Releases whatever DD_INIT made, each part once: clipper, back, front,
// DirectDraw. Always 1.
int DD_END(GameState& gs);
// The window's client area in screen coordinates.
void CalcScreenRect(HWND hwnd, RECT& rect);
// Blt of the back surface onto the window's place on the primary; lost
// surfaces are restored instead, and that frame is not shown.
void DD_Present(GameState& gs);
}  // namespace windowed
