// The message box's picture: UTF-8 read right, every message of the game
// laid out whole within the widest box, and its ink where the layout says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/glyphs.h"
#include "media/message_box.h"
#include "shell/error_report.h"

namespace {

TEST(MessageBox, DecodesUtf8) {
  const std::pair<const char*, std::u32string> cases[] = {
      {"エラー発生", U"エラー発生"},
      {"\xC3\xA9\xF0\x9F\x98\x80!", U"\u00E9\U0001F600!"},
      {"\x80" "a", U"\uFFFD" "a"},                        // stray continuation byte
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},            // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE3\x82" "a", U"\uFFFD\uFFFD" "a"},              // cut short
  };
  for (const auto& [bytes, want] : cases) EXPECT_EQ(soft::DecodeUtf8(bytes), want) << bytes;
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
    EXPECT_EQ(strayInk, 0);
    EXPECT_EQ(outside, 0);
  }
}

TEST(MessageBox, LongTextsWrapWithinTheWidestBox) {
  ASSERT_TRUE(FontsAvailable());
  const std::string twice = std::string(kSoundCreateFailed) + kSoundCreateFailed;
  const std::string word(120, 'w');
  // Text, and the lines joined with '|' (line feeds) or run together.
  const std::pair<std::string, std::u32string> cases[] = {
      {twice, soft::DecodeUtf8(twice)},
      {"one\ntwo", U"one|two"},
      {word + " x", soft::DecodeUtf8(word + " x")},
  };
  for (const auto& [text, kept] : cases) {
    SCOPED_TRACE(text);
    const soft::MessageBoxLayout layout = soft::LayoutMessageBox(text);
    EXPECT_GT(layout.lines.size(), 1u);
    EXPECT_LE(layout.width, soft::kMessageBoxMaxWidth);
    EXPECT_EQ(Joined(layout, text.find('\n') != std::string::npos ? U"|" : U""), kept);
  }
  std::string tall;  // far too many lines for the screen
  for (int i = 0; i < 40; ++i) tall += "line\n";
  EXPECT_LE(soft::LayoutMessageBox(tall).height, kScreenHeight);
}

}  // namespace
