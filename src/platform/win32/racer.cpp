// racer on Windows: the game in DirectDraw's exclusive full-screen mode.
#include "platform/win32/layer.h"
#include "shell/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  return Win32Main(kFullScreenProgram, instance, showMode);
}
