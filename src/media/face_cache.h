// The faces of the game's texts: every size asked for with its metrics and
// the glyphs rendered so far. The font files' faces are opened on first use
// and rendered with FreeType (face_cache.cpp), kept for the life of the
// program; the page, which has neither, takes the few styles the game draws
// from a table they drew at build time (platform/web/glyph_table.h). Whoever
// makes a software back buffer hands it the faces it draws with.
#pragma once

#include <array>
#include <memory>
#include <unordered_map>
#include <vector>

#include "media/font_files.h"

struct FT_FaceRec_;

namespace soft {

// What a Font object keeps: resolved at CreateFont, cheap to make.
struct FontChoice {
  FaceKind face = FaceKind::Gothic;
  int height = 0;  // as asked: >0 cell height, <0 em height, 0 default
  bool italic = false;
  bool operator==(const FontChoice&) const = default;
};

// Set pixels of one glyph row, columns from the pen position, rows from the
// baseline (negative above it).
struct GlyphRun {
  int dy;
  int x0;
  int x1;  // inclusive
};

struct Glyph {
  int advance = 0;
  std::vector<GlyphRun> runs;
};

// A face at one size.
struct Style {
  FontChoice choice;
  FT_FaceRec_* face = nullptr;  // none in the table's styles
  int ppem = 0;
  int ascent = 0;      // the baseline's distance below the cell's top
  int cellHeight = 0;
  std::array<Glyph, 128> ascii;
  std::array<bool, 128> asciiLoaded{};
  std::unordered_map<char32_t, Glyph> others;
};

// Where a back buffer's text takes its styles and glyphs from.
class Faces {
 public:
  // The style of a choice, made on first use; null when there is no face.
  virtual Style* StyleFor(const FontChoice& choice) = 0;
  // A glyph of the style, rendered on first use.
  virtual const Glyph& GlyphFor(Style& style, char32_t code) = 0;

 protected:
  ~Faces() = default;
};

// The font files' faces, for the life of the program.
Faces& FontFileFaces();

}  // namespace soft

// True when text can be drawn with the font files' faces: a face file was
// found and fonts are not disabled. The files are looked for on first use;
// when none is there, standard error says so once.
bool FontsAvailable();

// Makes the font files' faces behave as if no file existed (true), or look
// for the files again (false). Drops every style and glyph; fonts created
// before the call must not be drawn with after it.
void SetFontsDisabled(bool disabled);
