// The per-frame entry of the game and its start-up sequence.
#pragma once

#include "game_state.h"
#include "platform_api.h"

class FileObserver;

// Runs one frame: on the first call the start-up sequence, then the nine
// phases. Draws into gs.DDBack when it is set; without it only the ghost
// frame is recorded.
void Main_Proc(GameState& gs, InputDevice& input);
// The start-up sequence; a tool may listen to the file readers.
void Initialize(GameState& gs, FileObserver* observer = nullptr);
void MainLoop(GameState& gs, InputDevice& input);
