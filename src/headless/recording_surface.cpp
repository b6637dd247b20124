#include "headless/recording_surface.h"

#include <algorithm>
#include <utility>

RecordingSurface::~RecordingSurface() {
  if (dc_ != nullptr) inner_->ReleaseDC(dc_);
}

void RecordingSurface::Clear() {
  lines.clear();
  texts.clear();
  fills.clear();
  borrows = 0;
  order_ = 0;
}

const RecordedText* RecordingSurface::FindText(const std::string& prefix) const {
  for (const RecordedText& t : texts) {
    if (t.text.rfind(prefix, 0) == 0) return &t;
  }
  return nullptr;
}

DrawContext* RecordingSurface::GetDC() {
  if (refuse || outstanding > 0) return nullptr;
  if (inner_ != nullptr) {
    dc_ = inner_->GetDC();
    if (dc_ == nullptr) return nullptr;
  }
  ++borrows;
  ++outstanding;
  maxOutstanding = std::max(maxOutstanding, outstanding);
  // The inner context's stock objects are learned again when first replaced.
  stockPen_.inner = nullptr;
  stockFont_.inner = nullptr;
  pen_ = &stockPen_;
  font_ = &stockFont_;
  mode_ = BkMode::Opaque;
  textColor_ = 0;
  x_ = 0;
  y_ = 0;
  return this;
}

void RecordingSurface::ReleaseDC(DrawContext*) {
  --outstanding;
  if (dc_ != nullptr) inner_->ReleaseDC(dc_);
  dc_ = nullptr;
}

void RecordingSurface::ColorFill(std::uint32_t raw) {
  fills.push_back(raw);
  if (inner_ != nullptr) inner_->ColorFill(raw);
}

Pen* RecordingSurface::CreatePen(int width, ColorRef color) {
  ++livePens;
  Pen* inner = dc_ != nullptr ? dc_->CreatePen(width, color) : nullptr;
  return reinterpret_cast<Pen*>(new PenData{width, color, inner});
}

namespace {

// Puts `next` in place of the selected object and gives back the one it
// replaces, which learns the inner context's object if it stood for its
// stock object.
template <typename Data, typename Inner>
Data* Replace(Data*& selected, Data* next, Inner* innerPrevious) {
  if (selected->inner == nullptr) selected->inner = innerPrevious;
  return std::exchange(selected, next);
}

}  // namespace

// Selecting null changes nothing and gives null back, as GDI does.
Pen* RecordingSurface::SelectPen(Pen* pen) {
  if (pen == nullptr) return nullptr;
  auto* data = reinterpret_cast<PenData*>(pen);
  Pen* innerPrevious = dc_ != nullptr ? dc_->SelectPen(data->inner) : nullptr;
  return reinterpret_cast<Pen*>(Replace(pen_, data, innerPrevious));
}

// The stock objects survive deletion, as the platform's do.
void RecordingSurface::DeletePen(Pen* pen) {
  auto* data = reinterpret_cast<PenData*>(pen);
  // Nor one still selected, as GDI refuses: it stays live, which the tests see.
  if (data == nullptr || data == &stockPen_ || data == pen_) return;
  --livePens;
  if (dc_ != nullptr) dc_->DeletePen(data->inner);
  delete data;
}

Font* RecordingSurface::CreateFont(const FontRequest& request) {
  ++liveFonts;
  Font* inner = dc_ != nullptr ? dc_->CreateFont(request) : nullptr;
  const char* face = request.faceName != nullptr ? request.faceName : "";
  return reinterpret_cast<Font*>(new FontData{request.height, request.italic, face, inner});
}

Font* RecordingSurface::SelectFont(Font* font) {
  if (font == nullptr) return nullptr;
  auto* data = reinterpret_cast<FontData*>(font);
  Font* innerPrevious = dc_ != nullptr ? dc_->SelectFont(data->inner) : nullptr;
  return reinterpret_cast<Font*>(Replace(font_, data, innerPrevious));
}

void RecordingSurface::DeleteFont(Font* font) {
  auto* data = reinterpret_cast<FontData*>(font);
  if (data == nullptr || data == &stockFont_ || data == font_) return;
  --liveFonts;
  if (dc_ != nullptr) dc_->DeleteFont(data->inner);
  delete data;
}

void RecordingSurface::SetBkMode(BkMode mode) {
  mode_ = mode;
  if (dc_ != nullptr) dc_->SetBkMode(mode);
}

void RecordingSurface::SetTextColor(ColorRef color) {
  textColor_ = color;
  if (dc_ != nullptr) dc_->SetTextColor(color);
}

void RecordingSurface::MoveTo(int x, int y) {
  x_ = x;
  y_ = y;
  if (dc_ != nullptr) dc_->MoveTo(x, y);
}

void RecordingSurface::LineTo(int x, int y) {
  lines.push_back({order_++, borrows, x_, y_, x, y, pen_->width, pen_->color});
  x_ = x;
  y_ = y;
  if (dc_ != nullptr) dc_->LineTo(x, y);
}

void RecordingSurface::TextOut(int x, int y, const char* text, int length) {
  texts.push_back({order_++, borrows, x, y, std::string(text, static_cast<std::size_t>(length)),
                   font_->height, font_->italic, font_->face, mode_, textColor_});
  if (dc_ != nullptr) dc_->TextOut(x, y, text, length);
}
