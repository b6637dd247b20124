#include "media/soft_context.h"

#include <utility>

SoftContext::SoftContext(const soft::Canvas& canvas, soft::Faces& faces)
    : canvas_(canvas), faces_(faces) {
  stockPen_.stock = true;
  stockFont_.stock = true;
}

void SoftContext::Reset() {
  pen_ = &stockPen_;
  font_ = &stockFont_;
  bkMode_ = BkMode::Opaque;
  bkColor_ = RGBRef(255, 255, 255);
  textColor_ = RGBRef(0, 0, 0);
  curX_ = 0;
  curY_ = 0;
}

// Selecting null changes nothing and returns null, as the platform does.
Pen* SoftContext::SelectPen(Pen* selected) {
  if (selected == nullptr) return nullptr;
  return std::exchange(pen_, selected);
}

void SoftContext::DeletePen(Pen* deleted) {
  if (deleted == nullptr || deleted->stock) return;
  if (pen_ == deleted) pen_ = &stockPen_;  // never left pointing at freed memory
  delete deleted;
}

Font* SoftContext::CreateFont(const FontRequest& request) {
  return new Font{soft::ResolveFont(request), false};
}

Font* SoftContext::SelectFont(Font* selected) {
  if (selected == nullptr) return nullptr;
  return std::exchange(font_, selected);
}

void SoftContext::DeleteFont(Font* deleted) {
  if (deleted == nullptr || deleted->stock) return;
  if (font_ == deleted) font_ = &stockFont_;
  delete deleted;
}

void SoftContext::MoveTo(int x, int y) {
  curX_ = x;
  curY_ = y;
}

// Widths 0 and 1 (and, leniently, anything below) are the cosmetic line.
void SoftContext::LineTo(int x, int y) {
  const soft::PaintTarget target = canvas_.Target(pen_->color);
  if (pen_->width <= 1) {
    soft::DrawThinLine(target, curX_, curY_, x, y);
  } else {
    soft::DrawWideLine(target, curX_, curY_, x, y, pen_->width);
  }
  curX_ = x;
  curY_ = y;
}

void SoftContext::TextOut(int x, int y, const char* text, int length) {
  const soft::PaintTarget ink = canvas_.Target(textColor_);
  const soft::PaintTarget box = canvas_.Target(bkColor_);
  soft::DrawText(faces_, ink, bkMode_ == BkMode::Opaque ? &box : nullptr, font_->choice, x, y, text,
                 length);
}
