#include "media/primitives.h"
#include "view/view.h"

// A strip of the whole course rising from row 420: every fourth section's
// bend summed up leans it left or right; a dot marks the car.
void MainLoopViewDrawMap(GameState& gs) {
  DD_FontShow(gs, "MAP_DATA", 18, 320, 420, 5, 155, 255, false);
  std::int64_t sum = 0;
  std::int64_t previous = 0;
  const std::int64_t carRow = gs.carPosition / 1024 / 4;
  for (int n = 0; n < 199; ++n) {
    sum += gs.mapDataX[4 * n];
    const int x = view::ScreenCoord(320 + sum / 64);
    const int xPrevious = view::ScreenCoord(320 + previous / 64);
    const int y = 420 - n;
    DD_DrawLine(gs, x, y, xPrevious, y, 2, 155, 5, 5);
    previous = sum;
    if (n == carRow) DD_DrawLine(gs, x, y, x, y, 8, 5, 155, 255);
  }
}
