// The game's texts are code page 932 (Shift-JIS) bytes; the glyphs are
// looked up by Unicode code point.
#pragma once

#include <vector>

namespace soft {

// Bytes to characters: ASCII as is, the rest as CP932 through iconv. Bytes
// that do not decode are skipped, as is a lead byte without its trail byte.
// The result lives until the next call.
const std::vector<char32_t>& DecodeCp932(const char* text, int length);

}  // namespace soft
