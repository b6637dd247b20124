// racer: the game over the whole desktop.
#include "platform/sdl/layer.h"
#include "shell/program.h"

int main() { return SdlMain(kFullScreenProgram); }
