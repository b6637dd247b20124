// The soak's random world: the same seed gives the same world, the files it
// writes read back as written, and its player answers like the keyboard.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "data/files.h"
#include "soak_world.h"
#include "support/test_support.h"

namespace {

TEST(SoakWorld, SameSeedSameWorld) {
  soak::Rng a(42);
  soak::Rng b(42);
  EXPECT_EQ(soak::RandomSettings(a), soak::RandomSettings(b));
  EXPECT_EQ(soak::RandomCourse(a), soak::RandomCourse(b));
  soak::Rng c(43);
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) seen.insert(soak::RandomSettings(c));
  EXPECT_GT(seen.size(), 15u);  // different seeds, different files
}

TEST(SoakWorld, ExtremeSettingsReadBackAsWritten) {
  testing_support::ScopedTempDir dir;
  for (std::int32_t v : {0, -1, INT32_MAX, INT32_MIN}) {
    std::array<std::int32_t, soak::kSettingCount> values;
    values.fill(v);
    testing_support::WriteFile("config.txt", soak::SettingsText(values));
    auto gs = testing_support::NewState();
    InitializeConfig(*gs);
    EXPECT_EQ(gs->configDevice, v);
    EXPECT_EQ(gs->configVelocityMax, v);
    EXPECT_EQ(gs->configGhostForwardScale, v);
    EXPECT_EQ(gs->configRidgeRail, v > 1000 ? 1000 : v);  // the reader's one limit
  }
}

TEST(SoakWorld, DeviceIsZeroOrOneAndEveryKeyIsPressedSometimes) {
  soak::Rng rng(7);
  std::set<char> devices;
  for (int i = 0; i < 40; ++i) {
    const std::string text = soak::RandomSettings(rng);
    const size_t at = text.find("DEVICE");
    ASSERT_NE(at, std::string::npos);
    const size_t digit = text.find_first_of("0123456789", at);
    devices.insert(text[digit]);
  }
  EXPECT_EQ(devices, (std::set<char>{'0', '1'}));

  const int keys[] = {VK_LEFT_KEY, VK_RIGHT_KEY, VK_UP_KEY, VK_DOWN_KEY, VK_B_KEY, VK_S_KEY,
                      VK_D_KEY,    VK_M_KEY,     VK_G_KEY,  VK_O_KEY,    VK_I_KEY, VK_C_KEY};
  std::set<int> pressedKeys;
  for (std::uint64_t seed = 1; seed <= 30; ++seed) {
    soak::Rng r(seed);
    soak::RandomPlayer player(r);
    for (int f = 0; f < 200; ++f) {
      player.NextFrame(r);
      for (int k : keys) {
        const std::uint16_t first = player.GetAsyncKeyState(k);
        const std::uint16_t second = player.GetAsyncKeyState(k);
        ASSERT_EQ(first & ~(kKeyDownNow | kKeyWentDown), 0);
        ASSERT_EQ(second & kKeyWentDown, 0) << "a press reported twice in one frame";
        ASSERT_EQ(first & kKeyDownNow, second & kKeyDownNow);
        if (first & kKeyWentDown) pressedKeys.insert(k);
      }
      EXPECT_EQ(player.GetAsyncKeyState(0x41), 0);  // not a game key
    }
  }
  EXPECT_EQ(pressedKeys.size(), std::size(keys));
}

}  // namespace
