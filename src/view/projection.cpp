#include <cmath>

#include "sim/arith.h"
#include "sim/phases.h"
#include "view/view.h"

namespace {

using arith::i64;

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

// The bends ahead, integrated twice, step by step in doubles as the view is
// defined: each step adds the bends of the sections it touches, weighted by
// its far distance / 256, to the heading sum, and far distance x heading
// sum / 1024 to the lateral sum, truncating.
void IntegrateStepByStep(GameState& gs) {
  const std::int32_t* tangent = gs.trigonTangentTable;
  const double p = gs.carPosition * (1.0 / 1024);
  double acc = 0.0;
  i64 y = 0;
  for (int i = 0; i < kViewSteps - 1; ++i) {
    double a = tangent[i] * (1.0 / 4096) + p;
    double b = tangent[i + 1] * (1.0 / 4096) + p;
    ReduceToLap(a, b);
    double sum = 0.0;
    for (long long j = static_cast<long long>(a); j <= b; ++j) {
      sum += static_cast<double>(i64{CourseAt(gs, j)} * tangent[i + 1]) * (1.0 / 256);
    }
    acc += sum;
    y = arith::TruncToI64(tangent[i + 1] * acc * (1.0 / 1024) + static_cast<double>(y));
    gs.drawViewX[i + 1] = arith::Sat32(y / 10000 / 1000);
  }
}

// The same integration in integers, which gives the very same results
// while the values stay well inside a double's 53 bits. The terms of a step
// are its sections' bends x its far distance / 256, whole multiples of
// 1/256 whose partial sums stay below 2^53 / 256 (running sums of bends
// within 2^34, distances below 2^18), so adding them rounds nothing and
// gives the summed bends x far distance / 256; the heading sum is then a
// whole number of 1/256 and the lateral step a whole number of 1/2^18.
// Returns false when the car stands outside the lap, the depth table does
// not rise within 41 sections, the two halves of the course table differ
// where the view crosses the lap's end, or the sums leave that range (only
// extreme courses take them there); the caller then integrates step by
// step.
bool IntegrateExactly(GameState& gs) {
  constexpr int kSections = 41;  // from the car's on; the view reaches 37.5 ahead
  // Bound for the running sums, the heading sum and the lateral sum: then
  // heading x distance and lateral sum x 2^18 stay within 2^52.
  constexpr i64 kLimit = i64{1} << 34;
  auto outside = [](i64 v) { return v > kLimit || v < -kLimit; };

  const std::int32_t* tangent = gs.trigonTangentTable;
  if (gs.carPosition < 0 || gs.carPosition > kLapUnits) [[unlikely]] return false;

  // Edges are counted in 1/4096 section, as the depth table counts. Those
  // past the lap's end read the table's second half, the copy of the
  // sections from the course's start that reducing them by a lap would read.
  const i64 car = i64{gs.carPosition} * 4;
  const i64 first = car >> 12;
  i64 running[kSections + 1];  // entry k: sections first to first + k - 1
  running[0] = 0;
  for (int k = 0; k < kSections; ++k) {
    const i64 section = first + k;
    if (section >= kCourseSections && gs.mapDataX[section] != gs.mapDataX[section - kCourseSections]) [[unlikely]] {
      return false;
    }
    running[k + 1] = running[k] + gs.mapDataX[section];
    if (outside(running[k + 1])) [[unlikely]] return false;
  }

  i64 heading = 0;  // the heading sum x 256
  i64 y = 0;
  if (tangent[0] < 0) [[unlikely]] return false;
  i64 near = ((tangent[0] + car) >> 12) - first;  // the step's nearest section
  for (int i = 0; i < kViewSteps - 1; ++i) {
    const i64 distance = tangent[i + 1];
    const i64 far = ((distance + car) >> 12) - first;  // and its farthest
    if (far < near || far >= kSections) [[unlikely]] return false;
    heading += (running[far + 1] - running[near]) * distance;
    near = far;
    if (outside(heading) || outside(y)) [[unlikely]] return false;
    // y + t / 2^18 truncated toward zero, t = 2^18 x the lateral step: the
    // floor when that is not negative, else the ceiling. Both candidates
    // are ready before y is, which keeps the chain between steps short.
    const i64 t = heading * distance;
    const i64 down = y + (t >> 18);
    const i64 up = y - ((-t) >> 18);
    y = down >= 0 ? down : up;
    // Most of the near view has no offset yet, and the division is the
    // dearest part of a step.
    constexpr i64 kPixel = 10000 * 1000;
    gs.drawViewX[i + 1] = y < kPixel && y > -kPixel ? 0 : static_cast<std::int32_t>(y / kPixel);
  }
  return true;
}

// The car's own heading and sideways place shift the view against it:
// turn and side are the heading and the place times the width factor.
// Offsets truncate through Int, which must hold them (and is then as exact
// as a wider type).
template <typename Int>
void ShiftForCar(GameState& gs, double turn, double side) {
  for (int k = 0; k < kViewSteps; ++k) {
    const double n = kViewSteps - k;
    const double t = static_cast<Int>(gs.drawViewX[k] - k * turn * 9.765625e-06);
    gs.drawViewX[k] = arith::Sat32(static_cast<Int>(t - n * side * 9.765625e-05));
  }
}

// The bends ahead, integrated twice: heading sum, then lateral sum. The
// lateral sum is held in 64 bits; strong bends all through the view would
// pass the 32-bit range and throw the far offsets to the other side.
void Project(GameState& gs, bool fast) {
  gs.drawViewX[0] = 0;
  const bool exact = fast && IntegrateExactly(gs);
  if (!exact) IntegrateStepByStep(gs);

  // The width factor is at most 8 either way, so heading and place times it
  // and times a step count are whole numbers that a double holds exactly.
  // The shifts stay in 32 bits when the exact integration kept the offsets
  // small and the car is no further out than its rails allow by far.
  const i64 w = arith::Div(8, gs.configCourseViewWide);
  const i64 turn = i64{gs.carLRTurn} * w;
  const i64 side = i64{gs.carLRPosition} * w;
  constexpr i64 kSmall = i64{1} << 30;
  if (exact && turn < kSmall && turn > -kSmall && side < kSmall && side > -kSmall) {
    ShiftForCar<std::int32_t>(gs, static_cast<double>(turn), static_cast<double>(side));
  } else {
    ShiftForCar<i64>(gs, static_cast<double>(turn), static_cast<double>(side));
  }
}

}  // namespace

void MainLoopViewCalc(GameState& gs) { Project(gs, true); }

void MainLoopViewCalcStepByStep(GameState& gs) { Project(gs, false); }
