#include "media/soft_surface.h"

#include <algorithm>
#include <cassert>

#include "media/soft_context.h"
#include "media/soft_raster.h"

std::uint32_t RawFromColor(PixelFormat format, ColorRef color) {
  const std::uint32_t red = color & 0xFF;
  const std::uint32_t green = (color >> 8) & 0xFF;
  const std::uint32_t blue = (color >> 16) & 0xFF;
  if (format == PixelFormat::Rgb565) return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
  return red << 16 | green << 8 | blue;
}

std::uint32_t RgbFromRaw(PixelFormat format, std::uint32_t raw) {
  if (format == PixelFormat::Xrgb8888) return raw & 0xFFFFFF;
  const std::uint32_t red = (raw >> 11) & 0x1F;
  const std::uint32_t green = (raw >> 5) & 0x3F;
  const std::uint32_t blue = raw & 0x1F;
  return (red << 3 | red >> 2) << 16 | (green << 2 | green >> 4) << 8 | (blue << 3 | blue >> 2);
}

SoftSurface::SoftSurface(PixelFormat format)
    : format_(format), context_(std::make_unique<Context>(*this)) {
  constexpr std::size_t kPixels = static_cast<std::size_t>(kScreenWidth) * kScreenHeight;
  if (format_ == PixelFormat::Rgb565) {
    pixels16_.assign(kPixels, 0);
  } else {
    pixels32_.assign(kPixels, 0);
  }
}

SoftSurface::~SoftSurface() = default;

// The surface is locked while its context is out: a second borrow is a
// fault in the caller.
DrawContext* SoftSurface::GetDC() {
  assert(!context_->out && "back buffer context borrowed twice");
  if (context_->out) return nullptr;
  context_->Reset();
  context_->out = true;
  return context_.get();
}

void SoftSurface::ReleaseDC(DrawContext* dc) {
  if (dc == nullptr) return;
  assert(dc == context_.get() && context_->out && "ReleaseDC of a context that is not out");
  if (dc == context_.get()) context_->out = false;
}

void SoftSurface::ColorFill(std::uint32_t raw) {
  assert(!context_->out && "ColorFill while the back buffer context is borrowed");
  if (context_->out) return;
  if (format_ == PixelFormat::Rgb565) {
    std::fill(pixels16_.begin(), pixels16_.end(), static_cast<std::uint16_t>(raw));
  } else {
    std::fill(pixels32_.begin(), pixels32_.end(), raw);
  }
}

bool SoftSurface::borrowed() const { return context_->out; }

std::uint32_t SoftSurface::RawAt(int x, int y) const {
  if (x < 0 || x >= kScreenWidth || y < 0 || y >= kScreenHeight) return 0;
  const std::size_t i = static_cast<std::size_t>(y) * kScreenWidth + static_cast<std::size_t>(x);
  return format_ == PixelFormat::Rgb565 ? pixels16_[i] : pixels32_[i];
}

std::uint32_t SoftSurface::RgbAt(int x, int y) const { return RgbFromRaw(format_, RawAt(x, y)); }

std::uint32_t SoftSurface::RawOf(ColorRef color) const { return RawFromColor(format_, color); }

void SoftSurface::Span(int x0, int x1, int y, std::uint32_t raw) {
  soft::PaintTarget target = context_->Target(0);
  target.raw = raw;
  soft::FillSpan(target, y, x0, x1);
}

void SoftSurface::Plot(int x, int y, std::uint32_t raw) { Span(x, x, y, raw); }
