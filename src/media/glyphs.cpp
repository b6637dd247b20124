#include "media/glyphs.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "media/cp932.h"

namespace soft {
namespace {

bool Contains(const char* haystack, const char* needle) {
  return std::strstr(haystack, needle) != nullptr;
}

}  // namespace

// Width, weight and character set are not looked at: the game only asks
// for width 0, weight 400, Shift-JIS.
FontChoice ResolveFont(const FontRequest& request) {
  FontChoice choice;
  choice.height = request.height;
  choice.italic = request.italic;
  const char* name = request.faceName != nullptr ? request.faceName : "";
  if (Contains(name, "明朝") || Contains(name, "Mincho") || Contains(name, "mincho") ||
      Contains(name, "MINCHO")) {
    choice.face = FaceKind::Mincho;
  }
  return choice;
}

TextExtent MeasureText(Faces& faces, const FontChoice& font, const char* text, int length) {
  Style* style = faces.StyleFor(font);
  if (style == nullptr) return {};
  TextExtent extent;
  extent.height = style->cellHeight;
  if (text == nullptr || length <= 0) return extent;
  for (char32_t code : DecodeCp932(text, length)) extent.width += faces.GlyphFor(*style, code).advance;
  return extent;
}

void DrawText(Faces& faces, const PaintTarget& ink, const PaintTarget* box, const FontChoice& font,
              int x, int y, const char* text, int length) {
  if (text == nullptr || length <= 0) return;
  Style* style = faces.StyleFor(font);
  if (style == nullptr) return;
  static std::vector<const Glyph*> glyphs;  // kept to spare an allocation a call
  glyphs.clear();
  std::int64_t width = 0;
  for (char32_t code : DecodeCp932(text, length)) {
    const Glyph& glyph = faces.GlyphFor(*style, code);
    glyphs.push_back(&glyph);
    width += glyph.advance;
  }
  if (box != nullptr) {
    FillRect(*box, x, y, x + width, static_cast<std::int64_t>(y) + style->cellHeight);
  }
  std::int64_t pen = x;
  const std::int64_t baseline = static_cast<std::int64_t>(y) + style->ascent;
  for (const Glyph* glyph : glyphs) {
    for (const GlyphRun& run : glyph->runs) {
      FillSpan(ink, baseline + run.dy, pen + run.x0, pen + run.x1);
    }
    pen += glyph->advance;
  }
}

}  // namespace soft

TextExtent MeasureText(const FontRequest& request, const char* text, int length, soft::Faces& faces) {
  return soft::MeasureText(faces, soft::ResolveFont(request), text, length);
}

