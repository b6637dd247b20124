#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <filesystem>

#include "media/primitives.h"
#include "media/soft_surface.h"
#include "shell/game_state.h"

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

struct Canvas {
  SoftSurface surface{PixelFormat::Xrgb8888};
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  Canvas() {
    surface.ColorFill(kWhite);
    gs->DDBack = &surface;
  }
  int Count(std::uint32_t rgb) const {
    int n = 0;
    for (int y = 0; y < kScreenHeight; ++y)
      for (int x = 0; x < kScreenWidth; ++x) n += surface.RgbAt(x, y) == rgb;
    return n;
  }
  // Extent of the pixels of a colour: left, top, right, bottom (inclusive).
  std::array<int, 4> Extent(std::uint32_t rgb) const {
    std::array<int, 4> e{9999, 9999, -1, -1};
    for (int y = 0; y < kScreenHeight; ++y)
      for (int x = 0; x < kScreenWidth; ++x)
        if (surface.RgbAt(x, y) == rgb) e = {std::min(e[0], x), std::min(e[1], y), std::max(e[2], x), std::max(e[3], y)};
    return e;
  }
};

TEST(Lines, OnePixelLinesLeaveTheirEndPoint) {
  struct Case {
    int x1, y1, x2, y2, pixels;
  };
  const Case cases[] = {
      {10, 10, 20, 10, 10}, {20, 10, 10, 10, 10}, {10, 10, 10, 30, 20}, {10, 30, 10, 10, 20},
      {10, 10, 20, 15, 10}, {20, 15, 10, 10, 10}, {10, 10, 15, 30, 20}, {15, 30, 10, 10, 20},
      {10, 10, 20, 20, 10}, {5, 5, 5, 5, 0},
  };
  for (const Case& c : cases) {
    Canvas cv;
    DD_DrawLine(*cv.gs, c.x1, c.y1, c.x2, c.y2, 1, 0, 0, 0);
    EXPECT_EQ(cv.Count(0), c.pixels) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
    EXPECT_EQ(cv.surface.RgbAt(c.x2, c.y2), kWhite);
    if (c.pixels > 0) {
      EXPECT_EQ(cv.surface.RgbAt(c.x1, c.y1), 0u);
    }
  }
}

TEST(Lines, WidePensAndDots) {
  Canvas dot;
  DD_DrawLine(*dot.gs, 100, 100, 100, 100, 8, 5, 155, 255);
  EXPECT_EQ(dot.Extent(0x059BFF), (std::array<int, 4>{96, 96, 103, 103}));  // 8 pixels across
  Canvas two;
  DD_DrawLine(*two.gs, 100, 50, 120, 50, 2, 0, 0, 0);
  const auto e = two.Extent(0);
  EXPECT_EQ(e[1], 49);
  EXPECT_EQ(e[3], 50);  // two rows
  EXPECT_LE(e[0], 100);
  EXPECT_GE(e[2], 119);
}

TEST(Lines, ColourComponentsUseTheirLowByte) {
  Canvas cv;
  DD_DrawLine(*cv.gs, 0, 0, 10, 0, 1, 256, 511, 0x1FF);
  EXPECT_EQ(cv.surface.RgbAt(0, 0), 0x00FFFFu);
}

TEST(Lines, FarOffScreenIsClipped) {
  Canvas cv;
  DD_DrawLine(*cv.gs, -1000000000, 240, 1000000000, 240, 1, 0, 0, 0);
  EXPECT_EQ(cv.Count(0), 640);
  DD_DrawLine(*cv.gs, -1000000000, -1000000000, 1000000000, 1000000000, 1, 0, 0, 0);
  DD_DrawLine(*cv.gs, 2000000000, 5, 2000000000, 400, 3, 0, 0, 0);
  EXPECT_GE(cv.Count(0), 640 + 470);
}

TEST(Surface, FillsInBothFormats) {
  SoftSurface sixteen(PixelFormat::Rgb565);
  sixteen.ColorFill(0xFFFFFF);
  EXPECT_EQ(sixteen.RawAt(0, 0), 0xFFFFu);
  EXPECT_EQ(sixteen.RgbAt(639, 479), 0xFFFFFFu);
  SoftSurface desktop(PixelFormat::Xrgb8888);
  desktop.ColorFill(15u * 65536 + 15u * 256 + 255);
  EXPECT_EQ(desktop.RgbAt(3, 3), 0x0F0FFFu);
  // 565 widening: pure red and a mid green.
  sixteen.ColorFill(0xF800);
  EXPECT_EQ(sixteen.RgbAt(1, 1), 0xFF0000u);
  sixteen.ColorFill(0x0400);  // green 32 of 63
  EXPECT_EQ(sixteen.RgbAt(1, 1), 0x008200u);
}

TEST(Surface, OneBorrowAtATime) {
  SoftSurface s(PixelFormat::Xrgb8888);
  DrawContext* dc = s.GetDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(s.borrowed());
  EXPECT_DEBUG_DEATH(EXPECT_EQ(s.GetDC(), nullptr), "borrowed twice");
  s.ReleaseDC(dc);
  EXPECT_FALSE(s.borrowed());
  DrawContext* again = s.GetDC();
  EXPECT_NE(again, nullptr);
  s.ReleaseDC(again);
}

TEST(Text, OpaqueBoxTransparentGlyphsAndEmpty) {
  Canvas empty;
  empty.surface.ColorFill(0);
  DD_FontShow(*empty.gs, "", 18, 10, 10, 255, 255, 255, false);
  EXPECT_EQ(empty.Count(0), 640 * 480);
  EXPECT_FALSE(empty.surface.borrowed());

  // Transparent: on black, only glyph pixels change.
  Canvas clear;
  clear.surface.ColorFill(0);
  DD_FontShow(*clear.gs, "MAP_DATA", 18, 100, 100, 5, 155, 255, false);
  const int inked = 640 * 480 - clear.Count(0);
  EXPECT_GT(inked, 30);
  EXPECT_EQ(clear.Count(0x059BFF), inked);
  const auto e = clear.Extent(0x059BFF);
  EXPECT_GE(e[0], 100);
  EXPECT_GE(e[1], 100);
  EXPECT_LT(e[3], 118);

  // Opaque: a white box from the text's top-left, one cell high.
  SoftSurface s(PixelFormat::Xrgb8888);
  s.ColorFill(0);
  DrawContext* dc = s.GetDC();
  FontRequest request;
  request.height = 20;
  Font* font = dc->CreateFont(request);
  Font* kept = dc->SelectFont(font);
  dc->SetBkMode(BkMode::Opaque);
  dc->TextOut(160, 355, "GRIP 5000", 9);
  dc->SelectFont(kept);
  dc->DeleteFont(font);
  s.ReleaseDC(dc);
  EXPECT_EQ(s.RgbAt(160, 355), kWhite);
  EXPECT_EQ(s.RgbAt(159, 355), 0u);
  EXPECT_EQ(s.RgbAt(160, 354), 0u);
  EXPECT_EQ(s.RgbAt(160, 374), kWhite);
  EXPECT_EQ(s.RgbAt(160, 375), 0u);
}

TEST(Picture, PngRoundTrip) {
  SoftSurface s(PixelFormat::Rgb565);
  s.ColorFill(0xFFFFFF);
  auto gs = std::make_unique<GameState>();
  gs->DDBack = &s;
  DD_DrawLine(*gs, 0, 0, 640, 0, 1, 255, 0, 0);
  DD_DrawLine(*gs, 0, 479, 640, 479, 1, 0, 0, 255);
  const std::string path = std::filesystem::temp_directory_path() / "racer_png_round_trip.png";
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
  for (int y : {0, 240, 479}) {
    for (int x : {0, 333, 639}) {
      const std::uint8_t* p = &rgb[(static_cast<size_t>(y) * 640 + x) * 3];
      EXPECT_EQ((std::uint32_t{p[0]} << 16) | (p[1] << 8) | p[2], s.RgbAt(x, y)) << x << "," << y;
    }
  }
  std::filesystem::remove(path);
}

}  // namespace
