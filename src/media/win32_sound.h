// The sound device on Windows: a DirectSound object for the main window,
// opened at start-up and released at the end. The game plays nothing.
#pragma once

#include "shell/game_state.h"

// Each failing step is reported through Error.
bool DS_INIT(GameState& gs);
// Nothing without a device.
void DS_END(GameState& gs);
