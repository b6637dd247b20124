// racer_window on Windows: the game in a captioned window whose client area
// is 640x480, drawn off-screen and copied to the window once per frame.
#include "platform/win32/layer.h"
#include "windowed/program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  return Win32Main(windowed::kWindowedProgram, instance, showMode);
}
