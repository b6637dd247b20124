// The frame wait's timers on SDL.
#pragma once

#include "shell/pacing.h"

class SdlClock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override;
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t milliseconds) override;
};
