#include "sim/arith.h"
#include "sim/phases.h"

using namespace arith;

void MainLoopCarGrip(GameState& gs) {
  const i64 m = gs.configGripMin;
  const i64 quick = gs.configGripQuick;
  const i64 ret = gs.configGripReturn;
  const i64 a = gs.controlAcceleration;
  const i64 v = gs.carVelocity;
  const i64 vmax = gs.carVelocityMax;
  i64 g = gs.carGrip;

  // Recovery: faster far from full grip, four times faster off the throttle.
  const i64 k = Div(Mul(Sub(10000, g), 16), 10000) + 1;
  const i64 rec = Div(Mul(Mul(Mul(4 - 3 * a, k), ret), quick), 1024);
  g = Add(Add(g, rec), 1);
  if (g > 10000) g = 10000;

  // Brake loss runs on for a while after the brake is let go.
  if (gs.carGripCount > 0) {
    gs.carGripCount -= 1;
    const i64 loss = Mul(Mul(Add(Sub(g, m), 1024), quick), 4);
    g = Add(g, Div(arith::Neg(loss), 10000 - m));
  }
  if (gs.controlBrake == 1) gs.carGripCount = gs.configBrakeGripTime;

  // Sliding: travel and heading apart.
  const i64 t1 = Div(Mul(Abs(i64{gs.carLRMove} - gs.carLRTurn), quick), 256);
  const i64 t2 = Div(Mul(arith::Neg(t1), v), vmax);
  g = Add(g, Div(Div(Mul(t2, Sub(g, m)), 10000), 128));

  // Turning fast.
  const i64 d = Abs(gs.carLRTurnDev);
  const i64 t3 = Div(Div(Mul(Mul(d, v), quick), vmax), 2);
  g = Add(g, Div(Div(Mul(arith::Neg(t3), Sub(g, m)), 10000), 1024));

  if (g < m) g = m;
  gs.carGrip = arith::Sat32(g);
}
