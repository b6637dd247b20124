// The keyboard's codes and joystick 1 on SDL. Keys reach the game as window
// messages (events.h); only the joystick is polled.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform_api.h"

// The virtual-key code of an SDL key, or 0 for a key the game has no code for.
int VirtualKeyFromKeycode(SDL_Keycode key);

// SDL's axis (-32768..32767) as the game's 0..65535 with centre 32768.
std::uint32_t JoystickXFromAxis(Sint16 axis);
// Buttons 1 to 4 (SDL's 0 to 3) as mask bits 0 to 3.
std::uint32_t JoystickButtonMask(bool button1, bool button2, bool button3, bool button4);

// The first joystick SDL has, followed as joysticks come and go.
class SdlJoystick {
 public:
  SdlJoystick() = default;
  ~SdlJoystick() { Close(); }
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // Joysticks coming and going.
  void Observe(const SDL_Event& event);
  // False when there is none. Needs SDL's joystick subsystem.
  bool JoyGetPos(JoystickInfo& info);
  void Close();

 private:
  void OpenFirst();

  SDL_Joystick* joystick_ = nullptr;
};
