// The key-state answer built from the platform's key messages: down now,
// and went down since this key's last query; or the system's own, where it
// keeps one.
#include "shell/key_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/null/layer.h"
#include "platform_api.h"
#include "shell/player_input.h"

namespace {

constexpr std::uint16_t kBoth = kKeyDownNow | kKeyWentDown;

TEST(PlayerInput, AnswersToStreamsOfKeyMessages) {
  // Messages on one key: d down, r auto-repeat, u up, x the window lost the
  // keyboard; a digit queries and expects answer k: 0 none, 1 went down,
  // 8 down now, 9 both.
  struct Case {
    const char* name;
    const char* stream;
  };
  const Case cases[] = {
      {"never pressed", "00"},
      {"held", "d988"},
      {"tapped between frames", "du10"},
      {"down between two queries", "0d9"},
      {"two taps count once", "dudu10"},
      {"auto-repeat is no new press", "d9rr8"},
      {"repeat of a key not seen going down", "r9"},
      {"pressed again after release", "d9u0d9"},
      {"up without down", "u0"},
      {"losing the keyboard keeps the unqueried press", "dx10"},
  };
  const std::uint16_t answers[10] = {0, kKeyWentDown, 0, 0, 0, 0, 0, 0, kKeyDownNow, kBoth};
  NullPlatform platform(Program::Windowed);
  for (const Case& c : cases) {
    PlayerInput keys(platform);
    for (const char* p = c.stream; *p != '\0'; ++p) {
      switch (*p) {
        case 'd': keys.Observe({nullptr, WM_KEYDOWN_MSG, VK_LEFT_KEY, 0}); break;
        case 'r': keys.Observe({nullptr, WM_KEYDOWN_MSG, VK_LEFT_KEY, kKeyRepeatBit}); break;
        case 'u': keys.Observe({nullptr, WM_KEYUP_MSG, VK_LEFT_KEY, 0}); break;
        case 'x': keys.Observe({nullptr, WM_KILLFOCUS_MSG, 0, 0}); break;
        default: EXPECT_EQ(keys.GetAsyncKeyState(VK_LEFT_KEY), answers[*p - '0']) << c.name << " at " << p - c.stream;
      }
    }
  }
  // A system with a key state of its own answers for itself.
  struct SystemKeys final : NullPlatform {
    SystemKeys() : NullPlatform(Program::FullScreen) {}
    std::optional<std::uint16_t> SystemKeyState(int virtualKey) override { return virtualKey == VK_UP_KEY ? 0x8000 : 0; }
  } system;
  PlayerInput keys(system);
  keys.Observe({nullptr, WM_KEYDOWN_MSG, VK_LEFT_KEY, 0});
  EXPECT_EQ(keys.GetAsyncKeyState(VK_LEFT_KEY), 0);
  EXPECT_EQ(keys.GetAsyncKeyState(VK_UP_KEY), kKeyDownNow);
}

TEST(PushedInput, JoystickAsLastSeen) {
  PushedInput player;
  JoystickInfo info;
  EXPECT_FALSE(player.JoyGetPos(info));
  player.Joystick(true, {100, 6});
  ASSERT_TRUE(player.JoyGetPos(info));
  EXPECT_EQ(std::make_pair(info.xPos, info.buttons), std::make_pair(100u, 6u));
  player.Joystick(false);
  EXPECT_FALSE(player.JoyGetPos(info));
}

TEST(KeyState, KeysAreIndependentAndOutOfRangeCodesAnswerNothing) {
  KeyStateTracker keys;
  keys.KeyDown(VK_B_KEY, false);
  keys.KeyDown(VK_S_KEY, false);
  keys.KeyUp(VK_S_KEY);
  keys.KeyDown(0, false);
  keys.KeyDown(255, false);
  for (int bad : {-1, 256, -2147483647 - 1}) {
    keys.KeyDown(bad, false);
    EXPECT_EQ(keys.Query(bad), 0) << bad;
  }
  EXPECT_EQ(std::vector<std::uint16_t>({keys.Query(VK_B_KEY), keys.Query(VK_S_KEY), keys.Query(VK_B_KEY),
                                        keys.Query(VK_D_KEY), keys.Query(0), keys.Query(255)}),
            std::vector<std::uint16_t>({kBoth, kKeyWentDown, kKeyDownNow, 0, kBoth, kBoth}));
}

}  // namespace
