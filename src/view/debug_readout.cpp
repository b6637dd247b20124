#include <cstdio>

#include "media/primitives.h"
#include "view/view.h"

namespace {

void Text(GameState& gs, int y, const char* text) { DD_FontShow(gs, text, 18, 260, y, 5, 155, 255, false); }

void Needle(GameState& gs, int yBottom, std::int64_t lean) {
  DD_DrawLine(gs, 260, yBottom, view::ScreenCoord(260 + lean), yBottom - 24, 2, 155, 5, 5);
}

}  // namespace

// The car's turning state with needles, and the settings in force.
void MainLoopViewDrawDebug(GameState& gs) {
  char text[64];
  Needle(gs, 44, std::int64_t{gs.carLRTurnDev} * 40 / 1024);
  std::snprintf(text, sizeof text, "TURN_DEV: %d", gs.carLRTurnDev);
  Text(gs, 20, text);
  Needle(gs, 68, gs.carLRTurn / 1024);
  std::snprintf(text, sizeof text, "TURN: %d", gs.carLRTurn);
  Text(gs, 44, text);
  Needle(gs, 92, gs.carLRMove / 1024);
  std::snprintf(text, sizeof text, "MOVE: %d", gs.carLRMove);
  Text(gs, 68, text);

  struct Setting {
    int y;
    const char* format;
    std::int32_t value;
  };
  std::snprintf(text, sizeof text, "DEVICE: %d", gs.configDevice);
  Text(gs, 92, text);
  std::snprintf(text, sizeof text, "SPEED/BRAKE: %d/%d", gs.carVelocityMax, gs.configBrakeLevel);
  Text(gs, 116, text);
  const Setting settings[] = {
      {260, "LR_TURN:   %d", gs.configLRTurnLevel},   {284, "LR_SLIDE:  %d", gs.configLRSlideLevel},
      {308, "LR_RESIST: %d", gs.configLRTurnResist},  {332, "GRIP_MIN:    %d", gs.configGripMin},
      {356, "GRIP_QUICK:  %d", gs.configGripQuick},   {380, "GRIP_RETURN: %d", gs.configGripReturn},
      {404, "RIDGE_RAIL:  %d", gs.configRidgeRail},   {428, "CORNER_ARCH: %d", gs.configCornerArch},
      {452, "COURSE_WIDE: %d", gs.configCourseViewWide},
  };
  for (const Setting& s : settings) {
    std::snprintf(text, sizeof text, s.format, s.value);
    Text(gs, s.y, text);
  }
}
