#include "sim/arith.h"
#include "view/view.h"

using namespace arith;

namespace {

// The previous lap's state four frames further on: a white triangle on the
// road at the ghost's depth, and a gauge of its lead at the lower right.
void DrawGhost(GameState& gs, DrawContext& dc, int g) {
  const i64 gp = gs.ghostPosition[g];
  if (gp / 1024 >= 780 || gs.dispGhost <= 0) return;
  const i64 d = Div(Mul(i64{gp} - gs.carPosition + 1024, gs.configGhostForwardScale), 1024);
  if (arith::Abs(d) >= 81920) return;

  view::Line(dc, 560, 400, 580, 400 - d / 1024);
  view::Line(dc, 600, 400, 580, 400 - d / 1024);
  if (d <= 1024) return;

  // The depth step whose distance matches the lead: 0 to 296 here.
  const i64 r = ((3 * d - 3072) * 100) / d;
  const i64 s = 300 - r;
  const i64 lx = Mul(Mul(gs.ghostLRPosition[g], s), 10) / 100 / 1024 + gs.drawViewX[r];
  const i64 ry = r + gs.drawViewY[r];
  i64 t = i64{gs.ghostTurn[g]} * 16 / 1024;
  const i64 h = s / 2;
  i64 w = 0;
  if (arith::Abs(t) > h) {
    if (arith::Abs(t) > s) t = s;
    w = arith::Abs(t) - h;
  }
  const i64 cx = 320 + lx;
  const i64 cy = 480 - ry;
  const i64 x1 = cx + w - s, y1 = cy - t;
  const i64 x2 = cx + s - w, y2 = cy + t;
  const i64 x3 = cx + t, y3 = cy + w - s;
  view::Line(dc, x1, y1, x2, y2);
  view::Line(dc, x1, y1, x3, y3);
  view::Line(dc, x2, y2, x3, y3);
}

}  // namespace

void MainLoopViewDrawGhost(GameState& gs, DrawContext* dc) {
  const std::int32_t c = gs.timeCount;
  const std::int64_t g = std::int64_t{c} + 4;
  // A lap longer than the arrays has nothing recorded that far on.
  if (dc != nullptr && g >= 0 && g < kGhostEntries) DrawGhost(gs, *dc, static_cast<int>(g));

  // One entry per frame while the lap fits the arrays; a longer lap keeps
  // counting its time but records no further.
  if (c >= 0 && c < kGhostEntries) {
    gs.ghostPosition[c] = gs.carPosition;
    gs.ghostLRPosition[c] = gs.carLRPosition;
    gs.ghostTurn[c] = gs.carLRTurnDev;
  }
  if (c < INT32_MAX) gs.timeCount = c + 1;
}
