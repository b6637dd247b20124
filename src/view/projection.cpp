#include <cmath>

#include "sim/arith.h"
#include "sim/phases.h"
#include "view/view.h"

namespace {

// Brings a step's near edge back into the first lap of the doubled course,
// exactly as subtracting 800 sections until it is no longer above 800 would
// (all values are multiples of 1/4096 and so subtract exactly); only far-off
// positions, which extreme settings can reach, take the shortcut.
void ReduceToLap(double& a, double& b) {
  if (a > 1600.0) {
    const double n = std::floor((a - 800.0) / 800.0);
    a -= 800.0 * n;
    b -= 800.0 * n;
  }
  while (a > 800.0) {
    a -= 800.0;
    b -= 800.0;
  }
}

}  // namespace

void MainLoopViewCalc(GameState& gs) {
  const std::int32_t* tangent = gs.trigonTangentTable;

  // The bends ahead, integrated twice: heading sum, then lateral sum. The
  // lateral sum is held in 64 bits; strong bends all through the view would
  // pass the 32-bit range and throw the far offsets to the other side.
  const double p = gs.carPosition * (1.0 / 1024);
  double acc = 0.0;
  arith::i64 y = 0;
  gs.drawViewX[0] = 0;
  for (int i = 0; i < kViewSteps - 1; ++i) {
    double a = tangent[i] * (1.0 / 4096) + p;
    double b = tangent[i + 1] * (1.0 / 4096) + p;
    ReduceToLap(a, b);
    double sum = 0.0;
    for (long long j = static_cast<long long>(a); j <= b; ++j) {
      sum += static_cast<double>(arith::i64{CourseAt(gs, j)} * tangent[i + 1]) * (1.0 / 256);
    }
    acc += sum;
    y = arith::TruncToI64(tangent[i + 1] * acc * (1.0 / 1024) + static_cast<double>(y));
    gs.drawViewX[i + 1] = arith::Sat32(y / 10000 / 1000);
  }

  // The car's own heading and sideways place shift the view against it.
  const arith::i64 w = arith::Div(8, gs.configCourseViewWide);
  for (int k = 0; k < kViewSteps; ++k) {
    const arith::i64 n = kViewSteps - k;
    const arith::i64 headingShift = arith::Mul(k, arith::Mul(gs.carLRTurn, w));
    const arith::i64 t = arith::TruncToI64(gs.drawViewX[k] - static_cast<double>(headingShift) * 9.765625e-06);
    const arith::i64 sideShift = arith::Mul(arith::Mul(n, gs.carLRPosition), w);
    gs.drawViewX[k] = arith::TruncToI32(static_cast<double>(t) - static_cast<double>(sideShift) * 9.765625e-05);
  }
}
