// A test card of the drawing calls the game makes, one element per cell:
// one-pixel lines in every direction (ties between two pixels included),
// the same lines drawn backwards, wide lines, zero-length wide lines (dots)
// and the game's texts. Drawn through DrawContext only, so that the Windows
// build (GDI) and the software back buffer draw it from the same code and
// every difference between the two pictures falls in a known cell.
#pragma once

#include <string>
#include <vector>

#include "platform_api.h"

struct PatternCell {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  std::string label;
};

// The cells in drawing order; they do not overlap.
std::vector<PatternCell> PatternCells();

// Clears `surface` to white (raw 0xFFFFFF, white in 16 and 32 bits) and
// draws every cell on one borrowed context. False when no context was lent.
bool DrawPattern(Surface& surface);
