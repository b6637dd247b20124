#include "picture.h"


#include <cstdio>
#include <memory>

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The next header number of a PPM, skipping white space and comments.
bool ReadHeaderNumber(std::FILE* file, int& value) {
  int c = std::fgetc(file);
  for (;;) {
    while (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = std::fgetc(file);
    if (c != '#') break;
    while (c != '\n' && c != EOF) c = std::fgetc(file);
  }
  if (c < '0' || c > '9') return false;
  long long v = 0;
  while (c >= '0' && c <= '9') {
    v = v * 10 + (c - '0');
    if (v > 100000) return false;
    c = std::fgetc(file);
  }
  value = static_cast<int>(v);
  return true;  // the one white-space byte after the number is consumed
}

}  // namespace

Picture ReadPpm(const std::string& path, std::string& error) {
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    error = "cannot open " + path;
    return {};
  }
  Picture picture;
  int maxval = 0;
  if (std::fgetc(file.get()) != 'P' || std::fgetc(file.get()) != '6' ||
      !ReadHeaderNumber(file.get(), picture.width) ||
      !ReadHeaderNumber(file.get(), picture.height) || !ReadHeaderNumber(file.get(), maxval) ||
      maxval != 255 || picture.width <= 0 || picture.height <= 0) {
    error = path + " is not an 8-bit binary PPM";
    return {};
  }
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
  std::vector<unsigned char> bytes(count * 3);
  if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) {
    error = path + " is cut short";
    return {};
  }
  picture.rgb.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    picture.rgb[i] = static_cast<std::uint32_t>(bytes[3 * i]) << 16 |
                     static_cast<std::uint32_t>(bytes[3 * i + 1]) << 8 | bytes[3 * i + 2];
  }
  return picture;
}

Picture ReadPng(const std::string& path, std::string& error) {
  Picture picture{kScreenWidth, kScreenHeight, ::ReadPng(path.c_str())};
  if (picture.rgb.empty()) error = "cannot read " + path + " as a 640x480 PNG";
  return picture;
}

Picture FromSurface(const SoftSurface& surface) {
  Picture picture;
  picture.width = kScreenWidth;
  picture.height = kScreenHeight;
  picture.rgb.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      picture.rgb[static_cast<std::size_t>(y) * kScreenWidth + x] = surface.RgbAt(x, y);
    }
  }
  return picture;
}

bool WritePicturePpm(const std::string& path, const Picture& picture) {
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  std::fprintf(file.get(), "P6\n%d %d\n255\n", picture.width, picture.height);
  std::vector<unsigned char> bytes;
  bytes.reserve(picture.rgb.size() * 3);
  for (std::uint32_t p : picture.rgb) {
    bytes.push_back(static_cast<unsigned char>(p >> 16));
    bytes.push_back(static_cast<unsigned char>(p >> 8));
    bytes.push_back(static_cast<unsigned char>(p));
  }
  return std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}
