// The Windows display and sound devices behind Win32Platform's DD_ and DS_
// operations: DirectDraw 7 (exclusive 640x480x16 with a flipping primary
// surface and its back buffer for racer; normal mode, a clipper and an
// off-screen back surface for racer_window), GDI drawing on the back buffer,
// and DirectSound for the main window.
#pragma once

#include "game_state.h"
#include "platform_api.h"
#include "platform/win32/api.h"

struct IDirectDrawSurface7;

namespace win32 {

bool DD_INIT(GameState& gs);
void DD_END(GameState& gs);
void DD_Present(GameState& gs);
// Puts the desktop's own surface on the screen, so that a message box can be
// seen over the exclusive mode. Nothing without a device.
void DD_FlipToGDISurface(GameState& gs);

namespace windowed {
int DD_INIT(GameState& gs);
int DD_END(GameState& gs);
void DD_Present(GameState& gs);
// The window's client area in screen coordinates.
void CalcScreenRect(HWND hwnd, RECT& rect);
}  // namespace windowed

bool DS_INIT(GameState& gs);
void DS_END(GameState& gs);

}  // namespace win32
