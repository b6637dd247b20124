// The sound device on SDL: the default playback device, opened at start-up
// and closed at the end. The game plays nothing; the device stays paused.
#pragma once

#include "shell/game_state.h"

// Each failing step is reported through Error.
bool DS_INIT(GameState& gs);
// Nothing without a device.
void DS_END(GameState& gs);
