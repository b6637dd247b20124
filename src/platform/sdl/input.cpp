#include "platform/sdl/input.h"

#include <array>

int VirtualKeyFromKeycode(SDL_Keycode key) {
  static const auto keycodes = [] {
    std::array<SDL_Keycode, std::size(kGameKeys)> codes{};
    for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = SDL_GetKeyFromName(kGameKeys[i].sdlName);
    return codes;
  }();
  for (std::size_t i = 0; i < keycodes.size(); ++i) {
    if (keycodes[i] == key) return kGameKeys[i].virtualKey;
  }
  return 0;
}

std::uint32_t JoystickXFromAxis(Sint16 axis) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(axis) + 32768);
}

std::uint32_t JoystickButtonMask(bool button1, bool button2, bool button3, bool button4) {
  return (button1 ? 1u : 0u) | (button2 ? 2u : 0u) | (button3 ? 4u : 0u) | (button4 ? 8u : 0u);
}

void SdlJoystick::Observe(const SDL_Event& event) {
  switch (event.type) {
    case SDL_JOYDEVICEADDED:
      if (joystick_ == nullptr) OpenFirst();
      break;
    case SDL_JOYDEVICEREMOVED:
      if (joystick_ != nullptr && SDL_JoystickInstanceID(joystick_) == event.jdevice.which) {
        Close();
        OpenFirst();
      }
      break;
    default:
      break;
  }
}

void SdlJoystick::OpenFirst() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
  if (SDL_NumJoysticks() > 0) joystick_ = SDL_JoystickOpen(0);
}

void SdlJoystick::Close() {
  if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
}

bool SdlJoystick::JoyGetPos(JoystickInfo& info) {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return false;
  // The device events may not have been seen yet (a query outside the
  // loop), so the handle is checked here as well.
  if (joystick_ != nullptr && !SDL_JoystickGetAttached(joystick_)) Close();
  if (joystick_ == nullptr) OpenFirst();
  if (joystick_ == nullptr) return false;
  // Polled like the hardware, not only when the loop pumps events.
  SDL_JoystickUpdate();
  info.xPos = JoystickXFromAxis(SDL_JoystickGetAxis(joystick_, 0));
  info.buttons = JoystickButtonMask(SDL_JoystickGetButton(joystick_, 0) != 0,
                                    SDL_JoystickGetButton(joystick_, 1) != 0,
                                    SDL_JoystickGetButton(joystick_, 2) != 0,
                                    SDL_JoystickGetButton(joystick_, 3) != 0);
  return true;
}
