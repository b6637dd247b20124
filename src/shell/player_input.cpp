#include "shell/player_input.h"

#include "shell/window_events.h"

void PlayerInput::Observe(const Message& message) {
  const int key = KeyCodeFromParam(message.wParam);
  switch (message.message) {
    case WM_KEYDOWN_MSG: keys_.KeyDown(key, (message.lParam & kKeyRepeatBit) != 0); break;
    case WM_KEYUP_MSG: keys_.KeyUp(key); break;
    case WM_KILLFOCUS_MSG: keys_.ReleaseAll(); break;
    default: break;
  }
}

std::uint16_t PlayerInput::GetAsyncKeyState(int virtualKey) {
  if (const auto state = platform_.SystemKeyState(virtualKey)) return *state;
  return keys_.Query(virtualKey);
}
