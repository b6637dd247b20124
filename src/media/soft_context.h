// The software drawing context: GDI's pens, fonts, lines and text over a
// canvas of pixels in memory.
#pragma once

#include "media/glyphs.h"
#include "media/soft_raster.h"
#include "platform_api.h"

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

class SoftContext final : public DrawContext {
 public:
  SoftContext(const soft::Canvas& canvas, soft::Faces& faces);
  SoftContext(const SoftContext&) = delete;
  SoftContext& operator=(const SoftContext&) = delete;

  // A fresh borrow starts from the platform's defaults; nothing selected in
  // an earlier borrow carries over.
  void Reset();

  Pen* CreatePen(int width, ColorRef color) override { return new Pen{width, color, false}; }
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override { bkMode_ = mode; }
  void SetTextColor(ColorRef color) override { textColor_ = color; }
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const char* text, int length) override;

 private:
  soft::Canvas canvas_;
  soft::Faces& faces_;
  Pen stockPen_;
  Font stockFont_;
  Pen* pen_ = &stockPen_;
  Font* font_ = &stockFont_;
  BkMode bkMode_ = BkMode::Opaque;
  ColorRef bkColor_ = RGBRef(255, 255, 255);
  ColorRef textColor_ = RGBRef(0, 0, 0);
  int curX_ = 0;
  int curY_ = 0;
};
