// The text call of the software back buffer: monochrome glyphs through
// FreeType, placed by the platform's cell-height rule.
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
TextExtent MeasureText(const FontRequest& request, const char* text, int length);

// True when text can be drawn: a font file was found and fonts are not
// disabled. The files are looked for on first use.
bool FontsAvailable();

// Makes text behave as if no font file existed (true), or look for the files
// again (false). Drops every cached glyph; fonts created before the call
// must not be drawn with after it.
void SetFontsDisabled(bool disabled);

namespace soft {

// Faces by name: anything with Mincho in it is IPA Mincho, the rest (the
// empty default included) IPA Gothic.
FontChoice ResolveFont(const FontRequest& request);

TextExtent MeasureText(const FontChoice& font, const char* text, int length);

// Draws `length` bytes of `text` with the cell's top-left at (x, y): first,
// when `box` is given, the cell box in its raw value, then the glyphs.
void DrawText(const PaintTarget& ink, const PaintTarget* box, const FontChoice& font, int x, int y,
              const char* text, int length);

}  // namespace soft
