#include "platform/win32/clock.h"

#include "platform/win32/api.h"

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

void Win32Clock::timeBeginPeriod(std::uint32_t milliseconds) {
  raised_ = ::timeBeginPeriod(milliseconds) == TIMERR_NOERROR;
}

void Win32Clock::timeEndPeriod(std::uint32_t milliseconds) {
  if (raised_) ::timeEndPeriod(milliseconds);
  raised_ = false;
}
