// racer_window: the game in a 640x480 window on the desktop.
#include "platform/sdl/layer.h"
#include "shell/frame_loop.h"
#include "windowed/program.h"

int main() {
  SdlPlatform platform(Program::Windowed);
  return RunProgram(windowed::kWindowedProgram, platform);
}
