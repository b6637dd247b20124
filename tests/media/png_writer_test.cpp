#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "surface_probe.h"

namespace {

TEST(Png, RoundTripKeepsEveryPixel) {
  const std::string path =
      (std::filesystem::temp_directory_path() / ("racer_png_" + std::to_string(getpid()) + ".png")).string();
  for (PixelFormat format : probe::kFormats) {
    SoftSurface s(format);
    s.ColorFill(format == PixelFormat::Rgb565 ? 0x8410 : 0x0F0FFF);
    for (int i = 0; i < 64; ++i) probe::Line(s, 0, i * 7, 640, i * 7 + 3, 1 + i % 3, RGBRef(i * 4, 255 - i, i * 97));
    ASSERT_TRUE(WritePng(s, path.c_str()));

    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 480u);
    int mismatches = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) {
        const std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kScreenWidth + x) * 3];
        mismatches += (std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2]) != s.RgbAt(x, y);
      }
    }
    EXPECT_EQ(mismatches, 0);
  }
  std::filesystem::remove(path);
}

TEST(Png, UnwritablePathFails) {
  SoftSurface s(PixelFormat::Rgb565);
  EXPECT_FALSE(WritePng(s, "/nonexistent-racer-dir/out.png"));
  EXPECT_FALSE(WritePng(s, nullptr));
}

}  // namespace
