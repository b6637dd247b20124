#include "platform/win32/input.h"

#include "platform/win32/api.h"

std::uint32_t GameButtons(std::uint32_t systemButtons) { return systemButtons & 0xFu; }

std::uint32_t SteerWithPov(std::uint32_t stickX, std::uint32_t pov) {
  return SteerWithDpad(stickX, pov > 18000 && pov < 36000, pov > 0 && pov < 18000);
}

std::uint16_t SystemKeyState(int virtualKey) {
  return static_cast<std::uint16_t>(::GetAsyncKeyState(virtualKey));
}

bool SystemJoyGetPos(JoystickInfo& info) {
  JOYINFOEX joy{};
  joy.dwSize = sizeof joy;
  joy.dwFlags = JOY_RETURNX | JOY_RETURNBUTTONS | JOY_RETURNPOVCTS;
  if (joyGetPosEx(JOYSTICKID1, &joy) != JOYERR_NOERROR) return false;
  info.xPos = SteerWithPov(static_cast<std::uint32_t>(joy.dwXpos), static_cast<std::uint32_t>(joy.dwPOV));
  info.buttons = GameButtons(static_cast<std::uint32_t>(joy.dwButtons));
  return true;
}
