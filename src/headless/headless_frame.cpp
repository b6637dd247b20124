#include "headless/headless_frame.h"

#include "shell/frame_loop.h"
#include "windowed/program.h"

const ProgramDefinition& DefinitionOf(Program program) {
  return program == Program::FullScreen ? kFullScreenProgram : windowed::kWindowedProgram;
}

void HeadlessFrame(GameState& gs, Program program, InputDevice& input) {
  GameFrame(gs, DefinitionOf(program), input);
}

HeadlessGame::HeadlessGame(Program program, bool drawn)
    : program(program), gs(std::make_unique<GameState>()) {
  if (drawn) {
    back = std::make_unique<SoftSurface>(BackBufferFormat(program));
    gs->DDBack = back.get();
  }
  gs->dispColor = DefinitionOf(program).startShade;
}
