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

// SDL's pads: its game-controller interface and its database of pad
// layouts, to which SDL_GAMECONTROLLERCONFIG and a gamecontrollerdb.txt in
// the current folder (beside config.txt) add.
void StartPads();

// The first joystick SDL has, followed as joysticks come and go. A pad that
// SDL's game-controller database knows is read through that interface, so that every pad's face buttons are the same game
// buttons: south, east, west and north (A, B, X, Y on an Xbox-style pad)
// are 1 to 4, the left stick's X is the X axis. Any other is read raw: its
// axis 0 and buttons 0 to 3. On both a d-pad (or the first hat) held left
// or right steers.
class SdlJoystick {
 public:
  // A pad still open when SDL quits goes with it: SDL_Quit closes them all.
  SdlJoystick() = default;
  SdlJoystick(const SdlJoystick&) = delete;
  SdlJoystick& operator=(const SdlJoystick&) = delete;

  // Joysticks coming and going.
  void Observe(const SDL_Event& event);
  // False when there is none. Needs SDL's joystick subsystem.
  bool JoyGetPos(JoystickInfo& info);

 private:
  void OpenFirst();
  void Close();

  SDL_GameController* controller_ = nullptr;
  SDL_Joystick* joystick_ = nullptr;  // the controller's own, or a raw one
};
