#include <algorithm>

#include "sim/phases.h"

void InitializeGhost(GameState& gs) {
  // A pace car on the centre line at 512 units a frame, for two laps of
  // positions, following the course's bends.
  for (int i = 0;; ++i) {
    gs.ghostPosition[i] = 512 * i;
    gs.ghostLRPosition[i] = 0;
    if (512 * i >= 2 * kLapUnits) break;
    gs.ghostTurn[i] = gs.mapDataX[512 * i / 1024];
  }
}

void InitializeGoal(GameState& gs) {
  for (std::int32_t& record : gs.goalRecord) record = 0;
  gs.goalCount = 0;
}

void MainLoopGoalRecord(GameState& gs) {
  for (int k = kGoalRecords - 1; k >= 1; --k) gs.goalRecord[k] = gs.goalRecord[k - 1];
}

void MainLoopGoal(GameState& gs) {
  // Extreme settings can throw the car more than a lap in one frame, even
  // backwards past the start line. The position is brought back into the
  // lap (1 to 819200) by whole laps, so that the view and the course
  // readers always see a position on the course; only a forward pass
  // counts, and only as one goal per frame.
  if (gs.carPosition < 1) {
    gs.carPosition = static_cast<std::int32_t>(kLapUnits - (-static_cast<long long>(gs.carPosition)) % kLapUnits);
  }
  if (gs.carPosition <= kLapUnits) {
    gs.goalRecord[0] = gs.timeCount;
    return;
  }
  gs.carPosition = (gs.carPosition - 1) % kLapUnits + 1;
  MainLoopGoalRecord(gs);
  // Clear the 300 positions after the finished lap, so that a slower next
  // lap replays a ghost far behind rather than stale entries. A lap longer
  // than the arrays clears only what lies inside them.
  const long long end = std::min<long long>(gs.timeCount + 300LL, kGhostEntries);
  for (long long t = gs.timeCount; t < end; ++t) gs.ghostPosition[t] = 0;
  gs.timeCount = 0;
  gs.goalRecord[0] = 0;
  if (gs.goalCount < INT32_MAX) gs.goalCount += 1;
}
