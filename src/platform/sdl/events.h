// SDL's events as the game's window messages, one event per poll.
#pragma once

#include <SDL.h>

#include "platform/sdl/input.h"
#include "platform_api.h"

// The message for one SDL event, sent to `hwnd`: a key going down or up is a
// key-down (its auto-repeat marked) or key-up message with its virtual key;
// the window losing the keyboard is the focus-lost message; the window's
// close button and the desktop's quit request are the close request;
// everything else is a message the window leaves to the default handling.
Message MessageFromEvent(const SDL_Event& event, PlatformWindow* hwnd);

class SdlEventSource final : public EventSource {
 public:
  SdlEventSource(PlatformWindow* hwnd, SdlJoystick& joystick) : hwnd_(hwnd), joystick_(joystick) {}
  bool Poll(Message& out) override;

 private:
  PlatformWindow* hwnd_;
  SdlJoystick& joystick_;
};
