// The picture of a message box, drawn by the game itself so that its
// Japanese reads the same on every desktop: the text in IPA Gothic on a
// white panel, an OK button centred in a grey band below it. The platform
// puts the picture in a window of the box's size; the window manager draws
// the caption.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "media/soft_raster.h"

namespace soft {

// UTF-8 to code points. A byte that does not start a well-formed sequence
// (stray continuation, overlong form, surrogate, beyond U+10FFFF, cut
// short) becomes one U+FFFD and decoding goes on with the next byte.
std::u32string DecodeUtf8(std::string_view text);

// The half-open box [left, right) x [top, bottom).
struct BoxRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The widest box; texts wider than its text area wrap.
constexpr int kMessageBoxMaxWidth = 608;

struct MessageBoxLayout {
  int width = 0;
  int height = 0;
  BoxRect text;  // the lines, top to bottom, left-aligned
  BoxRect ok;    // the OK button
  int lineHeight = 0;
  std::vector<std::u32string> lines;
};

// Lays `text` (UTF-8) out: broken where a line feed says and, past the
// widest line the box allows, between Japanese characters or after a space
// (a word of Latin letters too long for a line is cut anywhere). The box
// is as wide as its widest line needs. Lines that would make the box taller
// than the screen are left out. Without fonts there are no lines.
MessageBoxLayout LayoutMessageBox(std::string_view text);

// The layout drawn into the top-left corner of `pixels`, a 640x480 canvas
// of 32-bit pixels (0xRRGGBB); the rest of the canvas is left as it is.
// `pressed` draws the button held down.
void DrawMessageBox(const MessageBoxLayout& layout, bool pressed, std::uint32_t* pixels);

}  // namespace soft
