#include "media/soft_context.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

using i64 = std::int64_t;

void SoftSurface::Context::Reset() {
  pen = &defaultPen;
  font = &defaultFont;
  bkMode = BkMode::Opaque;
  textColor = RGBRef(0, 0, 0);
  bkColor = RGBRef(255, 255, 255);
  curX = curY = 0;
}

Pen* SoftSurface::Context::CreatePen(int width, ColorRef color) { return new Pen{width, color}; }

Pen* SoftSurface::Context::SelectPen(Pen* p) {
  Pen* previous = pen;
  if (p != nullptr) pen = p;
  return previous;
}

void SoftSurface::Context::DeletePen(Pen* p) {
  if (p == nullptr || p == &defaultPen) return;
  if (pen == p) pen = &defaultPen;
  delete p;
}

Font* SoftSurface::Context::CreateFont(const FontRequest& request) {
  // A height of 0 asks for the default size; a negative one is the
  // character height without the internal leading, near enough the cell.
  int height = request.height == 0 ? 16 : std::abs(request.height);
  return new Font{glyphs::FaceFor(request.faceName != nullptr ? request.faceName : ""), height, request.italic};
}

Font* SoftSurface::Context::SelectFont(Font* f) {
  Font* previous = font;
  if (f != nullptr) font = f;
  return previous;
}

void SoftSurface::Context::DeleteFont(Font* f) {
  if (f == nullptr || f == &defaultFont) return;
  if (font == f) font = &defaultFont;
  delete f;
}

void SoftSurface::Context::LineTo(int x, int y) {
  const std::uint32_t raw = surface.RawOf(pen->color);
  if (pen->width <= 1) {
    raster::CosmeticLine(surface, curX, curY, x, y, raw);
  } else {
    raster::WideLine(surface, curX, curY, x, y, pen->width, raw);
  }
  curX = x;
  curY = y;
}

void SoftSurface::Context::TextOut(int x, int y, const char* text, int length) {
  if (text == nullptr || length <= 0) return;
  const glyphs::Metrics metrics = glyphs::MetricsFor(font->face, font->height);
  if (!metrics.available) return;
  const std::vector<std::uint32_t> codepoints = glyphs::Decode(text, length);
  std::vector<const glyphs::Glyph*> run;
  i64 width = 0;
  for (std::uint32_t c : codepoints) {
    const glyphs::Glyph* g = glyphs::GlyphFor(font->face, font->height, font->italic, c);
    run.push_back(g);
    if (g != nullptr) width += g->advance;
  }
  if (bkMode == BkMode::Opaque && width > 0) {
    const std::uint32_t bk = surface.RawOf(bkColor);
    const i64 right = std::min<i64>(i64{x} + width - 1, kScreenWidth);
    for (i64 row = std::max(y, 0); row < std::min<i64>(i64{y} + metrics.cellHeight, kScreenHeight); ++row) {
      surface.Span(std::max(x, -1), static_cast<int>(right), static_cast<int>(row), bk);
    }
  }
  const std::uint32_t ink = surface.RawOf(textColor);
  i64 penX = x;
  const i64 baseline = i64{y} + metrics.ascent;
  for (const glyphs::Glyph* g : run) {
    if (g == nullptr) continue;
    for (int gy = 0; gy < g->rows; ++gy) {
      const i64 py = baseline - g->top + gy;
      if (py < 0 || py >= kScreenHeight) continue;
      for (int gx = 0; gx < g->width; ++gx) {
        if (g->bits[static_cast<size_t>(gy) * g->width + gx] == 0) continue;
        const i64 px = penX + g->left + gx;
        if (px >= 0 && px < kScreenWidth) surface.Plot(static_cast<int>(px), static_cast<int>(py), ink);
      }
    }
    penX += g->advance;
    if (penX > kScreenWidth + 1000) break;
  }
}

namespace raster {

void CosmeticLine(SoftSurface& s, int x1, int y1, int x2, int y2, std::uint32_t raw) {
  const i64 dx = i64{x2} - x1, dy = i64{y2} - y1;
  const i64 adx = std::llabs(dx), ady = std::llabs(dy);
  if (adx == 0 && ady == 0) return;
  if (dy == 0) {
    // Horizontal: a span from the start up to, not including, the end.
    const i64 from = dx > 0 ? x1 : i64{x2} + 1;
    const i64 to = dx > 0 ? i64{x2} - 1 : x1;
    s.Span(static_cast<int>(std::clamp<i64>(from, -1, kScreenWidth)),
           static_cast<int>(std::clamp<i64>(to, -1, kScreenWidth)), y1, raw);
    return;
  }
  // Steps t = 0 .. n-1 along the major axis; the minor coordinate is the
  // line's exact position rounded to the nearest pixel, halves rounding
  // toward the end point's side. Only steps on the screen are visited.
  const bool xMajor = adx >= ady;
  const i64 n = xMajor ? adx : ady;
  const i64 majorStart = xMajor ? x1 : y1;
  const i64 majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const i64 minorStart = xMajor ? y1 : x1;
  const i64 minorDelta = xMajor ? dy : dx;
  const i64 majorLimit = xMajor ? kScreenWidth : kScreenHeight;
  // t range whose major coordinate lies on the screen.
  i64 tFrom, tTo;
  if (majorStep > 0) {
    tFrom = std::max<i64>(0, -majorStart);
    tTo = std::min<i64>(n - 1, majorLimit - 1 - majorStart);
  } else {
    tFrom = std::max<i64>(0, majorStart - (majorLimit - 1));
    tTo = std::min<i64>(n - 1, majorStart);
  }
  for (i64 t = tFrom; t <= tTo; ++t) {
    const i64 num = 2 * t * minorDelta + n;  // rounds t * minorDelta / n to nearest
    const i64 q = num >= 0 ? num / (2 * n) : -((-num + 2 * n - 1) / (2 * n));
    const i64 major = majorStart + majorStep * t;
    const i64 minor = minorStart + q;
    if (xMajor) {
      if (minor >= 0 && minor < kScreenHeight) s.Plot(static_cast<int>(major), static_cast<int>(minor), raw);
    } else if (minor >= 0 && minor < kScreenWidth) {
      s.Plot(static_cast<int>(minor), static_cast<int>(major), raw);
    }
  }
}

void WideLine(SoftSurface& s, int x1, int y1, int x2, int y2, int width, std::uint32_t raw) {
  // The stroke is every pixel whose centre lies within half the width of the
  // segment, the segment running between pixel corners: a dot of width w is
  // then exactly w pixels across.
  const double r = width / 2.0;
  const double ax = x1, ay = y1, bx = x2, by = y2;
  const double minX = std::max(std::min(ax, bx) - r - 1, -1.0), maxX = std::min(std::max(ax, bx) + r + 1, 640.0);
  const double minY = std::max(std::min(ay, by) - r - 1, -1.0), maxY = std::min(std::max(ay, by) + r + 1, 480.0);
  if (minX > maxX || minY > maxY) return;
  const double vx = bx - ax, vy = by - ay;
  const double len2 = vx * vx + vy * vy;
  for (int py = static_cast<int>(std::floor(minY)); py <= static_cast<int>(maxY); ++py) {
    if (py < 0 || py >= kScreenHeight) continue;
    for (int px = static_cast<int>(std::floor(minX)); px <= static_cast<int>(maxX); ++px) {
      if (px < 0 || px >= kScreenWidth) continue;
      const double cx = px + 0.5, cy = py + 0.5;
      double t = len2 > 0 ? ((cx - ax) * vx + (cy - ay) * vy) / len2 : 0.0;
      t = std::clamp(t, 0.0, 1.0);
      const double ex = ax + t * vx - cx, ey = ay + t * vy - cy;
      if (ex * ex + ey * ey < r * r) s.Plot(px, py, raw);
    }
  }
}

}  // namespace raster
