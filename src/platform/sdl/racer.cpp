// racer: the game over the whole desktop.
#include "platform/sdl/layer.h"
#include "shell/frame_loop.h"

int main() {
  SdlPlatform platform(Program::FullScreen);
  return RunProgram(kFullScreenProgram, platform);
}
