// The keyboard and joystick 1 on Windows, answering the game's polls with
// the system's own asynchronous key state and joystick position.
#pragma once

#include <cstdint>

#include "platform_api.h"

// The buttons the game reads, 1 to 4, from the system's button mask: higher
// buttons are not the game's, and would otherwise count as a brake.
std::uint32_t GameButtons(std::uint32_t systemButtons);

// The system's own key state of a key.
std::uint16_t SystemKeyState(int virtualKey);
// joyGetPosEx of joystick 1; false when there is none.
bool SystemJoyGetPos(JoystickInfo& info);
