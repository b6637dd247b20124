// The settings and course files the game ships with, and a recorded drive
// around the course: the files must load as intended, and the course must be
// drivable without touching a rail by a driver who steers and brakes, and not
// by one who only holds the throttle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/files.h"
#include "headless/input_script.h"
#include "shell/main_proc.h"
#include "support/test_support.h"

using testing_support::ScopedTempDir;
using testing_support::WriteFile;

namespace {

const std::string kDataDir = RACER_DATA_DIR;
const std::string kTestDataDir = RACER_TEST_DATA_DIR;

// The recorded drive: two laps, the first from the standing start, and
// where the car is on the road when the second ends.
constexpr int kFirstLapFrames = 1125;
constexpr int kSecondLapFrames = 1086;
constexpr int kEndPosition = 816;
constexpr int kEndSide = -608;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Names the first line where two files part, instead of printing both.
::testing::AssertionResult SameText(const std::string& a, const std::string& b) {
  if (a == b) return ::testing::AssertionSuccess();
  std::istringstream ia(a);
  std::istringstream ib(b);
  std::string la;
  std::string lb;
  for (int line = 1;; ++line) {
    const bool moreA = static_cast<bool>(std::getline(ia, la));
    const bool moreB = static_cast<bool>(std::getline(ib, lb));
    if (!moreA || !moreB || la != lb) {
      return ::testing::AssertionFailure() << "line " << line << ": \"" << (moreA ? la : "<end>") << "\" against \""
                                           << (moreB ? lb : "<end>") << "\"";
    }
  }
}

std::string Shipped(const std::string& name) {
  const std::string path = kDataDir + "/" + name;
  const std::string text = Slurp(path);
  EXPECT_FALSE(text.empty()) << path << " is missing or empty";
  return text;
}

struct Setting {
  const char* key;
  std::int32_t GameState::*field;
  std::int32_t builtIn;
};

constexpr Setting kSettings[] = {
    {"DEVICE", &GameState::configDevice, 1},
    {"SPEED", &GameState::configVelocityMax, 12000},
    {"BRAKE_LEVEL", &GameState::configBrakeLevel, 400},
    {"LR_TURN", &GameState::configLRTurnLevel, 400},
    {"LR_SLIDE", &GameState::configLRSlideLevel, 100},
    {"LR_RESIST", &GameState::configLRTurnResist, 100},
    {"GRIP_MIN", &GameState::configGripMin, 100},
    {"GRIP_QUICK", &GameState::configGripQuick, 40},
    {"GRIP_RETURN", &GameState::configGripReturn, 40},
    {"BRAKE_GRIP_TIME", &GameState::configBrakeGripTime, 60},
    {"RIDGE_RAIL", &GameState::configRidgeRail, 950},
    {"CORNER_ARCH", &GameState::configCornerArch, 2},
    {"COURSE_WIDE", &GameState::configCourseViewWide, 8},
    {"GHOST_FORWARD_SCALE", &GameState::configGhostForwardScale, 500},
};

std::unique_ptr<GameState> LoadSettings() {
  auto gs = std::make_unique<GameState>();
  InitializeConfig(*gs);
  return gs;
}

// The shipped settings file with one key's number replaced.
std::string WithValue(const std::string& text, const std::string& key, std::int32_t value) {
  std::istringstream in(text);
  std::string out;
  std::string line;
  int replaced = 0;
  while (std::getline(in, line)) {
    if (line.rfind(key + " ", 0) == 0) {
      const size_t start = line.find_first_not_of(' ', key.size());
      const size_t end = line.find_first_not_of("-0123456789", start);
      line = line.substr(0, start) + std::to_string(value) + line.substr(end == std::string::npos ? line.size() : end);
      ++replaced;
    }
    out += line + "\n";
  }
  EXPECT_EQ(replaced, 1) << "lines setting " << key;
  return out;
}

TEST(ShippedSettings, LoadTheBuiltInValues) {
  ScopedTempDir dir;
  const auto none = LoadSettings();
  ASSERT_EQ(none->noConfigFileFlag, 1);

  WriteFile("config.txt", Shipped("config.txt"));
  const auto gs = LoadSettings();
  EXPECT_EQ(gs->noConfigFileFlag, 0);
  for (const Setting& s : kSettings) {
    EXPECT_EQ((*gs).*s.field, s.builtIn) << s.key << " from config.txt";
    EXPECT_EQ((*none).*s.field, s.builtIn) << s.key << " without any file";
  }
}

// Each key's own line reaches its field, and no comment or other line
// disturbs it: the values only match the built-in ones because the file says
// so.
TEST(ShippedSettings, EveryLineSetsItsOwnKey) {
  const std::string text = Shipped("config.txt");
  for (const Setting& s : kSettings) {
    ScopedTempDir dir;
    const std::int32_t changed = s.builtIn + 7;
    WriteFile("config.txt", WithValue(text, s.key, changed));
    const auto gs = LoadSettings();
    for (const Setting& other : kSettings) {
      EXPECT_EQ((*gs).*other.field, &other == &s ? changed : other.builtIn)
          << other.key << " after changing " << s.key;
    }
  }
}

TEST(ShippedSettings, BackupEqualsTheFile) {
  EXPECT_TRUE(SameText(Shipped("config_bak.txt"), Shipped("config.txt")));
}

// The section numbers and values of the course file's lines, read as plain
// "section value" pairs; comment-only and blank lines give none.
struct CourseLines {
  std::vector<int> sections;
  std::vector<int> values;
  std::vector<std::string> malformed;
};

CourseLines ReadCourseLines(const std::string& text) {
  CourseLines out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const std::string body = line.substr(0, line.find('#'));
    std::istringstream fields(body);
    int section = 0;
    int value = 0;
    std::string rest;
    if (!(fields >> section)) {
      if (body.find_first_not_of(" \t\r") != std::string::npos) out.malformed.push_back(line);
      continue;
    }
    if (!(fields >> value) || (fields >> rest)) {
      out.malformed.push_back(line);
      continue;
    }
    out.sections.push_back(section);
    out.values.push_back(value);
  }
  return out;
}

TEST(ShippedCourse, GivesEverySectionExactlyOnce) {
  const CourseLines lines = ReadCourseLines(Shipped("map.txt"));
  for (const std::string& line : lines.malformed) ADD_FAILURE() << "not a \"section value\" line: " << line;
  std::vector<int> count(kCourseSections, 0);
  for (const int section : lines.sections) {
    ASSERT_GE(section, 0);
    ASSERT_LT(section, kCourseSections);
    ++count[static_cast<size_t>(section)];
  }
  for (int i = 0; i < kCourseSections; ++i) EXPECT_EQ(count[static_cast<size_t>(i)], 1) << "section " << i;
}

TEST(ShippedCourse, BackupEqualsTheFile) { EXPECT_TRUE(SameText(Shipped("map_bak.txt"), Shipped("map.txt"))); }

// The bends are written with steps the smoothing allows, so what the file
// says is what is driven; and the loop closes without a step, since the
// smoothing never looks across the line.
TEST(ShippedCourse, LoadsExactlyAsWritten) {
  ScopedTempDir dir;
  WriteFile("map.txt", Shipped("map.txt"));
  auto gs = std::make_unique<GameState>();
  InitializeConfig(*gs);
  InitializeMap(*gs);
  EXPECT_EQ(gs->noMapFileFlag, 0);

  const CourseLines lines = ReadCourseLines(Shipped("map.txt"));
  ASSERT_EQ(lines.sections.size(), static_cast<size_t>(kCourseSections));
  for (size_t k = 0; k < lines.sections.size(); ++k) {
    EXPECT_EQ(gs->mapDataX[lines.sections[k]], lines.values[k]) << "section " << lines.sections[k];
  }
  for (int i = 0; i < kCourseSections; ++i) {
    EXPECT_EQ(gs->mapDataX[i + kCourseSections], gs->mapDataX[i]) << "copy of section " << i;
  }
  EXPECT_LE(std::abs(gs->mapDataX[kCourseSections - 1] - gs->mapDataX[0]), gs->configCornerArch);
  // The road marks before the line are drawn on a straight.
  for (int i = 724; i < kCourseSections; ++i) EXPECT_EQ(gs->mapDataX[i], 0) << "section " << i;
}

// A run of the game in a directory holding the shipped files.
class ShippedDrive : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile("config.txt", Shipped("config.txt"));
    WriteFile("map.txt", Shipped("map.txt"));
  }

  ScopedTempDir dir_;
  std::unique_ptr<GameState> gs_ = std::make_unique<GameState>();
};

TEST_F(ShippedDrive, RecordedLapsStayOffTheRails) {
  const ScriptParseResult script = ParseInputScript(Slurp(kTestDataDir + "/clean_lap.txt"));
  ASSERT_TRUE(script.ok) << "line " << script.errorLine << ": " << script.error;
  const long long frames = static_cast<long long>(script.frames.size());
  ASSERT_GT(frames, 0);

  ScriptInput input(script.frames);
  long long firstContact = 0;
  for (long long frame = 1; frame <= frames; ++frame) {
    input.BeginFrame(frame);
    Main_Proc(*gs_, input);
    if (gs_->carHitCount > 0 && firstContact == 0) firstContact = frame;
  }
  EXPECT_EQ(gs_->noConfigFileFlag, 0);
  EXPECT_EQ(gs_->noMapFileFlag, 0);
  EXPECT_EQ(firstContact, 0) << "rail contact at frame " << firstContact;
  ASSERT_GE(gs_->goalCount, 1);
  EXPECT_EQ(gs_->goalCount, 2);
  EXPECT_EQ(gs_->goalRecord[2], kFirstLapFrames);
  EXPECT_EQ(gs_->goalRecord[1], kSecondLapFrames);
  // The second lap ends on the script's last frame.
  EXPECT_EQ(gs_->goalRecord[0], 0);
  EXPECT_EQ(gs_->carPosition, kEndPosition);
  EXPECT_EQ(gs_->carLRPosition, kEndSide);
}

TEST_F(ShippedDrive, ThrottleAloneMeetsARailInTheFirstLap) {
  const ScriptParseResult parsed = ParseInputScript("UP\n");
  ASSERT_TRUE(parsed.ok);
  const ScriptFrame up = parsed.frames.at(0);
  constexpr long long kFrames = 3000;
  ScriptInput input(std::vector<ScriptFrame>(kFrames, up));
  long long contact = 0;
  for (long long frame = 1; frame <= kFrames && contact == 0 && gs_->goalCount == 0; ++frame) {
    input.BeginFrame(frame);
    Main_Proc(*gs_, input);
    if (gs_->carHitCount > 0) contact = frame;
  }
  EXPECT_EQ(gs_->noMapFileFlag, 0);
  ASSERT_NE(contact, 0) << "no rail contact before the first goal";
  EXPECT_EQ(gs_->goalCount, 0) << "contact only came at frame " << contact;
  EXPECT_EQ(gs_->controlAcceleration, 1);
  EXPECT_EQ(gs_->controlLeftRight, 0);
}

}  // namespace
