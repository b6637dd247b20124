#include "sim/arith.h"
#include "sim/phases.h"

using namespace arith;

void MainLoopCarCource(GameState& gs) {
  const i64 section = gs.carPosition / 1024;
  const i64 bend = CourseAt(gs, section + 2);
  const double target = arith::TruncToI64(static_cast<double>(bend * 1024) *
                                          static_cast<double>(gs.carVelocity) * 9.765625e-07);
  const double slide = gs.courseSlide;
  gs.courseSlide = arith::TruncToI32(slide - (slide - target) * 0.1);
  gs.carLRTurn = Sat32(Sub(gs.carLRTurn, 2 * i64{gs.courseSlide}));
  gs.carLRMove = Sat32(Sub(gs.carLRMove, 2 * i64{gs.courseSlide}));
}

void MainLoopCarLR(GameState& gs) {
  const i64 g = gs.carGrip;
  const i64 m = gs.configGripMin;
  const i64 level = gs.configLRTurnLevel;

  // Grip damps the turning rate: 96% kept at full grip, all at minimum.
  const i64 gf = Div(Mul(m - g, 40), 10000 - m);
  const i64 steer = Div(Mul(Mul(level, gs.controlLeftRight), 128), 1024);
  i64 dev = Div(Mul(Add(1000, gf), Add(gs.carLRTurnDev, steer)), 1000);
  if (dev > 2 * level) dev = 2 * level;
  if (dev < -2 * level) dev = -2 * level;
  gs.carLRTurnDev = Sat32(dev);

  i64 turn = Add(gs.carLRTurn, Mul(4, gs.carLRTurnDev));
  if (turn > kRailPosition) turn = kRailPosition;
  if (turn < -kRailPosition) turn = -kRailPosition;
  gs.carLRTurn = static_cast<std::int32_t>(turn);

  // Travel follows the heading as far as the grip allows, and is pulled
  // toward the course direction when grip is low.
  const i64 move = gs.carLRMove;
  const i64 blend = Add(move, Div(Mul(Sub(turn, move), g), 10000));
  const i64 ridge = gs.configRidgeRail;
  const i64 keep = Add(1000 - ridge, Div(Mul(ridge, g), 10000));
  gs.carLRMove = Sat32(Div(Mul(blend, keep), 1000));

  const i64 step = Div(Div(Mul(gs.carVelocity, gs.carLRMove), 1024), 250);
  const i64 sum = Add(gs.carLRPosition, step);
  gs.carLRPosition = arith::TruncToI32(static_cast<double>(sum) +
                                       static_cast<double>(i64{gs.configLRSlideLevel} * 1024) *
                                           static_cast<double>(gs.carLRTurnDev) * 9.765625e-08);
}
