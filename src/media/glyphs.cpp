#include "media/glyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace soft {
namespace {

using i64 = std::int64_t;

// What the platform picks for a font asked for with height 0: the height of
// its system font's cell at 96 dpi.
constexpr int kDefaultCellHeight = 16;
// Far taller than the screen; keeps absurd requests from building huge
// glyph bitmaps.
constexpr int kMaxHeight = 1024;
// Synthetic italic: slant x by a fifth of the height above the baseline.
constexpr FT_Fixed kItalicShear = 0x3333;

constexpr int kFaceCount = 2;

// Set pixels of one glyph row, columns from the pen position, rows from the
// baseline (negative above it).
struct Run {
  int dy;
  int x0;
  int x1;  // inclusive
};

struct Glyph {
  int advance = 0;
  std::vector<Run> runs;
};

struct Style {
  FontChoice choice;
  FT_Face face = nullptr;
  int ppem = 0;
  int ascent = 0;
  int cellHeight = 0;
  std::array<Glyph, 128> ascii;
  std::array<bool, 128> asciiLoaded{};
  std::unordered_map<char32_t, Glyph> others;
};

std::string ExecutableDir() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  std::string path(buffer, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A copy shipped beside the program first, then where Debian's IPA font
// packages put the files.
std::vector<std::string> FontCandidates(FaceKind kind) {
  const bool gothic = kind == FaceKind::Gothic;
  std::vector<std::string> paths;
  const std::string dir = ExecutableDir();
  if (!dir.empty()) paths.push_back(dir + (gothic ? "/fonts/ipag.ttf" : "/fonts/ipam.ttf"));
  if (gothic) {
    paths.emplace_back("/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf");
    paths.emplace_back("/usr/share/fonts/truetype/fonts-japanese-gothic.ttf");
  } else {
    paths.emplace_back("/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf");
    paths.emplace_back("/usr/share/fonts/truetype/fonts-japanese-mincho.ttf");
  }
  return paths;
}

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

class FontLibrary {
 public:
  static FontLibrary& Get() {
    static FontLibrary library;
    return library;
  }

  ~FontLibrary() {
    DropFaces();
    if (library_ != nullptr) FT_Done_FreeType(library_);
    if (sjis_ != reinterpret_cast<iconv_t>(-1)) iconv_close(sjis_);
  }

  bool Available() {
    Search();
    return faces_[0] != nullptr || faces_[1] != nullptr;
  }

  void SetDisabled(bool disabled) {
    DropFaces();
    disabled_ = disabled;
    searched_ = false;
  }

  // Null when there is no font to draw with.
  Style* StyleFor(const FontChoice& choice) {
    if (!Available()) return nullptr;
    for (const auto& style : styles_) {
      if (style->choice.face == choice.face && style->choice.height == choice.height &&
          style->choice.italic == choice.italic) {
        return style.get();
      }
    }
    return MakeStyle(choice);
  }

  const Glyph& GlyphFor(Style& style, char32_t code) {
    if (code < 128) {
      if (!style.asciiLoaded[code]) {
        style.ascii[code] = Render(style, code);
        style.asciiLoaded[code] = true;
      }
      return style.ascii[code];
    }
    auto found = style.others.find(code);
    if (found != style.others.end()) return found->second;
    return style.others.emplace(code, Render(style, code)).first->second;
  }

  // Bytes to characters: ASCII as is, the rest as CP932 through iconv.
  // Bytes that do not decode are skipped, as is a lead byte without its
  // trail byte.
  const std::vector<char32_t>& Decode(const char* text, int length) {
    codes_.clear();
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    int i = 0;
    while (i < length) {
      const unsigned char b = bytes[i];
      if (b < 0x80) {
        codes_.push_back(b);
        ++i;
        continue;
      }
      int size = 1;
      if (IsLeadByte(b)) {
        if (i + 1 >= length || !IsTrailByte(bytes[i + 1])) {
          ++i;
          continue;
        }
        size = 2;
      }
      char32_t code = 0;
      if (FromCp932(text + i, size, code)) codes_.push_back(code);
      i += size;
    }
    return codes_;
  }

  std::vector<const Glyph*>& GlyphScratch() { return glyphs_; }

 private:
  FontLibrary() = default;

  void Search() {
    if (searched_) return;
    searched_ = true;
    if (!disabled_) {
      if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
      if (library_ != nullptr) {
        for (int kind = 0; kind < kFaceCount; ++kind) {
          for (const std::string& path : FontCandidates(static_cast<FaceKind>(kind))) {
            FT_Face face = nullptr;
            if (FT_New_Face(library_, path.c_str(), 0, &face) == 0) {
              faces_[kind] = face;
              break;
            }
          }
        }
      }
    }
    if (faces_[0] == nullptr && faces_[1] == nullptr) {
      std::fputs("no font file found (IPA Gothic ipag.ttf or IPA Mincho ipam.ttf); "
                 "text will not be drawn\n",
                 stderr);
    }
  }

  void DropFaces() {
    styles_.clear();
    for (FT_Face& face : faces_) {
      if (face != nullptr) FT_Done_Face(face);
      face = nullptr;
    }
    sizedPpem_.fill(0);
  }

  // A missing face stands in for the other.
  int FaceIndex(FaceKind kind) const {
    const int wanted = static_cast<int>(kind);
    return faces_[wanted] != nullptr ? wanted : 1 - wanted;
  }

  // The platform's sizing: a positive height is the cell, which the font's
  // Windows ascent plus descent (OS/2 usWinAscent + usWinDescent) fills; the
  // em is scaled to match, rounded to whole pixels as TrueType hinting
  // wants, and the baseline lies the rounded scaled ascent below the cell's
  // top. A negative height is the em itself.
  Style* MakeStyle(const FontChoice& choice) {
    auto style = std::make_unique<Style>();
    style->choice = choice;
    const int index = FaceIndex(choice.face);
    FT_Face face = faces_[index];
    style->face = face;

    i64 winAscent = face->ascender;
    i64 winDescent = -static_cast<i64>(face->descender);
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 != nullptr && os2->usWinAscent + os2->usWinDescent > 0) {
      winAscent = os2->usWinAscent;
      winDescent = os2->usWinDescent;
    }
    const i64 units = std::max<i64>(face->units_per_EM, 1);
    const i64 sum = std::max<i64>(winAscent + winDescent, 1);
    const i64 height = std::clamp(choice.height == 0 ? kDefaultCellHeight : choice.height,
                                  -kMaxHeight, kMaxHeight);
    if (height > 0) {
      style->ppem = static_cast<int>((2 * height * units + sum) / (2 * sum));
      style->ascent = static_cast<int>((2 * height * winAscent + sum) / (2 * sum));
      style->cellHeight = static_cast<int>(height);
    } else {
      const i64 ppem = -height;
      style->ppem = static_cast<int>(ppem);
      style->ascent = static_cast<int>((2 * ppem * winAscent + units) / (2 * units));
      style->cellHeight =
          style->ascent + static_cast<int>((2 * ppem * winDescent + units) / (2 * units));
    }
    style->ppem = std::max(style->ppem, 1);
    styles_.push_back(std::move(style));
    return styles_.back().get();
  }

  Glyph Render(Style& style, char32_t code) {
    Glyph glyph;
    FT_Face face = style.face;
    const int index = face == faces_[0] ? 0 : 1;
    if (sizedPpem_[index] != style.ppem) {
      if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(style.ppem)) != 0) return glyph;
      sizedPpem_[index] = style.ppem;
    }
    FT_Matrix shear{0x10000, kItalicShear, 0, 0x10000};
    FT_Set_Transform(face, style.choice.italic ? &shear : nullptr, nullptr);
    const FT_UInt glyphIndex = FT_Get_Char_Index(face, code);
    if (FT_Load_Glyph(face, glyphIndex, FT_LOAD_TARGET_MONO) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0) return glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_MONO || bitmap.pitch < 0) return glyph;
    const int width = static_cast<int>(bitmap.width);
    for (int row = 0; row < static_cast<int>(bitmap.rows); ++row) {
      const unsigned char* bits = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
      int start = -1;
      for (int col = 0; col <= width; ++col) {
        const bool on = col < width && ((bits[col >> 3] >> (7 - (col & 7))) & 1) != 0;
        if (on && start < 0) start = col;
        if (!on && start >= 0) {
          glyph.runs.push_back(
              {row - slot->bitmap_top, slot->bitmap_left + start, slot->bitmap_left + col - 1});
          start = -1;
        }
      }
    }
    return glyph;
  }

  bool FromCp932(const char* bytes, int size, char32_t& code) {
    if (!sjisTried_) {
      sjisTried_ = true;
      sjis_ = iconv_open("UTF-32LE", "CP932");
    }
    if (sjis_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(sjis_, nullptr, nullptr, nullptr, nullptr);
    char in[2];
    std::memcpy(in, bytes, static_cast<std::size_t>(size));
    unsigned char out[8];
    char* inPtr = in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = static_cast<std::size_t>(size);
    std::size_t outLeft = sizeof out;
    if (iconv(sjis_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        sizeof out - outLeft != 4) {
      return false;
    }
    code = static_cast<char32_t>(out[0]) | static_cast<char32_t>(out[1]) << 8 |
           static_cast<char32_t>(out[2]) << 16 | static_cast<char32_t>(out[3]) << 24;
    return true;
  }

  FT_Library library_ = nullptr;
  std::array<FT_Face, kFaceCount> faces_{};
  std::array<int, kFaceCount> sizedPpem_{};
  bool searched_ = false;
  bool disabled_ = false;
  std::vector<std::unique_ptr<Style>> styles_;
  iconv_t sjis_ = reinterpret_cast<iconv_t>(-1);
  bool sjisTried_ = false;
  std::vector<char32_t> codes_;
  std::vector<const Glyph*> glyphs_;
};

bool Contains(const char* haystack, const char* needle) {
  return std::strstr(haystack, needle) != nullptr;
}

}  // namespace

// Faces by name: anything with Mincho in it is IPA Mincho, the rest
// (the empty default included) IPA Gothic. Width, weight and character set
// are not looked at: the game only asks for width 0, weight 400, Shift-JIS.
FontChoice ResolveFont(const FontRequest& request) {
  FontChoice choice;
  choice.height = request.height;
  choice.italic = request.italic;
  const char* name = request.faceName != nullptr ? request.faceName : "";
  if (Contains(name, "明朝") || Contains(name, "Mincho") || Contains(name, "mincho") ||
      Contains(name, "MINCHO")) {
    choice.face = FaceKind::Mincho;
  }
  return choice;
}

TextExtent MeasureText(const FontChoice& font, const char* text, int length) {
  FontLibrary& library = FontLibrary::Get();
  Style* style = library.StyleFor(font);
  if (style == nullptr) return {};
  TextExtent extent;
  extent.height = style->cellHeight;
  if (text == nullptr || length <= 0) return extent;
  for (char32_t code : library.Decode(text, length)) {
    extent.width += library.GlyphFor(*style, code).advance;
  }
  return extent;
}

void DrawText(const PaintTarget& ink, const PaintTarget* box, const FontChoice& font, int x, int y,
              const char* text, int length) {
  if (text == nullptr || length <= 0) return;
  FontLibrary& library = FontLibrary::Get();
  Style* style = library.StyleFor(font);
  if (style == nullptr) return;
  std::vector<const Glyph*>& glyphs = library.GlyphScratch();
  glyphs.clear();
  i64 width = 0;
  for (char32_t code : library.Decode(text, length)) {
    const Glyph& glyph = library.GlyphFor(*style, code);
    glyphs.push_back(&glyph);
    width += glyph.advance;
  }
  if (box != nullptr) FillRect(*box, x, y, x + width, static_cast<i64>(y) + style->cellHeight);
  i64 pen = x;
  const i64 baseline = static_cast<i64>(y) + style->ascent;
  for (const Glyph* glyph : glyphs) {
    for (const Run& run : glyph->runs) FillSpan(ink, baseline + run.dy, pen + run.x0, pen + run.x1);
    pen += glyph->advance;
  }
}

}  // namespace soft

TextExtent MeasureText(const FontRequest& request, const char* text, int length) {
  return soft::MeasureText(soft::ResolveFont(request), text, length);
}

bool FontsAvailable() {
  return soft::FontLibrary::Get().Available();
}

void SetFontsDisabled(bool disabled) { soft::FontLibrary::Get().SetDisabled(disabled); }

void DisableFontsForTesting() { SetFontsDisabled(true); }
