// The message box's picture: UTF-8 read right, every message of the game
// laid out whole within the widest box, its ink where the layout says, and
// one box pixel for pixel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "media/glyphs.h"
#include "media/message_box.h"
#include "shell/error_report.h"
#include "support/pixels.h"
#include "support/test_support.h"

namespace {

TEST(MessageBox, DecodesUtf8) {
  const std::pair<const char*, std::u32string> cases[] = {
      {"エラー発生", U"エラー発生"},
      {"\xC3\xA9\xF0\x9F\x98\x80!", U"\u00E9\U0001F600!"},
      {"\xC2\x80", U"\u0080"},
      {"\x81\x80\x80\x80" "a", U"\uFFFD\uFFFD\uFFFD\uFFFD" "a"},  // stray continuation bytes
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE3\x82" "a", U"\uFFFD\uFFFD" "a"},              // cut short
  };
  for (const auto& [bytes, want] : cases) EXPECT_EQ(soft::DecodeUtf8(bytes), want) << bytes;
}

template <class Text>
Text Times(const Text& text, int count) {
  Text all;
  while (count-- > 0) all += text;
  return all;
}

std::u32string Joined(const soft::MessageBoxLayout& layout, std::u32string between = U"") {
  std::u32string all;
  for (const auto& line : layout.lines) all += (all.empty() ? U"" : between) + line;
  return all;
}

TEST(MessageBox, EveryMessageFitsWholeWithItsInkInPlace) {
  ASSERT_TRUE(FontsAvailable());
  for (const char* text : {kSoundCreateFailed, kSoundCooperationFailed, kSoundStartFailed,
                           kDisplayStartFailed, kFullScreenFailed, kDisplayModeFailed, kPrimarySurfaceFailed,
                           kBackBufferFailed}) {
    SCOPED_TRACE(text);
    const soft::MessageBoxLayout layout = soft::LayoutMessageBox(text);
    const soft::BoxRect box{0, 0, layout.width, layout.height};
    EXPECT_LE(layout.width, soft::kMessageBoxMaxWidth);
    EXPECT_EQ(layout.text.left, 24);  // every message is wider than the narrowest box's text
    EXPECT_EQ(Joined(layout), soft::DecodeUtf8(text));
    EXPECT_GE(layout.ok.top, layout.text.bottom);
    EXPECT_LE(layout.ok.bottom, layout.height);

    // Black is the ink: the text's within its area, the label's on OK.
    constexpr std::uint32_t kUntouched = 0x123456;
    std::vector<std::uint32_t> pixels(kScreenWidth * kScreenHeight, kUntouched);
    soft::DrawMessageBox(layout, false, pixels.data());
    int textInk = 0, strayInk = 0, outside = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) {
        const std::uint32_t pixel = pixels[y * kScreenWidth + x];
        const bool inText = layout.text.Contains(x, y);
        outside += !box.Contains(x, y) && pixel != kUntouched;
        textInk += pixel == 0 && inText;
        strayInk += pixel == 0 && !inText && !layout.ok.Contains(x, y);
      }
    }
    EXPECT_GT(textInk, 10 * static_cast<int>(soft::DecodeUtf8(text).size()));
    EXPECT_EQ(std::pair(strayInk, outside), std::pair(0, 0));  // ink nowhere else, nothing outside the box
  }
}

TEST(MessageBox, LongTextsWrapWithinTheWidestBox) {
  ASSERT_TRUE(FontsAvailable());
  const std::u32string sound = soft::DecodeUtf8(kSoundCreateFailed);
  const std::u32string w56(56, U'w');
  // Text, and its lines joined with '|'. A line holds 560 pixels: 56
  // half-width characters or 29 full-width ones.
  const std::pair<std::string, std::u32string> cases[] = {
      {std::string(kSoundCreateFailed) + kSoundCreateFailed, sound + U"|" + sound},
      {"one\ntwo", U"one|two"},
      {std::string(120, 'w') + " x", w56 + U"|" + w56 + U"|wwwwwwww x"},
      {Times<std::string>("ab ", 19) + Times<std::string>("abcd ", 14),  // the first line just full
       Times<std::u32string>(U"ab ", 18) + U"ab|" + Times<std::u32string>(U"abcd ", 10) + U"abcd|abcd abcd abcd"},
      {Times<std::string>("あ", 29) + "。", Times<std::u32string>(U"あ", 28) + U"|あ。"},  // no line starts with 。
  };
  for (const auto& [text, lines] : cases) {
    SCOPED_TRACE(text);
    const soft::MessageBoxLayout layout = soft::LayoutMessageBox(text);
    EXPECT_LE(layout.width, soft::kMessageBoxMaxWidth);
    EXPECT_EQ(Joined(layout, U"|"), lines);
  }
  // Far too many lines for the screen: as many as fit it, and one more would not.
  const soft::MessageBoxLayout full = soft::LayoutMessageBox(Times<std::string>("line\n", 40));
  EXPECT_LE(full.height, kScreenHeight);
  EXPECT_GT(full.height + full.lineHeight, kScreenHeight);
}

// The whole picture, OK as it first shows and below it held down, pixel for
// pixel as tests/golden/message_box.png. To accept a deliberate change:
//   RACER_UPDATE_GOLDEN=1 build/bin/media_tests --gtest_filter='MessageBox*'
TEST(MessageBox, PictureMatchesItsGolden) {
  ASSERT_TRUE(FontsAvailable());
  const soft::MessageBoxLayout layout = soft::LayoutMessageBox("VELTIX RACE\nエラー発生");
  std::vector<std::uint32_t> pixels(2 * kScreenWidth * kScreenHeight, 0x404040);
  soft::DrawMessageBox(layout, false, pixels.data());
  soft::DrawMessageBox(layout, true, pixels.data() + (layout.height + 8) * kScreenWidth);
  SoftSurface picture(PixelFormat::Xrgb8888);
  for (int i = 0; i < kScreenWidth * kScreenHeight; ++i) picture.Plot(i % kScreenWidth, i / kScreenWidth, pixels[i]);
  const std::string png = testing_support::kTestsDir + "/golden/message_box.png";
  if (const char* update = std::getenv("RACER_UPDATE_GOLDEN"); update != nullptr && *update != '\0') {
    EXPECT_TRUE(WritePng(picture, png.c_str())) << png;
  }
  EXPECT_EQ(testing_support::DifferingPixels(ReadPng(png.c_str()), picture), 0) << "pixels differ from " << png;
}

}  // namespace
