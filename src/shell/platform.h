// The small interface through which the game core reaches the platform for
// input. Each program (the SDL games, racer_sim, the tests) supplies its own.
#pragma once

#include <cstdint>

// Virtual-key codes of the keys the game polls.
enum VirtualKey : int {
  VK_ESCAPE_KEY = 0x1B,
  VK_LEFT_KEY = 0x25,
  VK_UP_KEY = 0x26,
  VK_RIGHT_KEY = 0x27,
  VK_DOWN_KEY = 0x28,
  VK_B_KEY = 0x42,
  VK_C_KEY = 0x43,
  VK_D_KEY = 0x44,
  VK_G_KEY = 0x47,
  VK_I_KEY = 0x49,
  VK_M_KEY = 0x4D,
  VK_O_KEY = 0x4F,
  VK_S_KEY = 0x53,
};

// Key-state answer bits.
constexpr std::uint16_t kKeyDownNow = 0x8000;
constexpr std::uint16_t kKeyWentDown = 0x0001;

struct JoystickInfo {
  std::uint32_t xPos = 32768;  // 0 to 65535, centre 32768
  std::uint32_t buttons = 0;   // button 1 = bit 0 ... button 4 = bit 3
};

class InputDevice {
 public:
  // Top bit: the key is down now; bit 0: it went down since this key's
  // previous query.
  virtual std::uint16_t GetAsyncKeyState(int virtualKey) = 0;
  // Joystick 1. Returns false when there is none or the query failed.
  virtual bool JoyGetPos(JoystickInfo& info) = 0;

 protected:
  ~InputDevice() = default;
};
