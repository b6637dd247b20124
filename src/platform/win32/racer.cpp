// racer on Windows: the game in DirectDraw's exclusive full-screen mode.
#include "headless/test_mode.h"
#include "platform/win32/layer.h"
#include "shell/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  Win32Platform platform(Program::FullScreen, instance, showMode);
  return RunProgramOrTestMode(kFullScreenProgram, platform);
}
