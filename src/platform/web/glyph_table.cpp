// The faces of face_cache.h answered from the compiled-in table: the page
// has no font files and no FreeType.
#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

#include "platform/web/glyph_table.h"

namespace soft {
namespace {

struct TableFaces {
  bool disabled = false;
  std::vector<std::unique_ptr<Style>> styles;  // made on first use
  Glyph missing;                               // beyond ASCII: nothing drawn
  bool warned = false;
};

TableFaces& Faces() {
  static TableFaces faces;
  return faces;
}

std::unique_ptr<Style> MakeStyle(const web_glyphs::TableStyle& table) {
  auto style = std::make_unique<Style>();
  style->choice = {table.face, table.height, false};
  style->ascent = table.ascent;
  style->cellHeight = table.cellHeight;
  for (int code = 0; code < 128; ++code) {
    const web_glyphs::TableGlyph& glyph = table.ascii[code];
    style->ascii[code].advance = glyph.advance;
    style->ascii[code].runs.assign(web_glyphs::kRuns + glyph.firstRun,
                                   web_glyphs::kRuns + glyph.firstRun + glyph.runCount);
    style->asciiLoaded[code] = true;
  }
  return style;
}

}  // namespace

bool FacesAvailable() { return !Faces().disabled; }

void SetFacesDisabled(bool disabled) {
  Faces().disabled = disabled;
  Faces().styles.clear();
}

Style* StyleFor(const FontChoice& choice) {
  TableFaces& faces = Faces();
  if (faces.disabled) return nullptr;
  for (const auto& style : faces.styles) {
    if (style->choice == choice) return style.get();
  }
  for (int i = 0; i < web_glyphs::kStyleCount; ++i) {
    const web_glyphs::TableStyle& table = web_glyphs::kStyles[i];
    if (table.face == choice.face && table.height == choice.height && !choice.italic) {
      faces.styles.push_back(MakeStyle(table));
      return faces.styles.back().get();
    }
  }
  // A style the view did not draw in when the table was made: no text.
  if (std::exchange(faces.warned, true)) return nullptr;
  std::fprintf(stderr, "no glyph table for the %s face at height %d%s\n",
               choice.face == FaceKind::Gothic ? "Gothic" : "Mincho", choice.height,
               choice.italic ? ", italic" : "");
  return nullptr;
}

const Glyph& GlyphFor(Style& style, char32_t code) {
  return code < 128 ? style.ascii[code] : Faces().missing;
}

}  // namespace soft
