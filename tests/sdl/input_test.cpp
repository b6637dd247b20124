// The SDL layer's input, with SDL's dummy video driver and its virtual
// joystick: no display or device needed.
#include "platform/sdl/input.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/sdl/events.h"

namespace {

struct KeyCase {
  SDL_Keycode key;
  int virtualKey;
};

class KeycodeTest : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeycodeTest, Maps) {
  EXPECT_EQ(VirtualKeyFromKeycode(GetParam().key), GetParam().virtualKey);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeycodeTest,
    ::testing::Values(KeyCase{SDLK_ESCAPE, 0x1B}, KeyCase{SDLK_LEFT, 0x25}, KeyCase{SDLK_UP, 0x26},
                      KeyCase{SDLK_RIGHT, 0x27}, KeyCase{SDLK_DOWN, 0x28}, KeyCase{SDLK_b, 0x42},
                      KeyCase{SDLK_c, 0x43}, KeyCase{SDLK_d, 0x44}, KeyCase{SDLK_g, 0x47},
                      KeyCase{SDLK_i, 0x49}, KeyCase{SDLK_m, 0x4D}, KeyCase{SDLK_o, 0x4F},
                      KeyCase{SDLK_s, 0x53},
                      // Keys the game has no use for.
                      KeyCase{SDLK_a, 0}, KeyCase{SDLK_RETURN, 0}, KeyCase{SDLK_SPACE, 0},
                      KeyCase{SDLK_KP_4, 0}, KeyCase{SDLK_UNKNOWN, 0}, KeyCase{SDLK_F1, 0}));

struct AxisCase {
  Sint16 axis;
  std::uint32_t x;
};

class AxisTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(AxisTest, MapsToTheGamesRange) { EXPECT_EQ(JoystickXFromAxis(GetParam().axis), GetParam().x); }

INSTANTIATE_TEST_SUITE_P(Axis, AxisTest,
                         ::testing::Values(AxisCase{-32768, 0}, AxisCase{-16384, 16384},
                                           AxisCase{-16385, 16383}, AxisCase{-1, 32767},
                                           AxisCase{0, 32768}, AxisCase{16384, 49152},
                                           AxisCase{16385, 49153}, AxisCase{32767, 65535}));

TEST(ButtonMaskTest, ButtonsOneToFourAreBitsZeroToThree) {
  for (int pressed = 0; pressed < 16; ++pressed) {
    EXPECT_EQ(JoystickButtonMask(pressed & 1, pressed & 2, pressed & 4, pressed & 8),
              static_cast<std::uint32_t>(pressed));
  }
}

SDL_Event KeyEvent(Uint32 type, SDL_Keycode key, bool repeat = false) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = key;
  e.key.repeat = repeat ? 1 : 0;
  e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  return e;
}

TEST(SdlKeyStateTest, FollowsKeyEvents) {
  SdlInput input;
  input.Observe(KeyEvent(SDL_KEYDOWN, SDLK_LEFT));
  input.Observe(KeyEvent(SDL_KEYDOWN, SDLK_LEFT, true));
  EXPECT_EQ(input.GetAsyncKeyState(VK_LEFT_KEY), 0x8001);
  input.Observe(KeyEvent(SDL_KEYDOWN, SDLK_LEFT, true));
  EXPECT_EQ(input.GetAsyncKeyState(VK_LEFT_KEY), 0x8000);
  input.Observe(KeyEvent(SDL_KEYUP, SDLK_LEFT));
  EXPECT_EQ(input.GetAsyncKeyState(VK_LEFT_KEY), 0);
  // A tap of B between two frames.
  input.Observe(KeyEvent(SDL_KEYDOWN, SDLK_b));
  input.Observe(KeyEvent(SDL_KEYUP, SDLK_b));
  EXPECT_EQ(input.GetAsyncKeyState(VK_B_KEY), 0x0001);
  EXPECT_EQ(input.GetAsyncKeyState(VK_B_KEY), 0);
}

TEST(SdlKeyStateTest, LosingTheKeyboardReleasesHeldKeys) {
  SdlInput input;
  input.Observe(KeyEvent(SDL_KEYDOWN, SDLK_UP));
  EXPECT_EQ(input.GetAsyncKeyState(VK_UP_KEY), 0x8001);
  SDL_Event focus{};
  focus.type = SDL_WINDOWEVENT;
  focus.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  input.Observe(focus);
  EXPECT_EQ(input.GetAsyncKeyState(VK_UP_KEY), 0);
}

struct EventCase {
  const char* name;
  SDL_Event event;
  std::uint32_t message;
  std::uint64_t wParam;
};

SDL_Event Window(Uint8 what) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = what;
  return e;
}

SDL_Event Plain(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}

class EventMessageTest : public ::testing::TestWithParam<EventCase> {};

TEST_P(EventMessageTest, Translates) {
  PlatformWindow window;
  const Message m = MessageFromEvent(GetParam().event, &window);
  EXPECT_EQ(m.hwnd, &window);
  EXPECT_EQ(m.message, GetParam().message);
  EXPECT_EQ(m.wParam, GetParam().wParam);
  EXPECT_EQ(m.lParam, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventMessageTest,
    ::testing::Values(
        EventCase{"EscapeDown", KeyEvent(SDL_KEYDOWN, SDLK_ESCAPE), WM_KEYDOWN_MSG, 27},
        EventCase{"EscapeRepeat", KeyEvent(SDL_KEYDOWN, SDLK_ESCAPE, true), WM_KEYDOWN_MSG, 27},
        EventCase{"LeftDown", KeyEvent(SDL_KEYDOWN, SDLK_LEFT), WM_KEYDOWN_MSG, 0x25},
        EventCase{"OtherKeyDown", KeyEvent(SDL_KEYDOWN, SDLK_a), WM_KEYDOWN_MSG, 0},
        EventCase{"EscapeUp", KeyEvent(SDL_KEYUP, SDLK_ESCAPE), WM_NULL_MSG, 0},
        EventCase{"Quit", Plain(SDL_QUIT), WM_CLOSE_MSG, 0},
        EventCase{"CloseButton", Window(SDL_WINDOWEVENT_CLOSE), WM_CLOSE_MSG, 0},
        EventCase{"Moved", Window(SDL_WINDOWEVENT_MOVED), WM_NULL_MSG, 0},
        EventCase{"FocusLost", Window(SDL_WINDOWEVENT_FOCUS_LOST), WM_NULL_MSG, 0},
        EventCase{"MouseMotion", Plain(SDL_MOUSEMOTION), WM_NULL_MSG, 0},
        EventCase{"MouseButton", Plain(SDL_MOUSEBUTTONDOWN), WM_NULL_MSG, 0}),
    [](const auto& info) { return std::string(info.param.name); });

class JoystickTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    // Only the virtual joystick: the machine's own devices stay out.
    setenv("SDL_JOYSTICK_HIDAPI", "0", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_JOYSTICK), 0) << SDL_GetError();
    if (SDL_NumJoysticks() != 0) GTEST_SKIP() << "a joystick is plugged in";
  }
  void TearDown() override { SDL_Quit(); }

  // Plugs in a virtual joystick; returns its device index.
  int Attach() {
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 4, 0);
    EXPECT_GE(index, 0) << SDL_GetError();
    return index;
  }

  // Feeds the device events SDL queued to the input, as the loop does.
  void Pump(SdlInput& input) {
    SDL_Event e;
    while (SDL_PollEvent(&e) != 0) input.Observe(e);
  }
};

TEST_F(JoystickTest, NoneGivesFalse) {
  SdlInput input;
  JoystickInfo info;
  info.xPos = 123;
  EXPECT_FALSE(input.JoyGetPos(info));
}

TEST_F(JoystickTest, WithoutTheJoystickSubsystemGivesFalse) {
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
  SdlInput input;
  JoystickInfo info;
  EXPECT_FALSE(input.JoyGetPos(info));
}

TEST_F(JoystickTest, VirtualJoystickAxisAndButtons) {
  SdlInput input;
  const int index = Attach();
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  ASSERT_NE(stick, nullptr);

  struct Case {
    Sint16 axis;
    bool b[4];
    std::uint32_t x, buttons;
  };
  const Case cases[] = {{0, {false, false, false, false}, 32768, 0},
                        {-32768, {true, false, false, false}, 0, 1},
                        {32767, {false, true, true, false}, 65535, 6},
                        {-16385, {false, false, false, true}, 16383, 8},
                        {16385, {true, true, true, true}, 49153, 15}};
  for (const Case& c : cases) {
    SDL_JoystickSetVirtualAxis(stick, 0, c.axis);
    SDL_JoystickSetVirtualAxis(stick, 1, 12345);  // no other axis is read
    for (int b = 0; b < 4; ++b) SDL_JoystickSetVirtualButton(stick, b, c.b[b] ? 1 : 0);
    JoystickInfo info;
    ASSERT_TRUE(input.JoyGetPos(info));
    EXPECT_EQ(info.xPos, c.x) << "axis " << c.axis;
    EXPECT_EQ(info.buttons, c.buttons) << "axis " << c.axis;
  }
  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(index);
}

TEST_F(JoystickTest, PluggingInAndOutDuringPlay) {
  SdlInput input;
  JoystickInfo info;
  EXPECT_FALSE(input.JoyGetPos(info));

  int index = Attach();
  Pump(input);
  SDL_Joystick* stick = SDL_JoystickOpen(index);
  SDL_JoystickSetVirtualAxis(stick, 0, -32768);
  EXPECT_TRUE(input.JoyGetPos(info));
  EXPECT_EQ(info.xPos, 0u);
  SDL_JoystickClose(stick);

  SDL_JoystickDetachVirtual(index);
  Pump(input);
  EXPECT_FALSE(input.JoyGetPos(info));

  // Plugged in again: found without a restart, also without the events.
  index = Attach();
  stick = SDL_JoystickOpen(index);
  SDL_JoystickSetVirtualAxis(stick, 0, 32767);
  SDL_JoystickSetVirtualButton(stick, 2, 1);
  EXPECT_TRUE(input.JoyGetPos(info));
  EXPECT_EQ(info.xPos, 65535u);
  EXPECT_EQ(info.buttons, 4u);
  SDL_JoystickClose(stick);
  SDL_JoystickDetachVirtual(index);
  EXPECT_FALSE(input.JoyGetPos(info));
}

}  // namespace
