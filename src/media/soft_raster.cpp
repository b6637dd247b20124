#include "media/soft_raster.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <utility>

std::uint32_t RawFromColor(PixelFormat format, ColorRef color) {
  const std::uint32_t red = color & 0xFF;
  const std::uint32_t green = (color >> 8) & 0xFF;
  const std::uint32_t blue = (color >> 16) & 0xFF;
  if (format == PixelFormat::Rgb565) return (red >> 3) << 11 | (green >> 2) << 5 | (blue >> 3);
  return red << 16 | green << 8 | blue;
}

std::uint32_t RgbFromRaw(PixelFormat format, std::uint32_t raw) {
  if (format == PixelFormat::Xrgb8888) return raw & 0xFFFFFF;
  const std::uint32_t red = (raw >> 11) & 0x1F;
  const std::uint32_t green = (raw >> 5) & 0x3F;
  const std::uint32_t blue = raw & 0x1F;
  return (red << 3 | red >> 2) << 16 | (green << 2 | green >> 4) << 8 | (blue << 3 | blue >> 2);
}

namespace soft {
namespace {

using i64 = std::int64_t;
// Clipping a line whose end points are billions of pixels apart multiplies
// two 33-bit quantities; 128 bits keep that exact.
using i128 = __int128;

i128 FloorDiv(i128 a, i128 b) {
  i128 q = a / b;
  if (a % b != 0 && ((a < 0) != (b < 0))) --q;
  return q;
}

i128 CeilDiv(i128 a, i128 b) { return -FloorDiv(-a, b); }

std::size_t PixelIndex(i64 x, i64 y) {
  return static_cast<std::size_t>(y) * kScreenWidth + static_cast<std::size_t>(x);
}

// The Bresenham walk itself; `index` moves by whole pixels and is only
// dereferenced for the `count` pixels that were clipped to lie on screen.
template <class Pixel>
void Walk(Pixel* base, Pixel value, std::ptrdiff_t index, i64 count, std::ptrdiff_t majorStep,
          std::ptrdiff_t minorStep, i64 rem, i64 twoD, i64 twoMinor) {
  for (i64 i = 0; i < count; ++i) {
    base[index] = value;
    index += majorStep;
    rem += twoMinor;
    if (rem >= twoD) {
      rem -= twoD;
      index += minorStep;
    } else if (rem < 0) {
      rem += twoD;
      index -= minorStep;
    }
  }
}

// Liang-Barsky: cuts the segment to the box; false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1, double xMin, double yMin,
                 double xMax, double yMax) {
  const double dx = x1 - x0;
  const double dy = y1 - y0;
  double t0 = 0.0;
  double t1 = 1.0;
  auto edge = [&](double p, double q) {  // keeps the part where p * t <= q
    if (p == 0.0) return q >= 0.0;
    const double t = q / p;
    if (p < 0.0) {
      if (t > t1) return false;
      t0 = std::max(t0, t);
    } else {
      if (t < t0) return false;
      t1 = std::min(t1, t);
    }
    return true;
  };
  if (!edge(-dx, x0 - xMin) || !edge(dx, xMax - x0) || !edge(-dy, y0 - yMin) ||
      !edge(dy, yMax - y0)) {
    return false;
  }
  const double sx = x0;
  const double sy = y0;
  x0 = sx + t0 * dx;
  y0 = sy + t0 * dy;
  x1 = sx + t1 * dx;
  y1 = sy + t1 * dy;
  return true;
}

// Narrows [lo, hi] to the X with l <= a * X + b <= h.
void Restrict(double a, double b, double l, double h, double& lo, double& hi) {
  if (a == 0.0) {
    if (b < l || b > h) {
      lo = 1.0;
      hi = 0.0;
    }
    return;
  }
  double s0 = (l - b) / a;
  double s1 = (h - b) / a;
  if (a < 0.0) std::swap(s0, s1);
  lo = std::max(lo, s0);
  hi = std::min(hi, s1);
}

i64 ClampToColumns(double v) {
  return static_cast<i64>(std::clamp(v, -1.0, static_cast<double>(kScreenWidth)));
}

}  // namespace

void FillSpan(const PaintTarget& target, i64 y, i64 x0, i64 x1) {
  if (y < 0 || y >= kScreenHeight) return;
  x0 = std::max<i64>(x0, 0);
  x1 = std::min<i64>(x1, kScreenWidth - 1);
  if (x0 > x1) return;
  const std::size_t start = PixelIndex(x0, y);
  const auto count = static_cast<std::size_t>(x1 - x0 + 1);
  if (target.pixels16 != nullptr) {
    std::fill_n(target.pixels16 + start, count, static_cast<std::uint16_t>(target.raw));
  } else {
    std::fill_n(target.pixels32 + start, count, target.raw);
  }
}

void FillRect(const PaintTarget& target, i64 left, i64 top, i64 right, i64 bottom) {
  top = std::max<i64>(top, 0);
  bottom = std::min<i64>(bottom, kScreenHeight);
  for (i64 y = top; y < bottom; ++y) FillSpan(target, y, left, right - 1);
}

// One-pixel lines follow the diamond-exit convention of the platform's
// cosmetic pens: a pixel is painted when the ideal segment leaves the
// diamond |dx| + |dy| < 1/2 around the pixel's centre. With integer end
// points that is a walk along the major axis (x when |dx| > |dy|, else y;
// a diagonal gives the same pixels either way) that paints the start pixel
// and stops before the end pixel, which the segment enters but never
// leaves. At step k of D the minor offset is the nearest integer to k*d/D;
// where the ideal line passes exactly between two pixels, the shared
// diamond corner belongs to the pixel with the smaller coordinate (the upper
// one for x-major lines, the left one for y-major). Being geometric, the
// rule makes A->B and B->A paint the same pixels apart from the swapped
// ends. In closed form: offset(k) = floor((2*k*d + D - 1) / (2*D)).
void DrawThinLine(const PaintTarget& target, int x0, int y0, int x1, int y1) {
  const i64 dx = static_cast<i64>(x1) - x0;
  const i64 dy = static_cast<i64>(y1) - y0;
  if (dx == 0 && dy == 0) return;
  if (dy == 0) {  // most of the scene: a plain span
    if (dx > 0) {
      FillSpan(target, y0, x0, static_cast<i64>(x1) - 1);
    } else {
      FillSpan(target, y0, static_cast<i64>(x1) + 1, x0);
    }
    return;
  }

  const bool xMajor = std::abs(dx) > std::abs(dy);
  const i64 major0 = xMajor ? x0 : y0;
  const i64 minor0 = xMajor ? y0 : x0;
  const i64 majorDelta = xMajor ? dx : dy;
  const i64 d = xMajor ? dy : dx;
  const i64 D = std::abs(majorDelta);
  const i64 majorLimit = xMajor ? kScreenWidth : kScreenHeight;
  const i64 minorLimit = xMajor ? kScreenHeight : kScreenWidth;

  // Steps k in [0, D) whose major coordinate lies on screen.
  i64 kLo = 0;
  i64 kHi = D - 1;
  if (majorDelta > 0) {
    kLo = std::max(kLo, -major0);
    kHi = std::min(kHi, majorLimit - 1 - major0);
  } else {
    kLo = std::max(kLo, major0 - (majorLimit - 1));
    kHi = std::min(kHi, major0);
  }
  if (kLo > kHi) return;

  // Then those whose minor offset lies in [tMin, tMax], solved from the
  // closed form above.
  const i128 twoD = static_cast<i128>(2) * D;
  const i128 tMin = -minor0;
  const i128 tMax = minorLimit - 1 - minor0;
  i128 lo = kLo;
  i128 hi = kHi;
  if (d > 0) {
    lo = std::max(lo, CeilDiv(twoD * tMin - D + 1, static_cast<i128>(2) * d));
    hi = std::min(hi, FloorDiv(twoD * tMax + D, static_cast<i128>(2) * d));
  } else if (d < 0) {
    const i128 twoE = static_cast<i128>(-2) * d;
    lo = std::max(lo, CeilDiv(D - twoD * (tMax + 1), twoE));
    hi = std::min(hi, FloorDiv(D - 1 - twoD * tMin, twoE));
  } else if (tMin > 0 || tMax < 0) {
    return;  // vertical, off to the side
  }
  if (lo > hi) return;
  kLo = static_cast<i64>(lo);
  kHi = static_cast<i64>(hi);

  const i128 numerator = static_cast<i128>(2) * kLo * d + D - 1;
  const i128 offset = FloorDiv(numerator, twoD);
  const i64 rem = static_cast<i64>(numerator - offset * twoD);
  const i64 major = major0 + (majorDelta > 0 ? kLo : -kLo);
  const i64 minor = minor0 + static_cast<i64>(offset);
  const i64 x = xMajor ? major : minor;
  const i64 y = xMajor ? minor : major;
  const std::ptrdiff_t step = majorDelta > 0 ? 1 : -1;
  const std::ptrdiff_t majorStep = xMajor ? step : step * kScreenWidth;
  const std::ptrdiff_t minorStep = xMajor ? kScreenWidth : 1;
  const auto index = static_cast<std::ptrdiff_t>(PixelIndex(x, y));
  const i64 count = kHi - kLo + 1;
  const i64 twoDSmall = 2 * D;
  if (target.pixels16 != nullptr) {
    Walk(target.pixels16, static_cast<std::uint16_t>(target.raw), index, count, majorStep, minorStep,
         rem, twoDSmall, 2 * d);
  } else {
    Walk(target.pixels32, target.raw, index, count, majorStep, minorStep, rem, twoDSmall, 2 * d);
  }
}

// Wide pens paint every pixel whose centre lies within width/2 of the
// segment (a stroke with round caps). Even widths have no middle pixel, so
// the stroke's axis runs along pixel corners half a pixel up and left of
// the given points: a width-w stroke then covers exactly w rows or columns,
// the extra one on the top-left side, and a dot is w pixels across.
void DrawWideLine(const PaintTarget& target, int x0, int y0, int x1, int y1, int width) {
  const double r = width / 2.0;
  const double shift = width % 2 == 0 ? 0.5 : 0.0;
  double ax = x0 - shift;
  double ay = y0 - shift;
  double bx = x1 - shift;
  double by = y1 - shift;
  // Cut the axis to the screen grown by more than the radius: where it was
  // cut, the cap lies wholly off screen, so nothing visible changes.
  const double margin = r + 2.0;
  if (!ClipSegment(ax, ay, bx, by, -margin, -margin, kScreenWidth - 1 + margin,
                   kScreenHeight - 1 + margin)) {
    return;
  }
  const double top = std::max(0.0, std::ceil(std::min(ay, by) - r));
  const double bottom = std::min(kScreenHeight - 1.0, std::floor(std::max(ay, by) + r));
  const double ex = bx - ax;
  const double ey = by - ay;
  const double length = std::hypot(ex, ey);
  const double ux = length > 0.0 ? ex / length : 0.0;
  const double uy = length > 0.0 ? ey / length : 0.0;
  constexpr double kInf = std::numeric_limits<double>::infinity();

  for (auto py = static_cast<i64>(top); py <= static_cast<i64>(bottom); ++py) {
    const auto row = static_cast<double>(py);
    double lo = kInf;
    double hi = -kInf;
    auto cap = [&](double cx, double cy) {
      const double off = row - cy;
      if (std::abs(off) > r) return;
      const double half = std::sqrt(r * r - off * off);
      lo = std::min(lo, cx - half);
      hi = std::max(hi, cx + half);
    };
    cap(ax, ay);
    cap(bx, by);
    if (length > 0.0) {
      // The band between the caps, in X = x - ax: the point's projection on
      // the axis lies within the segment and its distance is at most r.
      const double rowOff = row - ay;
      double bandLo = -kInf;
      double bandHi = kInf;
      Restrict(ux, rowOff * uy, 0.0, length, bandLo, bandHi);
      Restrict(uy, -rowOff * ux, -r, r, bandLo, bandHi);
      if (bandLo <= bandHi) {
        lo = std::min(lo, ax + bandLo);
        hi = std::max(hi, ax + bandHi);
      }
    }
    if (lo > hi) continue;
    FillSpan(target, py, ClampToColumns(std::ceil(lo)), ClampToColumns(std::floor(hi)));
  }
}

}  // namespace soft
