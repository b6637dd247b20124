#include "platform/sdl/events.h"

Message MessageFromEvent(const SDL_Event& event, PlatformWindow* hwnd) {
  Message message{hwnd, WM_NULL_MSG, 0, 0};
  switch (event.type) {
    case SDL_KEYDOWN:
      // Auto-repeat comes through as further key-downs, as the window
      // system sends them; only the key-state bit ignores it.
      message.message = WM_KEYDOWN_MSG;
      message.wParam = static_cast<std::uint64_t>(VirtualKeyFromKeycode(event.key.keysym.sym));
      if (event.key.repeat != 0) message.lParam = kKeyRepeatBit;
      break;
    case SDL_KEYUP:
      message.message = WM_KEYUP_MSG;
      message.wParam = static_cast<std::uint64_t>(VirtualKeyFromKeycode(event.key.keysym.sym));
      break;
    case SDL_QUIT:
      message.message = WM_CLOSE_MSG;
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) message.message = WM_CLOSE_MSG;
      // No key-up reaches a window without the keyboard.
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) message.message = WM_KILLFOCUS_MSG;
      break;
    default:
      break;
  }
  return message;
}

bool SdlEventSource::Poll(Message& out) {
  SDL_Event event;
  if (SDL_PollEvent(&event) == 0) return false;
  joystick_.Observe(event);
  out = MessageFromEvent(event, hwnd_);
  return true;
}
