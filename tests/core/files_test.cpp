// The settings and course readers, and the files the game ships with.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "data/files.h"
#include "shell/main_proc.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// The settings read from the given files in a directory of their own.
std::unique_ptr<GameState> Settings(const char* config, const char* backup = nullptr) {
  ScopedTempDir dir;
  if (config != nullptr) WriteFile("config.txt", config);
  if (backup != nullptr) WriteFile("config_bak.txt", backup);
  auto gs = NewState();
  gs->noConfigFileFlag = 7;  // each reading sets it afresh
  InitializeConfig(*gs);
  return gs;
}

TEST(SettingsFile, Lines) {
  struct Case { std::string content; std::int32_t GameState::*field; std::int32_t expected; };
  constexpr auto kSpeed = &GameState::configVelocityMax;
  const std::string longLine = "SPEED 5" + std::string(152, ' ');  // 159 characters: one read
  const Case cases[] = {
      {"SPEED 15000\n", kSpeed, 15000}, {"SPEED=15000\n", kSpeed, 15000}, {"SPEED,15000\n", kSpeed, 15000},
      {"SPEED = 15000\n", kSpeed, 15000},
      {"SPEED\t\v\f\r15000\n", kSpeed, 15000},                       // white space as the C library knows it
      {"SPEED 15000 # faster\n", kSpeed, 15000},
      {"SPEED 15000", kSpeed, 15000},                                // no final newline
      {"SPEED 15000\r\nBRAKE_LEVEL 7\r\n", &GameState::configBrakeLevel, 7},
      // Windows' text mode reads "\r\r\n" as "\r\n", as this reader does; a
      // Ctrl-Z that old editors leave at the end ends the file there, and
      // read as a line of its own it names no key either.
      {"SPEED 15000\r\r\nBRAKE_LEVEL 7\r\r\n", &GameState::configBrakeLevel, 7},
      {"SPEED 15000\n\x1A", kSpeed, 15000},
      {"MAX_SPEED 9\n", kSpeed, 9},                                  // a substring match
      {"SPEED: 9\n", kSpeed, 9},
      {"speed 9\n", kSpeed, 12000},                                  // case-sensitive
      {"DEVICE_SPEED 0\n", &GameState::configDevice, 0},             // the earlier key wins
      {"DEVICE_SPEED 0\n", kSpeed, 12000},
      {"SPEED 9000\nDEVICE\n", &GameState::configDevice, 9000},      // the word alone repeats the value
      {"SPEED\n", kSpeed, 0},                                        // which starts at 0
      {"SPEED 9000\n\n# note\n", kSpeed, 9000}, {"SPEED 1\nSPEED 2\nSPEED 3\n", kSpeed, 3},  // the last line wins
      {"RIDGE_RAIL 5000\n", &GameState::configRidgeRail, 1000}, {"RIDGE_RAIL -5\n", &GameState::configRidgeRail, -5},
      {"BRAKE_LEVEL 77\nSPEED==15000\n", kSpeed, 77},                // "=15000" is no integer
      {"# SPEED 15000\n", kSpeed, 12000}, {"SPE#ED 15000\n", kSpeed, 12000},
      {"SPEED 99999999999\n", kSpeed, 2147483647},                   // held to 32 bits
      {"SPEED -99999999999999999999\n", kSpeed, -2147483647 - 1},
      {"GRIP_MIN 10000\nSPEED 0\n", &GameState::configGripMin, 10000},  // stored unchecked
      {std::string("SPEED 15\0" "000\n", 14), kSpeed, 15},           // a NUL ends the line
      {longLine + "BRAKE_LEVEL 9\n", &GameState::configBrakeLevel, 9},  // the rest: a line of its own
      // A key cut at the 159th character is no key.
      {"SPEED 5" + std::string(145, ' ') + "BRAKE_LEVEL 9\n", &GameState::configBrakeLevel, 400},
  };
  for (const Case& c : cases) {
    const auto gs = Settings(c.content.c_str());
    EXPECT_EQ((*gs).*c.field, c.expected) << c.content;
    EXPECT_EQ(gs->noConfigFileFlag, 0);
  }
}

TEST(SettingsFile, BackupAndBuiltInValues) {
  const auto none = Settings(nullptr);
  EXPECT_EQ(none->noConfigFileFlag, 1);
  for (const ConfigKey& s : kConfigKeys) EXPECT_EQ((*none).*s.field, s.builtIn) << s.name;

  const auto backup = Settings(nullptr, "SPEED 7000\n");  // the flag is said although the backup was read
  EXPECT_EQ((std::array{backup->noConfigFileFlag, backup->configVelocityMax}), (std::array{1, 7000}));
  const auto both = Settings("SPEED 8000\n", "SPEED 7000\n");
  EXPECT_EQ((std::array{both->noConfigFileFlag, both->configVelocityMax}), (std::array{0, 8000}));
}

// The shipped file sets each key on a line of its own to its built-in value
// (which holds the built-in values to the file): changing one line's number
// changes that field alone.
TEST(SettingsFile, ShippedFileSetsEveryKeyOnItsOwnLine) {
  const std::string text = ReadFile(kDataDir + "/config.txt");
  EXPECT_EQ(ReadFile(kDataDir + "/config_bak.txt"), text);
  for (const ConfigKey& changed : kConfigKeys) {
    std::istringstream in(text);
    std::string edited;
    for (std::string line; std::getline(in, line);) {
      if (line.rfind(std::string(changed.name) + " ", 0) == 0) {
        line = std::string(changed.name) + " " + std::to_string(changed.builtIn + 7);
      }
      edited += line + "\n";
    }
    const auto gs = Settings(edited.c_str());
    for (const ConfigKey& s : kConfigKeys) {
      EXPECT_EQ((*gs).*s.field, s.builtIn + (&s == &changed ? 7 : 0)) << changed.name << " -> " << s.name;
    }
  }
}

// The course read from `content` with the given step limit.
std::unique_ptr<GameState> Course(const std::string& content, int cornerArch = 2) {
  ScopedTempDir dir;
  WriteFile("map.txt", content);
  auto gs = NewState();
  gs->configCornerArch = cornerArch;
  InitializeMap(*gs);
  for (int i = 0; i < kCourseSections; ++i) EXPECT_EQ(gs->mapDataX[i + 800], gs->mapDataX[i]) << i;
  return gs;
}

TEST(CourseFile, Lines) {
  struct Case { const char* content; int section; int expected; };
  const Case cases[] = {
      {"0 7\n", 0, 7},                // section 0 sets the start
      {"0 7\n", 500, 7},              // and every section up to the next given one
      {"5,3\n", 6, 3}, {"5=3\n", 6, 3}, {"5 = 3 # c\n", 6, 3},
      {"5 3\n5 4\n", 5, 4},           // the later line wins
      {"20 1\n10 1\n", 15, 1},        // order does not matter otherwise
      {"5 3\n\n", 5, 3},              // a blank line repeats the assignment
      {"5 3\n9\n", 9, 3},             // one integer: the previous value to a new section
      {"900 50\n", 100, 0},           // 800 and over: overwritten by the copy
      {"-1 50\n", 799, 0},            // outside the table: ignored
      {"1600 50\n", 799, 0}, {"99999999999 50\n", 799, 0},
      {"5 99999999\n", 5, 0},         // the unset marker counts as not given
      {"0 99999999\n", 1, 2000},      // but section 0 keeps it, held to the limit
      {"5 5000\n", 5, 2000}, {"5 -5000\n", 5, -2000}, {"5 3\r\n6 2\r\n", 6, 2}, {"5 3\r\r\n6 2\r\r\n", 6, 2},
  };
  for (const Case& c : cases) {
    const auto gs = Course(c.content, 1000000);  // no smoothing in the way
    EXPECT_EQ(gs->mapDataX[c.section], c.expected) << c.content;
  }
}

TEST(CourseFile, FillAndSmoothing) {
  // A lone bend at section 10 is filled forward from 0 and eased in.
  const auto one = Course("10 5\n");
  EXPECT_EQ(std::vector<int>(one->mapDataX + 8, one->mapDataX + 12), (std::vector<int>{0, 2, 3, 5}));
  EXPECT_EQ(one->mapDataX[799], 5);

  // That the smoothing keeps the total bend and the step limit, and that
  // values are held within the limit, the course fuzz target checks on
  // every kept course. A step limit below 1 would smooth for ever: it is met as 1.
  const auto limitOne = Course("10 5\n400 -9\n", 1);
  for (int arch : {0, -1, -2147483647 - 1}) {
    const auto gs = Course("10 5\n400 -9\n", arch);
    EXPECT_EQ(gs->configCornerArch, arch);  // kept as read
    EXPECT_TRUE(std::equal(gs->mapDataX, gs->mapDataX + 1600, limitOne->mapDataX)) << arch;
  }
}

TEST(CourseFile, MissingFilesAndBackup) {
  struct Case { const char* map; const char* backup; int flag; int section0; };
  for (const Case& c : {Case{nullptr, nullptr, 1, 0}, Case{nullptr, "0 4\n", 1, 4}, Case{"0 3\n", "0 4\n", 0, 3}}) {
    ScopedTempDir dir;
    if (c.map != nullptr) WriteFile("map.txt", c.map);
    if (c.backup != nullptr) WriteFile("map_bak.txt", c.backup);
    auto gs = NewState();
    gs->configCornerArch = 2;
    InitializeMap(*gs);
    EXPECT_EQ((std::array{gs->noMapFileFlag, gs->mapDataX[0], gs->mapDataX[1599]}),
              (std::array{c.flag, c.section0, c.section0}));
  }
}

// The shipped course, the same in its backup, ends on a straight: the road
// marks before the line. That the smoothing moves none of it, so that what
// the file says is what is driven, racer_check's report of the shipped files
// holds.
TEST(CourseFile, ShippedCourseEndsOnAStraight) {
  const std::string text = ReadFile(kDataDir + "/map.txt");
  EXPECT_EQ(ReadFile(kDataDir + "/map_bak.txt"), text);
  const auto gs = Course(text);
  for (int i = 724; i < kCourseSections; ++i) EXPECT_EQ(gs->mapDataX[i], 0) << i;
}

}  // namespace
