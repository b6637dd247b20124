// A surface whose context records what is drawn on it, to test where the
// view puts its lines and texts without looking at pixels.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "media/draw_context.h"

namespace testing_support {

struct RecordedLine {
  int x1, y1, x2, y2;
  int width;
  ColorRef color;
};

struct RecordedText {
  int x, y;
  std::string text;
  int height;
  std::string face;
  BkMode mode;
  ColorRef color;
};

class RecordingSurface final : public Surface, public DrawContext {
 public:
  std::vector<RecordedLine> lines;
  std::vector<RecordedText> texts;
  int borrows = 0;
  int outstanding = 0;  // borrowed and not given back
  int maxOutstanding = 0;
  int livePens = 0;
  int liveFonts = 0;
  bool refuse = false;  // GetDC fails
  std::vector<std::uint32_t> fills;

  DrawContext* GetDC() override {
    if (refuse || outstanding > 0) return nullptr;
    ++borrows;
    ++outstanding;
    maxOutstanding = std::max(maxOutstanding, outstanding);
    pen_ = &defaultPen_;
    font_ = &defaultFont_;
    mode_ = BkMode::Opaque;
    textColor_ = 0;
    return this;
  }
  void ReleaseDC(DrawContext*) override { --outstanding; }
  void ColorFill(std::uint32_t raw) override { fills.push_back(raw); }

  Pen* CreatePen(int width, ColorRef color) override {
    ++livePens;
    return reinterpret_cast<Pen*>(new PenData{width, color});
  }
  Pen* SelectPen(Pen* pen) override {
    Pen* previous = reinterpret_cast<Pen*>(pen_);
    pen_ = reinterpret_cast<PenData*>(pen);
    return previous;
  }
  void DeletePen(Pen* pen) override {
    --livePens;
    delete reinterpret_cast<PenData*>(pen);
  }
  Font* CreateFont(const FontRequest& request) override {
    ++liveFonts;
    return reinterpret_cast<Font*>(new FontData{request.height, request.faceName});
  }
  Font* SelectFont(Font* font) override {
    Font* previous = reinterpret_cast<Font*>(font_);
    font_ = reinterpret_cast<FontData*>(font);
    return previous;
  }
  void DeleteFont(Font* font) override {
    --liveFonts;
    delete reinterpret_cast<FontData*>(font);
  }
  void SetBkMode(BkMode mode) override { mode_ = mode; }
  void SetTextColor(ColorRef color) override { textColor_ = color; }
  void MoveTo(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void LineTo(int x, int y) override {
    lines.push_back({x_, y_, x, y, pen_->width, pen_->color});
    x_ = x;
    y_ = y;
  }
  void TextOut(int x, int y, const char* text, int length) override {
    texts.push_back({x, y, std::string(text, static_cast<size_t>(length)), font_->height, font_->face, mode_, textColor_});
  }

  void Clear() {
    lines.clear();
    texts.clear();
  }
  const RecordedText* FindText(const std::string& prefix) const {
    for (const RecordedText& t : texts) {
      if (t.text.rfind(prefix, 0) == 0) return &t;
    }
    return nullptr;
  }

 private:
  struct PenData {
    int width;
    ColorRef color;
  };
  struct FontData {
    int height;
    std::string face;
  };
  PenData defaultPen_{1, 0};
  FontData defaultFont_{0, ""};
  PenData* pen_ = &defaultPen_;
  FontData* font_ = &defaultFont_;
  BkMode mode_ = BkMode::Opaque;
  ColorRef textColor_ = 0;
  int x_ = 0, y_ = 0;
};

}  // namespace testing_support
