#include "headless/headless_frame.h"

#include "media/primitives.h"
#include "shell/main_proc.h"
#include "windowed/primitives.h"

void HeadlessFrame(GameState& gs, Program program, InputDevice& input) {
  if (program == Program::FullScreen) {
    DD_BackInit(gs);
  } else {
    windowed::DD_BackInit(gs);
  }
  Main_Proc(gs, input);
}

HeadlessGame::HeadlessGame(Program program, bool drawn)
    : program(program), gs(std::make_unique<GameState>()) {
  if (drawn) {
    back = std::make_unique<SoftSurface>(BackBufferFormat(program));
    gs->DDBack = back.get();
  }
  if (program == Program::Windowed) gs->dispColor = windowed::kStartShade;
}
