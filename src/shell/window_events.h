// The full-screen window's procedure and its key-down handler: Escape asks
// the window to close, the close request tears the devices down in a fixed
// order, and the destroyed window ends the frame loop.
#pragma once

#include <cstdint>

#include "game_state.h"
#include "platform_api.h"
#include "shell/window_messages.h"

// Escape posts the close request to the window; every other key is left to
// the game, which polls the keys itself.
void Event_Proc(MessageQueue& queue, int keyCode, PlatformWindow* hwnd);

// The virtual-key code a key-down message carries; 0 for none.
inline int KeyCodeFromParam(std::uint64_t wParam) {
  return wParam <= 0xFF ? static_cast<int>(wParam) : 0;
}

// What the game's window procedures work on: the state, the message queue
// and the platform's devices.
class GameWindowProcedure : public WindowProcedure {
 public:
  GameWindowProcedure(GameState& gs, MessageQueue& queue, Platform& platform)
      : gs_(gs), queue_(queue), platform_(platform) {}

 protected:
  GameState& gs_;
  MessageQueue& queue_;
  Platform& platform_;
};

// The full-screen window's procedure.
class WindowProc final : public GameWindowProcedure {
 public:
  using GameWindowProcedure::GameWindowProcedure;
  std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message, std::uint64_t wParam,
                      std::int64_t lParam) override;
};
