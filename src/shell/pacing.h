// Frame pacing at 60 frames per second, by the high-resolution counter in
// microseconds where it works and by the millisecond timer otherwise.
// The clock is passed in, so a fake one can drive it.
#pragma once

#include <cstdint>

#include "game_state.h"
#include "platform_api.h"

constexpr std::int64_t kFramePeriodMicroseconds = 16666;
// Below this much elapsed time the microsecond wait sleeps a millisecond,
// below the next it yields, and from there it spins.
constexpr std::int64_t kSleepBelowMicroseconds = 12000;
constexpr std::int64_t kYieldBelowMicroseconds = 16000;
// The millisecond wait sleeps while less than this has passed, then polls.
constexpr std::uint32_t kSleepBelowMilliseconds = 14;
// With a clock that sleeps until a reading, the wait wakes this long before
// the period's end and spins the rest: enough for the scheduler's wake-up
// latency, little enough to cost next to nothing.
constexpr std::int64_t kSpinMicroseconds = 300;

// The readings taken at start-up, which the first frame's wait is measured
// from: frameTimeLast, performanceCount, performanceCountLast and the choice
// of method in performanceCounterFlag.
void StartPacing(GameState& gs, Clock& clock);

// Waits until one frame period has passed since the end of the previous
// wait (or since StartPacing). A late frame is not made up for.
void WaitFrame(GameState& gs, Clock& clock);

// The two methods; WaitFrame picks one by performanceCounterFlag. The
// microsecond wait sleeps to its deadline where the clock can.
void WaitFrameMicroseconds(GameState& gs, Clock& clock);
void WaitFrameMilliseconds(GameState& gs, Clock& clock);

// (count - last) * 1000000 / frequency in 64 bits, truncated toward zero.
// Saturates instead of overflowing; a frequency that is not positive counts
// as a full period having passed, so the wait cannot hang or divide by zero.
std::int64_t ElapsedMicroseconds(std::int64_t count, std::int64_t last,
                                 std::int64_t frequency);

// The first reading at or after `last` at which `microseconds` have passed
// by ElapsedMicroseconds; saturates at the counter's end.
std::int64_t CountAfter(std::int64_t last, std::int64_t microseconds, std::int64_t frequency);
