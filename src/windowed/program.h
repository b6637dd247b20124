// What makes racer_window: its window procedure, a start-up that reports a
// failing device and closes the window in order, its clear that follows the
// background shade, and white at the start. Each platform's racer_window
// entry names it.
#pragma once

#include "game_state.h"
#include "platform_api.h"
#include "shell/program.h"
#include "shell/window_messages.h"

namespace windowed {

extern const ProgramDefinition kWindowedProgram;

}  // namespace windowed
