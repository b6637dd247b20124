#include "media/soft_surface.h"

#include <algorithm>
#include <cassert>

#include "media/soft_context.h"
#include "media/soft_raster.h"

SoftSurface::SoftSurface(PixelFormat format, soft::Faces& faces) : format_(format) {
  constexpr std::size_t kPixels = static_cast<std::size_t>(kScreenWidth) * kScreenHeight;
  if (format_ == PixelFormat::Rgb565) {
    pixels16_.assign(kPixels, 0);
  } else {
    pixels32_.assign(kPixels, 0);
  }
  // The pixels never move: the context keeps pointing at them.
  context_ = std::make_unique<SoftContext>(canvas(), faces);
}

soft::Canvas SoftSurface::canvas() {
  return {format_, pixels16_.empty() ? nullptr : pixels16_.data(),
          pixels32_.empty() ? nullptr : pixels32_.data()};
}

SoftSurface::~SoftSurface() = default;

// The surface is locked while its context is out: a second borrow is a
// fault in the caller.
DrawContext* SoftSurface::GetDC() {
  assert(!out_ && "back buffer context borrowed twice");
  if (out_) return nullptr;
  context_->Reset();
  out_ = true;
  return context_.get();
}

void SoftSurface::ReleaseDC(DrawContext* dc) {
  if (dc == nullptr) return;
  assert(dc == context_.get() && out_ && "ReleaseDC of a context that is not out");
  if (dc == context_.get()) out_ = false;
}

void SoftSurface::ColorFill(std::uint32_t raw) {
  assert(!out_ && "ColorFill while the back buffer context is borrowed");
  if (out_) return;
  if (format_ == PixelFormat::Rgb565) {
    std::fill(pixels16_.begin(), pixels16_.end(), static_cast<std::uint16_t>(raw));
  } else {
    std::fill(pixels32_.begin(), pixels32_.end(), raw);
  }
}

bool SoftSurface::borrowed() const { return out_; }

std::uint32_t SoftSurface::RawAt(int x, int y) const {
  if (x < 0 || x >= kScreenWidth || y < 0 || y >= kScreenHeight) return 0;
  const std::size_t i = static_cast<std::size_t>(y) * kScreenWidth + static_cast<std::size_t>(x);
  return format_ == PixelFormat::Rgb565 ? pixels16_[i] : pixels32_[i];
}

std::uint32_t SoftSurface::RgbAt(int x, int y) const { return RgbFromRaw(format_, RawAt(x, y)); }

std::string SoftSurface::ReadRgb(int& width, int& height) {
  width = kScreenWidth;
  height = kScreenHeight;
  return Rgb();
}

std::string SoftSurface::Rgb() const {
  std::string rgb;
  rgb.reserve(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t pixel = RgbAt(x, y);
      rgb += static_cast<char>(pixel >> 16);
      rgb += static_cast<char>(pixel >> 8);
      rgb += static_cast<char>(pixel);
    }
  }
  return rgb;
}

std::uint32_t SoftSurface::RawOf(ColorRef color) const { return RawFromColor(format_, color); }

void SoftSurface::Span(int x0, int x1, int y, std::uint32_t raw) {
  soft::PaintTarget target = canvas().Target(0);
  target.raw = raw;
  soft::FillSpan(target, y, x0, x1);
}

void SoftSurface::Plot(int x, int y, std::uint32_t raw) { Span(x, x, y, raw); }
