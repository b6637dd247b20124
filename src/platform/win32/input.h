// The keyboard and joystick 1 on Windows, answering the game's polls with
// the system's own asynchronous key state and joystick position.
#pragma once

#include <cstdint>

#include "platform_api.h"

// The buttons the game reads, 1 to 4, from the system's button mask: higher
// buttons are not the game's, and would otherwise count as a brake.
std::uint32_t GameButtons(std::uint32_t systemButtons);

// The X axis with the point-of-view hat (a pad's d-pad) seen: held
// anywhere on the left half of its circle, diagonals included, the axis's
// left end; on the right half its right end; centred (JOY_POVCENTERED) or
// straight up or down, the stick's own X. `pov` is in hundredths of a
// degree clockwise from up.
std::uint32_t SteerWithPov(std::uint32_t stickX, std::uint32_t pov);

// The system's own key state of a key.
std::uint16_t SystemKeyState(int virtualKey);
// joyGetPosEx of joystick 1, its hat steering as above; false when there
// is none. An Xbox-style pad's A, B, X, Y are its buttons 1 to 4.
bool SystemJoyGetPos(JoystickInfo& info);
