// Monochrome text through FreeType, sized by the platform's cell-height rule.
#pragma once

#include "media/draw_context.h"
#include "media/soft_raster.h"
#include "media/soft_surface.h"

namespace soft {

enum class FaceKind { Gothic, Mincho };

// What a Font object keeps: resolved at CreateFont, cheap to make.
struct FontChoice {
  FaceKind face = FaceKind::Gothic;
  int height = 0;  // as asked: >0 cell height, <0 em height, 0 default
  bool italic = false;
};

FontChoice ResolveFont(const FontRequest& request);

TextExtent MeasureText(const FontChoice& font, const char* text, int length);

// Draws `length` bytes of `text` with the cell's top-left at (x, y): first,
// when `box` is given, the cell box in its raw value, then the glyphs.
void DrawText(const PaintTarget& ink, const PaintTarget* box, const FontChoice& font, int x, int y,
              const char* text, int length);

}  // namespace soft
