#include "picture.h"

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>

namespace racer_check {
namespace {

constexpr int kWidth = 800;
constexpr int kMapTop = 40;      // the map: one row per section, section 0 at the bottom
constexpr int kMapBottom = kMapTop + kCourseSections;
constexpr int kProfileMiddle = kMapBottom + 100;
constexpr int kProfileHalf = 70;  // the tightest bend reaches this far from the zero line
constexpr int kHeight = kProfileMiddle + kProfileHalf + 34;

struct Rgb {
  double r, g, b;
};
constexpr Rgb kRight{0.78, 0.16, 0.13};
constexpr Rgb kLeft{0.13, 0.38, 0.78};
constexpr Rgb kStraight{0.35, 0.35, 0.35};
constexpr Rgb kInk{0.1, 0.1, 0.1};
constexpr Rgb kStart{0.1, 0.6, 0.2};

void Colour(cairo_t* cr, Rgb c) { cairo_set_source_rgb(cr, c.r, c.g, c.b); }
Rgb BendColour(std::int32_t bend) { return bend > 0 ? kRight : bend < 0 ? kLeft : kStraight; }

void Text(cairo_t* cr, double x, double y, const std::string& text, double size = 13) {
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

void Ring(cairo_t* cr, double x, double y, double radius) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
}

// An arrowhead at (x, y) pointing along (dx, dy).
void Arrow(cairo_t* cr, double x, double y, double dx, double dy) {
  const double length = std::hypot(dx, dy);
  if (length == 0) return;
  dx = dx / length * 12;
  dy = dy / length * 12;
  cairo_move_to(cr, x, y);
  cairo_line_to(cr, x - dx - dy * 0.5, y - dy + dx * 0.5);
  cairo_line_to(cr, x - dx + dy * 0.5, y - dy - dx * 0.5);
  cairo_close_path(cr);
  cairo_fill(cr);
}

std::string Label(const char* way, const file_check::Bend& bend) {
  return std::string(way) + " " + std::to_string(bend.value) + " at " + std::to_string(bend.sections.front()) +
         (bend.sections.size() > 1 ? "-" + std::to_string(bend.sections.back()) : "");
}

}  // namespace

bool WriteCoursePicture(const file_check::Report& report, const std::string& path) {
  const auto& course = report.course;
  // As the game's course map: each row leans by the running sum of the
  // bends / 64 (the map samples every fourth section into a quarter of the
  // rows, so this is the same strip four times as large), shrunk only when
  // it would leave the picture.
  std::array<double, kCourseSections> lean;
  std::partial_sum(course.begin(), course.end(), lean.begin(), [](double sum, std::int32_t bend) { return sum + bend; });
  for (double& row : lean) row /= 64;
  const auto [low, high] = std::minmax_element(lean.begin(), lean.end());
  const double scale = std::min(1.0, (kWidth - 80) / std::max(*high - *low, 1.0));
  const double middle = (*high + *low) / 2;
  auto x = [&](int s) { return kWidth / 2 + (lean[s] - middle) * scale; };
  auto y = [&](int s) { return static_cast<double>(kMapBottom - s); };

  std::unique_ptr<cairo_surface_t, void (*)(cairo_surface_t*)> surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight), cairo_surface_destroy);
  std::unique_ptr<cairo_t, void (*)(cairo_t*)> context(cairo_create(surface.get()), cairo_destroy);
  cairo_t* cr = context.get();
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  Colour(cr, kInk);
  Text(cr, 12, 24, (report.mapFile.empty() ? std::string("no course file") : report.mapFile) +
                       ": the course map, one row a section, leaning with the bends so far", 15);

  // The strip, coloured by the bend of each section.
  cairo_set_line_width(cr, 3);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  for (int s = 1; s < kCourseSections; ++s) {
    Colour(cr, BendColour(course[s]));
    cairo_move_to(cr, x(s - 1), y(s - 1));
    cairo_line_to(cr, x(s), y(s));
    cairo_stroke(cr);
  }
  // The direction of travel, the start and the tightest bends.
  // Labels go to the roomier side of the strip.
  auto side = [&](int s, double width) { return x(s) < kWidth / 2 ? x(s) + 16 : x(s) - 16 - width; };
  Colour(cr, kInk);
  for (int s = 100; s < kCourseSections; s += 100) {
    Arrow(cr, x(s), y(s), x(s) - x(s - 4), y(s) - y(s - 4));
    Text(cr, side(s, 24), y(s) + 4, std::to_string(s), 11);
  }
  Colour(cr, kStart);
  Ring(cr, x(0), y(0), 7);
  cairo_fill(cr);
  Text(cr, side(0, 190), y(0) + 4, "start: section 0, driving up");
  for (const auto& [bend, way] : {std::pair{&report.right, "tightest right"}, std::pair{&report.left, "tightest left"}}) {
    if (bend->sections.empty()) continue;
    const int s = bend->sections[bend->sections.size() / 2];
    Colour(cr, BendColour(bend->value));
    cairo_set_line_width(cr, 2);
    Ring(cr, x(s), y(s), 11);
    cairo_stroke(cr);
    Text(cr, side(s, 190), y(s) + 4, Label(way, *bend));
  }

  // The bend profile: a bar a section, the tightest bend full height.
  const double most = std::max({std::abs(report.right.value), std::abs(report.left.value), 1});
  Colour(cr, kInk);
  Text(cr, 12, kProfileMiddle - kProfileHalf - 10, "bend by section (right up, left down; tightest " +
                                                       std::to_string(report.right.value) + " and " +
                                                       std::to_string(report.left.value) + ")");
  for (int s = 0; s < kCourseSections; ++s) {
    Colour(cr, BendColour(course[s]));
    cairo_rectangle(cr, s, kProfileMiddle, 1, -course[s] / most * kProfileHalf);
    cairo_fill(cr);
  }
  Colour(cr, kInk);
  cairo_set_line_width(cr, 1);
  cairo_move_to(cr, 0, kProfileMiddle + 0.5);
  cairo_line_to(cr, kWidth, kProfileMiddle + 0.5);
  cairo_stroke(cr);
  for (int s = 0; s <= kCourseSections; s += 100) {
    cairo_move_to(cr, s + 0.5, kProfileMiddle + kProfileHalf + 4);
    cairo_line_to(cr, s + 0.5, kProfileMiddle + kProfileHalf + 10);
    cairo_stroke(cr);
    Text(cr, std::min(s + 3, kWidth - 28), kProfileMiddle + kProfileHalf + 24, std::to_string(s), 11);
  }
  cairo_surface_flush(surface.get());
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
         cairo_surface_write_to_png(surface.get(), path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace racer_check
