// The game's Surface and DrawContext over a DirectDraw 7 surface and the
// GDI device context it lends: real pens, fonts and TextOut.
#pragma once

#include <cstdint>
#include <string>

#include "platform_api.h"
#include "platform/win32/api.h"

#include <ddraw.h>

// A borrowed GDI context. Pens and fonts are GDI's own objects behind the
// opaque handles of platform_api.h.
class GdiContext final : public DrawContext {
 public:
  void Attach(HDC hdc) { hdc_ = hdc; }
  HDC hdc() const { return hdc_; }

  Pen* CreatePen(int width, ColorRef color) override {
    return reinterpret_cast<Pen*>(::CreatePen(PS_SOLID, width, static_cast<COLORREF>(color)));
  }
  Pen* SelectPen(Pen* pen) override;
  void DeletePen(Pen* pen) override;
  Font* CreateFont(const FontRequest& request) override;
  Font* SelectFont(Font* font) override;
  void DeleteFont(Font* font) override;
  void SetBkMode(BkMode mode) override {
    ::SetBkMode(hdc_, mode == BkMode::Transparent ? TRANSPARENT : OPAQUE);
  }
  void SetTextColor(ColorRef color) override { ::SetTextColor(hdc_, static_cast<COLORREF>(color)); }
  void MoveTo(int x, int y) override { MoveToEx(hdc_, x, y, nullptr); }
  void LineTo(int x, int y) override { ::LineTo(hdc_, x, y); }
  void TextOut(int x, int y, const char* text, int length) override;

 private:
  HDC hdc_ = nullptr;
};

// The font description a request turns into: face name in UTF-16, cut to
// the 31 characters GDI keeps.
LOGFONTW LogFontFromRequest(const FontRequest& request);

// The surface's pixels as 8-bit red, green, blue, row by row from the top;
// 5- and 6-bit channels repeat their top bits downward, so full intensity
// reads as 255. Empty when the surface cannot be locked.
std::string ReadRgbPixels(IDirectDrawSurface7* surface, int& width, int& height);

// One DirectDraw surface. The wrapper holds a reference of its own, which
// Release gives back.
class DirectDrawSurface final : public Surface {
 public:
  explicit DirectDrawSurface(IDirectDrawSurface7* surface) : surface_(surface) {}
  ~DirectDrawSurface() { Release(); }
  DirectDrawSurface(const DirectDrawSurface&) = delete;
  DirectDrawSurface& operator=(const DirectDrawSurface&) = delete;

  // Null when the surface lends no context (it is lost, or one is out).
  DrawContext* GetDC() override;
  void ReleaseDC(DrawContext* dc) override;
  // DDBLT_COLORFILL with DDBLT_WAIT over the whole surface; the result is
  // not examined.
  void ColorFill(std::uint32_t raw) override;
  // ReadRgbPixels of the surface.
  std::string ReadRgb(int& width, int& height) override { return ReadRgbPixels(surface_, width, height); }

  IDirectDrawSurface7* get() const { return surface_; }
  void Release();

 private:
  IDirectDrawSurface7* surface_;
  GdiContext context_;
  bool out_ = false;
};

