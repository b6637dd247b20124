#include <gtest/gtest.h>

#include "data/files.h"
#include "support/test_support.h"

using testing_support::MemoryFile;
using testing_support::NewState;
using testing_support::ScopedTempDir;
using testing_support::WriteFile;

namespace {

struct ConfigCase {
  const char* name;
  std::string content;
  std::int32_t GameState::*field;
  std::int32_t expected;
};

class ConfigLines : public ::testing::TestWithParam<ConfigCase> {};

TEST_P(ConfigLines, SetsTheField) {
  const ConfigCase& c = GetParam();
  auto gs = NewState();
  ScopedTempDir dir;
  WriteFile("config.txt", c.content);
  InitializeConfig(*gs);
  EXPECT_EQ((*gs).*c.field, c.expected) << c.content;
  EXPECT_EQ(gs->noConfigFileFlag, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ConfigLines,
    ::testing::Values(
        ConfigCase{"space", "SPEED 15000\n", &GameState::configVelocityMax, 15000},
        ConfigCase{"equals", "SPEED=15000\n", &GameState::configVelocityMax, 15000},
        ConfigCase{"comma", "SPEED,15000\n", &GameState::configVelocityMax, 15000},
        ConfigCase{"spacedEquals", "SPEED = 15000\n", &GameState::configVelocityMax, 15000},
        ConfigCase{"comment", "SPEED 15000 # faster\n", &GameState::configVelocityMax, 15000},
        ConfigCase{"crlf", "SPEED 15000\r\nBRAKE_LEVEL 7\r\n", &GameState::configBrakeLevel, 7},
        ConfigCase{"noFinalNewline", "SPEED 15000", &GameState::configVelocityMax, 15000},
        ConfigCase{"substringPrefix", "MAX_SPEED 9\n", &GameState::configVelocityMax, 9},
        ConfigCase{"substringSuffix", "SPEED: 9\n", &GameState::configVelocityMax, 9},
        ConfigCase{"lowercaseIgnored", "speed 9\n", &GameState::configVelocityMax, 12000},
        ConfigCase{"earlierKeyWins", "DEVICE_SPEED 0\n", &GameState::configDevice, 0},
        ConfigCase{"earlierKeyWinsOther", "DEVICE_SPEED 0\n", &GameState::configVelocityMax, 12000},
        ConfigCase{"wordRepeatsValue", "SPEED 9000\nDEVICE\n", &GameState::configDevice, 9000},
        ConfigCase{"blankRepeats", "SPEED 9000\n\n# note\n", &GameState::configVelocityMax, 9000},
        ConfigCase{"lastWins", "SPEED 1\nSPEED 2\nSPEED 3\n", &GameState::configVelocityMax, 3},
        ConfigCase{"ridgeLimited", "RIDGE_RAIL 5000\n", &GameState::configRidgeRail, 1000},
        ConfigCase{"ridgeNegativeKept", "RIDGE_RAIL -5\n", &GameState::configRidgeRail, -5},
        // Only the first '=' becomes a space: "=15000" is no integer, so the
        // previous line's value is used.
        ConfigCase{"doubleEquals", "BRAKE_LEVEL 77\nSPEED==15000\n", &GameState::configVelocityMax, 77},
        ConfigCase{"commentedOut", "# SPEED 15000\n", &GameState::configVelocityMax, 12000},
        ConfigCase{"hashInsideKey", "SPE#ED 15000\n", &GameState::configVelocityMax, 12000},
        ConfigCase{"beyond32BitsClamped", "SPEED 99999999999\n", &GameState::configVelocityMax, 2147483647},
        ConfigCase{"beyond32BitsNegative", "SPEED -99999999999999999999\n", &GameState::configVelocityMax,
                   -2147483647 - 1},
        ConfigCase{"zeroKept", "GRIP_MIN 10000\nSPEED 0\n", &GameState::configGripMin, 10000},
        ConfigCase{"ghostScale", "GHOST_FORWARD_SCALE 250\n", &GameState::configGhostForwardScale, 250},
        ConfigCase{"courseWide", "COURSE_WIDE 4\n", &GameState::configCourseViewWide, 4},
        ConfigCase{"brakeGripTime", "BRAKE_GRIP_TIME 0\n", &GameState::configBrakeGripTime, 0},
        // A NUL ends the line's text for the scan, like any C string.
        ConfigCase{"nulByte", std::string("SPEED 15\0" "000\n", 14), &GameState::configVelocityMax, 15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SettingsFile, LongLinesAreReadIn159CharacterPieces) {
  // 159 characters fill one read; the rest of the line is read as a line of
  // its own.
  auto gs = NewState();
  const std::string first = "SPEED 5" + std::string(152, ' ');  // 159 characters
  ASSERT_EQ(first.size(), 159u);
  MemoryFile file(first + "BRAKE_LEVEL 9\n");
  ReadConfigFile(*gs, file.get());
  EXPECT_EQ(gs->configVelocityMax, 5);
  EXPECT_EQ(gs->configBrakeLevel, 9);

  // A key cut at the 159th character is no key: "BRAKE_L" ends the first
  // piece and "EVEL 9" names nothing.
  auto gs2 = NewState();
  const std::string cut = "SPEED 5" + std::string(145, ' ') + "BRAKE_LEVEL 9\n";
  MemoryFile file2(cut);
  ReadConfigFile(*gs2, file2.get());
  EXPECT_EQ(gs2->configVelocityMax, 5);
  EXPECT_EQ(gs2->configBrakeLevel, 0);
}

TEST(SettingsFile, BackupAndBuiltInValues) {
  {
    ScopedTempDir dir;
    auto gs = NewState();
    InitializeConfig(*gs);
    EXPECT_EQ(gs->noConfigFileFlag, 1);
    EXPECT_EQ(gs->configDevice, 1);
    EXPECT_EQ(gs->configVelocityMax, 12000);
    EXPECT_EQ(gs->configBrakeLevel, 400);
    EXPECT_EQ(gs->configLRTurnLevel, 400);
    EXPECT_EQ(gs->configLRSlideLevel, 100);
    EXPECT_EQ(gs->configLRTurnResist, 100);
    EXPECT_EQ(gs->configGripMin, 100);
    EXPECT_EQ(gs->configGripQuick, 40);
    EXPECT_EQ(gs->configGripReturn, 40);
    EXPECT_EQ(gs->configBrakeGripTime, 60);
    EXPECT_EQ(gs->configRidgeRail, 950);
    EXPECT_EQ(gs->configCornerArch, 2);
    EXPECT_EQ(gs->configCourseViewWide, 8);
    EXPECT_EQ(gs->configGhostForwardScale, 500);
  }
  {
    ScopedTempDir dir;
    WriteFile("config_bak.txt", "SPEED 7000\n");
    auto gs = NewState();
    InitializeConfig(*gs);
    EXPECT_EQ(gs->noConfigFileFlag, 1);  // the main file was missing, even though the backup was read
    EXPECT_EQ(gs->configVelocityMax, 7000);
  }
  {
    ScopedTempDir dir;
    WriteFile("config.txt", "SPEED 8000\n");
    WriteFile("config_bak.txt", "SPEED 7000\n");
    auto gs = NewState();
    InitializeConfig(*gs);
    EXPECT_EQ(gs->noConfigFileFlag, 0);
    EXPECT_EQ(gs->configVelocityMax, 8000);
  }
}

}  // namespace
