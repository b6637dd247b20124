#include "platform/sdl/clock.h"

#include <SDL.h>
#include <errno.h>
#include <sched.h>
#include <time.h>

std::int64_t SdlClock::QueryPerformanceCounter() {
  timespec now{};
  if (clock_gettime(CLOCK_MONOTONIC, &now) != 0) return 0;
  return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

std::uint32_t SdlClock::timeGetTime() { return SDL_GetTicks(); }

// Linux sleeps to within a fraction of a millisecond without asking for a
// finer system timer, so there is no timer resolution to raise.
void SdlClock::Sleep(std::uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
  } else {
    SDL_Delay(milliseconds);
  }
}

// The counter is the monotonic clock itself, so its reading is the absolute
// time to wake at: no drift from turning it into a relative sleep.
void SdlClock::SleepUntil(std::int64_t count) {
  if (count <= 0) return;
  const timespec until{static_cast<time_t>(count / 1'000'000'000), static_cast<long>(count % 1'000'000'000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}
