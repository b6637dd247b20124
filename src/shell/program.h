// The full-screen program's entry once its platform is up: the window, the
// devices, the frame loop and the way out. The platform's own entry
// (src/platform/*/racer.cpp) makes the Platform and calls this.
#pragma once

#include "platform_api.h"
#include "shell/window_messages.h"

// Opens the display, then sound. A device that fails shows the entry's
// message, and what was opened goes with the window, sound then display.
// Once both are open the cursor is hidden. False when either failed.
bool StartDevices(GameState& gs, MessageQueue& queue, const ShellDevices& devices);

// Opens the window covering the screen, the display and the sound device,
// hides the cursor, starts the pacing and runs the loop until the quit
// message. Returns the exit status: 0 after a normal quit, 1 when the
// program could not start.
int RunProgram(Platform& platform);
