// The glyphs of the game's texts as a table compiled into the page: the
// styles the view draws in, each ASCII glyph as runs of set pixels. The
// host build's FreeType draws it (glyph_table_gen.cpp), so the page's texts
// are the native programs' pixels.
#pragma once

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

}  // namespace web_glyphs
