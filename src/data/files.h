// The settings file and the course file.
#pragma once

#include <cstdio>

#include "game_state.h"

// Built-in settings, then config.txt, or config_bak.txt when it is missing.
void InitializeConfig(GameState& gs);
// The settings lines of one open file.
void ReadConfigFile(GameState& gs, std::FILE* file);

// The course table from map.txt, or map_bak.txt when it is missing, filled,
// smoothed and doubled.
void InitializeMap(GameState& gs);
// Marks sections 1 to 799 unset before the file is read.
void ClearMap(GameState& gs);
// The course lines of one open file.
void ReadMapFile(GameState& gs, std::FILE* file);
// Fill, smoothing and doubling, after the file has been read.
void FinishMap(GameState& gs);

// Course values beyond this magnitude are clamped before smoothing. The
// smoothing moves one unit per pair and pass, so values far past any
// drivable bend (the sharpest a car can take at speed is about 150) would
// keep it busy for minutes; at this limit the worst file takes well under a
// second.
constexpr int kCourseValueLimit = 2000;
constexpr int kUnsetSection = 99999999;
