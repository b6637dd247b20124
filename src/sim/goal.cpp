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
  if (gs.carPosition <= kLapUnits) {
    gs.goalRecord[0] = gs.timeCount;
    return;
  }
  gs.carPosition -= kLapUnits;
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
