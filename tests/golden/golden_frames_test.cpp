// Whole frames of scripted runs with the shipped settings and course, drawn
// as the programs draw them, held pixel for pixel to the PNGs beside the
// scripts, so that a reviewer sees what the game shows.
//
// To accept new pictures after a deliberate change:
//   RACER_UPDATE_GOLDEN=1 build/bin/core_tests --gtest_filter='Golden*'
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "headless/headless_frame.h"
#include "headless/input_script.h"
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

// A picture as 0xRRGGBB a pixel; empty when the file cannot be read.
std::vector<std::uint32_t> ReadPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const bool read = image.width == kScreenWidth && image.height == kScreenHeight &&
                    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  std::vector<std::uint32_t> pixels;
  for (std::size_t i = 0; read && i < rgb.size(); i += 3) {
    pixels.push_back(std::uint32_t{rgb[i]} << 16 | std::uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
  }
  return pixels;
}

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
    const std::vector<std::uint32_t> kept = ReadPng(png);
    ASSERT_EQ(kept.size(), static_cast<std::size_t>(kScreenWidth * kScreenHeight)) << "cannot read " << png;
    int differing = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) differing += kept[y * kScreenWidth + x] != game.back->RgbAt(x, y);
    }
    EXPECT_EQ(differing, 0) << "pixels differ from " << png;
  }
}

}  // namespace
