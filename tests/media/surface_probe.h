// Drawing and reading helpers for the software surface tests.
#pragma once

#include <algorithm>
#include <array>
#include <set>
#include <utility>

#include "media/glyphs.h"
#include "media/soft_surface.h"

namespace probe {

using PixelSet = std::set<std::pair<int, int>>;

inline constexpr ColorRef kInk = RGBRef(200, 40, 8);
inline constexpr std::array<PixelFormat, 2> kFormats{PixelFormat::Rgb565, PixelFormat::Xrgb8888};

// One line with a pen of its own, as the view code draws.
inline void Line(SoftSurface& s, int x0, int y0, int x1, int y1, int width = 1, ColorRef color = kInk) {
  DrawContext* dc = s.GetDC();
  Pen* pen = dc->CreatePen(width, color);
  Pen* kept = dc->SelectPen(pen);
  dc->MoveTo(x0, y0);
  dc->LineTo(x1, y1);
  dc->SelectPen(kept);
  dc->DeletePen(pen);
  s.ReleaseDC(dc);
}

inline void Text(SoftSurface& s, int x, int y, const char* text, int length, const FontRequest& request,
                 BkMode mode) {
  DrawContext* dc = s.GetDC();
  Font* font = dc->CreateFont(request);
  Font* kept = dc->SelectFont(font);
  dc->SetBkMode(mode);
  dc->SetTextColor(kInk);
  dc->TextOut(x, y, text, length);
  dc->SelectFont(kept);
  dc->DeleteFont(font);
  s.ReleaseDC(dc);
}

// Pixels whose raw value differs from `background`.
inline PixelSet Changed(const SoftSurface& s, std::uint32_t background = 0) {
  PixelSet set;
  for (int y = 0; y < kScreenHeight; ++y)
    for (int x = 0; x < kScreenWidth; ++x)
      if (s.RawAt(x, y) != background) set.insert({x, y});
  return set;
}

// Left, top, right, bottom, inclusive; {0, 0, -1, -1} when empty.
inline std::array<int, 4> Extent(const PixelSet& set) {
  if (set.empty()) return {0, 0, -1, -1};
  std::array<int, 4> e{kScreenWidth, kScreenHeight, -1, -1};
  for (const auto& [x, y] : set) e = {std::min(e[0], x), std::min(e[1], y), std::max(e[2], x), std::max(e[3], y)};
  return e;
}

}  // namespace probe
