// The tools' command line: whole numbers read whole, bad use on one line
// with status 2, --help and --version.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "headless/command_line.h"

namespace {

struct Parsed {
  int status = -1;  // -1: the tool goes on
  std::string out, err;
  int frames = -1;  // the int Whole, which reads through the long long one
  double work = -1;
  long long laps = -1;
  std::optional<std::string> png;
  bool view = false;
};

Parsed Parse(std::vector<std::string> args) {
  args.insert(args.begin(), "tool");
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  Parsed p;
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  CommandLine line("tool", "tool [--frames N]", static_cast<int>(argv.size()), argv.data());
  while (line.Next()) {
    if (line.Whole("--frames", p.frames, 0, 1000) || line.Real("--work", p.work, 0, 50) || line.Whole("--laps", p.laps, 1) ||
        line.Text("--png", p.png) || line.Flag("--view", p.view)) {
      continue;
    }
    line.Unknown();
  }
  p.status = line.Finish().value_or(-1);
  p.out = testing::internal::GetCapturedStdout();
  p.err = testing::internal::GetCapturedStderr();
  return p;
}

TEST(CommandLine, ReadsNumbersWholeAndTellsBadUseOnOneLine) {
  const std::string usage = "; usage: tool [--frames N]\n";
  struct Case { std::vector<std::string> args; int status; std::string err; long long frames; double work; };
  const Case cases[] = {
      {{}, -1, "", -1, -1}, {{"--frames", "0", "--work", "2.5", "--view"}, -1, "", 0, 2.5},
      {{"--frames", "1000", "--frames", "7"}, -1, "", 7, -1},
      {{"--frames", "0x10"}, -1, "", 16, -1}, {{"--work", "0"}, -1, "", -1, 0},
      {{"--frames", "10x"}, 2, "tool: --frames takes a whole number from 0 to 1000: 10x" + usage, -1, -1},
      {{"--frames", "1001"}, 2, "tool: --frames takes a whole number from 0 to 1000: 1001" + usage, -1, -1},
      {{"--frames", "-1"}, 2, "tool: --frames takes a whole number from 0 to 1000: -1" + usage, -1, -1},
      {{"--frames", ""}, 2, "tool: --frames takes a whole number from 0 to 1000: " + usage, -1, -1},
      {{"--frames", "99999999999999999999"}, 2,
       "tool: --frames takes a whole number from 0 to 1000: 99999999999999999999" + usage, -1, -1},
      {{"--frames"}, 2, "tool: --frames needs a whole number" + usage, -1, -1},
      {{"--laps", "0"}, 2, "tool: --laps takes a whole number of 1 or more: 0" + usage, -1, -1},
      {{"--work", "2.5ms"}, 2, "tool: --work takes a number from 0 to 50: 2.5ms" + usage, -1, -1},
      {{"--work", "50.5"}, 2, "tool: --work takes a number from 0 to 50: 50.5" + usage, -1, -1},
      {{"--work", "nan"}, 2, "tool: --work takes a number from 0 to 50: nan" + usage, -1, -1},
      {{"--work"}, 2, "tool: --work needs a number" + usage, -1, -1},
      {{"--png"}, 2, "tool: --png needs a file name" + usage, -1, -1},
      {{"--bogus", "--frames", "x"}, 2, "tool: unknown option: --bogus" + usage, -1, -1},
      {{"--bogus", "--help"}, 0, "", -1, -1}, {{"--help", "--bogus"}, 0, "", -1, -1},
  };
  for (const Case& c : cases) {
    const std::string label = c.args.empty() ? "(none)" : c.args.front() + " " + (c.args.size() > 1 ? c.args[1] : "");
    const Parsed p = Parse(c.args);
    EXPECT_EQ(p.status, c.status) << label;
    EXPECT_EQ(p.err, c.err) << label;
    EXPECT_EQ(p.out, c.status == 0 ? "usage: tool [--frames N]\n" : "") << label;
    EXPECT_EQ(p.frames, c.frames) << label;
    EXPECT_EQ(p.work, c.work) << label;
  }
  EXPECT_EQ(Parse({"--png", "out.png"}).png, "out.png");
  EXPECT_TRUE(Parse({"--view"}).view);
}

// Anywhere on the line, even after a bad use, and on stdout.
TEST(CommandLine, AnswersVersion) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--version"}, {"--frames", "10x", "--version"}, {"--bogus", "--version"}}) {
    const Parsed p = Parse(args);
    EXPECT_EQ(std::tie(p.status, p.out, p.err), std::make_tuple(0, std::string("tool " RACER_VERSION "\n"), ""));
  }
}

}  // namespace
