// The windowed program's window procedure. Unlike the full-screen one it
// leaves the close request to the default handling, which destroys the
// window, and releases the devices when the window is gone: sound first.
#pragma once

#include <cstdint>

#include "shell/game_state.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"

namespace windowed {
// Opens the display, then sound. A device that fails shows the entry's
// message and posts the close request, which the loop takes before any
// frame: the window closes in order. False when either failed.
bool StartDevices(GameState& gs, MessageQueue& queue, bool (*displayInit)(GameState&),
                  bool (*soundInit)(GameState&));
}  // namespace windowed

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
