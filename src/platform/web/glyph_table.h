// The glyphs of the game's texts as a table compiled into the page: the
// styles the view draws in, each ASCII glyph as runs of set pixels. The
// host build's FreeType draws it (glyph_table_gen.cpp), so the page's texts
// are the native programs' pixels. The page has no font files and no
// FreeType: its back buffer draws with TableFaces.
#pragma once

#include <memory>
#include <vector>

#include "media/face_cache.h"

namespace web_glyphs {

struct TableGlyph {
  int advance;
  int firstRun;  // into kRuns
  int runCount;
};

struct TableStyle {
  soft::FaceKind face;
  int height;  // as the view asks for it; never italic
  int ascent;
  int cellHeight;
  TableGlyph ascii[128];
};

extern const soft::GlyphRun kRuns[];
extern const TableStyle kStyles[];
extern const int kStyleCount;

// The table as faces, each style made from it on first use. Nothing is
// drawn beyond ASCII, nor in a style the table lacks.
class TableFaces final : public soft::Faces {
 public:
  soft::Style* StyleFor(const soft::FontChoice& choice) override;
  const soft::Glyph& GlyphFor(soft::Style& style, char32_t code) override;

 private:
  std::vector<std::unique_ptr<soft::Style>> styles_;
  soft::Glyph missing_;
  bool warned_ = false;
};

}  // namespace web_glyphs
