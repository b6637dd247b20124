// Replays, in the ordinary build, every input a fuzz target ever failed on
// (regressions/<target>/) and the seed corpora (corpus/<target>/) through
// the same bodies the fuzzers run.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "headless/frame_checks.h"
#include "fuzz_harness.h"
#include "game_state.h"

#ifndef RACER_FUZZ_DIR
#error "RACER_FUZZ_DIR names tests/fuzz"
#endif

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<fs::path> FilesIn(const std::string& sub) {
  std::vector<fs::path> files;
  const fs::path dir = fs::path(RACER_FUZZ_DIR) / sub;
  if (!fs::is_directory(dir)) return files;
  for (const auto& entry : fs::directory_iterator(dir)) {
    if (entry.is_regular_file() && entry.path().filename() != "README") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

using Body = std::string (*)(std::string_view);

std::string Whole(std::string_view data) { return fuzz::RunWhole(data); }

// Returns the number of inputs replayed.
size_t ReplayAll(const std::string& sub, Body body) {
  const std::vector<fs::path> files = FilesIn(sub);
  for (const fs::path& file : files) {
    fuzz::WorkDir dir;
    SCOPED_TRACE(file.string());
    EXPECT_EQ(body(Slurp(file)), "");
  }
  return files.size();
}

struct Target {
  const char* name;
  Body body;
};

constexpr Target kTargets[] = {
    {"settings", fuzz::RunSettings},
    {"course", fuzz::RunCourse},
    {"script", fuzz::RunScript},
    {"run", Whole},
};

class FuzzReplay : public testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SeedCorpusPasses) {
  // Every target ships seeds: an empty directory means the corpus was lost.
  EXPECT_GT(ReplayAll(std::string("corpus/") + GetParam().name, GetParam().body), 0u);
}

TEST_P(FuzzReplay, FormerFailuresPass) { ReplayAll(std::string("regressions/") + GetParam().name, GetParam().body); }

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(kTargets),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(info.param.name); });

TEST(FuzzRunInput, SplitsAtTheSeparators) {
  const fuzz::RunParts parts = fuzz::SplitRunInput("SPEED 1\n--8<--\n0 5\n--8<--\nUP\n");
  EXPECT_EQ(parts.settings, "SPEED 1");
  EXPECT_EQ(parts.course, "0 5");
  EXPECT_EQ(parts.script, "UP\n");
  EXPECT_EQ(fuzz::JoinRunInput(parts), "SPEED 1\n--8<--\n0 5\n--8<--\nUP\n");
}

TEST(FuzzRunInput, MissingSeparatorsLeaveLaterPartsEmpty) {
  const fuzz::RunParts one = fuzz::SplitRunInput("SPEED 1\n0 5\n");
  EXPECT_EQ(one.settings, "SPEED 1\n0 5\n");
  EXPECT_EQ(one.course, "");
  EXPECT_EQ(one.script, "");
  const fuzz::RunParts two = fuzz::SplitRunInput("A\n--8<--\nB");
  EXPECT_EQ(two.settings, "A");
  EXPECT_EQ(two.course, "B");
  EXPECT_EQ(two.script, "");
}

TEST(FuzzChecks, ScriptCheckAcceptsGoodAndBadScripts) {
  EXPECT_EQ(fuzz::RunScript("UP +S JX=0 JB=15\n\nLEFT"), "");
  EXPECT_EQ(fuzz::RunScript("JX=65536\n"), "");  // refused cleanly is fine
}

// The per-frame rules must be able to fail: each broken state is named.
TEST(FuzzChecks, FrameRulesNameWhatIsBroken) {
  auto sound = std::make_unique<GameState>();
  sound->carPosition = 1;
  sound->timeCount = 1;
  sound->dispColor = 255;
  const frame_checks::Baseline baseline = frame_checks::TakeBaseline(*sound);
  ASSERT_EQ(frame_checks::CheckFrame(*sound, baseline, 1), "");

  struct Case {
    void (*breakIt)(GameState&);
    const char* names;
  };
  const Case cases[] = {
      {[](GameState& g) { g.mapDataX[1599] = 1; }, "course table changed"},
      {[](GameState& g) { g.dispMap = 2; }, "display switch"},
      {[](GameState& g) { g.dispColor = 256; }, "background shade"},
      {[](GameState& g) { g.controlLeftRight = 3; }, "steering"},
      {[](GameState& g) { g.carLRTurn = 102401; }, "heading"},
      {[](GameState& g) { g.carPosition = 0; }, "position outside the lap"},
      {[](GameState& g) { g.carPosition = 819201; }, "position outside the lap"},
      {[](GameState& g) { g.carLRPosition = -204801; }, "beyond the rails"},
      {[](GameState& g) { g.carHitCount = 120; }, "rail count"},
      {[](GameState& g) { g.timeCount = 0; }, "lap frame count"},
      {[](GameState& g) { g.goalRecord[0] = 5; }, "running lap record"},
      {[](GameState& g) { g.goalCount = 2; }, "more laps than frames"},
      {[](GameState& g) { g.drawViewY[299] = 1; }, "drawViewY"},
  };
  for (const Case& c : cases) {
    auto broken = std::make_unique<GameState>(*sound);
    c.breakIt(*broken);
    const std::string message = frame_checks::CheckFrame(*broken, baseline, 1);
    EXPECT_NE(message.find(c.names), std::string::npos) << c.names << " -> " << message;
  }
}

}  // namespace
