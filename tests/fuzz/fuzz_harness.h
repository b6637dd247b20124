// The bodies of the fuzz targets. Each takes the raw bytes of one input,
// runs them through the game's own code and checks what must hold; the
// result is empty when all is well and names the broken rule otherwise.
// The libFuzzer entry points and the replay test both call these, so a
// saved input fails the ordinary test suite in the same way it failed the
// fuzzer.
//
// The settings, course and whole-run bodies write config.txt and map.txt in
// the current directory, as the game reads them from there: run them in a
// directory of their own (testing_support::ScopedTempDir).
#pragma once

#include <string>
#include <string_view>

namespace fuzz {

// Bytes as the content of config.txt, read by the game's start-up step.
std::string RunSettings(std::string_view data);
// Bytes as the content of map.txt, read and filled; then smoothed and
// doubled scaled down.
std::string RunCourse(std::string_view data);
// Bytes as a racer_sim input script.
std::string RunScript(std::string_view data);
// Bytes split into config.txt, map.txt and an input script, then `frames`
// frames of the game drawn into the back buffer, the 16-bit and the 32-bit
// one by turns.
constexpr int kWholeRunFrames = 2000;
std::string RunWhole(std::string_view data, int frames = kWholeRunFrames);

// The whole-run input: settings, separator, course, separator, script.
// Missing separators leave the later parts empty.
constexpr std::string_view kPartSeparator = "\n--8<--\n";
struct RunParts {
  std::string settings;
  std::string course;
  std::string script;
};
RunParts SplitRunInput(std::string_view data);

}  // namespace fuzz
