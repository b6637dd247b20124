// Pictures held to one another pixel by pixel.
#pragma once

#include <cstdint>
#include <vector>

#include "media/soft_surface.h"

namespace testing_support {

// The surface's pixels that differ from `rgb`, a 640x480 picture as
// ReadPng gives it; every pixel when it has another size.
inline int DifferingPixels(const std::vector<std::uint32_t>& rgb, const SoftSurface& surface) {
  if (rgb.size() != static_cast<std::size_t>(kScreenWidth) * kScreenHeight) return kScreenWidth * kScreenHeight;
  int differing = 0;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) differing += rgb[static_cast<std::size_t>(y) * kScreenWidth + x] != surface.RgbAt(x, y);
  }
  return differing;
}

}  // namespace testing_support
