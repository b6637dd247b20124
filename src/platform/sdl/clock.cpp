#include "platform/sdl/clock.h"

#include <sched.h>

#include <limits>

std::int64_t SdlClock::ToSigned(Uint64 value) {
  constexpr auto kMax = static_cast<Uint64>(std::numeric_limits<std::int64_t>::max());
  return static_cast<std::int64_t>(value > kMax ? kMax : value);
}

// Linux sleeps to within a fraction of a millisecond without asking for a
// finer system timer, so there is no timer resolution to raise.
void SdlClock::Sleep(std::uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
  } else {
    SDL_Delay(milliseconds);
  }
}
