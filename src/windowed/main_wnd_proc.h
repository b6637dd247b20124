// The windowed program's window procedure. Unlike the full-screen one it
// leaves the close request to the default handling, which destroys the
// window, and releases the devices when the window is gone: sound first.
#pragma once

#include <cstdint>

#include "shell/game_state.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"

class MainWndProc final : public WindowProcedure {
 public:
  MainWndProc(GameState& gs, MessageQueue& queue, ShellDevices& devices)
      : gs_(gs), queue_(queue), devices_(devices) {}

  std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message,
                      std::uint64_t wParam, std::int64_t lParam) override;

 private:
  GameState& gs_;
  MessageQueue& queue_;
  ShellDevices& devices_;
};
