// The software drawing context of a SoftSurface.
#pragma once

#include "media/glyphs.h"
#include "media/soft_raster.h"
#include "media/soft_surface.h"

// The opaque drawing objects of platform_api.h as the software context
// makes them. Stock objects belong to the context and survive DeletePen and
// DeleteFont, as the platform's stock objects do.
struct Pen {
  int width = 1;
  ColorRef color = 0;
  bool stock = false;
};

struct Font {
  soft::FontChoice choice;
  bool stock = false;
};

struct SoftSurface::Context final : DrawContext {
  explicit Context(SoftSurface& owner);

  // A fresh borrow starts from the platform's defaults; nothing selected in
  // an earlier borrow carries over.
  void Reset();

  Pen* CreatePen(int width, ColorRef color) override;
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override { bkMode = mode; }
  void SetTextColor(ColorRef color) override { textColor = color; }
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const char* text, int length) override;

  soft::PaintTarget Target(ColorRef color) const;

  SoftSurface& surface;
  bool out = false;
  Pen stockPen;
  Font stockFont;
  Pen* pen = &stockPen;
  Font* font = &stockFont;
  BkMode bkMode = BkMode::Opaque;
  ColorRef bkColor = RGBRef(255, 255, 255);
  ColorRef textColor = RGBRef(0, 0, 0);
  int curX = 0;
  int curY = 0;
};
