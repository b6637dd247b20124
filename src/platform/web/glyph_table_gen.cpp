// Writes the page's glyph table (glyph_table.h) to standard output: every
// ASCII glyph of the styles the view draws in, as FreeType renders them for
// the native programs.
#include <cstdio>
#include <vector>

#include "media/face_cache.h"

namespace {

// The HUD's default face at 20 pixels and DD_FontShow's Mincho at 18.
constexpr soft::FontChoice kStyles[] = {
    {soft::FaceKind::Gothic, 20, false},
    {soft::FaceKind::Mincho, 18, false},
};

const char* FaceName(soft::FaceKind face) {
  return face == soft::FaceKind::Gothic ? "soft::FaceKind::Gothic" : "soft::FaceKind::Mincho";
}

}  // namespace

int main() {
  if (!FontsAvailable()) return 1;
  soft::Faces& faces = soft::FontFileFaces();
  std::vector<soft::GlyphRun> runs;
  std::printf("// Drawn by glyph_table_gen at build time; not edited by hand.\n"
              "#include \"platform/web/glyph_table.h\"\n\n"
              "namespace web_glyphs {\n\nconst TableStyle kStyles[] = {\n");
  for (const soft::FontChoice& choice : kStyles) {
    soft::Style* style = faces.StyleFor(choice);
    if (style == nullptr) return 1;
    std::printf("  {%s, %d, %d, %d, {\n", FaceName(choice.face), choice.height, style->ascent,
                style->cellHeight);
    for (char32_t code = 0; code < 128; ++code) {
      const soft::Glyph& glyph = faces.GlyphFor(*style, code);
      std::printf("    {%d, %zu, %zu},\n", glyph.advance, runs.size(), glyph.runs.size());
      runs.insert(runs.end(), glyph.runs.begin(), glyph.runs.end());
    }
    std::printf("  }},\n");
  }
  std::printf("};\n\nconst int kStyleCount = %zu;\n\nconst soft::GlyphRun kRuns[] = {\n",
              std::size(kStyles));
  for (const soft::GlyphRun& run : runs) std::printf("  {%d, %d, %d},\n", run.dy, run.x0, run.x1);
  std::printf("};\n\n}  // namespace web_glyphs\n");
  return std::ferror(stdout) != 0 ? 1 : 0;
}
