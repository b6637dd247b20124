#include <png.h>

#include <cstring>
#include <vector>

#include "media/soft_surface.h"

bool WritePng(const std::uint8_t* rgb, int width, int height, const char* path) {
  if (path == nullptr) return false;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_RGB;
  const int ok = png_image_write_to_file(&image, path, 0, rgb, width * 3, nullptr);
  png_image_free(&image);
  return ok != 0;
}

bool WritePng(const SoftSurface& surface, const char* path) {
  const std::string rgb = surface.Rgb();
  return WritePng(reinterpret_cast<const std::uint8_t*>(rgb.data()), kScreenWidth, kScreenHeight, path);
}

std::vector<std::uint32_t> ReadPng(const char* path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (path == nullptr || png_image_begin_read_from_file(&image, path) == 0) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  const bool read = image.width == kScreenWidth && image.height == kScreenHeight &&
                    png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  std::vector<std::uint32_t> pixels;
  if (!read) return pixels;
  pixels.reserve(rgb.size() / 3);
  for (std::size_t i = 0; i < rgb.size(); i += 3) {
    pixels.push_back(std::uint32_t{rgb[i]} << 16 | std::uint32_t{rgb[i + 1]} << 8 | rgb[i + 2]);
  }
  return pixels;
}
