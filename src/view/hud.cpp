#include <cstdio>
#include <cstring>

#include "sim/arith.h"
#include "view/view.h"

using namespace arith;

namespace {

constexpr const char* kTitleLines[] = {"VELTIX RACE", "LEFT/RIGHT:steer", "ESC:exit"};

// While the car is slow the help lines, file warnings and the title show.
constexpr int kSlowSpeed = 640;

void Text(DrawContext& dc, i64 x, i64 y, const char* text) {
  dc.TextOut(view::ScreenCoord(x), view::ScreenCoord(y), text, static_cast<int>(std::strlen(text)));
}

void Number(DrawContext& dc, i64 x, i64 y, const char* format, i64 value) {
  char text[48];
  std::snprintf(text, sizeof text, format, static_cast<long long>(value));
  Text(dc, x, y, text);
}

void DrawReadouts(DrawContext& dc, const GameState& gs) {
  const i64 v = gs.carVelocity;
  const i64 vmax = gs.carVelocityMax;
  Number(dc, 40, 24, "goalCount: %lld", gs.goalCount);
  Number(dc, 440, 24, "carPosition: %lld", gs.carPosition);
  Number(dc, 440, 48, "carVelocity: %lld", v);
  // The speed label climbs the left edge with the speed; the indicator
  // switch makes it climb twice as fast and start again every 240 rows.
  const i64 speedValue = arith::Sat32(Div(Mul(v, 10000), vmax));
  const i64 speedRow = gs.dispIndicater == 0 ? 480 - Div(Mul(v, 240), vmax) : 480 - Div(Mul(v, 480), vmax) % 240;
  Number(dc, 40, speedRow, "SPEED %lld", speedValue);
  Number(dc, 160, 480 - gs.carGrip / 40, "GRIP %lld", gs.carGrip);
  Text(dc, 280 + 40 * i64{gs.controlLeftRight}, 440 - 40 * i64{gs.controlAcceleration} + 10 * i64{gs.controlBrake},
       "INPUT");
  if (gs.carHitCount > 0) Text(dc, 300, 300 - i64{gs.carHitCount}, " H I T ");
  if (v >= kSlowSpeed) return;
  const char* help[] = {"UP/DOWN:accel/break",        "S:speed up", "B:stop", "C:backGroundColor",
                        "I:SPEED meter scale x2", "D/M/G:debug/map/ghost disp"};
  for (int k = 0; k < 6; ++k) Text(dc, 240, 240 + 24 * k, help[k]);
  if (gs.noConfigFileFlag > 0) Text(dc, 240, 432, "\"config.txt\" not found.");
  if (gs.noMapFileFlag > 0) Text(dc, 240, 456, "\"map.txt\" not found.");
}

// The swirl: each element circles its home on a radius that swells and
// shrinks with the car's position, at a speed set by its multiplier.
struct Swirl {
  const GameState& gs;
  double amp;

  explicit Swirl(const GameState& state)
      : gs(state), amp(Sin(view::Mod(i64{state.carPosition} * 64 / 1024, 1024)) * 0.01) {}

  // The tables hold 1023 entries; index 1023 is the same angle as 0.
  int Sin(i64 a) const { return gs.trigonSinTable[a % kTrigEntries]; }
  int Cos(i64 a) const { return gs.trigonCosTable[a % kTrigEntries]; }

  void Draw(DrawContext& dc, i64 homeX, i64 homeY, i64 m, const char* text) const {
    const i64 a = view::Mod(Mul(m, gs.carPosition) / 16, 1024);
    const i64 dx = static_cast<i64>(Cos(a) * amp);
    const i64 dy = static_cast<i64>(Sin(a) * amp);
    Text(dc, homeX + dx, homeY + dy, text);
  }
};

void DrawRecordsAndTitle(DrawContext& dc, const GameState& gs) {
  char record[kGoalRecords][16];
  for (int k = 0; k < kGoalRecords; ++k) std::snprintf(record[k], sizeof record[k], "%d", gs.goalRecord[k]);
  if (gs.carVelocity >= kSlowSpeed) {
    for (int k = 0; k < kGoalRecords; ++k) Text(dc, 500, 280 + 24 * k, record[k]);
    return;
  }
  const Swirl swirl(gs);
  const bool perCharacter = view::Mod(gs.carPosition / 16, 2048) < 1024;
  auto drawLine = [&](i64 homeX, i64 homeY, i64 index, const char* text) {
    if (!perCharacter) {
      swirl.Draw(dc, homeX, homeY, index + 1, text);
      return;
    }
    for (i64 j = 0; text[j] != '\0'; ++j) {
      const char character[2] = {text[j], '\0'};
      swirl.Draw(dc, homeX + 9 * j, homeY, (index + 1) * (j + 1), character);
    }
  };
  for (int k = 0; k < kGoalRecords; ++k) drawLine(500, 280 + 24 * k, k, record[k]);
  for (int t = 0; t < 3; ++t) drawLine(100, 200 + 44 * t, t, kTitleLines[t]);
}

}  // namespace

void MainLoopViewDrawTexts(GameState& gs) {
  DrawContext* dc = gs.DDBack != nullptr ? gs.DDBack->GetDC() : nullptr;
  if (dc == nullptr) return;
  FontRequest request;
  request.height = 20;
  request.weight = 400;
  request.charSet = 128;
  Font* font = dc->CreateFont(request);
  Font* kept = dc->SelectFont(font);
  dc->SetBkMode(BkMode::Opaque);
  dc->SetTextColor(RGBRef(0, 0, 0));
  DrawReadouts(*dc, gs);
  DrawRecordsAndTitle(*dc, gs);
  dc->SelectFont(kept);
  dc->DeleteFont(font);
  gs.DDBack->ReleaseDC(dc);
}
