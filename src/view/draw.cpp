#include "view/view.h"

void MainLoopViewDraw(GameState& gs) {
  MainLoopViewDrawScene(gs);
  MainLoopViewDrawTexts(gs);
  if (gs.dispDebug != 0) MainLoopViewDrawDebug(gs);
  if (gs.dispMap != 0) MainLoopViewDrawMap(gs);
}
