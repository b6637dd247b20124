// The keyboard and joystick 1 on Windows, answering the game's polls with
// the system's own asynchronous key state and joystick position.
#pragma once

#include <cstdint>

#include "platform_api.h"

// The buttons the game reads, 1 to 4, from the system's button mask: higher
// buttons are not the game's, and would otherwise count as a brake.
std::uint32_t GameButtons(std::uint32_t systemButtons);

class Win32Input final : public InputDevice {
 public:
  std::uint16_t GetAsyncKeyState(int virtualKey) override;
  bool JoyGetPos(JoystickInfo& info) override;
};
