// racer_sim's per-frame trace: CSV, one row of GameState values per frame.
#pragma once

#include <cstdio>

#include "game_state.h"

void WriteTraceHeader(std::FILE* out, bool withView);
void WriteTraceRow(std::FILE* out, long long frame, const GameState& gs, bool withView);
