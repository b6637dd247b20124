// Span, rectangle and line rasterisers over the software back buffer.
// Every entry point clips to the 640x480 surface itself and takes any int
// coordinates.
#pragma once

#include <cstdint>

#include "platform_api.h"

enum class PixelFormat {
  Rgb565,    // 16 bits per pixel, the full-screen program's
  Xrgb8888,  // 32 bits per pixel, the usual desktop format
};

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

// A colour as a raw pixel value of `format` (565 keeps the high bits).
std::uint32_t RawFromColor(PixelFormat format, ColorRef color);
// A raw pixel value as 0xRRGGBB; 565 repeats its top bits downward so that
// full intensity reads as 255.
std::uint32_t RgbFromRaw(PixelFormat format, std::uint32_t raw);

namespace soft {

// Where and in what raw value to paint: exactly one pointer is set, to a
// 640x480 buffer of the surface's format.
struct PaintTarget {
  std::uint16_t* pixels16 = nullptr;
  std::uint32_t* pixels32 = nullptr;
  std::uint32_t raw = 0;
};

// A 640x480 buffer of pixels in one format: exactly one pointer is set.
struct Canvas {
  PixelFormat format = PixelFormat::Xrgb8888;
  std::uint16_t* pixels16 = nullptr;
  std::uint32_t* pixels32 = nullptr;

  PaintTarget Target(ColorRef color) const {
    return {pixels16, pixels32, RawFromColor(format, color)};
  }
};

// Columns x0..x1 inclusive of row y, any values; clipped.
void FillSpan(const PaintTarget& target, std::int64_t y, std::int64_t x0, std::int64_t x1);
// The half-open box [left, right) x [top, bottom); clipped.
void FillRect(const PaintTarget& target, std::int64_t left, std::int64_t top,
              std::int64_t right, std::int64_t bottom);

// A cosmetic one-pixel line from (x0, y0) up to, but not including, (x1, y1).
void DrawThinLine(const PaintTarget& target, int x0, int y0, int x1, int y1);
// A round-ended stroke `width` (>= 2) pixels wide from (x0, y0) to (x1, y1).
void DrawWideLine(const PaintTarget& target, int x0, int y0, int x1, int y1, int width);

}  // namespace soft
