// The frame wait's timers on Linux: the monotonic clock in nanoseconds as
// the counter, SDL's millisecond ticks, and sleeps to an absolute time.
#pragma once

#include "platform_api.h"

class SdlClock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override { return 1'000'000'000; }
  // 32 bits of milliseconds: the wait subtracts unsigned, so the wrap after
  // 49 days is harmless.
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  bool SleepsUntil() const override { return true; }
  void SleepUntil(std::int64_t count) override;
};
