#include "sim/arith.h"
#include "sim/phases.h"

using namespace arith;

void MainLoopCarHit(GameState& gs) {
  const i64 p = gs.carLRPosition;
  i64 n;
  if (p > kRailPosition || p < -kRailPosition) {
    // Bounce: travel mirrored, heading and turning rate halved.
    gs.carLRMove = arith::Sat32(arith::Neg(gs.carLRMove));
    gs.carLRTurnDev = static_cast<std::int32_t>(gs.carLRTurnDev * 0.5);
    gs.carLRTurn = static_cast<std::int32_t>(gs.carLRTurn * 0.5);
    n = 120;
  } else {
    n = gs.carHitCount;
    if (n <= 0) return;
  }
  gs.carHitCount = static_cast<std::int32_t>(n - 1);

  const i64 q = Div(Mul(arith::Neg(gs.carVelocity), 1024), gs.carVelocityMax);
  gs.carVelocity = arith::Sat32(Add(gs.carVelocity, Div(Mul(q, 64), 1024)));
  // Ordinary driving never takes the car much past a rail. Extreme speeds
  // can throw it thousands of road widths out within one frame, from where
  // the centring would take minutes and the road would be out of sight; a
  // car that far out is caught at the rail instead.
  if (p > 2 * kRailPosition) {
    gs.carLRPosition = kRailPosition;
  } else if (p < -2 * kRailPosition) {
    gs.carLRPosition = -kRailPosition;
  } else {
    gs.carLRPosition = static_cast<std::int32_t>(p * 99 / 100);
  }
  gs.carGrip = static_cast<std::int32_t>(i64{gs.carGrip} * 99 / 100);
}
