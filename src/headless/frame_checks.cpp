#include "headless/frame_checks.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace frame_checks {
namespace {

bool IsSwitch(std::int32_t v) { return v == 0 || v == 1; }

std::string Broken(long long frame, const char* rule, long long value) {
  char text[160];
  std::snprintf(text, sizeof text, "frame %lld: %s (value %lld)", frame, rule, value);
  return text;
}

}  // namespace

Baseline TakeBaseline(const GameState& gs) {
  Baseline b;
  std::copy(std::begin(gs.mapDataX), std::end(gs.mapDataX), b.course.begin());
  b.dispColorLimit = gs.dispColor > 255 ? gs.dispColor : 255;
  return b;
}

std::string CheckFrame(const GameState& gs, const Baseline& baseline, long long frame) {
  if (!std::equal(baseline.course.begin(), baseline.course.end(), gs.mapDataX)) return Broken(frame, "course table changed after start-up", 0);
  const std::int32_t switches[] = {gs.dispDebug, gs.dispMap, gs.dispGhost, gs.dispObject, gs.dispIndicater};
  for (std::int32_t s : switches) {
    if (!IsSwitch(s)) return Broken(frame, "display switch is neither 0 nor 1", s);
  }
  if (gs.dispColor < 0 || gs.dispColor > baseline.dispColorLimit) {
    return Broken(frame, "background shade out of 0..255", gs.dispColor);
  }
  if (!IsSwitch(gs.controlAcceleration)) return Broken(frame, "throttle is neither 0 nor 1", gs.controlAcceleration);
  if (!IsSwitch(gs.controlBrake)) return Broken(frame, "brake is neither 0 nor 1", gs.controlBrake);
  if (gs.controlLeftRight < -2 || gs.controlLeftRight > 2) {
    return Broken(frame, "steering out of -2..2", gs.controlLeftRight);
  }
  if (gs.carLRTurn < -kRailPosition || gs.carLRTurn > kRailPosition) {
    return Broken(frame, "heading out of the rails' range", gs.carLRTurn);
  }
  // The goal phase keeps the car within the lap, the rail phase within
  // twice the rails' distance.
  if (gs.carPosition < 1 || gs.carPosition > kLapUnits) return Broken(frame, "position outside the lap", gs.carPosition);
  if (gs.carLRPosition < -2 * kRailPosition || gs.carLRPosition > 2 * kRailPosition) {
    return Broken(frame, "car far beyond the rails", gs.carLRPosition);
  }
  if (gs.carHitCount < 0 || gs.carHitCount > 119) return Broken(frame, "rail count out of 0..119", gs.carHitCount);
  if (gs.timeCount < 1) return Broken(frame, "lap frame count below 1", gs.timeCount);
  if (gs.goalRecord[0] != gs.timeCount - 1) {
    return Broken(frame, "running lap record is not the frames counted before this one", gs.goalRecord[0]);
  }
  for (std::int32_t r : gs.goalRecord) {
    if (r < 0) return Broken(frame, "negative lap record", r);
  }
  if (gs.goalCount < 0 || gs.goalCount > frame) return Broken(frame, "more laps than frames", gs.goalCount);
  for (int i = 0; i < kViewSteps; ++i) {
    if (gs.drawViewY[i] != 0) return Broken(frame, "drawViewY written", i);
  }
  return {};
}

}  // namespace frame_checks
