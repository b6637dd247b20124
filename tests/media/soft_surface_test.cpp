#include <gtest/gtest.h>

#include "surface_probe.h"

namespace {

using probe::Changed;

TEST(Surface, ColorFillTakesTheRawValueOfItsFormat) {
  const struct {
    PixelFormat format;
    std::uint32_t fill, raw, rgb;
  } cases[] = {
      {PixelFormat::Rgb565, 0xFFFFFF, 0xFFFF, 0xFFFFFF},  // the full-screen clear: white
      // 565 widens by repeating each component's top bits.
      {PixelFormat::Rgb565, 0x1234F800, 0xF800, 0xFF0000},
      {PixelFormat::Rgb565, 0x07E0, 0x07E0, 0x00FF00},
      {PixelFormat::Rgb565, 0x0821, 0x0821, 0x080408},
      {PixelFormat::Rgb565, 0x8410, 0x8410, 0x848284},
      {PixelFormat::Xrgb8888, 15u * 65536 + 15u * 256 + 255, 0x0F0FFF, 0x0F0FFF},
      {PixelFormat::Xrgb8888, 0xAB123456, 0xAB123456, 0x123456},
  };
  for (const auto& c : cases) {
    SoftSurface s(c.format);
    s.ColorFill(c.fill);
    for (auto [x, y] : {std::pair{0, 0}, {639, 0}, {0, 479}, {639, 479}}) {
      EXPECT_EQ(s.RawAt(x, y), c.raw) << std::hex << c.fill;
      EXPECT_EQ(s.RgbAt(x, y), c.rgb) << std::hex << c.fill;
    }
    EXPECT_EQ(s.RawAt(640, 0), 0u);
  }
}

TEST(Surface, PenColoursUseTheLowByteOfEachComponent) {
  const struct {
    ColorRef color;
    std::uint32_t raw565, raw8888;
  } cases[] = {
      {RGBRef(256, 511, 511), 0x07FF, 0x00FFFF}, {RGBRef(5, 155, 255), 0x04DF, 0x059BFF},
      {RGBRef(7, 3, 7), 0x0000, 0x070307},       {RGBRef(8, 4, 8), 0x0821, 0x080408},
  };
  for (const auto& c : cases) {
    SoftSurface sixteen(PixelFormat::Rgb565), desktop(PixelFormat::Xrgb8888);
    sixteen.ColorFill(0x1234);
    desktop.ColorFill(0x1234);
    probe::Line(sixteen, 0, 0, 2, 0, 1, c.color);
    probe::Line(desktop, 0, 0, 2, 0, 1, c.color);
    EXPECT_EQ(sixteen.RawAt(1, 0), c.raw565) << std::hex << c.color;
    EXPECT_EQ(desktop.RawAt(1, 0), c.raw8888) << std::hex << c.color;
  }
}

TEST(Surface, OneBorrowAtATime) {
  SoftSurface s(PixelFormat::Xrgb8888);
  DrawContext* dc = s.GetDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_TRUE(s.borrowed());
  EXPECT_DEBUG_DEATH(EXPECT_EQ(s.GetDC(), nullptr), "borrowed twice");
  EXPECT_DEBUG_DEATH(
      {  // a locked surface takes no fill either
        s.ColorFill(0x123456);
        EXPECT_EQ(s.RawAt(0, 0), 0u);
      },
      "borrowed");
  s.ReleaseDC(dc);
  EXPECT_FALSE(s.borrowed());
  DrawContext* again = s.GetDC();
  EXPECT_EQ(again, dc);
  s.ReleaseDC(again);
}

TEST(Surface, EachBorrowStartsFromTheDefaults) {
  SoftSurface s(PixelFormat::Xrgb8888);
  s.ColorFill(0x00FF00);
  DrawContext* dc = s.GetDC();
  Pen* wide = dc->CreatePen(5, RGBRef(255, 0, 0));
  dc->SelectPen(wide);
  FontRequest big;
  big.height = 40;
  Font* font = dc->CreateFont(big);
  dc->SelectFont(font);
  dc->SetBkMode(BkMode::Transparent);
  dc->SetTextColor(RGBRef(255, 0, 0));
  dc->MoveTo(300, 300);
  s.ReleaseDC(dc);

  dc = s.GetDC();
  dc->LineTo(10, 0);  // from (0, 0), one pixel, black
  dc->TextOut(50, 50, "A", 1);
  dc->DeletePen(wide);
  dc->DeleteFont(font);
  s.ReleaseDC(dc);

  probe::PixelSet expected;
  for (int x = 0; x < 10; ++x) expected.insert({x, 0});
  const TextExtent a = MeasureText(FontRequest{}, "A", 1);
  ASSERT_EQ(a.height, 16);
  for (int y = 50; y < 50 + a.height; ++y)
    for (int x = 50; x < 50 + a.width; ++x) expected.insert({x, y});
  EXPECT_EQ(Changed(s, 0x00FF00), expected);
  for (const auto& [x, y] : expected) EXPECT_TRUE(s.RgbAt(x, y) == 0 || s.RgbAt(x, y) == 0xFFFFFF);
}

}  // namespace
