// The SDL layer's keys, events and joystick, over SDL's dummy video driver
// and its virtual joystick: no display or device needed.
#include "platform/sdl/input.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>
#include <vector>
#include <string>

#include "platform/sdl/events.h"
#include "support/test_support.h"

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

// A virtual pad as a driver reports it: the Xbox-style one with its d-pad as buttons, the others with a hat.
struct Pad { const char* name; Uint16 type, vendor, buttons; };
constexpr Pad kXboxStyle{"pad numbering A, B, X, Y from 0", SDL_JOYSTICK_TYPE_GAMECONTROLLER, 0x1234,
                         SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1};
constexpr Pad kPlayStationStyle{"pad numbering cross, circle, triangle, square from 0", SDL_JOYSTICK_TYPE_GAMECONTROLLER,
                                0x4321, 13};
constexpr Pad kUnknown{"pad of no known layout", SDL_JOYSTICK_TYPE_UNKNOWN, 0x5678, 8};

int Attach(const Pad& pad) {
  const bool hat = &pad != &kXboxStyle;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = pad.type;
  desc.naxes = 6;
  desc.nbuttons = pad.buttons;
  desc.nhats = hat ? 1 : 0;
  desc.button_mask = hat ? 0 : (1u << pad.buttons) - 1;
  desc.vendor_id = pad.vendor;
  desc.product_id = 1;
  desc.name = pad.name;
  return SDL_JoystickAttachVirtualEx(&desc);
}

// A PlayStation-style pad as the kernel's driver numbers it (cross, circle, triangle, square are buttons 0 to 3):
// its layout as a line of a gamecontrollerdb.txt beside the game.
std::string PlayStationLayout() {
  SDL_Init(SDL_INIT_JOYSTICK);
  const int index = Attach(kPlayStationStyle);
  char guid[33];
  SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
  SDL_JoystickDetachVirtual(index);
  SDL_Quit();
  return std::string(guid) + ",PlayStation-style pad,a:b0,b:b1,y:b2,x:b3,leftx:a0,lefty:a1,"
                             "dpup:h0.1,dpright:h0.2,dpdown:h0.4,dpleft:h0.8,platform:Linux,\n";
}

// The same physical buttons and d-pad on every pad SDL knows give the same game buttons and steering; one it does not
// know is read raw (buttons 0 to 3, axis 0). Each comes after the one before; the last comes and goes without events.
TEST_F(Joystick, EveryKnownPadsFaceButtonsAreTheSameGameButtons) {
  SDL_Quit();
  testing_support::ScopedTempDir dir;
  std::ofstream("gamecontrollerdb.txt") << PlayStationLayout();
  StartPads();
  // What a hand does: the raw buttons pressed on the first pad and on the PlayStation-style one, the d-pad (a
  // button of the first, a hat on the others), the stick; what the game reads.
  struct Hand { std::vector<int> first, playStation; int dpad; Uint8 hat; Sint16 stick; JoystickInfo read; };
  const Hand hands[] = {
      {{0}, {0}, -1, SDL_HAT_CENTERED, 0, {32768, 1}},                   // south: A, cross
      {{1}, {1}, -1, SDL_HAT_CENTERED, -32768, {0, 2}},                  // east: B, circle
      {{2}, {3}, -1, SDL_HAT_CENTERED, 32767, {65535, 4}},               // west: X, square
      {{3}, {2}, -1, SDL_HAT_CENTERED, -16385, {16383, 8}},              // north: Y, triangle
      {{1, 2, 3}, {1, 3, 2}, -1, SDL_HAT_CENTERED, 16385, {49153, 14}},  // three at once
      {{}, {}, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_HAT_LEFT, 32767, {0, 0}},  // over the stick
      {{}, {}, SDL_CONTROLLER_BUTTON_DPAD_RIGHT, SDL_HAT_RIGHTDOWN, -32768, {65535, 0}},
      {{}, {}, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_HAT_UP, 16385, {49153, 0}},
  };
  SdlJoystick input;
  JoystickInfo info;
  EXPECT_FALSE(input.JoyGetPos(info));
  const Pad* pads[] = {&kXboxStyle, &kPlayStationStyle, &kUnknown, &kXboxStyle};
  for (int n = 0; n < 4; ++n) {
    const Pad* pad = pads[n];
    SCOPED_TRACE(pad->name);
    const int index = Attach(*pad);
    ASSERT_GE(index, 0) << SDL_GetError();
    EXPECT_EQ(SDL_IsGameController(index), pad != &kUnknown);
    if (n < 3) Pump(input);
    SDL_Joystick* stick = SDL_JoystickOpen(index);
    for (const Hand& hand : hands) {
      for (int b = 0; b < pad->buttons; ++b) SDL_JoystickSetVirtualButton(stick, b, 0);
      for (int b : pad == &kPlayStationStyle ? hand.playStation : hand.first) SDL_JoystickSetVirtualButton(stick, b, 1);
      if (pad == &kXboxStyle && hand.dpad >= 0) SDL_JoystickSetVirtualButton(stick, hand.dpad, 1);
      if (pad != &kXboxStyle) SDL_JoystickSetVirtualHat(stick, 0, hand.hat);
      SDL_JoystickSetVirtualAxis(stick, 0, hand.stick);
      SDL_JoystickSetVirtualAxis(stick, 1, 12345);  // no other axis is read
      ASSERT_TRUE(input.JoyGetPos(info));
      EXPECT_EQ((std::array{info.xPos, info.buttons}), (std::array{hand.read.xPos, hand.read.buttons})) << hand.stick;
    }
    SDL_JoystickClose(stick);
    const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
    SDL_JoystickDetachVirtual(index);
    if (n < 3) Pump(input);
    EXPECT_FALSE(input.JoyGetPos(info));
    EXPECT_EQ(SDL_JoystickFromInstanceID(id), nullptr);  // no handle left open
  }
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER | SDL_INIT_JOYSTICK);
  EXPECT_FALSE(input.JoyGetPos(info));
}

}  // namespace
