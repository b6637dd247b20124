// The keyboard and joystick 1 on SDL, answering the game's polls.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "shell/key_state.h"
#include "platform_api.h"

// The virtual-key code of an SDL key, or 0 for a key the game has no code for.
int VirtualKeyFromKeycode(SDL_Keycode key);

// SDL's axis (-32768..32767) as the game's 0..65535 with centre 32768.
std::uint32_t JoystickXFromAxis(Sint16 axis);
// Buttons 1 to 4 (SDL's 0 to 3) as mask bits 0 to 3.
std::uint32_t JoystickButtonMask(bool button1, bool button2, bool button3, bool button4);

class SdlInput final : public InputDevice {
 public:
  SdlInput() = default;
  ~SdlInput();
  SdlInput(const SdlInput&) = delete;
  SdlInput& operator=(const SdlInput&) = delete;

  // Keys going down and up, the window losing the keyboard, joysticks
  // coming and going.
  void Observe(const SDL_Event& event);

  std::uint16_t GetAsyncKeyState(int virtualKey) override;
  // The first joystick SDL has; false when there is none. Needs SDL's
  // joystick subsystem.
  bool JoyGetPos(JoystickInfo& info) override;
  void CloseJoystick();

 private:
  void OpenFirstJoystick();

  KeyStateTracker keys_;
  SDL_Joystick* joystick_ = nullptr;
};
