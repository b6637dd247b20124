// The frame wait's timers on Windows: the performance counter, the
// multimedia timer and Sleep.
#pragma once

#include "platform_api.h"

class Win32Clock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override;
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t milliseconds) override;
  // The system timer's resolution; the end gives back only what was raised.
  void timeBeginPeriod(std::uint32_t milliseconds) override;
  void timeEndPeriod(std::uint32_t milliseconds) override;

 private:
  bool raised_ = false;
};
