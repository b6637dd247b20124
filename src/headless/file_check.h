// What the game makes of the settings and course files in the current
// directory, line by line, as its own readers report it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/files.h"
#include "game_state.h"

namespace file_check {

struct Diagnostic {
  std::string file;  // as the reader opened it: "config.txt", "map_bak.txt", ...
  int line;          // from 1; 0 for the file as a whole
  std::string message;
};

struct Setting {
  std::int32_t value;  // as the game uses it
  int line;            // the line that set it; 0 for the built-in value
};

// Sections of the course at one value.
struct Bend {
  std::int32_t value = 0;
  std::vector<int> sections;
};

struct Report {
  std::string configFile;  // the file read; empty for neither
  std::string mapFile;
  std::vector<Diagnostic> diagnostics;  // the settings file's, then the course file's, by line
  std::array<Setting, kConfigKeyCount> settings;
  std::array<std::int32_t, kCourseSections> given;   // filled and held, before the smoothing
  std::array<std::int32_t, kCourseSections> course;  // as driven
  std::vector<std::string> summary;                  // what the fill and the smoothing did, the bends
  Bend right;  // the tightest bend each way; value 0 and no sections when there is none
  Bend left;
};

// Reads the files through the game's start-up.
Report Check();

// A diagnostic as a line of text, "FILE:LINE: message" ("FILE: message" for
// the file as a whole), its file named as `folder` + file.
std::string Line(const Diagnostic& d, const std::string& folder = "");

// Sorted section numbers as ranges: "3-9, 12, 40-41".
std::string Ranges(const std::vector<int>& sections);

}  // namespace file_check
