// The software drawing context of a SoftSurface.
#pragma once

#include <string>

#include "media/glyphs.h"
#include "media/soft_surface.h"

struct Pen {
  int width;
  ColorRef color;
};

struct Font {
  glyphs::Face face;
  int height;
  bool italic;
};

struct SoftSurface::Context final : DrawContext {
  explicit Context(SoftSurface& s) : surface(s) {}

  // A fresh borrow starts from the platform's defaults.
  void Reset();

  Pen* CreatePen(int width, ColorRef color) override;
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override { bkMode = mode; }
  void SetTextColor(ColorRef color) override { textColor = color; }
  void MoveTo(int x, int y) override {
    curX = x;
    curY = y;
  }
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const char* text, int length) override;

  SoftSurface& surface;
  bool borrowed = false;
  Pen defaultPen{1, RGBRef(0, 0, 0)};
  Font defaultFont{glyphs::Face::Gothic, 16, false};
  Pen* pen = &defaultPen;
  Font* font = &defaultFont;
  BkMode bkMode = BkMode::Opaque;
  ColorRef textColor = RGBRef(0, 0, 0);
  ColorRef bkColor = RGBRef(255, 255, 255);
  int curX = 0;
  int curY = 0;
};

// Line rasterisers, exposed for the tests.
namespace raster {
// A one-pixel line as the platform draws it: every pixel from the start
// along the major axis, the end point itself left out.
void CosmeticLine(SoftSurface& s, int x1, int y1, int x2, int y2, std::uint32_t raw);
// A stroke of the given width with round ends.
void WideLine(SoftSurface& s, int x1, int y1, int x2, int y2, int width, std::uint32_t raw);
}  // namespace raster
