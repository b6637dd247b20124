// What makes one of the two programs: its window procedure, the way it opens
// its devices and fails, its clear and its starting shade. Each program is
// one such value (kFullScreenProgram here, windowed::kWindowedProgram for
// racer_window); shell/frame_loop.h runs either over a platform.
#pragma once

#include <cstdint>
#include <memory>

#include "game_state.h"
#include "platform_api.h"
#include "shell/window_messages.h"

struct ProgramDefinition {
  Program id;
  // The window's procedure, for one run.
  std::unique_ptr<WindowProcedure> (*MakeProcedure)(GameState& gs, MessageQueue& queue,
                                                    Platform& platform);
  // Opens the display, then sound, once the window is up. A device that
  // fails shows the program's message; false when either failed.
  bool (*StartDevices)(GameState& gs, MessageQueue& queue, Platform& platform);
  // The back buffer's clear at the start of every frame.
  void (*DD_BackInit)(GameState& gs);
  // The background shade at the start (dispColor).
  std::int32_t startShade;
};

// racer: the whole screen, white, the cursor hidden. A device that fails
// takes the window with it and the program ends at once.
extern const ProgramDefinition kFullScreenProgram;
