#include "media/face_cache.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

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

class FaceCache final : public Faces {
 public:
  static FaceCache& Get() {
    static FaceCache cache;
    return cache;
  }

  ~FaceCache() {
    DropFaces();
    if (library_ != nullptr) FT_Done_FreeType(library_);
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

  Style* StyleFor(const FontChoice& choice) override {
    if (!Available()) return nullptr;
    for (const auto& style : styles_) {
      if (style->choice == choice) return style.get();
    }
    return MakeStyle(choice);
  }

  const Glyph& GlyphFor(Style& style, char32_t code) override {
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

 private:
  FaceCache() = default;

  void Search() {
    if (searched_) return;
    searched_ = true;
    if (!disabled_) {
      if (library_ == nullptr && FT_Init_FreeType(&library_) != 0) library_ = nullptr;
      if (library_ != nullptr) {
        for (int kind = 0; kind < kFaceCount; ++kind) {
          for (const std::string& path : FontFileCandidates(static_cast<FaceKind>(kind))) {
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

  FT_Library library_ = nullptr;
  std::array<FT_Face, kFaceCount> faces_{};
  std::array<int, kFaceCount> sizedPpem_{};
  bool searched_ = false;
  bool disabled_ = false;
  std::vector<std::unique_ptr<Style>> styles_;
};

}  // namespace

Faces& FontFileFaces() { return FaceCache::Get(); }

}  // namespace soft

bool FontsAvailable() { return soft::FaceCache::Get().Available(); }

void SetFontsDisabled(bool disabled) { soft::FaceCache::Get().SetDisabled(disabled); }
