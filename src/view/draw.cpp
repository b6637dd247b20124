#include "view/view.h"

void MainLoopViewDraw(GameState& gs) {
  DrawContext* dc = gs.DDBack != nullptr ? gs.DDBack->GetDC() : nullptr;
  MainLoopViewDrawGhost(gs, dc);
  if (dc != nullptr) gs.DDBack->ReleaseDC(dc);
}
