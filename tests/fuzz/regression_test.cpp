// Replays, in the ordinary build, the seed corpora (corpus/<target>/) and
// every input a fuzz target ever failed on (regressions/<target>/, none so
// far) through the same bodies the fuzzers run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_harness.h"
#include "headless/frame_checks.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::kTestsDir;

TEST(FuzzReplay, KeptInputsPass) {
  struct Target {
    const char* name;
    std::string (*body)(std::string_view);
  };
  const Target targets[] = {
      {"settings", fuzz::RunSettings},
      {"course", fuzz::RunCourse},
      {"script", fuzz::RunScript},
      {"run", [](std::string_view data) { return fuzz::RunWhole(data); }},
  };
  for (const Target& target : targets) {
    std::vector<fs::path> files;
    for (const char* kept : {"corpus/", "regressions/"}) {
      const fs::path dir = fs::path(kTestsDir) / "fuzz" / (kept + std::string(target.name));
      if (!fs::is_directory(dir)) continue;
      for (const auto& entry : fs::directory_iterator(dir)) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    // Every target ships seeds: none means the corpus was lost.
    EXPECT_GT(files.size(), 0u) << target.name;
    for (const fs::path& file : files) {
      testing_support::ScopedTempDir dir;
      EXPECT_EQ(target.body(testing_support::ReadFile(file.string())), "") << file;
    }
  }
  const fuzz::RunParts parts = fuzz::SplitRunInput("SPEED 1\n--8<--\n0 5\n--8<--\nUP\n");
  EXPECT_EQ((std::array{parts.settings, parts.course, parts.script}), (std::array<std::string, 3>{"SPEED 1", "0 5", "UP\n"}));
}

// The per-frame rules the fuzzers and the soak check must be able to fail:
// each broken state is named.
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
    EXPECT_NE(frame_checks::CheckFrame(*broken, baseline, 1).find(c.names), std::string::npos) << c.names;
  }
}

}  // namespace
