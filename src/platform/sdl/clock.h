// The frame wait's timers on SDL: its performance counter, its millisecond
// ticks and SDL_Delay.
#pragma once

#include <SDL.h>

#include "platform_api.h"

class SdlClock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override { return ToSigned(SDL_GetPerformanceCounter()); }
  std::int64_t QueryPerformanceFrequency() override {
    return ToSigned(SDL_GetPerformanceFrequency());
  }
  // 32 bits of milliseconds: the wait subtracts unsigned, so the wrap after
  // 49 days is harmless.
  std::uint32_t timeGetTime() override { return SDL_GetTicks(); }
  void Sleep(std::uint32_t milliseconds) override;

 private:
  static std::int64_t ToSigned(Uint64 value);
};
