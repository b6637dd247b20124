// The SDL display device behind SdlPlatform's DD_ operations: the window's
// own surface as the screen (shared memory on X11, never a GPU renderer) and
// the software back buffer of src/media/. The full-screen program's window
// covers the desktop and the picture is scaled to it (media/screen_fit.h);
// the windowed one's is shown one to one.
#pragma once

#include "game_state.h"

namespace sdl {
bool DD_INIT(GameState& gs);
void DD_END(GameState& gs);
void DD_Present(GameState& gs);

namespace windowed {
bool DD_INIT(GameState& gs);
}  // namespace windowed

// The sound device: SDL's default playback device, opened and left paused.
bool DS_INIT(GameState& gs);
void DS_END(GameState& gs);
}  // namespace sdl

namespace sdl_testing {
// The full-screen start-up step (1 to 4: full screen, the scaling, the
// window's surface, the back buffer) that fails as if SDL had refused it;
// 0 for none.
inline int failDisplayStep = 0;
}  // namespace sdl_testing
