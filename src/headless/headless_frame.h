// The game without a window: frames straight after one another, drawn into
// a software back buffer as one of the two programs draws them. racer_sim,
// the tools and the tests all run the game this way.
#pragma once

#include <memory>

#include "game_state.h"
#include "media/soft_surface.h"
#include "platform_api.h"
#include "shell/program.h"

// The program's definition (shell/program.h).
const ProgramDefinition& DefinitionOf(Program program);

// One frame as `program` runs it, without the wait and the presentation:
// the program's clear of gs.DDBack (when there is one), then Main_Proc.
void HeadlessFrame(GameState& gs, Program program, InputDevice& input);

// A game as `program`'s entry starts it (the windowed one sets its shade),
// with a back buffer of that program's format when it is to be drawn.
struct HeadlessGame {
  explicit HeadlessGame(Program program, bool drawn = true);

  void Frame(InputDevice& input) { HeadlessFrame(*gs, program, input); }

  Program program;
  std::unique_ptr<GameState> gs;
  std::unique_ptr<SoftSurface> back;  // null when not drawn
};
