#include "shell/main_proc.h"

#include "data/files.h"
#include "sim/phases.h"
#include "view/view.h"

void Initialize(GameState& gs, FileObserver* observer) {
  gs.dispDebug = 0;
  gs.dispMap = 0;
  gs.dispGhost = 1;
  gs.dispObject = 1;
  gs.dispIndicater = 0;
  gs.timeCount = 0;
  InitializeConfig(gs, observer);
  InitializeCar(gs);            // needs the settings
  InitializeMap(gs, observer);  // needs CORNER_ARCH
  InitializeGhost(gs);          // copies the course
  InitializeTrigonTable(gs);
  InitializeGoal(gs);
}

void MainLoop(GameState& gs, InputDevice& input) {
  MainLoopControl(gs, input);
  MainLoopCarGrip(gs);
  MainLoopCarForward(gs);
  MainLoopCarCource(gs);
  MainLoopCarLR(gs);
  MainLoopCarHit(gs);
  MainLoopGoal(gs);
  MainLoopViewCalc(gs);
  MainLoopViewDraw(gs);
}

void Main_Proc(GameState& gs, InputDevice& input) {
  if (gs.ifInitialize == 0) {
    Initialize(gs);
    gs.ifInitialize = 1;
  }
  MainLoop(gs, input);
}
