#include "shell/sdl_clock.h"

#include <SDL.h>
#include <sched.h>

#include <limits>

namespace {
std::int64_t ToSigned(Uint64 value) {
  constexpr auto kMax = static_cast<Uint64>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(value > kMax ? kMax : value);
}
}  // namespace

std::int64_t SdlClock::QueryPerformanceCounter() { return ToSigned(SDL_GetPerformanceCounter()); }

std::int64_t SdlClock::QueryPerformanceFrequency() {
  return ToSigned(SDL_GetPerformanceFrequency());
}

// 32 bits of milliseconds: the wait subtracts unsigned, so the wrap after
// 49 days is harmless.
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
