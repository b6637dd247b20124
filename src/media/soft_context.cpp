#include "media/soft_context.h"

#include <utility>

SoftSurface::Context::Context(SoftSurface& owner) : surface(owner) {
  stockPen.stock = true;
  stockFont.stock = true;
}

void SoftSurface::Context::Reset() {
  pen = &stockPen;
  font = &stockFont;
  bkMode = BkMode::Opaque;
  bkColor = RGBRef(255, 255, 255);
  textColor = RGBRef(0, 0, 0);
  curX = 0;
  curY = 0;
}

soft::PaintTarget SoftSurface::Context::Target(ColorRef color) const {
  soft::PaintTarget target;
  if (surface.format_ == PixelFormat::Rgb565) {
    target.pixels16 = surface.pixels16_.data();
  } else {
    target.pixels32 = surface.pixels32_.data();
  }
  target.raw = RawFromColor(surface.format_, color);
  return target;
}

Pen* SoftSurface::Context::CreatePen(int width, ColorRef color) {
  return new Pen{width, color, false};
}

// Selecting null changes nothing and returns null, as the platform does.
Pen* SoftSurface::Context::SelectPen(Pen* selected) {
  if (selected == nullptr) return nullptr;
  return std::exchange(pen, selected);
}

void SoftSurface::Context::DeletePen(Pen* deleted) {
  if (deleted == nullptr || deleted->stock) return;
  if (pen == deleted) pen = &stockPen;  // never left pointing at freed memory
  delete deleted;
}

Font* SoftSurface::Context::CreateFont(const FontRequest& request) {
  return new Font{soft::ResolveFont(request), false};
}

Font* SoftSurface::Context::SelectFont(Font* selected) {
  if (selected == nullptr) return nullptr;
  return std::exchange(font, selected);
}

void SoftSurface::Context::DeleteFont(Font* deleted) {
  if (deleted == nullptr || deleted->stock) return;
  if (font == deleted) font = &stockFont;
  delete deleted;
}

void SoftSurface::Context::MoveTo(int x, int y) {
  curX = x;
  curY = y;
}

// Widths 0 and 1 (and, leniently, anything below) are the cosmetic line.
void SoftSurface::Context::LineTo(int x, int y) {
  const soft::PaintTarget target = Target(pen->color);
  if (pen->width <= 1) {
    soft::DrawThinLine(target, curX, curY, x, y);
  } else {
    soft::DrawWideLine(target, curX, curY, x, y, pen->width);
  }
  curX = x;
  curY = y;
}

void SoftSurface::Context::TextOut(int x, int y, const char* text, int length) {
  const soft::PaintTarget ink = Target(textColor);
  const soft::PaintTarget box = Target(bkColor);
  soft::DrawText(ink, bkMode == BkMode::Opaque ? &box : nullptr, font->choice, x, y, text, length);
}
