// A 640x480 back buffer in memory with a software drawing context that
// follows the platform's rules for pens, lines and text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/face_cache.h"
#include "media/soft_raster.h"
#include "platform_api.h"

class SoftContext;

// The back buffer's format in each program: 16 bits over the whole screen,
// the desktop's 32 bits in the window.
constexpr PixelFormat BackBufferFormat(Program program) {
  return program == Program::FullScreen ? PixelFormat::Rgb565 : PixelFormat::Xrgb8888;
}

class SoftSurface final : public Surface {
 public:
  // Text is drawn with `faces`: the font files' unless the platform has
  // faces of its own.
  explicit SoftSurface(PixelFormat format, soft::Faces& faces = soft::FontFileFaces());
  ~SoftSurface();
  SoftSurface(const SoftSurface&) = delete;
  SoftSurface& operator=(const SoftSurface&) = delete;

  // A second GetDC while the context is out asserts in debug builds and
  // returns null otherwise. Each borrow starts from the default state: a
  // one-pixel black pen, the default font, opaque white text background,
  // black text, current position (0, 0).
  DrawContext* GetDC() override;
  // Null is ignored; anything but the context that is out asserts.
  void ReleaseDC(DrawContext* dc) override;
  // Takes the low 16 bits of `raw` in Rgb565, the low 32 in Xrgb8888. Like a
  // locked surface it refuses, asserting in debug builds, while the context
  // is out.
  void ColorFill(std::uint32_t raw) override;
  std::string ReadRgb(int& width, int& height) override;
  // Every pixel's red, green and blue bytes, row by row.
  std::string Rgb() const;

  PixelFormat format() const { return format_; }
  int bytesPerPixel() const { return format_ == PixelFormat::Rgb565 ? 2 : 4; }
  int pitch() const { return kScreenWidth * bytesPerPixel(); }
  const std::uint8_t* pixels() const {
    return format_ == PixelFormat::Rgb565
               ? reinterpret_cast<const std::uint8_t*>(pixels16_.data())
               : reinterpret_cast<const std::uint8_t*>(pixels32_.data());
  }
  bool borrowed() const;

  // Raw pixel value at (x, y) in the surface's format; 0 off the surface.
  std::uint32_t RawAt(int x, int y) const;
  // The pixel at (x, y) as 8-bit red, green, blue (0xRRGGBB).
  std::uint32_t RgbAt(int x, int y) const;

  // Pixel writers, clipped to the surface; Span takes x0..x1 inclusive.
  std::uint32_t RawOf(ColorRef color) const;
  void Span(int x0, int x1, int y, std::uint32_t raw);
  void Plot(int x, int y, std::uint32_t raw);

 private:
  soft::Canvas canvas();

  PixelFormat format_;
  // One of the two holds the pixels row by row; the other stays empty.
  std::vector<std::uint16_t> pixels16_;
  std::vector<std::uint32_t> pixels32_;
  std::unique_ptr<SoftContext> context_;
  bool out_ = false;  // the context is borrowed
};

// Writes the surface as a 640x480 RGB PNG. Returns false when the file
// cannot be written.
bool WritePng(const SoftSurface& surface, const char* path);
// Writes `width` by `height` pixels of 8-bit red, green, blue, row by row.
bool WritePng(const std::uint8_t* rgb, int width, int height, const char* path);

// A 640x480 PNG as 0xRRGGBB a pixel, row by row; empty when the file cannot
// be read or has another size.
std::vector<std::uint32_t> ReadPng(const char* path);
