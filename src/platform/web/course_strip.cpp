#include "platform/web/course_strip.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "media/soft_surface.h"
#include "platform/web/glyph_table.h"
#include "view/view.h"

namespace {

// From the top of the dot on the last row (222) to below the label, which
// hangs from row 420.
constexpr int kTop = 216;
constexpr int kBottom = 442;
constexpr int kHeader = 16;

struct Strip {
  web_glyphs::TableFaces faces;
  SoftSurface back{PixelFormat::Xrgb8888, faces};
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  std::vector<std::uint8_t> band = std::vector<std::uint8_t>(kHeader + kScreenWidth * (kBottom - kTop) * 4);
};

}  // namespace

const std::uint8_t* DrawCourseStrip(const std::int32_t* course, std::int32_t carPosition) {
  static Strip strip;
  GameState& gs = *strip.gs;
  gs.DDBack = &strip.back;
  std::copy_n(course, kCourseSections, gs.mapDataX);
  std::copy_n(course, kCourseSections, gs.mapDataX + kCourseSections);
  gs.carPosition = carPosition;
  strip.back.ColorFill(0);
  MainLoopViewDrawMap(gs);

  std::int32_t header[4] = {kScreenWidth, kBottom - kTop, kScreenWidth, -1};
  std::uint8_t* out = strip.band.data() + kHeader;
  for (int y = kTop; y < kBottom; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const std::uint32_t rgb = strip.back.RgbAt(x, y);
      if (rgb != 0) {
        header[2] = std::min(header[2], x);
        header[3] = std::max(header[3], x);
      }
      *out++ = rgb >> 16 & 0xFF;
      *out++ = rgb >> 8 & 0xFF;
      *out++ = rgb & 0xFF;
      *out++ = 0xFF;
    }
  }
  std::memcpy(strip.band.data(), header, sizeof header);
  return strip.band.data();
}
