// The windowed program's entry once its platform is up: the window, the
// devices, the frame loop and the way out. The platform's own entry
// (src/platform/*/racer_window.cpp) makes the Platform and calls this.
#pragma once

#include "game_state.h"
#include "platform_api.h"
#include "shell/window_messages.h"

namespace windowed {

// Opens the display, then sound. A device that fails shows the entry's
// message and posts the close request, which the loop takes before any
// frame: the window closes in order. False when either failed.
bool StartDevices(GameState& gs, MessageQueue& queue, const ShellDevices& devices);

// Opens the 640x480 window and the devices, starts the pacing and the shade
// and runs the loop until the quit message. Returns the exit status: 0
// after a normal quit, 1 when a device could not start.
int RunProgram(Platform& platform);

}  // namespace windowed
