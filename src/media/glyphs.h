// The text call of the software back buffer: monochrome glyphs of the
// faces it is handed (media/face_cache.h), placed by the platform's
// cell-height rule.
#pragma once

#include "media/face_cache.h"
#include "media/soft_raster.h"
#include "platform_api.h"

// The box TextOut fills for `length` bytes of `text` in the font `request`
// asks for: the sum of the glyph advances and the character cell's height.
// Both are 0 when there is no font to draw with.
struct TextExtent {
  int width = 0;
  int height = 0;
};
TextExtent MeasureText(const FontRequest& request, const char* text, int length,
                       soft::Faces& faces = soft::FontFileFaces());

namespace soft {

// Faces by name: anything with Mincho in it is IPA Mincho, the rest (the
// empty default included) IPA Gothic.
FontChoice ResolveFont(const FontRequest& request);

TextExtent MeasureText(Faces& faces, const FontChoice& font, const char* text, int length);

// Draws `length` bytes of `text` with the cell's top-left at (x, y): first,
// when `box` is given, the cell box in its raw value, then the glyphs.
void DrawText(Faces& faces, const PaintTarget& ink, const PaintTarget* box, const FontChoice& font,
              int x, int y, const char* text, int length);

}  // namespace soft
