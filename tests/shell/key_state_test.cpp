#include "shell/key_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform_api.h"

namespace {

// A stream of key events and queries on one key, and the answers expected.
struct Step {
  char what;  // 'd' down, 'r' auto-repeat, 'u' up, 'x' all up, 'q' query
  std::uint16_t answer = 0;
};

struct StreamCase {
  std::string name;
  std::vector<Step> steps;
};

class KeyStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(KeyStreamTest, Answers) {
  KeyStateTracker keys;
  int query = 0;
  for (const Step& step : GetParam().steps) {
    switch (step.what) {
      case 'd': keys.KeyDown(VK_LEFT_KEY, false); break;
      case 'r': keys.KeyDown(VK_LEFT_KEY, true); break;
      case 'u': keys.KeyUp(VK_LEFT_KEY); break;
      case 'x': keys.ReleaseAll(); break;
      case 'q':
        EXPECT_EQ(keys.Query(VK_LEFT_KEY), step.answer) << "query " << query;
        ++query;
        break;
    }
  }
}

constexpr std::uint16_t kBoth = kKeyDownNow | kKeyWentDown;

INSTANTIATE_TEST_SUITE_P(
    Streams, KeyStreamTest,
    ::testing::Values(
        StreamCase{"NeverPressed", {{'q', 0}, {'q', 0}}},
        StreamCase{"Held", {{'d'}, {'q', kBoth}, {'q', kKeyDownNow}, {'q', kKeyDownNow}}},
        StreamCase{"TappedBetweenFrames", {{'d'}, {'u'}, {'q', kKeyWentDown}, {'q', 0}}},
        StreamCase{"TwoQueriesInOneFrame", {{'d'}, {'q', kBoth}, {'q', kKeyDownNow}}},
        StreamCase{"DownBetweenTheTwoQueries", {{'q', 0}, {'d'}, {'q', kBoth}}},
        StreamCase{"TwoTapsBetweenQueriesCountOnce", {{'d'}, {'u'}, {'d'}, {'u'},
                                                      {'q', kKeyWentDown}, {'q', 0}}},
        StreamCase{"AutoRepeatIsNoNewPress", {{'d'}, {'q', kBoth}, {'r'}, {'r'},
                                              {'q', kKeyDownNow}}},
        StreamCase{"RepeatOfAKeyNotSeenGoingDown", {{'r'}, {'q', kBoth}}},
        StreamCase{"PressAfterRelease", {{'d'}, {'q', kBoth}, {'u'}, {'q', 0}, {'d'},
                                         {'q', kBoth}}},
        StreamCase{"UpWithoutDown", {{'u'}, {'q', 0}}},
        StreamCase{"LosingTheKeyboardKeepsTheUnqueriedPress", {{'d'}, {'x'},
                                                               {'q', kKeyWentDown}, {'q', 0}}}),
    [](const auto& info) { return info.param.name; });

TEST(KeyStateTest, KeysAreIndependent) {
  KeyStateTracker keys;
  keys.KeyDown(VK_B_KEY, false);
  keys.KeyDown(VK_S_KEY, false);
  keys.KeyUp(VK_S_KEY);
  EXPECT_EQ(keys.Query(VK_B_KEY), kBoth);
  EXPECT_EQ(keys.Query(VK_S_KEY), kKeyWentDown);
  EXPECT_EQ(keys.Query(VK_B_KEY), kKeyDownNow);
  EXPECT_EQ(keys.Query(VK_D_KEY), 0);
}

class BadKeyTest : public ::testing::TestWithParam<int> {};

TEST_P(BadKeyTest, AnswersZeroAndChangesNothing) {
  KeyStateTracker keys;
  keys.KeyDown(GetParam(), false);
  keys.KeyUp(GetParam());
  keys.KeyDown(GetParam(), false);
  EXPECT_EQ(keys.Query(GetParam()), 0);
  for (int vk = 0; vk < 256; ++vk) EXPECT_EQ(keys.Query(vk), 0) << vk;
}

INSTANTIATE_TEST_SUITE_P(Codes, BadKeyTest, ::testing::Values(-1, 256, 1000, -2147483647 - 1));

TEST(KeyStateTest, EdgesOfTheRange) {
  KeyStateTracker keys;
  keys.KeyDown(0, false);
  keys.KeyDown(255, false);
  EXPECT_EQ(keys.Query(0), kBoth);
  EXPECT_EQ(keys.Query(255), kBoth);
}

}  // namespace
