// The course map as the M key draws it over the game, by the game's own
// drawing, for the course workshop to show beside its chart.
#pragma once

#include <cstdint>

// Draws the strip of `course` (800 sections) with the car's dot at
// `carPosition` (none from section 796 on) on black, and answers the band
// of rows it takes: four 32-bit numbers, its width and height and the first
// and last column drawn on, then its pixels as RGBA bytes, row by row.
// Valid until the next call.
const std::uint8_t* DrawCourseStrip(const std::int32_t* course, std::int32_t carPosition);

// A position whose dot the strip leaves out.
constexpr std::int32_t kNoCar = 799 * 1024;
