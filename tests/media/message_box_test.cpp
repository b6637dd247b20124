// The message box's picture: UTF-8 read right, every message of the game
// laid out whole within the widest box, its ink where the layout says, and
// the OK button's hit test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "media/glyphs.h"
#include "media/message_box.h"
#include "shell/error_report.h"

namespace {

using soft::BoxRect;

TEST(MessageBox, DecodesUtf8) {
  struct Case {
    const char* bytes;
    std::u32string want;
  };
  const Case cases[] = {
      {"OK", U"OK"},
      {"\xC3\xA9", U"\u00E9"},
      {"エラー発生", U"エラー発生"},
      {"\xF0\x9F\x98\x80!", U"\U0001F600!"},
      {"\x80" "a", U"\uFFFD" "a"},                   // stray continuation byte
      {"\xC0\xAF", U"\uFFFD\uFFFD"},                 // overlong '/'
      {"\xE0\x80\xAF", U"\uFFFD\uFFFD\uFFFD"},       // overlong, three bytes
      {"\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD"},       // a surrogate
      {"\xF4\x90\x80\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xE3\x82", U"\uFFFD\uFFFD"},                 // cut short at the end
      {"\xE3\x82" "a", U"\uFFFD\uFFFD" "a"},         // cut short by ASCII
  };
  for (const Case& c : cases) EXPECT_EQ(soft::DecodeUtf8(c.bytes), c.want) << c.bytes;
}

// What the layout kept of the text: its lines run together.
std::u32string Joined(const soft::MessageBoxLayout& layout, const char32_t* between = U"") {
  std::u32string all;
  for (const auto& line : layout.lines) all += (all.empty() ? U"" : between) + line;
  return all;
}

bool Inside(const BoxRect& inner, const BoxRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST(MessageBox, EveryMessageFitsWholeWithItsInkInPlace) {
  ASSERT_TRUE(FontsAvailable());
  const char* messages[] = {
      kSoundCreateFailed, kSoundCooperationFailed, kSoundStartFailed, kDisplayStartFailed,
      "フルスクリーン化できません", "解像度が変更できません",
      "プライマリィサーフェースが生成できません", "バックバッファが生成できません",
  };
  for (const char* text : messages) {
    SCOPED_TRACE(text);
    const soft::MessageBoxLayout layout = soft::LayoutMessageBox(text);
    const BoxRect box{0, 0, layout.width, layout.height};
    EXPECT_LE(layout.width, soft::kMessageBoxMaxWidth);
    EXPECT_EQ(Joined(layout), soft::DecodeUtf8(text));
    EXPECT_TRUE(Inside(layout.text, box));
    EXPECT_TRUE(Inside(layout.ok, box));
    EXPECT_GE(layout.ok.top, layout.text.bottom);

    constexpr std::uint32_t kUntouched = 0x123456;
    std::vector<std::uint32_t> pixels(kScreenWidth * kScreenHeight, kUntouched);
    soft::DrawMessageBox(layout, false, pixels.data());
    int textInk = 0;
    int strayInk = 0;
    int outside = 0;
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x) {
        const std::uint32_t pixel = pixels[y * kScreenWidth + x];
        if (!box.Contains(x, y)) {
          outside += pixel != kUntouched;
        } else if (pixel == 0) {
          textInk += layout.text.Contains(x, y);
          strayInk += !layout.text.Contains(x, y) && !layout.ok.Contains(x, y);
        }
      }
    }
    EXPECT_GT(textInk, 10 * static_cast<int>(soft::DecodeUtf8(text).size()));
    EXPECT_EQ(strayInk, 0);
    EXPECT_EQ(outside, 0);
  }
}

TEST(MessageBox, LongTextsWrapWithinTheWidestBox) {
  ASSERT_TRUE(FontsAvailable());
  struct Case {
    std::string text;
    std::u32string kept;  // the lines joined with '|'
  };
  const std::string japanese = std::string(kSoundCreateFailed) + kSoundCreateFailed;
  const std::string word(120, 'w');
  const Case cases[] = {
      {japanese, soft::DecodeUtf8(japanese)},
      {"one\ntwo", U"one|two"},
      {word + " x", std::u32string(word.begin(), word.end()) + U" x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const soft::MessageBoxLayout layout = soft::LayoutMessageBox(c.text);
    EXPECT_GT(layout.lines.size(), 1u);
    EXPECT_LE(layout.width, soft::kMessageBoxMaxWidth);
    std::u32string joined = Joined(layout, U"|");
    if (c.text.find('\n') == std::string::npos) std::erase(joined, U'|');
    EXPECT_EQ(joined, c.kept);
  }
  // Far too many lines for the screen: the box still fits on it.
  std::string tall;
  for (int i = 0; i < 40; ++i) tall += "line\n";
  EXPECT_LE(soft::LayoutMessageBox(tall).height, kScreenHeight);
}

TEST(MessageBox, OkButtonHitTest) {
  const BoxRect ok = soft::LayoutMessageBox(kSoundStartFailed).ok;
  ASSERT_LT(ok.left, ok.right);
  ASSERT_LT(ok.top, ok.bottom);
  struct Case {
    int x;
    int y;
    bool hit;
  };
  const int midX = (ok.left + ok.right) / 2;
  const int midY = (ok.top + ok.bottom) / 2;
  const Case cases[] = {
      {midX, midY, true},
      {ok.left, ok.top, true},
      {ok.right - 1, ok.bottom - 1, true},
      {ok.left - 1, midY, false},
      {ok.right, midY, false},
      {midX, ok.top - 1, false},
      {midX, ok.bottom, false},
  };
  for (const Case& c : cases) EXPECT_EQ(ok.Contains(c.x, c.y), c.hit) << c.x << "," << c.y;
}

}  // namespace
