#include "platform/sdl/input.h"

#include <array>
#include <utility>

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

void StartPads() {
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  SDL_GameControllerAddMappingsFromFile("gamecontrollerdb.txt");
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

// Through the game-controller interface where SDL knows the pad (which it
// refuses otherwise), else raw. No pad, no handle.
void SdlJoystick::OpenFirst() {
  controller_ = SDL_GameControllerOpen(0);
  joystick_ = controller_ != nullptr ? SDL_GameControllerGetJoystick(controller_) : SDL_JoystickOpen(0);
}

void SdlJoystick::Close() {
  if (controller_ != nullptr) {
    SDL_GameControllerClose(std::exchange(controller_, nullptr));  // and its joystick
  } else if (joystick_ != nullptr) {
    SDL_JoystickClose(joystick_);
  }
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
  if (controller_ != nullptr) {
    const auto held = [this](SDL_GameControllerButton button) {
      return SDL_GameControllerGetButton(controller_, button) != 0;
    };
    info.xPos = SteerWithDpad(JoystickXFromAxis(SDL_GameControllerGetAxis(controller_, SDL_CONTROLLER_AXIS_LEFTX)),
                              held(SDL_CONTROLLER_BUTTON_DPAD_LEFT), held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT));
    info.buttons = JoystickButtonMask(held(SDL_CONTROLLER_BUTTON_A), held(SDL_CONTROLLER_BUTTON_B),
                                      held(SDL_CONTROLLER_BUTTON_X), held(SDL_CONTROLLER_BUTTON_Y));
    return true;
  }
  const Uint8 hat = SDL_JoystickGetHat(joystick_, 0);  // centred on a pad without one
  info.xPos = SteerWithDpad(JoystickXFromAxis(SDL_JoystickGetAxis(joystick_, 0)), (hat & SDL_HAT_LEFT) != 0,
                            (hat & SDL_HAT_RIGHT) != 0);
  info.buttons = JoystickButtonMask(SDL_JoystickGetButton(joystick_, 0) != 0,
                                    SDL_JoystickGetButton(joystick_, 1) != 0,
                                    SDL_JoystickGetButton(joystick_, 2) != 0,
                                    SDL_JoystickGetButton(joystick_, 3) != 0);
  return true;
}
