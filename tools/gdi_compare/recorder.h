// A surface that draws through the software back buffer and notes every
// line and text of the current frame with the borrow it came in, so that a
// differing pixel can be put down to the call that drew there.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "media/soft_surface.h"

struct DrawnElement {
  enum class Kind { Line, Text } kind = Kind::Line;
  int borrow = 0;  // 1 for the frame's first context, 2 for the second, ...
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;  // a line; a text's box [x1, x2) x [y1, y2)
  int width = 1;                       // pen width; a text's font height
  std::string text;
  std::string face;
  bool opaque = false;
};

class RecordingSurface final : public Surface, public DrawContext {
 public:
  explicit RecordingSurface(SoftSurface& inner) : inner_(inner) {}
  // Forgets the elements, as a frame starts.
  void BeginFrame() {
    elements_.clear();
    borrows_ = 0;
  }
  const std::vector<DrawnElement>& elements() const { return elements_; }

  DrawContext* GetDC() override;
  void ReleaseDC(DrawContext* dc) override;
  void ColorFill(std::uint32_t raw) override { inner_.ColorFill(raw); }

  Pen* CreatePen(int width, ColorRef color) override;
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override;
  void SetTextColor(ColorRef color) override { dc_->SetTextColor(color); }
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const char* text, int length) override;

 private:
  struct FontInfo {
    FontRequest request;
    std::string face;
  };
  SoftSurface& inner_;
  DrawContext* dc_ = nullptr;
  int borrows_ = 0;
  std::vector<DrawnElement> elements_;
  std::map<Pen*, int> penWidths_;
  std::map<Font*, FontInfo> fonts_;
  int penWidth_ = 1;
  Font* font_ = nullptr;
  bool opaque_ = true;
  int x_ = 0, y_ = 0;
};
