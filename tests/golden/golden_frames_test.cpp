// Whole frames of scripted runs with the shipped settings and course, drawn
// as the programs draw them, held pixel for pixel to the PNGs beside the
// scripts, so that anyone can see what the game shows.
//
// To accept new pictures after a deliberate change:
//   RACER_UPDATE_GOLDEN=1 build/bin/core_tests --gtest_filter='Golden*'
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "support/pixels.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

struct Golden {
  const char* name;    // picture NAME.png
  const char* script;  // script SCRIPT.txt
  long long frames;
  Program program;
};

const Golden kGoldens[] = {
    {"start", "start", 1, Program::Windowed},
    {"ghost_ahead", "ghost_ahead", 1200, Program::Windowed},
    {"debug_map", "debug_map", 330, Program::Windowed},
    {"debug_map_fullscreen", "debug_map", 330, Program::FullScreen},
    {"slow_help", "slow_help", 40, Program::Windowed},
};

TEST(GoldenFrames, EachScriptedFrameMatchesItsPicture) {
  const std::string dir = kTestsDir + "/golden/";
  for (const Golden& golden : kGoldens) {
    SCOPED_TRACE(golden.name);
    std::vector<ScriptFrame> frames;
    ASSERT_EQ(ReadInputScript(dir + golden.script + ".txt", frames), "");
    ScopedTempDir work;
    UseShippedFiles();
    HeadlessGame game(golden.program);
    ScriptInput input(std::move(frames));
    for (long long frame = 1; frame <= golden.frames; ++frame) {
      input.BeginFrame(frame);
      game.Frame(input);
    }
    const std::string png = dir + golden.name + ".png";
    if (const char* update = std::getenv("RACER_UPDATE_GOLDEN"); update != nullptr && *update != '\0') {
      EXPECT_TRUE(WritePng(*game.back, png.c_str())) << png;
    }
    EXPECT_EQ(DifferingPixels(ReadPng(png.c_str()), *game.back), 0) << "pixels differ from " << png;
  }
}

}  // namespace
