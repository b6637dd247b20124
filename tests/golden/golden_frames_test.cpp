// Whole frames of scripted runs with the shipped settings and course, drawn
// into the back buffer exactly as the programs draw them. Each picture is
// held by a checksum of its pixels here and by a PNG beside the scripts, so
// that a change to any pixel shows in the test and a reviewer can look at
// what the game shows.
//
// To accept new pictures after a deliberate change:
//   RACER_UPDATE_GOLDEN=1 build/bin/golden_tests
// rewrites the PNGs in tests/golden/ and prints the checksums to put below.
#include <gtest/gtest.h>
#include <png.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "support/test_support.h"

namespace {

const std::filesystem::path kGoldenDir = RACER_GOLDEN_DIR;
const std::filesystem::path kDataDir = RACER_DATA_DIR;

struct Golden {
  const char* name;  // script NAME.txt, picture NAME.png
  long long frames;
  Program program;
  std::uint64_t checksum;
};

// The frames whose pictures the game is held to.
const Golden kGoldens[] = {
    {"start", 1, Program::Windowed, 0x1f5da7b5bf5a9388ULL},
    {"ghost_ahead", 1200, Program::Windowed, 0x17f7483d9555af49ULL},
    {"debug_map", 330, Program::Windowed, 0xb9399db38b28cc40ULL},
    {"debug_map_fullscreen", 330, Program::FullScreen, 0xd45951a86fff6076ULL},
    {"slow_help", 40, Program::Windowed, 0x4a7a26bcdee3b439ULL},
};

std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The script of a golden frame; the full-screen twin of a picture shares
// the windowed one's script.
std::filesystem::path ScriptOf(const std::string& name) {
  const std::string suffix = "_fullscreen";
  std::string base = name;
  if (base.size() > suffix.size() && base.ends_with(suffix)) base.resize(base.size() - suffix.size());
  return kGoldenDir / (base + ".txt");
}

// Runs the script's frames as racer_sim does and returns the last picture
// as 8-bit RGB, row by row.
std::vector<std::uint8_t> RenderFrame(const Golden& golden) {
  std::vector<ScriptFrame> frames;
  const std::string error = ReadInputScript(ScriptOf(golden.name).string(), frames);
  EXPECT_EQ(error, "") << golden.name;

  testing_support::ScopedTempDir dir;
  testing_support::WriteFile("config.txt", Slurp(kDataDir / "config.txt"));
  testing_support::WriteFile("map.txt", Slurp(kDataDir / "map.txt"));

  HeadlessGame game(golden.program);
  ScriptInput input(std::move(frames));
  for (long long frame = 1; frame <= golden.frames; ++frame) {
    input.BeginFrame(frame);
    game.Frame(input);
  }
  const SoftSurface& back = *game.back;

  std::vector<std::uint8_t> rgb;
  rgb.reserve(kScreenWidth * kScreenHeight * 3);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t c = back.RgbAt(x, y);
      rgb.push_back(static_cast<std::uint8_t>(c >> 16));
      rgb.push_back(static_cast<std::uint8_t>(c >> 8));
      rgb.push_back(static_cast<std::uint8_t>(c));
    }
  }
  if (const char* update = std::getenv("RACER_UPDATE_GOLDEN"); update != nullptr && *update != '\0') {
    const std::filesystem::path png = kGoldenDir / (std::string(golden.name) + ".png");
    EXPECT_TRUE(WritePng(back, png.c_str())) << png;
  }
  return rgb;
}

// FNV-1a, 64 bits: small, and any pixel changed changes it.
std::uint64_t Checksum(const std::vector<std::uint8_t>& bytes) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (const std::uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001b3ULL;
  }
  return h;
}

// The PNG kept in the repository, as 8-bit RGB; empty if it cannot be read.
std::vector<std::uint8_t> ReadPng(const std::filesystem::path& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const bool read = image.width == kScreenWidth && image.height == kScreenHeight &&
                    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return read ? rgb : std::vector<std::uint8_t>{};
}

int DifferingPixels(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  int n = 0;
  for (size_t i = 0; i + 2 < a.size() && i + 2 < b.size(); i += 3) {
    if (a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2]) ++n;
  }
  return n;
}

TEST(GoldenFrames, EachScriptedFrameMatchesItsChecksumAndPicture) {
  for (const Golden& golden : kGoldens) {
    SCOPED_TRACE(golden.name);
    const std::vector<std::uint8_t> rendered = RenderFrame(golden);
    const std::uint64_t sum = Checksum(rendered);
    std::printf("golden %-20s 0x%016" PRIx64 "ULL\n", golden.name, sum);
    EXPECT_EQ(sum, golden.checksum) << "checksum of the picture changed";

    const std::filesystem::path png = kGoldenDir / (std::string(golden.name) + ".png");
    const std::vector<std::uint8_t> kept = ReadPng(png);
    ASSERT_EQ(kept.size(), rendered.size()) << "cannot read " << png;
    EXPECT_EQ(DifferingPixels(kept, rendered), 0) << "pixels differ from " << png;
  }
}

// The pictures are worth keeping only if they show the game: each must hold
// both the road's black and the sky's white, and differ from the others.
TEST(GoldenFrames, ThePicturesAreDistinctScenes) {
  std::vector<std::uint64_t> sums;
  for (const Golden& golden : kGoldens) {
    SCOPED_TRACE(golden.name);
    const std::vector<std::uint8_t> rgb = ReadPng(kGoldenDir / (std::string(golden.name) + ".png"));
    ASSERT_FALSE(rgb.empty());
    // Bottom row: road; top-left corner: sky.
    const size_t bottom = (static_cast<size_t>(kScreenHeight - 1) * kScreenWidth + 630) * 3;
    EXPECT_EQ(rgb[bottom] + rgb[bottom + 1] + rgb[bottom + 2], 0);
    EXPECT_EQ(rgb[0] + rgb[1] + rgb[2], 3 * 255);
    for (const std::uint64_t other : sums) EXPECT_NE(Checksum(rgb), other);
    sums.push_back(Checksum(rgb));
  }
}

}  // namespace
