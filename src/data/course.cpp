#include <algorithm>

#include "data/files.h"
#include "data/text_lines.h"

void ClearMap(GameState& gs) {
  gs.mapDataX[0] = 0;
  for (int i = 1; i < kCourseSections; ++i) gs.mapDataX[i] = kUnsetSection;
}

void ReadMapFile(GameState& gs, std::FILE* file) {
  // Section and value carry over to the next line, like the settings reader.
  std::int32_t section = 0;
  std::int32_t value = 0;
  char line[textfile::kLineBuffer];
  while (textfile::ReadLine(file, line)) {
    textfile::StripCommentAndSeparators(line);
    textfile::ScanTwoInts(line, section, value);
    // The table has no room outside 0 to 1599; such lines are ignored.
    if (section >= 0 && section < kMapEntries) gs.mapDataX[section] = value;
  }
}

namespace {

void FillUnset(GameState& gs) {
  for (int i = 1; i < kCourseSections; ++i) {
    if (gs.mapDataX[i] == kUnsetSection) gs.mapDataX[i] = gs.mapDataX[i - 1];
  }
}

// Passes over the pairs (0,1) ... (797,798) until none changes: each move
// takes a unit from the higher side and gives it to the lower, keeping the
// course's total bend.
void Smooth(GameState& gs) {
  // A step limit below 1 would let the passes go on for ever.
  const std::int64_t arch = std::max<std::int32_t>(gs.configCornerArch, 1);
  std::int32_t* m = gs.mapDataX;
  bool changed = true;
  while (changed) {
    changed = false;
    for (int i = 1; i < kCourseSections - 1; ++i) {
      std::int32_t left = m[i - 1];
      std::int32_t right = m[i];
      if (left > right + arch) {
        --left;
        ++right;
        changed = true;
      }
      if (left < right - arch) {
        ++left;
        --right;
        changed = true;
      }
      m[i - 1] = left;
      m[i] = right;
    }
  }
}

}  // namespace

void FinishMap(GameState& gs) {
  FillUnset(gs);
  for (int i = 0; i < kCourseSections; ++i) {
    gs.mapDataX[i] = std::clamp(gs.mapDataX[i], -kCourseValueLimit, kCourseValueLimit);
  }
  Smooth(gs);
  for (int i = kCourseSections; i < kMapEntries; ++i) gs.mapDataX[i] = gs.mapDataX[i - kCourseSections];
}

void InitializeMap(GameState& gs) {
  ClearMap(gs);
  std::FILE* file = std::fopen("map.txt", "r");
  if (file == nullptr) {
    gs.noMapFileFlag += 1;
    file = std::fopen("map_bak.txt", "r");
  }
  if (file != nullptr) {
    ReadMapFile(gs, file);
    std::fclose(file);
  }
  FinishMap(gs);
}
