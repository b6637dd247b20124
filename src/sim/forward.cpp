#include "sim/arith.h"
#include "sim/phases.h"

using namespace arith;

void InitializeCar(GameState& gs) {
  gs.carVelocityMax = gs.configVelocityMax;
  gs.carVelocity = gs.configVelocityMax / 2;
  gs.carPosition = 1;
  gs.carGrip = 5000;
  gs.carGripCount = 0;
  gs.carBrakeLevel = gs.configBrakeLevel;
  gs.carLRPosition = 0;
  gs.carLRTurn = 0;
  gs.carLRMove = 0;
  gs.carLRTurnDev = 0;
  gs.carHitCount = 0;
  gs.controlAcceleration = 0;
}

void MainLoopCarForward(GameState& gs) {
  const i64 vmax = gs.carVelocityMax;
  const i64 g = gs.carGrip;
  const i64 a = gs.controlAcceleration;
  i64 v = gs.carVelocity;

  if (a > 0) v = Add(v, Div(Div(Mul(Mul(Sub(vmax, v), g), 4), 10000), 1024));
  if (gs.controlBrake > 0) v = Sub(v, Div(Mul(Mul(gs.carBrakeLevel, g), 1024), 100000000));

  // Turning costs speed, eight times more with the throttle on; the final
  // 1 is drag.
  i64 r = Div(Mul(Mul(Abs(gs.carLRTurnDev), 7 * a + 1), gs.configLRTurnResist), 10);
  r = Div(Div(Mul(r, g), 10000), 1024);
  const i64 loss = Div(Mul(r, v), vmax);
  v = Sub(Sub(v, loss), 1);

  if (v < 64) v = 64;
  gs.carVelocity = arith::Sat32(v);

  const i64 k = i64{gs.carLRPosition} / 1024 / 100;
  const i64 s = i64{gs.courseSlide} / 50;
  const i64 x = Mul(k, s) / 1024;
  // The sum is exact in 64 bits. Extreme settings can make the advance
  // reach past the 32-bit range; whole laps are taken off then rather than
  // holding the position at the limit, where the car would stand still
  // whatever its speed. The goal phase brings it into the lap.
  i64 next = Add(gs.carPosition, Div(Mul(Add(x, 1), gs.carVelocity), 10));
  if (next > arith::kI32Max) next = (next - 1) % kLapUnits + 1 + kLapUnits;
  if (next < arith::kI32Min) next %= kLapUnits;  // -819199 to 0
  gs.carPosition = static_cast<std::int32_t>(next);
}
