// racer_window: the game in a 640x480 window on the desktop.
#include "platform/sdl/layer.h"
#include "windowed/program.h"

int main() { return SdlMain(windowed::kWindowedProgram); }
