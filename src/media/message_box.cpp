#include "media/message_box.h"

#include <algorithm>

#include "media/face_cache.h"

namespace soft {

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int length = 0;
    char32_t code = 0;
    char32_t least = 0;  // below this the form is overlong
    if (lead < 0x80) {
      length = 1;
      code = lead;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      length = 2;
      code = lead & 0x1F;
      least = 0x80;
    } else if (lead >= 0xE0 && lead < 0xF0) {
      length = 3;
      code = lead & 0x0F;
      least = 0x800;
    } else if (lead >= 0xF0 && lead < 0xF5) {
      length = 4;
      code = lead & 0x07;
      least = 0x10000;
    }
    bool good = length > 0 && i + length <= text.size();
    for (int k = 1; good && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      good = (next & 0xC0) == 0x80;
      code = code << 6 | (next & 0x3F);
    }
    good = good && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code < 0xE000);
    out.push_back(good ? code : U'\uFFFD');
    i += good ? length : 1;
  }
  return out;
}

namespace {

// A cell of 20 pixels reads well on today's screens; the game's own texts
// are smaller, but they are not the ones a player has to read at once.
constexpr int kCellHeight = 20;
constexpr int kLineGap = 4;
constexpr int kMargin = 24;  // around the text, and between it and the band
constexpr int kBandPadding = 12;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 30;
// Narrower than this a box looks like a stray button.
constexpr int kMinWidth = 240;
constexpr int kMaxTextWidth = kMessageBoxMaxWidth - 2 * kMargin;
static_assert(kMessageBoxMaxWidth <= kScreenWidth, "the box is drawn on a screen-sized canvas");

constexpr ColorRef kPanel = RGBRef(255, 255, 255);
constexpr ColorRef kBand = RGBRef(240, 240, 240);
constexpr ColorRef kFrame = RGBRef(160, 160, 160);
constexpr ColorRef kInk = RGBRef(0, 0, 0);
constexpr ColorRef kButtonFace = RGBRef(225, 225, 225);
constexpr ColorRef kButtonHeld = RGBRef(204, 228, 247);
// The blue edge marks OK as the button Enter answers.
constexpr ColorRef kDefaultEdge = RGBRef(0, 120, 215);
constexpr ColorRef kHeldEdge = RGBRef(0, 84, 153);

// The box is the desktop's: it draws with the font files' faces.
Style* BoxStyle() { return FontFileFaces().StyleFor(FontChoice{FaceKind::Gothic, kCellHeight, false}); }
const Glyph& GlyphFor(Style& style, char32_t code) { return FontFileFaces().GlyphFor(style, code); }

int Width(Style& style, std::u32string_view text) {
  int width = 0;
  for (char32_t code : text) width += GlyphFor(style, code).advance;
  return width;
}

// Japanese typesetting keeps these off the start of a line.
bool NoLineStart(char32_t code) {
  static constexpr std::u32string_view kClosing =
      U"、。，．・：；？！ー）」』】〕〉》ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ)]}.,:;!?";
  return kClosing.find(code) != std::u32string_view::npos;
}

// Japanese breaks between any two characters, Latin text after a space.
bool MayBreak(char32_t before, char32_t after) {
  if (after == U' ' || NoLineStart(after)) return false;
  if (before == U' ') return true;
  return before >= 0x2E80 || after >= 0x2E80;
}

void TrimEnd(std::u32string& line) {
  while (!line.empty() && line.back() == U' ') line.pop_back();
}

// Greedy: each line takes as many unbreakable pieces as fit.
void Wrap(Style& style, std::u32string_view paragraph, std::vector<std::u32string>& lines) {
  std::u32string line;
  int lineWidth = 0;
  auto newLine = [&] {
    TrimEnd(line);
    lines.push_back(std::move(line));
    line.clear();
    lineWidth = 0;
  };
  std::size_t start = 0;
  while (start < paragraph.size()) {
    std::size_t end = start + 1;
    while (end < paragraph.size() && !MayBreak(paragraph[end - 1], paragraph[end])) ++end;
    const std::u32string_view piece = paragraph.substr(start, end - start);
    std::u32string_view inked = piece;
    while (!inked.empty() && inked.back() == U' ') inked.remove_suffix(1);
    const int inkWidth = Width(style, inked);
    if (inkWidth > kMaxTextWidth) {
      // Too long for any line: cut where the line is full.
      for (char32_t code : piece) {
        const int advance = GlyphFor(style, code).advance;
        if (!line.empty() && lineWidth + advance > kMaxTextWidth) newLine();
        if (line.empty() && code == U' ') continue;
        line.push_back(code);
        lineWidth += advance;
      }
    } else {
      if (!line.empty() && lineWidth + inkWidth > kMaxTextWidth) newLine();
      line.append(piece);
      lineWidth += Width(style, piece);
    }
    start = end;
  }
  newLine();
}

void Fill(const Canvas& canvas, ColorRef color, const BoxRect& box) {
  FillRect(canvas.Target(color), box.left, box.top, box.right, box.bottom);
}

void DrawLine(Style& style, const PaintTarget& ink, int x, int y, std::u32string_view line) {
  const int baseline = y + style.ascent;
  for (char32_t code : line) {
    const Glyph& glyph = GlyphFor(style, code);
    for (const GlyphRun& run : glyph.runs) {
      FillSpan(ink, baseline + run.dy, x + run.x0, x + run.x1);
    }
    x += glyph.advance;
  }
}

}  // namespace

MessageBoxLayout LayoutMessageBox(std::string_view text) {
  MessageBoxLayout layout;
  layout.lineHeight = kCellHeight + kLineGap;
  int textWidth = 0;
  if (Style* style = BoxStyle(); style != nullptr) {
    std::u32string all = DecodeUtf8(text);
    std::erase(all, U'\r');
    std::u32string_view rest = all;
    for (;;) {
      const std::size_t feed = rest.find(U'\n');
      Wrap(*style, rest.substr(0, feed), layout.lines);
      if (feed == std::u32string_view::npos) break;
      rest.remove_prefix(feed + 1);
    }
    // Above the text, and between it and the band; the band under it.
    const int fixed = 2 * kMargin + 2 * kBandPadding + kButtonHeight - kLineGap;
    const auto fitting = static_cast<std::size_t>((kScreenHeight - fixed) / layout.lineHeight);
    if (layout.lines.size() > fitting) layout.lines.resize(fitting);
    for (const auto& line : layout.lines) textWidth = std::max(textWidth, Width(*style, line));
  }
  const int lineCount = static_cast<int>(layout.lines.size());
  const int textHeight = std::max(lineCount * layout.lineHeight - kLineGap, kCellHeight);
  layout.width = std::clamp(textWidth + 2 * kMargin, kMinWidth, kMessageBoxMaxWidth);
  const int textLeft = (layout.width - textWidth) / 2;
  layout.text = {textLeft, kMargin, textLeft + textWidth, kMargin + textHeight};
  const int buttonTop = layout.text.bottom + kMargin + kBandPadding;
  const int buttonLeft = (layout.width - kButtonWidth) / 2;
  layout.ok = {buttonLeft, buttonTop, buttonLeft + kButtonWidth, buttonTop + kButtonHeight};
  layout.height = layout.ok.bottom + kBandPadding;
  return layout;
}

void DrawMessageBox(const MessageBoxLayout& layout, bool pressed, std::uint32_t* pixels) {
  const Canvas canvas{PixelFormat::Xrgb8888, nullptr, pixels};
  const int width = layout.width;
  const int height = layout.height;
  const int bandTop = layout.ok.top - kBandPadding;
  Fill(canvas, kPanel, {0, 0, width, bandTop});
  Fill(canvas, kBand, {0, bandTop, width, height});
  // A frame of its own, for desktops that draw none around the window.
  for (const BoxRect& edge : {BoxRect{0, 0, width, 1}, BoxRect{0, height - 1, width, height},
                              BoxRect{0, 0, 1, height}, BoxRect{width - 1, 0, width, height}}) {
    Fill(canvas, kFrame, edge);
  }

  const BoxRect& ok = layout.ok;
  Fill(canvas, pressed ? kHeldEdge : kDefaultEdge, ok);
  Fill(canvas, pressed ? kButtonHeld : kButtonFace,
       {ok.left + 2, ok.top + 2, ok.right - 2, ok.bottom - 2});

  Style* style = BoxStyle();
  if (style == nullptr) return;
  const PaintTarget ink = canvas.Target(kInk);
  int y = layout.text.top;
  for (const auto& line : layout.lines) {
    DrawLine(*style, ink, layout.text.left, y, line);
    y += layout.lineHeight;
  }
  const std::u32string_view label = U"OK";
  DrawLine(*style, ink, ok.left + (ok.right - ok.left - Width(*style, label)) / 2,
           ok.top + (ok.bottom - ok.top - style->cellHeight) / 2, label);
}

}  // namespace soft
