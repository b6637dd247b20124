#include "view/view.h"

void MainLoopViewDrawGhost(GameState& gs, DrawContext* dc) {
  const std::int32_t c = gs.timeCount;
  const std::int32_t g = c + 4;
  (void)dc;
  (void)g;

  // One entry per frame while the lap fits the arrays; a longer lap keeps
  // counting its time but records no further.
  if (c >= 0 && c < kGhostEntries) {
    gs.ghostPosition[c] = gs.carPosition;
    gs.ghostLRPosition[c] = gs.carLRPosition;
    gs.ghostTurn[c] = gs.carLRTurnDev;
  }
  if (gs.timeCount < INT32_MAX) gs.timeCount = c + 1;
}
