// A 640x480 back buffer in memory with a software drawing context that
// follows the platform's rules for pens, lines and text.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "media/draw_context.h"

enum class PixelFormat {
  Rgb565,    // 16 bits per pixel, the full-screen program's
  Xrgb8888,  // 32 bits per pixel, the usual desktop format
};

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;

class SoftSurface final : public Surface {
 public:
  explicit SoftSurface(PixelFormat format);
  ~SoftSurface();
  SoftSurface(const SoftSurface&) = delete;
  SoftSurface& operator=(const SoftSurface&) = delete;

  DrawContext* GetDC() override;
  void ReleaseDC(DrawContext* dc) override;
  // Takes the low 16 bits of `raw` in Rgb565, the low 32 in Xrgb8888.
  void ColorFill(std::uint32_t raw) override;

  PixelFormat format() const { return format_; }
  int bytesPerPixel() const { return format_ == PixelFormat::Rgb565 ? 2 : 4; }
  int pitch() const { return kScreenWidth * bytesPerPixel(); }
  const std::uint8_t* pixels() const { return pixels_.data(); }
  bool borrowed() const;

  // Raw pixel value at (x, y) in the surface's format.
  std::uint32_t RawAt(int x, int y) const;
  // The pixel at (x, y) as 8-bit red, green, blue (0xRRGGBB).
  std::uint32_t RgbAt(int x, int y) const;

 // Pixel writers for the drawing context, clipped to the surface.
  std::uint32_t RawOf(ColorRef color) const;
  void Span(int x0, int x1, int y, std::uint32_t raw);
  void Plot(int x, int y, std::uint32_t raw);

  struct Context;

 private:
  PixelFormat format_;
  std::vector<std::uint8_t> pixels_;
  std::unique_ptr<Context> context_;
};

// Makes text draw nothing, as on a machine without the game's fonts.
void DisableFontsForTesting();

// Writes the surface as a 640x480 RGB PNG. Returns false when the file
// cannot be written.
bool WritePng(const SoftSurface& surface, const char* path);
