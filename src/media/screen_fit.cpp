#include "media/screen_fit.h"

#include <algorithm>
#include <cstring>

ScreenFit FitToScreen(int screenWidth, int screenHeight) {
  ScreenFit fit;
  if (screenWidth <= 0 || screenHeight <= 0) return fit;
  const std::int64_t w = screenWidth;
  const std::int64_t h = screenHeight;
  // The height fills the screen unless the screen is narrower than 4:3.
  if (w * kScreenHeight >= h * kScreenWidth) {
    fit.height = screenHeight;
    fit.width = static_cast<int>((h * kScreenWidth * 2 + kScreenHeight) / (kScreenHeight * 2));
  } else {
    fit.width = screenWidth;
    fit.height = static_cast<int>((w * kScreenHeight * 2 + kScreenWidth) / (kScreenWidth * 2));
  }
  fit.factor = std::max(1, std::min(fit.width / kScreenWidth, fit.height / kScreenHeight));
  fit.x = (screenWidth - fit.width) / 2;
  fit.y = (screenHeight - fit.height) / 2;
  return fit;
}

ScreenScaler::ScreenScaler(const ScreenFit& fit)
    : fit_(fit),
      columns_(Taps(fit.width, kScreenWidth, fit.factor)),
      rows_(Taps(fit.height, kScreenHeight, fit.factor)),
      runStart_(kScreenWidth + 1, fit.width),
      runEnd_(kScreenWidth, 0) {
  // runStart_[x]: the first screen column that sees nothing left of x;
  // runEnd_[x]: one past the last that sees nothing right of x.
  for (std::size_t i = columns_.size(); i-- > 0;) runStart_[static_cast<std::size_t>(columns_[i].first)] = static_cast<int>(i);
  for (std::size_t x = kScreenWidth; x-- > 0;) runStart_[x] = std::min(runStart_[x], runStart_[x + 1]);
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    const Tap& tap = columns_[i];
    runEnd_[static_cast<std::size_t>(tap.weight == 0 ? tap.first : tap.second)] = static_cast<int>(i) + 1;
  }
  for (std::size_t x = 1; x < kScreenWidth; ++x) runEnd_[x] = std::max(runEnd_[x], runEnd_[x - 1]);
}

// Screen pixel i's centre falls at u in the whole-number picture (source *
// factor pixels); the linear step blends the two pixels about it, and each
// of those is a back-buffer pixel `factor` times over.
std::vector<ScreenScaler::Tap> ScreenScaler::Taps(int screen, int source, int factor) {
  std::vector<Tap> taps(static_cast<std::size_t>(std::max(screen, 0)));
  const std::int64_t whole = static_cast<std::int64_t>(source) * factor;
  for (int i = 0; i < screen; ++i) {
    // u = (i + 1/2) * whole / screen - 1/2, in 256ths
    const std::int64_t u = ((2 * i + 1) * whole * 256 / screen - 256) / 2;
    const std::int64_t at = std::clamp<std::int64_t>(u >> 8, 0, whole - 1);
    const std::int64_t next = std::min(at + 1, whole - 1);
    const auto weight = u < 0 ? 0u : static_cast<unsigned>(u & 255);
    taps[static_cast<std::size_t>(i)] = {static_cast<int>(at / factor), static_cast<int>(next / factor), weight};
  }
  return taps;
}

namespace {

// Every 16-bit pixel's colour, looked up rather than worked out for each
// pixel of each frame.
const std::uint32_t* RgbOf565() {
  static const auto* table = [] {
    auto* t = new std::uint32_t[65536];
    for (std::uint32_t raw = 0; raw < 65536; ++raw) t[raw] = RgbFromRaw(PixelFormat::Rgb565, raw);
    return t;
  }();
  return table;
}

std::uint32_t Blend(std::uint32_t a, std::uint32_t b, unsigned weight) {
  if (a == b || weight == 0) return a;
  const unsigned keep = 256 - weight;
  const std::uint32_t redBlue = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * weight) >> 8;
  const std::uint32_t green = ((a & 0x00FF00) * keep + (b & 0x00FF00) * weight) >> 8;
  return (redBlue & 0xFF00FF) | (green & 0x00FF00);
}

// One back-buffer row as 0x00RRGGBB.
void RowRgb(const SoftSurface& back, int y, std::uint32_t* out) {
  const std::uint8_t* from = back.pixels() + static_cast<std::ptrdiff_t>(y) * back.pitch();
  if (back.format() == PixelFormat::Rgb565) {
    const std::uint32_t* rgb = RgbOf565();
    for (int x = 0; x < kScreenWidth; ++x) {
      std::uint16_t raw;
      std::memcpy(&raw, from + 2 * x, sizeof raw);
      out[x] = rgb[raw];
    }
  } else {
    std::memcpy(out, from, kScreenWidth * sizeof(std::uint32_t));
    for (int x = 0; x < kScreenWidth; ++x) out[x] &= 0xFFFFFF;
  }
}

}  // namespace

void ScreenScaler::Scale(const SoftSurface& back, std::uint32_t* out, int pitch) {
  rgb_.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) RowRgb(back, y, &rgb_[static_cast<std::size_t>(y) * kScreenWidth]);
  // Down first, at the back buffer's width; then across. A screen row that
  // sees the same back-buffer rows as the one above is a copy of it.
  std::uint32_t mixed[kScreenWidth];
  Tap above{-1, -1, 0};
  for (int y = 0; y < fit_.height; ++y) {
    Tap row = rows_[static_cast<std::size_t>(y)];
    const std::uint32_t* upper = &rgb_[static_cast<std::size_t>(row.first) * kScreenWidth];
    const std::uint32_t* lower = &rgb_[static_cast<std::size_t>(row.second) * kScreenWidth];
    if (row.weight == 0 || std::memcmp(upper, lower, sizeof mixed) == 0) row = {row.first, row.first, 0};
    std::uint32_t* to = out + static_cast<std::ptrdiff_t>(y) * pitch;
    if (row.first == above.first && row.second == above.second && row.weight == above.weight) {
      std::memcpy(to, to - pitch, static_cast<std::size_t>(fit_.width) * 4);
      continue;
    }
    above = row;
    const std::uint32_t* line = upper;
    if (row.weight != 0) {
      for (int x = 0; x < kScreenWidth; ++x) mixed[x] = Blend(upper[x], lower[x], row.weight);
      line = mixed;
    }
    Widen(line, to);
  }
}

// A run of like pixels fills the screen columns that see only it; the few
// columns between runs blend.
void ScreenScaler::Widen(const std::uint32_t* line, std::uint32_t* to) const {
  for (int x = 0; x < kScreenWidth;) {
    int end = x + 1;
    while (end < kScreenWidth && line[end] == line[x]) ++end;
    const int fillStart = runStart_[static_cast<std::size_t>(x)];
    const int fillEnd = std::max(fillStart, runEnd_[static_cast<std::size_t>(end - 1)]);
    std::fill(to + fillStart, to + fillEnd, line[x]);
    for (int i = fillEnd; i < runStart_[static_cast<std::size_t>(end)]; ++i) {
      const Tap& column = columns_[static_cast<std::size_t>(i)];
      to[i] = Blend(line[column.first], line[column.second], column.weight);
    }
    x = end;
  }
}
