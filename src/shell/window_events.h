// The full-screen window's procedure and its key-down handler: Escape asks
// the window to close, the close request tears the devices down in a fixed
// order, and the destroyed window ends the frame loop.
#pragma once

#include <cstdint>

#include "shell/game_state.h"
#include "shell/window_messages.h"

// The device and desktop services the window procedures release or call.
class ShellDevices {
 public:
  virtual void ShowCursor(bool show) = 0;
  virtual void DD_END(GameState& gs) = 0;
  virtual void DS_END(GameState& gs) = 0;
  // Minimises the window.
  virtual void CloseWindow(PlatformWindow* hwnd) = 0;

 protected:
  ~ShellDevices() = default;
};

// Escape posts the close request to the window; every other key is left to
// the game, which polls the keys itself.
void Event_Proc(MessageQueue& queue, int keyCode, PlatformWindow* hwnd);

// The virtual-key code a key-down message carries; 0 for none.
inline int KeyCodeFromParam(std::uint64_t wParam) {
  return wParam <= 0xFF ? static_cast<int>(wParam) : 0;
}

class WindowProc final : public WindowProcedure {
 public:
  WindowProc(GameState& gs, MessageQueue& queue, ShellDevices& devices)
      : gs_(gs), queue_(queue), devices_(devices) {}

  std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message,
                      std::uint64_t wParam, std::int64_t lParam) override;

 private:
  GameState& gs_;
  MessageQueue& queue_;
  ShellDevices& devices_;
};
