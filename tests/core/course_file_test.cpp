#include <gtest/gtest.h>

#include <numeric>

#include "data/files.h"
#include "support/test_support.h"

using testing_support::MemoryFile;
using testing_support::NewState;
using testing_support::ScopedTempDir;
using testing_support::WriteFile;

namespace {

// Reads `content` as the course with the given step limit.
std::unique_ptr<GameState> LoadCourse(const std::string& content, int cornerArch = 2) {
  auto gs = NewState();
  gs->configCornerArch = cornerArch;
  ClearMap(*gs);
  MemoryFile file(content);
  ReadMapFile(*gs, file.get());
  FinishMap(*gs);
  return gs;
}

void ExpectDoubled(const GameState& gs) {
  for (int i = 0; i < kCourseSections; ++i) ASSERT_EQ(gs.mapDataX[i + 800], gs.mapDataX[i]) << i;
}

TEST(CourseFile, SingleLineIsFilledAndSmoothed) {
  auto gs = LoadCourse("10 5\n");
  for (int i = 0; i <= 8; ++i) EXPECT_EQ(gs->mapDataX[i], 0) << i;
  EXPECT_EQ(gs->mapDataX[9], 2);
  EXPECT_EQ(gs->mapDataX[10], 3);
  for (int i = 11; i < 800; ++i) EXPECT_EQ(gs->mapDataX[i], 5) << i;
  ExpectDoubled(*gs);
}

TEST(CourseFile, LinesAndSeparators) {
  struct Case {
    const char* content;
    int section;
    int expected;
  };
  const Case cases[] = {
      {"0 7\n", 0, 7},           // section 0 sets the start
      {"0 7\n", 500, 7},         // and everything before the next given one
      {"5,3\n", 6, 3},           // comma
      {"5=3\n", 6, 3},           // equals
      {"5 = 3 # c\n", 6, 3},     // spaced, commented
      {"5 3\n5 4\n", 5, 4},      // later line wins
      {"5 4\n5 3\n", 5, 3},
      {"20 1\n10 1\n", 15, 1},   // order does not matter otherwise
      {"5 3\n\n", 5, 3},         // blank line repeats the assignment
      {"5 3\n9\n", 9, 3},        // one integer: previous value to a new section
      {"900 50\n", 100, 0},      // sections 800+ are overwritten by the copy
      {"-1 50\n", 799, 0},       // outside the table: ignored
      {"1600 50\n", 799, 0},
      {"99999999999 50\n", 799, 0},  // clamped to 2147483647, outside: ignored
      {"5 99999999\n", 5, 0},    // the unset marker counts as not given
      {"5 3\r\n6 2\r\n", 6, 2},  // CR LF lines
  };
  for (const Case& c : cases) {
    auto gs = LoadCourse(c.content, 1000000);  // no smoothing in the way
    EXPECT_EQ(gs->mapDataX[c.section], c.expected) << c.content;
  }
}

TEST(CourseFile, SmoothingKeepsTheTotalAndTheStepLimit) {
  auto gs = LoadCourse("0 0\n100 60\n150 -60\n200 0\n300 25\n");
  long long before = 0;
  {
    auto raw = LoadCourse("0 0\n100 60\n150 -60\n200 0\n300 25\n", 1000000);
    for (int i = 0; i < 800; ++i) before += raw->mapDataX[i];
  }
  const long long after = std::accumulate(gs->mapDataX, gs->mapDataX + 800, 0LL);
  EXPECT_EQ(after, before);
  for (int i = 1; i < 799; ++i) EXPECT_LE(std::abs(gs->mapDataX[i] - gs->mapDataX[i - 1]), 2) << i;
  ExpectDoubled(*gs);
}

TEST(CourseFile, StepLimitBelowOneStillEnds) {
  // A step limit of 0 or less would smooth for ever; it is met as 1.
  for (int arch : {0, -1, -2147483647 - 1}) {
    auto gs = LoadCourse("10 5\n400 -9\n", arch);
    auto one = LoadCourse("10 5\n400 -9\n", 1);
    EXPECT_EQ(gs->configCornerArch, arch);  // kept as read
    for (int i = 0; i < 1600; ++i) ASSERT_EQ(gs->mapDataX[i], one->mapDataX[i]) << arch << " at " << i;
  }
}

TEST(CourseFile, HugeValuesAreClampedAndSmoothingEnds) {
  auto gs = LoadCourse("100 2147483647\n101 -2147483648\n");
  EXPECT_LE(*std::max_element(gs->mapDataX, gs->mapDataX + 1600), kCourseValueLimit);
  EXPECT_GE(*std::min_element(gs->mapDataX, gs->mapDataX + 1600), -kCourseValueLimit);
}

TEST(CourseFile, MissingFilesAndBackup) {
  {
    ScopedTempDir dir;
    auto gs = NewState();
    gs->configCornerArch = 2;
    InitializeMap(*gs);
    EXPECT_EQ(gs->noMapFileFlag, 1);
    for (int i = 0; i < 1600; ++i) ASSERT_EQ(gs->mapDataX[i], 0);
  }
  {
    ScopedTempDir dir;
    WriteFile("map_bak.txt", "0 4\n");
    auto gs = NewState();
    gs->configCornerArch = 2;
    InitializeMap(*gs);
    EXPECT_EQ(gs->noMapFileFlag, 1);
    EXPECT_EQ(gs->mapDataX[1599], 4);
  }
  {
    ScopedTempDir dir;
    WriteFile("map.txt", "0 3\n");
    WriteFile("map_bak.txt", "0 4\n");
    auto gs = NewState();
    gs->configCornerArch = 2;
    InitializeMap(*gs);
    EXPECT_EQ(gs->noMapFileFlag, 0);
    EXPECT_EQ(gs->mapDataX[0], 3);
  }
}

}  // namespace
