// The software back buffer: pixel formats, the borrowing rule, lines with
// the platform's end-point and wide-pen rules, text cells, and PNG output.
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "media/cp932.h"
#include "media/glyphs.h"
#include "media/screen_fit.h"
#include "media/soft_surface.h"
#include "support/pixels.h"
#include "support/test_support.h"

static bool refuseMincho = false;  // as on a system with only IPA Gothic installed

// FreeType's own face opener, but for the Mincho files while they are refused.
extern "C" FT_Error FT_New_Face(FT_Library library, const char* path, FT_Long index, FT_Face* face) {
  static const auto open = reinterpret_cast<decltype(&FT_New_Face)>(dlsym(RTLD_NEXT, "FT_New_Face"));
  const bool mincho = std::strstr(path, "ipam.ttf") != nullptr || std::strstr(path, "mincho") != nullptr;
  return refuseMincho && mincho ? FT_Err_Cannot_Open_Resource : open(library, path, index, face);
}

namespace {

using PixelSet = std::set<std::pair<int, int>>;

constexpr ColorRef kInk = RGBRef(200, 40, 8);
constexpr std::array<PixelFormat, 2> kFormats{PixelFormat::Rgb565, PixelFormat::Xrgb8888};

// One line with a pen of its own, as the view code draws.
void Line(SoftSurface& s, int x0, int y0, int x1, int y1, int width = 1, ColorRef color = kInk) {
  DrawContext* dc = s.GetDC();
  Pen* pen = dc->CreatePen(width, color);
  Pen* kept = dc->SelectPen(pen);
  dc->MoveTo(x0, y0);
  dc->LineTo(x1, y1);
  dc->SelectPen(kept);
  dc->DeletePen(pen);
  s.ReleaseDC(dc);
}

FontRequest Request(int height, const char* face = "", bool italic = false) {
  FontRequest r;
  r.height = height;
  r.faceName = face;
  r.italic = italic;
  return r;
}

void Text(SoftSurface& s, int x, int y, const char* text, int length, const FontRequest& request, BkMode mode) {
  DrawContext* dc = s.GetDC();
  Font* font = dc->CreateFont(request);
  Font* kept = dc->SelectFont(font);
  dc->SetBkMode(mode);
  dc->SetTextColor(kInk);
  dc->TextOut(x, y, text, length);
  dc->SelectFont(kept);
  dc->DeleteFont(font);
  s.ReleaseDC(dc);
}

// Pixels whose raw value differs from `background`.
PixelSet Changed(const SoftSurface& s, std::uint32_t background = 0) {
  PixelSet set;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      if (s.RawAt(x, y) != background) set.insert({x, y});
    }
  }
  return set;
}

PixelSet Drawn(const char* text, int x, int y, const FontRequest& request, BkMode mode = BkMode::Transparent) {
  SoftSurface s(PixelFormat::Xrgb8888);
  Text(s, x, y, text, text != nullptr ? static_cast<int>(std::strlen(text)) : 3, request, mode);
  return Changed(s);
}

// Left, top, right and bottom of the set; {0, 0, -1, -1} when empty.
std::array<int, 4> Extent(const PixelSet& set) {
  std::array<int, 4> e{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
  if (set.empty()) return {0, 0, -1, -1};
  for (const auto& [x, y] : set) e = {std::min(e[0], x), std::min(e[1], y), std::max(e[2], x), std::max(e[3], y)};
  return e;
}

TEST(Surface, FillsAndPenColoursInEachFormat) {
  const std::tuple<PixelFormat, std::uint32_t, std::uint32_t, std::uint32_t> fills[] = {
      {PixelFormat::Rgb565, 0xFFFFFF, 0xFFFF, 0xFFFFFF},  // the full-screen clear: white
      {PixelFormat::Rgb565, 0x1234F800, 0xF800, 0xFF0000},  // 565 widens by repeating top bits
      {PixelFormat::Rgb565, 0x0821, 0x0821, 0x080408},
      {PixelFormat::Rgb565, 0x8410, 0x8410, 0x848284},
      {PixelFormat::Xrgb8888, 0xAB123456, 0xAB123456, 0x123456},
  };
  for (const auto& [format, fill, raw, rgb] : fills) {
    SoftSurface s(format);
    s.ColorFill(fill);
    for (auto [x, y] : {std::pair{0, 0}, {639, 479}}) {
      EXPECT_EQ((std::array{s.RawAt(x, y), s.RgbAt(x, y)}), (std::array{raw, rgb})) << std::hex << fill;
    }
    EXPECT_EQ(s.RawAt(640, 0), 0u);
  }
  // Only the low byte of each colour component counts.
  const std::tuple<ColorRef, std::uint32_t, std::uint32_t> pens[] = {
      {RGBRef(256, 511, 511), 0x07FF, 0x00FFFF}, {RGBRef(5, 155, 255), 0x04DF, 0x059BFF},
      {RGBRef(7, 3, 7), 0x0000, 0x070307},       {RGBRef(8, 4, 8), 0x0821, 0x080408},
  };
  for (const auto& [color, raw565, raw8888] : pens) {
    SoftSurface sixteen(PixelFormat::Rgb565), desktop(PixelFormat::Xrgb8888);
    Line(sixteen, 0, 0, 2, 0, 1, color);
    Line(desktop, 0, 0, 2, 0, 1, color);
    EXPECT_EQ((std::array{sixteen.RawAt(1, 0), desktop.RawAt(1, 0)}), (std::array{raw565, raw8888}));
  }
}

TEST(Surface, OneBorrowAtATimeEachFromTheDefaults) {
  SoftSurface s(PixelFormat::Xrgb8888);
  s.ColorFill(0x00FF00);
  DrawContext* dc = s.GetDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_DEBUG_DEATH(EXPECT_EQ(s.GetDC(), nullptr), "borrowed twice");
  EXPECT_DEBUG_DEATH(s.ColorFill(0x123456), "borrowed");  // a locked surface takes no fill
  Pen* wide = dc->CreatePen(5, RGBRef(255, 0, 0));
  dc->SelectPen(wide);
  Font* big = dc->CreateFont(Request(40));
  dc->SelectFont(big);
  dc->SetBkMode(BkMode::Transparent);
  dc->MoveTo(300, 300);
  s.ReleaseDC(dc);
  EXPECT_FALSE(s.borrowed());

  // Nothing selected carries over: a one-pixel black pen from (0, 0), the
  // default font, opaque white behind black text. Selecting null keeps them.
  dc = s.GetDC();
  EXPECT_EQ((std::array<void*, 2>{dc->SelectPen(nullptr), dc->SelectFont(nullptr)}), (std::array<void*, 2>{}));
  dc->LineTo(10, 0);
  dc->TextOut(50, 50, "A", 1);
  dc->DeletePen(wide);
  dc->DeleteFont(big);
  s.ReleaseDC(dc);
  PixelSet expected;
  for (int x = 0; x < 10; ++x) expected.insert({x, 0});
  const TextExtent a = MeasureText(FontRequest{}, "A", 1);
  ASSERT_EQ(a.height, 16);
  for (int y = 50; y < 50 + a.height; ++y) {
    for (int x = 50; x < 50 + a.width; ++x) expected.insert({x, y});
  }
  EXPECT_EQ(Changed(s, 0x00FF00), expected);
  for (const auto& [x, y] : expected) EXPECT_TRUE(s.RgbAt(x, y) == 0 || s.RgbAt(x, y) == 0xFFFFFF);
}

TEST(Lines, ThinLinesPaintTheStartNeverTheEndEitherWay) {
  // Offsets from the start. Halfway points go to the smaller coordinate (up
  // for x-major lines, left for y-major) whichever way the line runs.
  const struct {
    int dx, dy;
    std::vector<std::pair<int, int>> pixels;
  } cases[] = {
      {4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},     {-4, 2, {{0, 0}, {-1, 0}, {-2, 1}, {-3, 1}}},
      {4, -2, {{0, 0}, {1, -1}, {2, -1}, {3, -2}}}, {-4, -2, {{0, 0}, {-1, -1}, {-2, -1}, {-3, -2}}},
      {2, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},     {-2, 4, {{0, 0}, {-1, 1}, {-1, 2}, {-2, 3}}},
      {2, -4, {{0, 0}, {0, -1}, {1, -2}, {1, -3}}}, {-2, -4, {{0, 0}, {-1, -1}, {-1, -2}, {-2, -3}}},
      {-3, 3, {{0, 0}, {-1, 1}, {-2, 2}}},           {0, 3, {{0, 0}, {0, 1}, {0, 2}}},
      {1, 0, {{0, 0}}},                              {0, 0, {}},
  };
  constexpr int kX = 100, kY = 50;
  for (PixelFormat format : kFormats) {
    for (const auto& c : cases) {
      PixelSet forward;
      for (const auto& [ox, oy] : c.pixels) forward.insert({kX + ox, kY + oy});
      SoftSurface a(format), b(format);
      Line(a, kX, kY, kX + c.dx, kY + c.dy);
      EXPECT_EQ(Changed(a), forward) << c.dx << "," << c.dy;
      if (!forward.empty()) {  // drawn back: the two ends swap
        forward.erase({kX, kY});
        forward.insert({kX + c.dx, kY + c.dy});
      }
      Line(b, kX + c.dx, kY + c.dy, kX, kY);
      EXPECT_EQ(Changed(b), forward) << "back " << c.dx << "," << c.dy;
    }
  }
}

TEST(Lines, FarEndsAreClippedExactly) {
  const struct {
    int x0, y0, x1, y1, count;
    std::vector<std::pair<int, int>> some;
  } cases[] = {
      {INT_MIN, 10, INT_MAX, 10, 640, {{0, 10}, {639, 10}}},
      // Halfway at x = 0 takes the upper pixel; one further on is nearer row 1.
      {-2000000000, 0, 2000000000, 1, 640, {{0, 0}, {1, 1}, {639, 1}}},
      {2000000000, 1, -2000000000, 0, 640, {{0, 0}, {1, 1}, {639, 1}}},
      {100, -2000000000, 101, 2000000000, 480, {{100, 0}, {101, 1}, {101, 479}}},
      {2000000000, -2000000000, -2000000000, 2000000000, 1, {{0, 0}}},
      {-100000, 700, 2000000000, 900, 0, {}},
      {0, -5, 0, 3, 3, {{0, 0}, {0, 2}}}, {639, 2, 639, 0, 2, {{639, 2}, {639, 1}}},  // on the left and right edges
  };
  for (const auto& c : cases) {
    SoftSurface s(PixelFormat::Rgb565);
    Line(s, c.x0, c.y0, c.x1, c.y1);
    const PixelSet painted = Changed(s);
    EXPECT_EQ(static_cast<int>(painted.size()), c.count) << c.x0 << "," << c.y0;
    for (const auto& p : c.some) EXPECT_TRUE(painted.count(p)) << p.first << "," << p.second;
  }
  // Lines running far past the screen paint what their on-screen part does.
  constexpr int kM = 2000000;
  for (int width : {1, 2, 7}) {
    SoftSurface near(PixelFormat::Xrgb8888), far(PixelFormat::Xrgb8888);
    Line(near, -50, -50, 700, 530, width);
    Line(far, -50 - 750 * kM, -50 - 580 * kM, 700 + 750 * kM, 530 + 580 * kM, width);
    EXPECT_EQ(Changed(near), Changed(far)) << width;
  }
}

TEST(Lines, WideStrokesAndDotsSpanTheirWidth) {
  const struct {
    int x0, y0, x1, y1, width;
    std::array<int, 4> extent;
    int count;
  } cases[] = {
      {100, 100, 100, 100, 8, {96, 96, 103, 103}, 4 + 6 + 8 * 4 + 6 + 4},  // the car's dot on the map
      {50, 50, 50, 50, 1, {0, 0, -1, -1}, 0},
      {50, 50, 50, 50, 2, {49, 49, 50, 50}, 4},
      {50, 50, 50, 50, 3, {49, 49, 51, 51}, 9},
      {50, 50, 50, 50, 5, {48, 48, 52, 52}, 25 - 4},
      {10, 50, 20, 50, 2, {9, 49, 20, 50}, 24},
      {20, 50, 10, 50, 2, {9, 49, 20, 50}, 24},
      {30, 10, 30, 20, 2, {29, 9, 30, 20}, 24},
      {100, 200, 140, 200, 8, {96, 196, 143, 203}, 44 + 46 + 4 * 48 + 46 + 44},
      {200, 100, 200, 140, 8, {196, 96, 203, 143}, 44 + 46 + 4 * 48 + 46 + 44},  // the same, upright
      {320, INT_MIN, 320, INT_MAX, 8, {316, 0, 323, 479}, 8 * 480},
      {-100, -100, -100, -100, 100, {0, 0, -1, -1}, 0},
  };
  for (const auto& c : cases) {
    SoftSurface s(PixelFormat::Xrgb8888);
    Line(s, c.x0, c.y0, c.x1, c.y1, c.width);
    const PixelSet painted = Changed(s);
    EXPECT_EQ(Extent(painted), c.extent) << c.x0 << "," << c.y0 << " w" << c.width;
    EXPECT_EQ(static_cast<int>(painted.size()), c.count) << c.x0 << "," << c.y0 << " w" << c.width;
  }
}

TEST(Text, CellsFollowTheRequestedHeight) {
  // IPA Gothic in a 20-pixel cell: a 19-pixel em, half-width characters 10
  // wide. An em height of -19 gives a cell of 17 + 4.
  const struct {
    FontRequest request;
    const char* text;
    int width, height;
  } cases[] = {
      {Request(20), "ABC", 30, 20},   {Request(20), "\x82\xa0", 19, 20},  // a full-width kana
      {Request(20), "A\x82", 10, 20},  // a lead byte without its trail byte is skipped
      {Request(0), "", 0, 16},        {Request(18, "標準明朝"), "", 0, 18},
      {Request(-19), "", 0, 21},
  };
  for (const auto& c : cases) {
    const TextExtent e = MeasureText(c.request, c.text, static_cast<int>(std::strlen(c.text)));
    EXPECT_EQ((std::array{e.width, e.height}), (std::array{c.width, c.height})) << c.text;
  }
}

TEST(Text, Cp932PairsSingleBytesAndLoneLeadBytes) {
  const std::pair<std::string, std::u32string> cases[] = {
      {"\x82\xa0\x82\xa2", U"あい"},
      {"\xb1\x81\x60", U"\uFF71\uFF5E"},  // half-width katakana; CP932's own wave dash
      {"\x82 A\x82", U" A"},                // lead bytes without their trail byte
      // The first and last lead and trail bytes of each range.
      {"\x81\x40\x9F\xFC\xE0\x7E\xE0\x80\xFC\x4B", U"\u3000\u6ECC\u70DD\u70D9\u9ED1"},
  };
  for (const auto& [bytes, want] : cases) {
    const std::vector<char32_t>& codes = soft::DecodeCp932(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(std::u32string(codes.begin(), codes.end()), want);
  }
}

TEST(Text, ClipsFacesEmptyTextAndNoFonts) {
  const PixelSet home = Drawn("VELTIX RACE", 100, 100, Request(20), BkMode::Opaque);
  for (auto [x, y] : {std::pair{-30, -8}, {600, 470}}) {
    PixelSet expected;
    for (const auto& [hx, hy] : home) {
      const int px = hx + x - 100, py = hy + y - 100;
      if (px >= 0 && px < kScreenWidth && py >= 0 && py < kScreenHeight) expected.insert({px, py});
    }
    EXPECT_EQ(Drawn("VELTIX RACE", x, y, Request(20), BkMode::Opaque), expected) << x << "," << y;
  }
  EXPECT_TRUE(Drawn("VELTIX", -2000000000, 2000000000, Request(20), BkMode::Opaque).empty());
  EXPECT_TRUE(Drawn("", 10, 10, Request(18, "標準明朝"), BkMode::Opaque).empty());
  EXPECT_TRUE(Drawn(nullptr, 10, 10, Request(18), BkMode::Opaque).empty());

  // Faces by name: Mincho for any name with it in, Gothic otherwise.
  const PixelSet gothic = Drawn("RACE", 50, 50, Request(20));
  const PixelSet mincho = Drawn("RACE", 50, 50, Request(20, "標準明朝"));
  EXPECT_NE(mincho, gothic);
  EXPECT_EQ(Drawn("RACE", 50, 50, Request(20, "Arial")), gothic);
  EXPECT_EQ(Drawn("RACE", 50, 50, Request(20, "MS Mincho")), mincho);
  EXPECT_NE(Drawn("RACE", 50, 50, Request(20, "", true)), gothic);

  // Without a font file text draws nothing, and standard error says so once.
  SetFontsDisabled(true);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(FontsAvailable());
  EXPECT_TRUE(Drawn("GRIP 5000", 10, 10, Request(20), BkMode::Opaque).empty());
  EXPECT_EQ(MeasureText(Request(20), "ABC", 3).width, 0);
  const std::string said = ::testing::internal::GetCapturedStderr();
  SetFontsDisabled(false);
  EXPECT_EQ(said, "no font file found (IPA Gothic ipag.ttf or IPA Mincho ipam.ttf); text will not be drawn\n");
  EXPECT_FALSE(Drawn("GRIP", 10, 10, Request(20)).empty());
}

// Without IPA Mincho its texts are drawn in Gothic, and no font is missing.
TEST(Text, GothicStandsInForAMissingMincho) {
  const PixelSet gothic = Drawn("RACE", 50, 50, Request(20));
  refuseMincho = true;
  SetFontsDisabled(false);  // the files looked for again
  ::testing::internal::CaptureStderr();
  const PixelSet mincho = Drawn("RACE", 50, 50, Request(20, "標準明朝"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  refuseMincho = false;
  SetFontsDisabled(false);
  EXPECT_EQ(mincho, gothic);
}

// The full-screen picture: the largest 4:3 that fits, centred, and the
// whole-number step below it; each back-buffer pixel a factor-sided square.
TEST(ScreenFit, LargestFourByThreeAndItsWholeStep) {
  struct Case {
    int w, h;
    std::array<int, 5> fit;  // factor, x, y, width, height
  };
  const Case cases[] = {
      {640, 480, {1, 0, 0, 640, 480}},       {1920, 1080, {2, 240, 0, 1440, 1080}},
      {1280, 1024, {2, 0, 32, 1280, 960}},   {2560, 1440, {3, 320, 0, 1920, 1440}},
      {1366, 768, {1, 171, 0, 1024, 768}},   {800, 600, {1, 0, 0, 800, 600}},
      {320, 240, {1, 0, 0, 320, 240}},       {0, 1080, {1, 0, 0, 0, 0}},     {1, 1, {1, 0, 0, 1, 1}},
  };
  for (const Case& c : cases) {
    const ScreenFit f = FitToScreen(c.w, c.h);
    EXPECT_EQ((std::array{f.factor, f.x, f.y, f.width, f.height}), c.fit) << c.w << "x" << c.h;
  }
}

// Scaled by a whole number, each pixel is a square of its own colour; the
// smooth step past it blends only where neighbours differ, so that every
// one-pixel line of the picture is equally wide on screen.
TEST(ScreenFit, WholeSquaresThenOneSmoothStep) {
  SoftSurface back(PixelFormat::Rgb565);
  back.ColorFill(back.RawOf(RGBRef(255, 255, 255)));
  for (int x = 100; x < 600; x += 7) {
    for (int y = 0; y < kScreenHeight; ++y) back.Plot(x, y, back.RawOf(RGBRef(0, 0, 0)));
  }
  back.Plot(639, 479, back.RawOf(RGBRef(255, 0, 0)));
  struct Case {
    int w, h;
    std::vector<std::array<int, 2>> at;  // columns of row 500 and their grey
  };
  const Case cases[] = {
      {1280, 1024, {{199, 255}, {200, 0}, {201, 0}, {202, 255}}},
      // 2.25: column 100 covers 224.9 to 227.2, its edges blended by cover.
      {1920, 1080, {{223, 255}, {224, 241}, {225, 14}, {226, 0}, {227, 183}, {228, 255}}},
  };
  for (const Case& c : cases) {
    const ScreenFit fit = FitToScreen(c.w, c.h);
    ScreenScaler scaler(fit);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(fit.width) * fit.height, 1);
    scaler.Scale(back, out.data(), fit.width);
    const std::uint32_t* row = &out[static_cast<std::size_t>(500 * fit.width)];
    for (const auto& [x, grey] : c.at) EXPECT_EQ(row[x] & 0xFF, static_cast<std::uint32_t>(grey)) << c.w << " column " << x;
    // Each line's darkness summed across the row: its width on screen.
    const double scale = static_cast<double>(fit.width) / kScreenWidth;
    for (int x = 100; x < 600; x += 7) {
      double width = 0;
      for (int sx = static_cast<int>((x - 1) * scale); sx < (x + 2) * scale; ++sx) width += (255 - (row[sx] & 0xFF)) / 255.0;
      EXPECT_NEAR(width, scale, 0.05) << c.w << " column " << x;
    }
    EXPECT_EQ(out.back(), 0xFF0000u) << c.w;
    EXPECT_EQ(out.front(), 0xFFFFFFu) << c.w;
  }
}

TEST(Png, RoundTripKeepsEveryPixel) {
  testing_support::ScopedTempDir dir;
  for (PixelFormat format : kFormats) {
    SoftSurface s(format);
    s.ColorFill(format == PixelFormat::Rgb565 ? 0x8410 : 0x0F0FFF);
    for (int i = 0; i < 64; ++i) Line(s, 0, i * 7, 640, i * 7 + 3, 1 + i % 3, RGBRef(i * 4, 255 - i, i * 97));
    ASSERT_TRUE(WritePng(s, "out.png"));
    EXPECT_EQ(testing_support::DifferingPixels(ReadPng("out.png"), s), 0);
    std::array<int, 2> size{};
    EXPECT_EQ(s.ReadRgb(size[0], size[1]), s.Rgb());
    EXPECT_EQ(size, (std::array{640, 480}));
  }
  SoftSurface s(PixelFormat::Rgb565);
  EXPECT_FALSE(WritePng(s, "/nonexistent-racer-dir/out.png"));
  EXPECT_FALSE(WritePng(s, nullptr));
}

}  // namespace
