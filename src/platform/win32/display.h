// What the Windows display device offers beyond the seam's DD_ operations
// (DirectDraw 7, with GDI drawing on the back buffer).
#pragma once

#include "game_state.h"
#include "platform_api.h"
#include "platform/win32/api.h"

struct IDirectDrawSurface7;

// Puts the desktop's own surface on the screen, so that a message box can be
// seen over the exclusive mode. Nothing without a device.
void DD_FlipToGDISurface(GameState& gs);
// The back buffer's DirectDraw surface, for reading its pixels; null without one.
IDirectDrawSurface7* DD_BackSurface(const GameState& gs);

namespace windowed {
// The window's client area in screen coordinates.
void CalcScreenRect(HWND hwnd, RECT& rect);
}  // namespace windowed
