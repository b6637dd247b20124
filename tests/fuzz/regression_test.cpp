// Replays, in the ordinary build, the seed corpora (corpus/<target>/) and
// every input a fuzz target ever failed on (regressions/<target>/, none so
// far) through the same bodies the fuzzers run.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "fuzz_harness.h"
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

}  // namespace
