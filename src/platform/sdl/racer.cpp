// racer: the game over the whole desktop.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform/sdl/layer.h"
#include "shell/program.h"

int main() {
  SdlPlatform platform(Program::FullScreen);
  return RunProgram(platform);
}
