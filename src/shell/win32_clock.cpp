#include "shell/win32_clock.h"

#include "shell/win32_api.h"

// A counter that cannot be read counts as zero, which makes the pacing fall
// back to the millisecond timer.
std::int64_t Win32Clock::QueryPerformanceCounter() {
  LARGE_INTEGER count;
  if (!::QueryPerformanceCounter(&count)) return 0;
  return count.QuadPart;
}

std::int64_t Win32Clock::QueryPerformanceFrequency() {
  LARGE_INTEGER frequency;
  if (!::QueryPerformanceFrequency(&frequency)) return 0;
  return frequency.QuadPart;
}

std::uint32_t Win32Clock::timeGetTime() { return ::timeGetTime(); }

void Win32Clock::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

TimerResolution::TimerResolution() : raised_(timeBeginPeriod(1) == TIMERR_NOERROR) {}

TimerResolution::~TimerResolution() {
  if (raised_) timeEndPeriod(1);
}
