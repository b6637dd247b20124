#include "media/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <iconv.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

namespace glyphs {
namespace {

const char* const kGothicPaths[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-gothic.ttf",
};
const char* const kMinchoPaths[] = {
    "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
    "/usr/share/fonts/truetype/fonts-japanese-mincho.ttf",
};

struct Engine {
  FT_Library library = nullptr;
  FT_Face faces[2] = {nullptr, nullptr};
  bool disabled = false;
  bool warned = false;
  std::map<std::tuple<int, int, bool, std::uint32_t>, std::unique_ptr<Glyph>> cache;
  std::map<std::tuple<int, int>, Metrics> metrics;

  Engine() {
    if (FT_Init_FreeType(&library) != 0) {
      library = nullptr;
      return;
    }
    faces[0] = Open(kGothicPaths);
    faces[1] = Open(kMinchoPaths);
    // Either face stands in for the other rather than leaving text out.
    if (faces[0] == nullptr) faces[0] = faces[1];
    if (faces[1] == nullptr) faces[1] = faces[0];
  }
  ~Engine() {
    if (faces[1] != nullptr && faces[1] != faces[0]) FT_Done_Face(faces[1]);
    if (faces[0] != nullptr) FT_Done_Face(faces[0]);
    if (library != nullptr) FT_Done_FreeType(library);
  }

  template <size_t N>
  FT_Face Open(const char* const (&paths)[N]) {
    for (const char* path : paths) {
      FT_Face face = nullptr;
      if (FT_New_Face(library, path, 0, &face) == 0) return face;
    }
    return nullptr;
  }

  FT_Face FaceOf(Face face) {
    FT_Face f = disabled ? nullptr : faces[static_cast<int>(face)];
    if (f == nullptr && !warned) {
      warned = true;
      std::fprintf(stderr, "VELTIX RACE: no font found (install fonts-ipafont-gothic); texts are not shown\n");
    }
    return f;
  }

  // Scales the face so that its Windows ascent and descent fill the cell,
  // as the platform's font mapper does for a positive height.
  bool SetCell(FT_Face f, int cellHeight, Metrics* out) {
    if (cellHeight <= 0 || cellHeight > 1000) return false;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    double ascent = f->ascender, descent = -f->descender;
    if (os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    }
    const double em = cellHeight * f->units_per_EM / (ascent + descent);
    if (FT_Set_Char_Size(f, 0, static_cast<FT_F26Dot6>(em * 64 + 0.5), 72, 72) != 0) return false;
    if (out != nullptr) {
      out->available = true;
      out->cellHeight = cellHeight;
      out->ascent = static_cast<int>(ascent * cellHeight / (ascent + descent) + 0.5);
    }
    return true;
  }
};

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

}  // namespace

Face FaceFor(const std::string& faceName) {
  const bool mincho = faceName.find("明朝") != std::string::npos || faceName.find("Mincho") != std::string::npos ||
                      faceName.find("MINCHO") != std::string::npos;
  return mincho ? Face::Mincho : Face::Gothic;
}

Metrics MetricsFor(Face face, int cellHeight) {
  Engine& e = TheEngine();
  const auto key = std::make_tuple(static_cast<int>(face), cellHeight);
  if (auto it = e.metrics.find(key); it != e.metrics.end()) return it->second;
  Metrics m;
  if (FT_Face f = e.FaceOf(face)) e.SetCell(f, cellHeight, &m);
  e.metrics[key] = m;
  return m;
}

const Glyph* GlyphFor(Face face, int cellHeight, bool italic, std::uint32_t codepoint) {
  Engine& e = TheEngine();
  const auto key = std::make_tuple(static_cast<int>(face), cellHeight, italic, codepoint);
  if (auto it = e.cache.find(key); it != e.cache.end()) return it->second.get();
  FT_Face f = e.FaceOf(face);
  std::unique_ptr<Glyph> glyph;
  if (f != nullptr && e.SetCell(f, cellHeight, nullptr)) {
    FT_Matrix shear = {0x10000, italic ? 0x3800 : 0, 0, 0x10000};
    FT_Set_Transform(f, &shear, nullptr);
    const FT_UInt index = FT_Get_Char_Index(f, codepoint);
    if (FT_Load_Glyph(f, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) == 0) {
      const FT_GlyphSlot slot = f->glyph;
      glyph = std::make_unique<Glyph>();
      glyph->left = slot->bitmap_left;
      glyph->top = slot->bitmap_top;
      glyph->width = static_cast<int>(slot->bitmap.width);
      glyph->rows = static_cast<int>(slot->bitmap.rows);
      glyph->advance = static_cast<int>((slot->advance.x + 32) >> 6);
      glyph->bits.resize(static_cast<size_t>(glyph->width) * glyph->rows);
      for (int y = 0; y < glyph->rows; ++y) {
        const unsigned char* row = slot->bitmap.buffer + y * slot->bitmap.pitch;
        for (int x = 0; x < glyph->width; ++x) {
          glyph->bits[static_cast<size_t>(y) * glyph->width + x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
        }
      }
    }
    FT_Set_Transform(f, nullptr, nullptr);
  }
  const Glyph* result = glyph.get();
  e.cache[key] = std::move(glyph);
  return result;
}

std::vector<std::uint32_t> Decode(const char* text, int length) {
  std::vector<std::uint32_t> out;
  bool ascii = true;
  for (int i = 0; i < length; ++i) ascii = ascii && static_cast<unsigned char>(text[i]) < 0x80;
  if (ascii) {
    for (int i = 0; i < length; ++i) out.push_back(static_cast<unsigned char>(text[i]));
    return out;
  }
  iconv_t cd = iconv_open("UTF-32LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return out;
  std::vector<char> input(text, text + length);
  std::vector<char> output(static_cast<size_t>(length) * 4 + 4);
  char* in = input.data();
  char* o = output.data();
  size_t inLeft = input.size(), outLeft = output.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
      ++in;  // an undecodable byte is skipped
      --inLeft;
    }
  }
  iconv_close(cd);
  for (char* p = output.data(); p + 4 <= o; p += 4) {
    std::uint32_t c;
    std::memcpy(&c, p, 4);
    out.push_back(c);
  }
  return out;
}

void Disable() {
  Engine& e = TheEngine();
  e.disabled = true;
  e.cache.clear();
  e.metrics.clear();
}

}  // namespace glyphs
