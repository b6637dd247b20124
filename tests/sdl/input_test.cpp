// The SDL layer's keys, events and joystick, over SDL's dummy video driver
// and its virtual joystick: no display or device needed.
#include "platform/sdl/input.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/sdl/events.h"

namespace {

SDL_Event Event(Uint32 type, SDL_Keycode key = 0, bool repeat = false, Uint8 window = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.repeat = repeat ? 1 : 0;
  if (type == SDL_WINDOWEVENT) e.window.event = window;
  return e;
}

TEST(SdlEvents, AsWindowMessages) {
  struct Case { SDL_Event event; std::uint32_t message; std::uint64_t wParam; std::int64_t lParam = 0; };
  const Case cases[] = {
      {Event(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN_MSG, 27},
      {Event(SDL_KEYDOWN, SDLK_ESCAPE, true), WM_KEYDOWN_MSG, 27, kKeyRepeatBit},  // auto-repeat comes through
      {Event(SDL_KEYDOWN, SDLK_LEFT), WM_KEYDOWN_MSG, 0x25},
      {Event(SDL_KEYDOWN, SDLK_s), WM_KEYDOWN_MSG, 0x53},
      {Event(SDL_KEYDOWN, SDLK_a), WM_KEYDOWN_MSG, 0},               // a key the game has no code for
      {Event(SDL_KEYUP, SDLK_ESCAPE), WM_KEYUP_MSG, 27},
      {Event(SDL_KEYUP, SDLK_b), WM_KEYUP_MSG, 0x42},
      {Event(SDL_WINDOWEVENT, 0, false, SDL_WINDOWEVENT_FOCUS_LOST), WM_KILLFOCUS_MSG, 0},
      {Event(SDL_QUIT), WM_CLOSE_MSG, 0},
      {Event(SDL_WINDOWEVENT, 0, false, SDL_WINDOWEVENT_CLOSE), WM_CLOSE_MSG, 0},
      {Event(SDL_WINDOWEVENT, 0, false, SDL_WINDOWEVENT_MOVED), WM_NULL_MSG, 0},
      {Event(SDL_MOUSEBUTTONDOWN), WM_NULL_MSG, 0},
  };
  // The game's other keys by SDL's own codes.
  const std::pair<SDL_Keycode, std::uint64_t> keys[] = {{SDLK_RIGHT, 0x27}, {SDLK_UP, 0x26}, {SDLK_DOWN, 0x28},
      {SDLK_d, 0x44}, {SDLK_m, 0x4D}, {SDLK_g, 0x47}, {SDLK_o, 0x4F}, {SDLK_i, 0x49}, {SDLK_c, 0x43}};
  PlatformWindow window;
  for (const auto& [key, code] : keys) EXPECT_EQ(MessageFromEvent(Event(SDL_KEYDOWN, key), &window).wParam, code);
  for (const Case& c : cases) {
    const Message m = MessageFromEvent(c.event, &window);
    EXPECT_EQ(std::make_tuple(m.hwnd, m.message, m.wParam, m.lParam),
              std::make_tuple(&window, c.message, c.wParam, c.lParam))
        << c.event.type;
  }
}

class Joystick : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_JOYSTICK_HIDAPI", "0", 1);  // only the virtual joystick
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a joystick is plugged in";
  }
  void TearDown() override { SDL_Quit(); }

  // The device events SDL queued, fed to the input as the loop does.
  static void Pump(SdlJoystick& input) {
    for (SDL_Event e; SDL_PollEvent(&e) != 0;) input.Observe(e);
  }
};

TEST_F(Joystick, AxisAndButtonsOfTheFirstOnePluggedInAtAnyTime) {
  SdlJoystick input;
  JoystickInfo info;
  EXPECT_FALSE(input.JoyGetPos(info));
  for (int round = 0; round < 2; ++round) {  // plugged in, out, and in again
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    if (round == 0) Pump(input);  // found with the device events, and without them
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    ASSERT_NE(stick, nullptr);
    struct Case { Sint16 axis; int buttons; std::uint32_t x; };
    for (const Case& c : {Case{0, 0, 32768}, Case{-32768, 1, 0}, Case{32767, 6, 65535}, Case{-16385, 8, 16383},
                          Case{16385, 15, 49153}}) {
      SDL_JoystickSetVirtualAxis(stick, 0, c.axis);
      SDL_JoystickSetVirtualAxis(stick, 1, 12345);  // no other axis is read
      for (int b = 0; b < 4; ++b) SDL_JoystickSetVirtualButton(stick, b, (c.buttons >> b) & 1);
      ASSERT_TRUE(input.JoyGetPos(info));
      EXPECT_EQ((std::array{info.xPos, info.buttons}), (std::array{c.x, static_cast<std::uint32_t>(c.buttons)}))
          << c.axis;
    }
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(index);
    Pump(input);
    EXPECT_FALSE(input.JoyGetPos(info));
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  EXPECT_FALSE(input.JoyGetPos(info));
}

}  // namespace
