#include <algorithm>

#include "data/files.h"
#include "data/text_lines.h"

void ClearMap(GameState& gs) {
  gs.mapDataX[0] = 0;
  for (int i = 1; i < kCourseSections; ++i) gs.mapDataX[i] = kUnsetSection;
}

namespace {

void ReadMapFile(GameState& gs, std::FILE* file, FileObserver* observer) {
  // Section and value carry over to the next line, like the settings reader.
  std::int32_t section = 0;
  std::int32_t value = 0;
  textfile::LineReader lines(file);
  while (lines.Next()) {
    textfile::StripCommentAndSeparators(lines.text);
    const textfile::Scan scan = textfile::ScanTwoInts(lines.text, section, value);
    // The table has no room outside 0 to 1599; such lines are ignored.
    const bool stored = section >= 0 && section < kMapEntries;
    if (stored) gs.mapDataX[section] = value;
    if (observer != nullptr) {
      observer->MapLine({{lines.number, lines.continued, lines.text, scan.fields, scan.beyondRange},
                         section, value, stored});
    }
  }
}

}  // namespace

void FillMap(GameState& gs) {
  for (int i = 1; i < kCourseSections; ++i) {
    if (gs.mapDataX[i] == kUnsetSection) gs.mapDataX[i] = gs.mapDataX[i - 1];
  }
  for (int i = 0; i < kCourseSections; ++i) {
    gs.mapDataX[i] = std::clamp(gs.mapDataX[i], -kCourseValueLimit, kCourseValueLimit);
  }
}

// Passes over the pairs (0,1) ... (797,798) until none changes: each move
// takes a unit from the higher side and gives it to the lower, keeping the
// course's total bend.
void SmoothMap(GameState& gs) {
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
  for (int i = kCourseSections; i < kMapEntries; ++i) m[i] = m[i - kCourseSections];
}

void ReadMap(GameState& gs, FileObserver* observer) {
  ClearMap(gs);
  const char* name = "map.txt";
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) {
    gs.noMapFileFlag += 1;
    name = "map_bak.txt";
    file = std::fopen(name, "r");
  }
  if (observer != nullptr) observer->MapFile(file != nullptr ? name : nullptr);
  if (file != nullptr) {
    ReadMapFile(gs, file, observer);
    std::fclose(file);
  }
  FillMap(gs);
}

void InitializeMap(GameState& gs, FileObserver* observer) {
  ReadMap(gs, observer);
  SmoothMap(gs);
}
