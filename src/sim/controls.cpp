#include "sim/arith.h"
#include "sim/phases.h"

namespace {

void ReadJoystick(GameState& gs, InputDevice& input) {
  JoystickInfo info;
  // No joystick, or a failed query: centred with no buttons.
  if (!input.JoyGetPos(info)) info = JoystickInfo{};
  if (info.xPos < 16384) {
    gs.controlLeftRight = -1;
  } else if (info.xPos > 49152) {
    gs.controlLeftRight = 1;
  }
  if ((info.buttons & 6) != 0) gs.controlAcceleration = 1;
  if ((info.buttons & 1) != 0 || info.buttons > 4) gs.controlBrake = 1;
}

bool Held(InputDevice& input, int key) { return input.GetAsyncKeyState(key) != 0; }
bool Pressed(InputDevice& input, int key) { return (input.GetAsyncKeyState(key) & kKeyWentDown) != 0; }

void Toggle(std::int32_t& flag) { flag = 1 - flag; }

void ReadKeyboard(GameState& gs, InputDevice& input) {
  // Each arrow is asked twice: the second answer adds a step only when the
  // key went down between the two queries.
  if (Held(input, VK_LEFT_KEY)) gs.controlLeftRight -= 1;
  if (Pressed(input, VK_LEFT_KEY)) gs.controlLeftRight -= 1;
  if (Held(input, VK_RIGHT_KEY)) gs.controlLeftRight += 1;
  if (Pressed(input, VK_RIGHT_KEY)) gs.controlLeftRight += 1;
  if (Held(input, VK_UP_KEY)) gs.controlAcceleration = 1;
  if (Held(input, VK_DOWN_KEY)) {
    gs.controlAcceleration = 0;
    gs.controlBrake = 1;
  }
  if (Pressed(input, VK_B_KEY)) gs.carVelocity /= 2;
  if (Pressed(input, VK_S_KEY)) gs.carVelocityMax = arith::Sat32(arith::i64{gs.carVelocityMax} + 1000);
  if (Pressed(input, VK_D_KEY)) Toggle(gs.dispDebug);
  if (Pressed(input, VK_M_KEY)) Toggle(gs.dispMap);
  if (Pressed(input, VK_G_KEY)) Toggle(gs.dispGhost);
  if (Pressed(input, VK_O_KEY)) Toggle(gs.dispObject);
  if (Pressed(input, VK_I_KEY)) Toggle(gs.dispIndicater);
  if (Pressed(input, VK_C_KEY)) gs.dispColor = gs.dispColor > 30 ? gs.dispColor - 30 : 255;
}

}  // namespace

void MainLoopControl(GameState& gs, InputDevice& input) {
  gs.controlBrake = 0;
  gs.controlLeftRight = 0;
  if (gs.configDevice == 0) {
    ReadJoystick(gs, input);
  } else {
    ReadKeyboard(gs, input);
  }
}
