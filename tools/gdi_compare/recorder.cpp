#include "recorder.h"

DrawContext* RecordingSurface::GetDC() {
  dc_ = inner_.GetDC();
  if (dc_ == nullptr) return nullptr;
  ++borrows_;
  penWidth_ = 1;
  font_ = nullptr;
  opaque_ = true;
  x_ = y_ = 0;
  return this;
}

void RecordingSurface::ReleaseDC(DrawContext*) {
  inner_.ReleaseDC(dc_);
  dc_ = nullptr;
}

Pen* RecordingSurface::CreatePen(int width, ColorRef color) {
  Pen* pen = dc_->CreatePen(width, color);
  penWidths_[pen] = width;
  return pen;
}

Pen* RecordingSurface::SelectPen(Pen* pen) {
  if (pen != nullptr) {
    auto found = penWidths_.find(pen);
    penWidth_ = found != penWidths_.end() ? found->second : 1;
  }
  return dc_->SelectPen(pen);
}

void RecordingSurface::DeletePen(Pen* pen) {
  penWidths_.erase(pen);
  dc_->DeletePen(pen);
}

Font* RecordingSurface::CreateFont(const FontRequest& request) {
  Font* font = dc_->CreateFont(request);
  FontInfo& info = fonts_[font];
  info.request = request;
  info.face = request.faceName != nullptr ? request.faceName : "";
  return font;
}

Font* RecordingSurface::SelectFont(Font* font) {
  if (font != nullptr) font_ = fonts_.count(font) != 0 ? font : nullptr;
  return dc_->SelectFont(font);
}

void RecordingSurface::DeleteFont(Font* font) {
  fonts_.erase(font);
  if (font_ == font) font_ = nullptr;
  dc_->DeleteFont(font);
}

void RecordingSurface::SetBkMode(BkMode mode) {
  opaque_ = mode == BkMode::Opaque;
  dc_->SetBkMode(mode);
}

void RecordingSurface::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
  dc_->MoveTo(x, y);
}

void RecordingSurface::LineTo(int x, int y) {
  DrawnElement e;
  e.kind = DrawnElement::Kind::Line;
  e.borrow = borrows_;
  e.x1 = x_;
  e.y1 = y_;
  e.x2 = x;
  e.y2 = y;
  e.width = penWidth_;
  elements_.push_back(e);
  x_ = x;
  y_ = y;
  dc_->LineTo(x, y);
}

void RecordingSurface::TextOut(int x, int y, const char* text, int length) {
  DrawnElement e;
  e.kind = DrawnElement::Kind::Text;
  e.borrow = borrows_;
  FontRequest request;
  if (font_ != nullptr) {
    const FontInfo& info = fonts_[font_];
    request = info.request;
    request.faceName = info.face.c_str();
    e.face = info.face;
  }
  const TextExtent extent = MeasureText(request, text, length);
  e.x1 = x;
  e.y1 = y;
  e.x2 = x + extent.width;
  e.y2 = y + extent.height;
  e.width = request.height;
  e.text.assign(text, static_cast<std::size_t>(length));
  e.opaque = opaque_;
  elements_.push_back(e);
  dc_->TextOut(x, y, text, length);
}
