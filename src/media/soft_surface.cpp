#include "media/soft_surface.h"

#include <cassert>
#include <cstring>

#include "media/soft_context.h"

SoftSurface::SoftSurface(PixelFormat format)
    : format_(format),
      pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight * (format == PixelFormat::Rgb565 ? 2 : 4), 0),
      context_(std::make_unique<Context>(*this)) {}

SoftSurface::~SoftSurface() = default;

bool SoftSurface::borrowed() const { return context_->borrowed; }

DrawContext* SoftSurface::GetDC() {
  // The surface is locked while its context is out: a second borrow is a
  // fault in the caller.
  assert(!context_->borrowed && "back buffer context borrowed twice");
  if (context_->borrowed) return nullptr;
  context_->Reset();
  context_->borrowed = true;
  return context_.get();
}

void SoftSurface::ReleaseDC(DrawContext* dc) {
  if (dc == context_.get()) context_->borrowed = false;
}

void SoftSurface::ColorFill(std::uint32_t raw) {
  if (format_ == PixelFormat::Rgb565) {
    const auto v = static_cast<std::uint16_t>(raw & 0xFFFF);
    auto* p = reinterpret_cast<std::uint16_t*>(pixels_.data());
    std::fill(p, p + kScreenWidth * kScreenHeight, v);
  } else {
    auto* p = reinterpret_cast<std::uint32_t*>(pixels_.data());
    std::fill(p, p + kScreenWidth * kScreenHeight, raw);
  }
}

std::uint32_t SoftSurface::RawAt(int x, int y) const {
  const size_t i = static_cast<size_t>(y) * kScreenWidth + static_cast<size_t>(x);
  if (format_ == PixelFormat::Rgb565) return reinterpret_cast<const std::uint16_t*>(pixels_.data())[i];
  return reinterpret_cast<const std::uint32_t*>(pixels_.data())[i];
}

std::uint32_t SoftSurface::RgbAt(int x, int y) const {
  const std::uint32_t raw = RawAt(x, y);
  if (format_ == PixelFormat::Xrgb8888) return raw & 0xFFFFFF;
  // Widen 5 and 6 bits to 8 by repeating their top bits, so white stays white.
  const std::uint32_t r5 = (raw >> 11) & 31, g6 = (raw >> 5) & 63, b5 = raw & 31;
  const std::uint32_t r = (r5 << 3) | (r5 >> 2), g = (g6 << 2) | (g6 >> 4), b = (b5 << 3) | (b5 >> 2);
  return (r << 16) | (g << 8) | b;
}

std::uint32_t SoftSurface::RawOf(ColorRef color) const {
  const std::uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (format_ == PixelFormat::Rgb565) return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
  return (r << 16) | (g << 8) | b;
}

void SoftSurface::Span(int x0, int x1, int y, std::uint32_t raw) {
  if (y < 0 || y >= kScreenHeight) return;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, kScreenWidth - 1);
  if (x0 > x1) return;
  const size_t row = static_cast<size_t>(y) * kScreenWidth;
  if (format_ == PixelFormat::Rgb565) {
    auto* p = reinterpret_cast<std::uint16_t*>(pixels_.data()) + row;
    std::fill(p + x0, p + x1 + 1, static_cast<std::uint16_t>(raw));
  } else {
    auto* p = reinterpret_cast<std::uint32_t*>(pixels_.data()) + row;
    std::fill(p + x0, p + x1 + 1, raw);
  }
}

void SoftSurface::Plot(int x, int y, std::uint32_t raw) {
  if (x < 0 || y < 0 || x >= kScreenWidth || y >= kScreenHeight) return;
  const size_t i = static_cast<size_t>(y) * kScreenWidth + static_cast<size_t>(x);
  if (format_ == PixelFormat::Rgb565) {
    reinterpret_cast<std::uint16_t*>(pixels_.data())[i] = static_cast<std::uint16_t>(raw);
  } else {
    reinterpret_cast<std::uint32_t*>(pixels_.data())[i] = raw;
  }
}
