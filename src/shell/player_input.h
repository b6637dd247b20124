// The player's keys and joystick as the game polls them. Where the system
// keeps a key state of its own (Windows) it answers; elsewhere the answer is
// built from the key events the platform sends through the message queue.
#pragma once

#include "platform_api.h"
#include "shell/key_state.h"

class PlayerInput final : public InputDevice {
 public:
  explicit PlayerInput(Platform& platform) : platform_(platform) {}

  // A message as the loop takes it: keys going down and up, and the window
  // losing the keyboard, after which no key-up will come.
  void Observe(const Message& message);

  std::uint16_t GetAsyncKeyState(int virtualKey) override;
  bool JoyGetPos(JoystickInfo& info) override { return platform_.JoyGetPos(info); }

 private:
  Platform& platform_;
  KeyStateTracker keys_;
};
