#include "platform/web/glyph_table.h"

#include <cstdio>
#include <utility>

namespace web_glyphs {
namespace {

std::unique_ptr<soft::Style> MakeStyle(const TableStyle& table) {
  auto style = std::make_unique<soft::Style>();
  style->choice = {table.face, table.height, false};
  style->ascent = table.ascent;
  style->cellHeight = table.cellHeight;
  for (int code = 0; code < 128; ++code) {
    const TableGlyph& glyph = table.ascii[code];
    style->ascii[code].advance = glyph.advance;
    style->ascii[code].runs.assign(kRuns + glyph.firstRun, kRuns + glyph.firstRun + glyph.runCount);
    style->asciiLoaded[code] = true;
  }
  return style;
}

}  // namespace

soft::Style* TableFaces::StyleFor(const soft::FontChoice& choice) {
  for (const auto& style : styles_) {
    if (style->choice == choice) return style.get();
  }
  for (int i = 0; i < kStyleCount; ++i) {
    const TableStyle& table = kStyles[i];
    if (table.face == choice.face && table.height == choice.height && !choice.italic) {
      styles_.push_back(MakeStyle(table));
      return styles_.back().get();
    }
  }
  // A style the view did not draw in when the table was made: no text.
  if (std::exchange(warned_, true)) return nullptr;
  std::fprintf(stderr, "no glyph table for the %s face at height %d%s\n",
               choice.face == soft::FaceKind::Gothic ? "Gothic" : "Mincho", choice.height,
               choice.italic ? ", italic" : "");
  return nullptr;
}

const soft::Glyph& TableFaces::GlyphFor(soft::Style& style, char32_t code) {
  return code < 128 ? style.ascii[code] : missing_;
}

}  // namespace web_glyphs
