#include <array>

#include "view/view.h"

namespace {

using view::Line;
using view::Mod;

// One depth step of the view model: its scale, offset and the section seen.
struct Step {
  std::int64_t i, s, x, yBase, p, q;
  std::int64_t X(std::int64_t lateral) const { return 320 + x + lateral * s; }
  std::int64_t Y(std::int64_t height) const { return 180 + height * s - yBase; }
};

Step StepAt(const GameState& gs, int i) {
  Step st;
  st.i = i;
  st.s = 300 - i;
  st.x = gs.drawViewX[i];
  st.yBase = gs.drawViewY[i];
  const double pos = (gs.trigonTangentTable[i] * 0.25 + gs.carPosition) / 1024;
  st.p = static_cast<std::int64_t>(pos);
  st.q = Mod(static_cast<std::int64_t>(pos + pos), 1600);
  return st;
}

bool IsRoadMark(std::int64_t q) { return q == 800 || q == 1449 || q == 1499 || q == 1549 || q == 1599; }

void DrawBlackStep(DrawContext& dc, const GameState& gs, const Step& st) {
  const bool odd = (st.i & 1) != 0;
  const std::int64_t y1 = st.Y(1);
  if (!(odd && st.i < 296 && IsRoadMark(st.q))) Line(dc, st.X(-8), y1, st.X(8), y1);

  const std::int64_t lap = Mod(st.p, 800);
  const bool firstHalf = lap < 400;
  const bool walls = firstHalf ? Mod(st.p, 80) > 40 : Mod(st.p, 20) > 10;
  const bool stripes = firstHalf ? Mod(st.p, 8) < 2 : Mod(st.p, 80) < 20;
  const std::int64_t wallTop = firstHalf ? 10 : 11;
  const std::int64_t stripeEnd = firstHalf ? 15 : 18;
  if (walls) {
    Line(dc, st.X(-9), y1, st.X(-wallTop), st.Y(-4));
    Line(dc, st.X(9), y1, st.X(wallTop), st.Y(-4));
  }
  if (stripes) {
    Line(dc, st.X(-9), y1, st.X(-stripeEnd), y1);
    Line(dc, st.X(9), y1, st.X(stripeEnd), y1);
  }

  if (gs.dispObject <= 0) return;
  const std::int64_t overhead = st.Y(-1);
  if (odd && Mod(st.p, 80) > 70 && st.i < 296) Line(dc, 0, overhead, 640, overhead);
  if (Mod(st.p, 400) > 330) {
    Line(dc, st.X(-6), overhead, st.X(-3), overhead);
    Line(dc, st.X(-2), overhead, st.X(-1), overhead);
    Line(dc, st.X(6), overhead, st.X(3), overhead);
    Line(dc, st.X(2), overhead, st.X(1), overhead);
  }
}

void DrawCentreDash(DrawContext& dc, const Step& st) {
  if (Mod(st.p, 4) != 0) return;
  const double half = st.s * 0.25;
  const double centre = static_cast<double>(320 + st.x);
  const std::int64_t y1 = st.Y(1);
  Line(dc, static_cast<std::int64_t>(centre - half), y1, static_cast<std::int64_t>(centre + half), y1);
}

}  // namespace

void MainLoopViewDrawScene(GameState& gs) {
  DrawContext* dc = gs.DDBack != nullptr ? gs.DDBack->GetDC() : nullptr;
  if (dc == nullptr) {
    // Nothing to draw on, but the ghost still records the frame.
    MainLoopViewDrawGhost(gs, nullptr);
    return;
  }
  // Both passes walk the same steps: work them out once.
  std::array<Step, kViewSteps> steps;
  for (int i = 0; i < kViewSteps; ++i) steps[i] = StepAt(gs, i);

  Pen* black = dc->CreatePen(1, RGBRef(0, 0, 0));
  Pen* kept = dc->SelectPen(black);
  for (const Step& st : steps) DrawBlackStep(*dc, gs, st);
  dc->SelectPen(kept);
  dc->DeletePen(black);

  Pen* white = dc->CreatePen(1, RGBRef(255, 255, 255));
  kept = dc->SelectPen(white);
  for (const Step& st : steps) DrawCentreDash(*dc, st);
  // The ghost marker is drawn with the white pen still selected.
  MainLoopViewDrawGhost(gs, dc);
  dc->SelectPen(kept);
  dc->DeletePen(white);
  gs.DDBack->ReleaseDC(dc);
}
