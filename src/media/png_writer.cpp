#include <png.h>

#include <cstring>
#include <vector>

#include "media/soft_surface.h"

bool WritePng(const SoftSurface& surface, const char* path) {
  if (path == nullptr) return false;
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
  std::uint8_t* out = rgb.data();
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t c = surface.RgbAt(x, y);
      *out++ = static_cast<std::uint8_t>(c >> 16);
      *out++ = static_cast<std::uint8_t>(c >> 8);
      *out++ = static_cast<std::uint8_t>(c);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = kScreenWidth;
  image.height = kScreenHeight;
  image.format = PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path, 0, rgb.data(), kScreenWidth * 3, nullptr);
  png_image_free(&image);
  return ok != 0;
}
