// 640x480 pictures as 0xRRGGBB per pixel: read from binary PPM (what the
// Windows build's test mode writes) and PNG (what racer_sim writes), taken
// from the software back buffer, and written as PPM.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/soft_surface.h"

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;

  std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
};

// Empty picture (width 0) with `error` set when the file cannot be read.
Picture ReadPpm(const std::string& path, std::string& error);
Picture ReadPng(const std::string& path, std::string& error);
Picture FromSurface(const SoftSurface& surface);
bool WritePicturePpm(const std::string& path, const Picture& picture);
