// The course as a picture: the game's course map drawn large, and the bend
// of every section beneath it.
#pragma once

#include <string>

#include "headless/file_check.h"

namespace racer_check {

// Writes the picture of the report's course as a PNG; false when it cannot.
bool WriteCoursePicture(const file_check::Report& report, const std::string& path);

}  // namespace racer_check
