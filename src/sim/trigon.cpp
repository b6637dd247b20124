#include <cmath>

#include "sim/phases.h"

void InitializeTrigonTable(GameState& gs) {
  for (int i = 0; i < kViewSteps; ++i) {
    gs.trigonTangentTable[i] = static_cast<std::int32_t>((300.0 / (300.0 - i) - 1.0) * 1024.0);
  }
  // The far end of the view is held closer than the formula would put it.
  gs.trigonTangentTable[297] = 96256;
  gs.trigonTangentTable[298] = 122880;
  gs.trigonTangentTable[299] = 153600;

  constexpr double kAngleStep = 0.006141921121212121;  // a full turn in 1023 steps
  for (int i = 0; i < kTrigEntries; ++i) {
    const double a = i * kAngleStep;
    gs.trigonSinTable[i] = static_cast<std::int32_t>(std::sin(a) * 100.0);
    gs.trigonCosTable[i] = static_cast<std::int32_t>(std::cos(a) * 100.0);
  }
}
