// The windowed program's window procedure. Unlike the full-screen one it
// leaves the close request to the default handling, which destroys the
// window, and releases the devices when the window is gone: sound first.
#pragma once

#include <cstdint>

#include "shell/window_events.h"

class MainWndProc final : public GameWindowProcedure {
 public:
  using GameWindowProcedure::GameWindowProcedure;
  std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message, std::uint64_t wParam,
                      std::int64_t lParam) override;
};
