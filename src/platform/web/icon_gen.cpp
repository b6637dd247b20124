// web_icon_gen SIZE OUT.png [SIZE OUT.png ...]: the pages' icons, drawn
// from the game's own first frame (the windowed program, with config.txt
// and map.txt of the current directory): the road running to the horizon,
// a square of it resampled to each size.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "headless/headless_frame.h"
#include "headless/input_script.h"

namespace {

// The square of the first frame that shows the horizon, the road's edges
// and the centre line, and none of the labels.
constexpr int kLeft = 224;
constexpr int kTop = 160;
constexpr int kSide = 192;

// Each icon pixel is the mean of the frame's area it covers.
std::vector<std::uint8_t> Resample(const SoftSurface& frame, int size) {
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(size) * size * 3);
  const double step = static_cast<double>(kSide) / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      double sum[3] = {0, 0, 0};
      const double x0 = x * step, x1 = x0 + step, y0 = y * step, y1 = y0 + step;
      for (int sy = static_cast<int>(y0); sy < y1 && sy < kSide; ++sy) {
        const double h = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < x1 && sx < kSide; ++sx) {
          const double w = std::min<double>(sx + 1, x1) - std::max<double>(sx, x0);
          const std::uint32_t c = frame.RgbAt(kLeft + sx, kTop + sy);
          for (int k = 0; k < 3; ++k) sum[k] += w * h * ((c >> (16 - 8 * k)) & 0xFF);
        }
      }
      for (int k = 0; k < 3; ++k) {
        rgb[(static_cast<std::size_t>(y) * size + x) * 3 + k] =
            static_cast<std::uint8_t>(std::clamp(sum[k] / (step * step) + 0.5, 0.0, 255.0));
      }
    }
  }
  return rgb;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 == 0) {
    std::fprintf(stderr, "usage: web_icon_gen SIZE OUT.png [SIZE OUT.png ...]\n");
    return 2;
  }
  HeadlessGame game(Program::Windowed);
  ScriptInput input({});
  input.BeginFrame(1);
  game.Frame(input);
  for (int i = 1; i + 1 < argc; i += 2) {
    const int size = std::atoi(argv[i]);
    if (size <= 0 || size > 4096) {
      std::fprintf(stderr, "web_icon_gen: not a size: %s\n", argv[i]);
      return 2;
    }
    if (!WritePng(Resample(*game.back, size).data(), size, size, argv[i + 1])) {
      std::fprintf(stderr, "web_icon_gen: cannot write %s\n", argv[i + 1]);
      return 1;
    }
  }
  return 0;
}
