// Glyphs for the software context: the Japanese gothic and mincho faces
// rasterised without anti-aliasing, cached per face, size and character.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glyphs {

enum class Face { Gothic, Mincho };

struct Glyph {
  int left = 0;     // from the pen position to the bitmap's left edge
  int top = 0;      // from the baseline up to the bitmap's top edge
  int width = 0;
  int rows = 0;
  int advance = 0;  // whole pixels
  std::vector<std::uint8_t> bits;  // one byte per pixel, 1 where inked
};

// A face at a cell height (ascent plus descent) in pixels.
struct Metrics {
  bool available = false;
  int ascent = 0;
  int cellHeight = 0;
};

Face FaceFor(const std::string& faceName);
Metrics MetricsFor(Face face, int cellHeight);
// Null when the face is missing or has no such character.
const Glyph* GlyphFor(Face face, int cellHeight, bool italic, std::uint32_t codepoint);

// Text bytes (ASCII, or Shift-JIS beyond it) to code points.
std::vector<std::uint32_t> Decode(const char* text, int length);

void Disable();

}  // namespace glyphs
