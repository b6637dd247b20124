// A surface that notes every line and text drawn on it, with the borrow it
// came in and the order it was drawn in: a test can see where the view puts
// things without looking at pixels, and a tool can put a differing pixel
// down to the call that drew there. Given an inner surface it draws there
// too, so the picture is the real one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform_api.h"

struct RecordedLine {
  int order;   // among the lines and texts since Clear, from 0
  int borrow;  // 1 for the first context lent since Clear, 2 for the next, ...
  int x1, y1, x2, y2;
  int width;
  ColorRef color;
};

struct RecordedText {
  int order;
  int borrow;
  int x, y;
  std::string text;
  int height;
  bool italic;
  std::string face;
  BkMode mode;
  ColorRef color;
};

class RecordingSurface final : public Surface, public DrawContext {
 public:
  explicit RecordingSurface(Surface* inner = nullptr) : inner_(inner) {}
  ~RecordingSurface();
  RecordingSurface(const RecordingSurface&) = delete;
  RecordingSurface& operator=(const RecordingSurface&) = delete;

  std::vector<RecordedLine> lines;
  std::vector<RecordedText> texts;
  std::vector<std::uint32_t> fills;
  int borrows = 0;
  int outstanding = 0;  // borrowed and not given back
  int maxOutstanding = 0;
  int livePens = 0;
  int liveFonts = 0;
  bool refuse = false;  // GetDC fails

  // Forgets the lines, texts and fills and counts borrows from 0 again, as
  // a frame starts.
  void Clear();
  // The first text starting with `prefix`; null when none does.
  const RecordedText* FindText(const std::string& prefix) const;

  // A fresh borrow starts from the defaults: a one-pixel black pen, the
  // default font, opaque text in black, the position at (0, 0).
  DrawContext* GetDC() override;
  void ReleaseDC(DrawContext* dc) override;
  void ColorFill(std::uint32_t raw) override;
  // It keeps calls, not pixels.
  std::string ReadRgb(int& width, int& height) override {
    width = height = 0;
    return {};
  }

  Pen* CreatePen(int width, ColorRef color) override;
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override;
  void SetTextColor(ColorRef color) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void TextOut(int x, int y, const char* text, int length) override;

 private:
  // Our own pen and font objects, each with the inner context's.
  struct PenData {
    int width;
    ColorRef color;
    Pen* inner;
  };
  struct FontData {
    int height;
    bool italic;
    std::string face;
    Font* inner;
  };

  Surface* inner_;
  DrawContext* dc_ = nullptr;  // the inner surface's context while borrowed
  PenData stockPen_{1, 0, nullptr};
  FontData stockFont_{0, false, "", nullptr};
  PenData* pen_ = &stockPen_;
  FontData* font_ = &stockFont_;
  BkMode mode_ = BkMode::Opaque;
  ColorRef textColor_ = 0;
  int x_ = 0;
  int y_ = 0;
  int order_ = 0;
};
