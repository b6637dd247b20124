// The frame wait's timers on Windows: the performance counter, the
// multimedia timer and Sleep.
#pragma once

#include "shell/pacing.h"

class Win32Clock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override;
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t milliseconds) override;
};

// Raises the system timer resolution to 1 ms for its lifetime, so that
// Sleep(1) sleeps about a millisecond.
class TimerResolution {
 public:
  TimerResolution();
  ~TimerResolution();
  TimerResolution(const TimerResolution&) = delete;
  TimerResolution& operator=(const TimerResolution&) = delete;

 private:
  bool raised_;
};
