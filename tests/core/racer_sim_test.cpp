// racer_sim's command line, the input scripts it plays, and the programs'
// test mode, which plays them too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <tuple>

#include "headless/input_script.h"
#include "headless/test_mode.h"
#include "media/soft_surface.h"
#include "platform/null/layer.h"
#include "support/run_tool.h"

using namespace testing_support;

namespace {

struct SimRun {
  int status = -1;
  std::string err;
  std::vector<std::string> trace;  // the trace's lines
};

// racer_sim in the current directory.
SimRun RacerSim(const std::string& args) {
  std::remove("trace.csv");
  const ToolRun run = RunTool(RACER_SIM_PATH, args);
  SimRun r{run.status, run.err, {}};
  std::istringstream trace(ReadFile("trace.csv"));
  for (std::string line; std::getline(trace, line);) r.trace.push_back(line);
  return r;
}

// A scripted run: one trace row per frame, from frame 1, with the keys of
// the script (here UP from frame 2 raises the speed), and the picture (the
// tap of C in frame 3 clears frame 4 a step darker, blue kept full).
TEST(RacerSim, TracesAndDrawsAScriptedRun) {
  ScopedTempDir dir;
  UseShippedFiles();
  WriteFile("input.txt", "\nUP\n+C UP\nUP\n");
  const SimRun r = RacerSim("--frames 4 --input input.txt --trace trace.csv --view --png out.png");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.trace.size(), 5u);
  EXPECT_TRUE(r.trace[0].starts_with("frame,controlAcceleration,") && r.trace[0].ends_with(",drawViewX299"))
      << r.trace[0];
  for (int f = 1; f <= 4; ++f) {
    EXPECT_TRUE(r.trace[f].starts_with(std::to_string(f) + (f == 1 ? ",0," : ",1,")));
    EXPECT_EQ(std::ranges::count(r.trace[f], ','), std::ranges::count(r.trace[0], ','));  // a name a column
  }
  const std::vector<std::uint32_t> picture = ReadPng("out.png");
  ASSERT_EQ(picture.size(), 640u * 480u);
  EXPECT_EQ(picture[639], 0xE1E1FFu);  // the sky at the top right: shade 225
  // A golden frame's script draws its picture, as the README has it.
  ASSERT_EQ(RacerSim("--frames 1 --input " + kTestsDir + "/golden/start.txt --png start.png").status, 0);
  EXPECT_EQ(ReadPng("start.png"), ReadPng((kTestsDir + "/golden/start.png").c_str()));
}

TEST(RacerSim, BadUseExitsWithTwoAndWritesNothing) {
  ScopedTempDir dir;
  WriteFile("bad.txt", "UP\nLEFT JX=70000\n");
  WriteFile("unknown.txt", "UP\n\nJUMP\n");
  // The arguments, and words of the message.
  const std::pair<std::string, std::string> cases[] = {
      {"", "--frames"},
      {"--frames 3 --input missing.txt --trace trace.csv", "cannot open input script missing.txt"},
      {"--frames 3 --input bad.txt --trace trace.csv", "bad.txt:2: JX takes a number from 0 to 65535"},
      {"--frames 3 --input unknown.txt --trace trace.csv", "unknown.txt:3: unknown token: JUMP"},
  };
  for (const auto& [args, words] : cases) {
    const SimRun r = RacerSim(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_NE(r.err.find(words), std::string::npos) << args << ": " << r.err;
    EXPECT_TRUE(r.trace.empty()) << args;
  }
}

TEST(InputScript, KeyAnswers) {
  const ScriptParseResult parsed = ParseInputScript("LEFT\nLEFT # held on\n+B\n\tJX=0 JB=15  \nLEFT +LEFT\n");
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.frames.size(), 5u);
  ScriptInput in(parsed.frames);
  // The frame, the key, and the answers to the frame's first and second query.
  const std::tuple<long long, int, std::array<std::uint16_t, 2>> queries[] = {
      {1, VK_LEFT_KEY, {0x8001, 0x8000}},  // went down this frame
      {2, VK_LEFT_KEY, {0x8000, 0x8000}},  // still down
      {3, VK_LEFT_KEY, {0, 0}},
      {3, VK_B_KEY, {0x0001, 0}},          // tapped between frames
      {5, VK_LEFT_KEY, {0x8001, 0x8000}},
      {6, VK_LEFT_KEY, {0, 0}},            // past the script: nothing
      {6, VK_ESCAPE_KEY, {0, 0}},          // not a scripted key
  };
  long long current = 0;
  for (const auto& [frame, key, answers] : queries) {
    while (current < frame) in.BeginFrame(++current);
    const std::uint16_t first = in.GetAsyncKeyState(key);
    EXPECT_EQ((std::array{first, in.GetAsyncKeyState(key)}), answers) << frame;
  }
  for (const auto& [frame, x, buttons] : {std::tuple{4, 0u, 15u}, std::tuple{5, 32768u, 0u}}) {
    JoystickInfo info;
    in.BeginFrame(frame);
    ASSERT_TRUE(in.JoyGetPos(info));
    EXPECT_EQ((std::array{info.xPos, info.buttons}), (std::array{x, buttons})) << frame;
  }
}

TEST(InputScript, BadLines) {
  const std::pair<const char*, int> cases[] = {
      {"left\n", 1},   {"UP\nJX=-1\n", 2}, {"JX=65536\n", 1}, {"JB=16\n", 1},      {"JX=\n", 1},
      {"JX=12a\n", 1}, {"+\n", 1},         {"++UP\n", 1},     {"UP,DOWN\n", 1},    {"\n\n\nESC\n", 4},
  };
  for (const auto& [text, line] : cases) {
    const ScriptParseResult parsed = ParseInputScript(text);
    EXPECT_FALSE(parsed.ok) << text;
    EXPECT_EQ(parsed.errorLine, line) << text;
  }
  EXPECT_TRUE(ParseInputScript("# only a comment\r\n  \nJX=65535 JB=0 +C\n").ok);
}

// RACER_TEST_SCRIPT (none: no test mode), _FRAME and _PICTURE: the script's
// frames, the last one's picture as a PPM; status 2 when the mode cannot run.
TEST(TestMode, PlaysTheScriptAndWritesThePictureOrSaysWhyNot) {
  const char* const frame = "RACER_TEST_FRAME must be a frame number from 1";
  const std::tuple<const char*, const char*, const char*, std::string> bad[] = {
      {nullptr, "2", "p", ""}, {"", "2", "p", "RACER_TEST_SCRIPT names no file"},
      {"s", nullptr, "p", frame}, {"s", "0", "p", frame}, {"s", "2x", "p", frame},
      {"s", "2", nullptr, "RACER_TEST_PICTURE names no file"}, {"s", "2", "", "RACER_TEST_PICTURE names no file"},
  };
  for (const auto& [script, frames, picture, message] : bad) {
    std::string error;
    EXPECT_FALSE(ParseTestMode(script, frames, picture, error)) << message;
    EXPECT_EQ(error, message);
  }
  ScopedTempDir dir;
  WriteFile("script.txt", "UP\n");
  setenv("RACER_TEST_FRAME", "1", 1);
  setenv("RACER_TEST_PICTURE", "out.ppm", 1);
  for (const auto& [script, status, err] : {std::tuple{"script.txt", 0, ""},
                                             {"missing.txt", 2, "test mode: cannot open input script missing.txt\n"}}) {
    setenv("RACER_TEST_SCRIPT", script, 1);
    NullPlatform platform(Program::FullScreen);
    testing::internal::CaptureStderr();
    EXPECT_EQ(RunProgramOrTestMode(kFullScreenProgram, platform), status) << script;
    EXPECT_EQ(testing::internal::GetCapturedStderr(), err);
  }
  for (const char* name : {"RACER_TEST_SCRIPT", "RACER_TEST_FRAME", "RACER_TEST_PICTURE"}) unsetenv(name);
  const std::string ppm = ReadFile("out.ppm");
  EXPECT_EQ(std::pair(ppm.substr(0, 15), ppm.size()), std::pair(std::string("P6\n640 480\n255\n"), 15 + 640 * 480 * 3ul));
  EXPECT_TRUE(WritePpm("one.ppm", 1, 1, "abc") && !WritePpm("none.ppm", 0, 5, ""));  // a pixel, or nothing
}

}  // namespace
