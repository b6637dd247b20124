#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "surface_probe.h"

namespace {

using probe::Changed;
using probe::PixelSet;

constexpr std::uint32_t kGreen = 0x00FF00;

FontRequest Request(int height, const char* face = "", bool italic = false) {
  FontRequest r;
  r.height = height;
  r.faceName = face;
  r.italic = italic;
  return r;
}

PixelSet Drawn(const char* text, int x, int y, const FontRequest& request, BkMode mode = BkMode::Transparent) {
  SoftSurface s(PixelFormat::Xrgb8888);
  probe::Text(s, x, y, text, static_cast<int>(std::strlen(text)), request, mode);
  return Changed(s);
}

TEST(Text, CellsFollowTheRequestedHeight) {
  // IPA Gothic in a 20-pixel cell: a 19-pixel em, half-width characters 10
  // wide. The em height -19 gives a cell of 17 + 4.
  const struct {
    FontRequest request;
    const char* text;
    int width, height;
  } cases[] = {
      {Request(20), "ABC", 30, 20},      {Request(20), "\x82\xa0", 19, 20},  // Shift-JIS full-width kana
      {Request(20), "A\x82", 10, 20},    // a lead byte without its trail byte is skipped
      {Request(0), "", 0, 16},           {Request(18, "標準明朝"), "", 0, 18},
      {Request(-19), "", 0, 21},
  };
  for (const auto& c : cases) {
    const TextExtent e = MeasureText(c.request, c.text, static_cast<int>(std::strlen(c.text)));
    EXPECT_EQ(e.width, c.width) << c.text;
    EXPECT_EQ(e.height, c.height) << c.text;
  }
}

TEST(Text, TransparentPaintsOnlyGlyphsInsideTheCell) {
  SoftSurface s(PixelFormat::Xrgb8888);
  s.ColorFill(kGreen);
  probe::Text(s, 100, 100, "Ag", 2, Request(20), BkMode::Transparent);
  const PixelSet inked = Changed(s, kGreen);
  ASSERT_GT(inked.size(), 30u);
  int topA = 999, bottomA = -1, bottomG = -1;
  for (const auto& [x, y] : inked) {
    EXPECT_EQ(s.RgbAt(x, y), 0xC82808u);
    EXPECT_TRUE(x >= 100 && x < 120 && y >= 100 && y < 120) << x << "," << y;
    if (x < 110) topA = std::min(topA, y);
    int& bottom = x < 110 ? bottomA : bottomG;
    bottom = std::max(bottom, y);
  }
  // The baseline lies the scaled ascent, 16, below the top, at row 116. At
  // this size the hinted "A" spans 1 to 14 pixels above it, "g" hangs 2
  // below.
  EXPECT_EQ(topA, 116 - 14);
  EXPECT_EQ(bottomA, 116 - 2);
  EXPECT_EQ(bottomG, 116 + 1);
}

TEST(Text, OpaqueFillsTheCellBoxFirst) {
  for (PixelFormat format : probe::kFormats) {
    SoftSurface s(format);
    s.ColorFill(format == PixelFormat::Rgb565 ? 0x07E0 : kGreen);
    const std::uint32_t green = s.RawAt(0, 0);
    probe::Text(s, 160, 355, "GRIP 5000", 9, Request(20), BkMode::Opaque);
    const PixelSet changed = Changed(s, green);
    EXPECT_EQ(probe::Extent(changed), (std::array<int, 4>{160, 355, 160 + 90 - 1, 355 + 20 - 1}));
    EXPECT_EQ(changed.size(), 90u * 20u);
    const std::uint32_t ink = RgbFromRaw(format, RawFromColor(format, probe::kInk));
    int inked = 0;
    for (const auto& [x, y] : changed) {
      inked += s.RgbAt(x, y) == ink;
      EXPECT_TRUE(s.RgbAt(x, y) == ink || s.RgbAt(x, y) == 0xFFFFFF);
    }
    EXPECT_GT(inked, 50);
  }
}

TEST(Text, EmptyTextDrawsNothingAndTheContextComesBack) {
  SoftSurface s(PixelFormat::Rgb565);
  probe::Text(s, 10, 10, "", 0, Request(18, "標準明朝"), BkMode::Opaque);
  probe::Text(s, 10, 10, "ABC", -3, Request(18), BkMode::Opaque);
  probe::Text(s, 10, 10, nullptr, 3, Request(18), BkMode::Opaque);
  EXPECT_TRUE(Changed(s).empty());
  EXPECT_FALSE(s.borrowed());
  DrawContext* dc = s.GetDC();
  EXPECT_NE(dc, nullptr);
  s.ReleaseDC(dc);
}

TEST(Text, ClipsAtEveryEdge) {
  const PixelSet home = Drawn("VELTIX RACE", 100, 100, Request(20), BkMode::Opaque);
  for (auto [x, y] : {std::pair{-30, -8}, {600, 470}, {-50, 300}}) {
    PixelSet expected;
    for (const auto& [hx, hy] : home) {
      const int px = hx + x - 100, py = hy + y - 100;
      if (px >= 0 && px < kScreenWidth && py >= 0 && py < kScreenHeight) expected.insert({px, py});
    }
    EXPECT_EQ(Drawn("VELTIX RACE", x, y, Request(20), BkMode::Opaque), expected) << x << "," << y;
  }
  EXPECT_TRUE(Drawn("VELTIX", -2000000000, 2000000000, Request(20), BkMode::Opaque).empty());
}

TEST(Text, FacesAndSlant) {
  const PixelSet gothic = Drawn("RACE", 50, 50, Request(20));
  const PixelSet mincho = Drawn("RACE", 50, 50, Request(20, "標準明朝"));
  EXPECT_EQ(Drawn("RACE", 50, 50, Request(20, "Arial")), gothic);
  EXPECT_NE(mincho, gothic);
  EXPECT_EQ(Drawn("RACE", 50, 50, Request(20, "MS Mincho")), mincho);
  EXPECT_NE(Drawn("RACE", 50, 50, Request(20, "", true)), gothic);
}

struct NoFonts : ::testing::Test {
  void TearDown() override { SetFontsDisabled(false); }
};

TEST_F(NoFonts, TextDrawsNothingAndSaysSoOnce) {
  SetFontsDisabled(true);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(FontsAvailable());
  EXPECT_TRUE(Drawn("GRIP 5000", 10, 10, Request(20), BkMode::Opaque).empty());
  EXPECT_TRUE(Drawn("MAP_DATA", 10, 10, Request(18, "標準明朝")).empty());
  EXPECT_EQ(MeasureText(Request(20), "ABC", 3).width, 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::size_t first = said.find("no font");
  EXPECT_NE(first, std::string::npos) << said;
  EXPECT_EQ(said.find("no font", first + 1), std::string::npos) << said;

  SetFontsDisabled(false);
  EXPECT_FALSE(Drawn("GRIP", 10, 10, Request(20)).empty());
}

}  // namespace
