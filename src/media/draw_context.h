// The drawing services the view code relies on, in platform-neutral form.
// The software back buffer implements them for the SDL programs, racer_sim
// and the tests; a GDI implementation can sit behind the same calls.
#pragma once

#include <cstdint>

// Colour reference: red in the lowest byte, green in the next, blue in the third.
using ColorRef = std::uint32_t;

constexpr ColorRef RGBRef(int red, int green, int blue) {
  return static_cast<ColorRef>(red & 0xFF) |
         (static_cast<ColorRef>(green & 0xFF) << 8) |
         (static_cast<ColorRef>(blue & 0xFF) << 16);
}

struct Pen;   // opaque: made by DrawContext::CreatePen
struct Font;  // opaque: made by DrawContext::CreateFont

// What a font is asked for by. A height above zero is the character cell's
// height in pixels. An empty face name means the platform's default face.
struct FontRequest {
  int height = 0;
  int width = 0;
  int weight = 400;
  bool italic = false;
  int charSet = 128;       // Shift-JIS
  const char* faceName = "";  // UTF-8
};

enum class BkMode { Transparent = 1, Opaque = 2 };

// A borrowed drawing context of a surface. Pens and fonts are created,
// selected and deleted by the caller, as with GDI; Select returns what was
// selected before so the caller can put it back.
class DrawContext {
 public:
  virtual Pen* CreatePen(int width, ColorRef color) = 0;  // solid
  virtual Pen* SelectPen(Pen* pen) = 0;
  virtual void DeletePen(Pen* pen) = 0;

  virtual Font* CreateFont(const FontRequest& request) = 0;
  virtual Font* SelectFont(Font* font) = 0;
  virtual void DeleteFont(Font* font) = 0;

  virtual void SetBkMode(BkMode mode) = 0;
  virtual void SetTextColor(ColorRef color) = 0;

  // Lines with the selected pen. A one-pixel pen never paints the end point;
  // a wider pen paints a round-ended stroke of its width.
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;

  // Text at its top-left corner, `length` bytes of Shift-JIS or ASCII.
  virtual void TextOut(int x, int y, const char* text, int length) = 0;

 protected:
  ~DrawContext() = default;
};

// A 640x480 surface the game draws on. Only one context may be borrowed at a
// time; GetDC returns null when it cannot give one.
class Surface {
 public:
  virtual DrawContext* GetDC() = 0;
  virtual void ReleaseDC(DrawContext* dc) = 0;
  // Fills the whole surface with a raw pixel value of its format.
  virtual void ColorFill(std::uint32_t raw) = 0;

 protected:
  ~Surface() = default;
};
