// The full-screen picture on a desktop of any size: the 640x480 back buffer
// scaled by a whole number with nearest neighbour, so that every pixel is
// the same square, then in one smooth (linear) step to the largest size
// that fits with the aspect kept. The rest of the screen is black.
#pragma once

#include <cstdint>
#include <vector>

#include "media/soft_surface.h"

struct ScreenFit {
  int factor = 1;  // the whole-number step, at least 1
  // Where the picture lands, centred; 0 by 0 on a screen of no size.
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenFit&) const = default;
};

ScreenFit FitToScreen(int screenWidth, int screenHeight);

// Both steps at once, from tables made once per fit: each screen pixel
// blends at most two back-buffer pixels each way, and copies one where they
// are alike, which is almost everywhere in this game's pictures.
class ScreenScaler {
 public:
  explicit ScreenScaler(const ScreenFit& fit);

  // The picture as 0x00RRGGBB into `out`, its top-left pixel; rows are
  // `pitch` pixels apart.
  void Scale(const SoftSurface& back, std::uint32_t* out, int pitch);

 private:
  struct Tap {
    int first, second;  // back-buffer columns (or rows)
    unsigned weight;    // of the second, in 256ths
  };
  static std::vector<Tap> Taps(int screen, int source, int factor);
  // One row of 640 pixels across the screen's width.
  void Widen(const std::uint32_t* line, std::uint32_t* to) const;

  ScreenFit fit_;
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
  std::vector<int> runStart_;
  std::vector<int> runEnd_;
  std::vector<std::uint32_t> rgb_;  // the back buffer in 0x00RRGGBB
};
