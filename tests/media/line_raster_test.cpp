#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "surface_probe.h"

namespace {

using probe::Changed;
using probe::Extent;
using probe::Line;
using probe::PixelSet;

// Offsets from the start, drawn start to end. Every octant has halfway
// points: they go to the smaller coordinate (up for x-major, left for
// y-major) whichever way the line runs.
const struct {
  int dx, dy;
  std::vector<std::pair<int, int>> pixels;
} kThin[] = {
    {4, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},     {-4, 2, {{0, 0}, {-1, 0}, {-2, 1}, {-3, 1}}},
    {4, -2, {{0, 0}, {1, -1}, {2, -1}, {3, -2}}}, {-4, -2, {{0, 0}, {-1, -1}, {-2, -1}, {-3, -2}}},
    {2, 4, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},     {-2, 4, {{0, 0}, {-1, 1}, {-1, 2}, {-2, 3}}},
    {2, -4, {{0, 0}, {0, -1}, {1, -2}, {1, -3}}}, {-2, -4, {{0, 0}, {-1, -1}, {-1, -2}, {-2, -3}}},
    {5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}}}, {1, -3, {{0, 0}, {0, -1}, {1, -2}}},
    {-3, 3, {{0, 0}, {-1, 1}, {-2, 2}}},           {-3, 0, {{0, 0}, {-1, 0}, {-2, 0}}},
    {0, 3, {{0, 0}, {0, 1}, {0, 2}}},              {1, 0, {{0, 0}}},
    {0, 0, {}},
};

TEST(ThinLine, PaintsTheStartNeverTheEndInBothDirections) {
  constexpr int kX = 100, kY = 50;
  for (PixelFormat format : probe::kFormats) {
    for (const auto& c : kThin) {
      PixelSet forward;
      for (const auto& [ox, oy] : c.pixels) forward.insert({kX + ox, kY + oy});
      SoftSurface a(format), b(format);
      Line(a, kX, kY, kX + c.dx, kY + c.dy);
      EXPECT_EQ(Changed(a), forward) << c.dx << "," << c.dy;
      // Drawn back: the same pixels with the two ends swapped.
      if (!forward.empty()) {
        forward.erase({kX, kY});
        forward.insert({kX + c.dx, kY + c.dy});
      }
      Line(b, kX + c.dx, kY + c.dy, kX, kY);
      EXPECT_EQ(Changed(b), forward) << "back " << c.dx << "," << c.dy;
    }
  }
}

TEST(ThinLine, FarEndsAreClippedExactly) {
  const struct {
    int x0, y0, x1, y1, count;
    std::vector<std::pair<int, int>> some;  // among the painted pixels
  } cases[] = {
      {INT_MIN, 10, INT_MAX, 10, 640, {{0, 10}, {639, 10}}},
      {INT_MAX, 10, INT_MIN, 10, 640, {{0, 10}, {639, 10}}},
      // Halfway at x = 0 takes the upper pixel; one further on the line is nearer row 1.
      {-2000000000, 0, 2000000000, 1, 640, {{0, 0}, {1, 1}, {639, 1}}},
      {2000000000, 1, -2000000000, 0, 640, {{0, 0}, {1, 1}, {639, 1}}},
      {100, -2000000000, 101, 2000000000, 480, {{100, 0}, {101, 1}, {101, 479}}},
      {-100000, -100000, 100000, 100000, 480, {{0, 0}, {479, 479}}},
      {2000000000, -2000000000, -2000000000, 2000000000, 1, {{0, 0}}},
      {-5, -5, -5, 100000, 0, {}},
      {-100000, 700, 2000000000, 900, 0, {}},
  };
  for (const auto& c : cases) {
    SoftSurface s(PixelFormat::Rgb565);
    Line(s, c.x0, c.y0, c.x1, c.y1);
    const PixelSet painted = Changed(s);
    EXPECT_EQ(int(painted.size()), c.count) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    for (const auto& p : c.some) EXPECT_TRUE(painted.count(p)) << p.first << "," << p.second;
  }
}

TEST(Lines, ExtendedPastTheScreenTheyPaintTheSame) {
  constexpr int kM = 2000000;  // the same direction, 2 million times as long each way
  for (int width : {1, 2, 7}) {
    SoftSurface near(PixelFormat::Xrgb8888), far(PixelFormat::Xrgb8888);
    Line(near, -50, -50, 700, 530, width);
    Line(far, -50 - 750 * kM, -50 - 580 * kM, 700 + 750 * kM, 530 + 580 * kM, width);
    EXPECT_EQ(Changed(near), Changed(far)) << width;
  }
}

TEST(WideLine, StrokesAndDotsSpanTheirWidth) {
  const struct {
    int x0, y0, x1, y1, width;
    std::array<int, 4> extent;
    int count;
  } cases[] = {
      {100, 100, 100, 100, 8, {96, 96, 103, 103}, 4 + 6 + 8 * 4 + 6 + 4},  // rows 4,6,8,8,8,8,6,4
      {50, 50, 50, 50, 1, {0, 0, -1, -1}, 0},
      {50, 50, 50, 50, 0, {0, 0, -1, -1}, 0},
      {50, 50, 50, 50, 2, {49, 49, 50, 50}, 4},
      {50, 50, 50, 50, 3, {49, 49, 51, 51}, 9},
      {50, 50, 50, 50, 5, {48, 48, 52, 52}, 25 - 4},
      {10, 50, 20, 50, 2, {9, 49, 20, 50}, 24},
      {20, 50, 10, 50, 2, {9, 49, 20, 50}, 24},
      {30, 10, 30, 20, 2, {29, 9, 30, 20}, 24},
      {10, 60, 20, 60, 3, {9, 59, 21, 61}, 39},
      {100, 200, 140, 200, 8, {96, 196, 143, 203}, 44 + 46 + 4 * 48 + 46 + 44},
      {-100000, 240, 2000000000, 240, 4, {0, 238, 639, 241}, 4 * 640},
      {320, INT_MIN, 320, INT_MAX, 8, {316, 0, 323, 479}, 8 * 480},
      {-100, -100, -100, -100, 100, {0, 0, -1, -1}, 0},
  };
  for (const auto& c : cases) {
    SoftSurface s(PixelFormat::Xrgb8888);
    Line(s, c.x0, c.y0, c.x1, c.y1, c.width);
    const PixelSet painted = Changed(s);
    EXPECT_EQ(Extent(painted), c.extent) << c.x0 << "," << c.y0 << " w" << c.width;
    EXPECT_EQ(int(painted.size()), c.count) << c.x0 << "," << c.y0 << " w" << c.width;
  }
}

}  // namespace
