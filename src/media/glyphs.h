// The text call of the software back buffer: monochrome glyphs through
// FreeType, placed by the platform's cell-height rule.
#pragma once

#include "media/face_cache.h"
#include "media/soft_raster.h"
#include "media/soft_surface.h"
#include "platform_api.h"

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
