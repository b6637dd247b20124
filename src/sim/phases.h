// The driving simulation: start-up steps and the per-frame phases, in the
// order the frame runs them.
#pragma once

#include "game_state.h"
#include "platform_api.h"

void InitializeTrigonTable(GameState& gs);
void InitializeCar(GameState& gs);
void InitializeGhost(GameState& gs);
void InitializeGoal(GameState& gs);

void MainLoopControl(GameState& gs, InputDevice& input);
void MainLoopCarGrip(GameState& gs);
void MainLoopCarForward(GameState& gs);
void MainLoopCarCource(GameState& gs);
void MainLoopCarLR(GameState& gs);
void MainLoopCarHit(GameState& gs);
void MainLoopGoal(GameState& gs);
void MainLoopGoalRecord(GameState& gs);

// The bend value of a section. Sections outside the doubled table (only
// reachable when extreme settings throw the car backwards or several laps
// at once) wrap around the 800-section loop.
inline std::int32_t CourseAt(const GameState& gs, long long section) {
  if (section >= 0 && section < kMapEntries) return gs.mapDataX[section];
  long long wrapped = section % kCourseSections;
  if (wrapped < 0) wrapped += kCourseSections;
  return gs.mapDataX[wrapped];
}
