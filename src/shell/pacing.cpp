#include "shell/pacing.h"

#include <algorithm>
#include <limits>

void StartPacing(GameState& gs, Clock& clock) {
  gs.frameTimeLast = clock.timeGetTime();
  gs.performanceCount = clock.QueryPerformanceCounter();
  gs.performanceCounterFlag = gs.performanceCount > 0 ? 1 : 0;
  gs.performanceCountLast = gs.performanceCount;
}

void WaitFrame(GameState& gs, Clock& clock) {
  if (gs.performanceCounterFlag == 1) {
    WaitFrameMicroseconds(gs, clock);
  } else {
    WaitFrameMilliseconds(gs, clock);
  }
}

std::int64_t ElapsedMicroseconds(std::int64_t count, std::int64_t last,
                                 std::int64_t frequency) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  if (frequency <= 0) return kFramePeriodMicroseconds;
  std::int64_t diff = 0;
  if (__builtin_sub_overflow(count, last, &diff)) return count < last ? kMin : kMax;
  std::int64_t scaled = 0;
  if (__builtin_mul_overflow(diff, std::int64_t{1000000}, &scaled)) {
    return diff < 0 ? kMin : kMax;
  }
  return scaled / frequency;
}

std::int64_t CountAfter(std::int64_t last, std::int64_t microseconds, std::int64_t frequency) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  if (frequency <= 0 || microseconds <= 0) return last;
  // ceil(microseconds * frequency / 1000000) counts
  std::int64_t product = 0;
  if (__builtin_mul_overflow(microseconds, frequency, &product)) return kMax;
  const std::int64_t counts = product / 1000000 + (product % 1000000 != 0 ? 1 : 0);
  std::int64_t count = 0;
  if (__builtin_add_overflow(last, counts, &count)) return kMax;
  return count;
}

namespace {

// Sleeps once toward the period's end less the spin, then reads the counter
// until the period is over. A late frame still gives up its time slice once.
void WaitFrameToDeadline(GameState& gs, Clock& clock) {
  gs.performanceFrequency = clock.QueryPerformanceFrequency();
  const std::int64_t wake = CountAfter(gs.performanceCountLast,
                                       kFramePeriodMicroseconds - kSpinMicroseconds,
                                       gs.performanceFrequency);
  bool slept = false;
  for (;;) {
    gs.performanceCount = clock.QueryPerformanceCounter();
    const std::int64_t elapsed = ElapsedMicroseconds(gs.performanceCount, gs.performanceCountLast,
                                                     gs.performanceFrequency);
    if (slept && elapsed >= kFramePeriodMicroseconds) break;
    if (elapsed < kFramePeriodMicroseconds - kSpinMicroseconds) {
      // Again if woken early; never more than a period at a time, should
      // the counter have gone back.
      const std::int64_t limit = CountAfter(gs.performanceCount, kFramePeriodMicroseconds,
                                            gs.performanceFrequency);
      clock.SleepUntil(std::min(wake, limit));
    } else if (!slept) {
      clock.Sleep(0);
    }
    slept = true;
  }
  gs.performanceCountLast = gs.performanceCount;
}

}  // namespace

void WaitFrameMicroseconds(GameState& gs, Clock& clock) {
  if (clock.SleepsUntil()) {
    WaitFrameToDeadline(gs, clock);
    return;
  }
  std::int64_t elapsed = 0;
  do {
    if (elapsed < kSleepBelowMicroseconds) {
      clock.Sleep(1);
    } else if (elapsed < kYieldBelowMicroseconds) {
      clock.Sleep(0);
    }
    gs.performanceCount = clock.QueryPerformanceCounter();
    gs.performanceFrequency = clock.QueryPerformanceFrequency();
    elapsed = ElapsedMicroseconds(gs.performanceCount, gs.performanceCountLast,
                                  gs.performanceFrequency);
  } while (elapsed < kFramePeriodMicroseconds);
  gs.performanceCountLast = gs.performanceCount;
}

void WaitFrameMilliseconds(GameState& gs, Clock& clock) {
  gs.frameCycle = gs.frameCycle + 1;
  if (gs.frameCycle > 2) gs.frameCycle = 0;
  // 16, 17, 17: three frames in 50 ms.
  const std::uint32_t target = 17u - static_cast<std::uint32_t>(gs.frameCycle & 1);
  std::uint32_t elapsed = 0;
  std::uint32_t now = 0;
  do {
    if (elapsed < kSleepBelowMilliseconds) clock.Sleep(1);
    now = clock.timeGetTime();
    elapsed = now - gs.frameTimeLast;  // unsigned: the timer's wrap is harmless
  } while (elapsed < target);
  gs.frameTimeLast = now;
}
