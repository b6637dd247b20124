#include "platform/sdl/input.h"

int VirtualKeyFromKeycode(SDL_Keycode key) {
  switch (key) {
    case SDLK_ESCAPE: return VK_ESCAPE_KEY;
    case SDLK_LEFT: return VK_LEFT_KEY;
    case SDLK_UP: return VK_UP_KEY;
    case SDLK_RIGHT: return VK_RIGHT_KEY;
    case SDLK_DOWN: return VK_DOWN_KEY;
    // Letters by the key's meaning in the user's layout, as virtual keys are.
    case SDLK_b: return VK_B_KEY;
    case SDLK_c: return VK_C_KEY;
    case SDLK_d: return VK_D_KEY;
    case SDLK_g: return VK_G_KEY;
    case SDLK_i: return VK_I_KEY;
    case SDLK_m: return VK_M_KEY;
    case SDLK_o: return VK_O_KEY;
    case SDLK_s: return VK_S_KEY;
    default: return 0;
  }
}

std::uint32_t JoystickXFromAxis(Sint16 axis) {
  return static_cast<std::uint32_t>(static_cast<std::int32_t>(axis) + 32768);
}

std::uint32_t JoystickButtonMask(bool button1, bool button2, bool button3, bool button4) {
  return (button1 ? 1u : 0u) | (button2 ? 2u : 0u) | (button3 ? 4u : 0u) | (button4 ? 8u : 0u);
}

SdlInput::~SdlInput() { CloseJoystick(); }

void SdlInput::Observe(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      keys_.KeyDown(VirtualKeyFromKeycode(event.key.keysym.sym), event.key.repeat != 0);
      break;
    case SDL_KEYUP:
      keys_.KeyUp(VirtualKeyFromKeycode(event.key.keysym.sym));
      break;
    case SDL_WINDOWEVENT:
      // No key-up reaches a window without the keyboard.
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keys_.ReleaseAll();
      break;
    case SDL_JOYDEVICEADDED:
      if (joystick_ == nullptr) OpenFirstJoystick();
      break;
    case SDL_JOYDEVICEREMOVED:
      if (joystick_ != nullptr && SDL_JoystickInstanceID(joystick_) == event.jdevice.which) {
        CloseJoystick();
        OpenFirstJoystick();
      }
      break;
    default:
      break;
  }
}

std::uint16_t SdlInput::GetAsyncKeyState(int virtualKey) { return keys_.Query(virtualKey); }

void SdlInput::OpenFirstJoystick() {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return;
  if (SDL_NumJoysticks() > 0) joystick_ = SDL_JoystickOpen(0);
}

void SdlInput::CloseJoystick() {
  if (joystick_ != nullptr) SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
}

bool SdlInput::JoyGetPos(JoystickInfo& info) {
  if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) return false;
  // The device events may not have been seen yet (a query outside the
  // loop), so the handle is checked here as well.
  if (joystick_ != nullptr && !SDL_JoystickGetAttached(joystick_)) CloseJoystick();
  if (joystick_ == nullptr) OpenFirstJoystick();
  if (joystick_ == nullptr) return false;
  // Polled like the hardware, not only when the loop pumps events.
  SDL_JoystickUpdate();
  info.xPos = JoystickXFromAxis(SDL_JoystickGetAxis(joystick_, 0));
  info.buttons = JoystickButtonMask(SDL_JoystickGetButton(joystick_, 0) != 0,
                                    SDL_JoystickGetButton(joystick_, 1) != 0,
                                    SDL_JoystickGetButton(joystick_, 2) != 0,
                                    SDL_JoystickGetButton(joystick_, 3) != 0);
  return true;
}
