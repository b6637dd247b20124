// racer_window on Windows: the game in a captioned window whose client area
// is 640x480, drawn off-screen and copied to the window once per frame.
#include "headless/test_mode.h"
#include "platform/win32/layer.h"
#include "windowed/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  Win32Platform platform(Program::Windowed, instance, showMode);
  return RunProgramOrTestMode(windowed::kWindowedProgram, platform);
}
