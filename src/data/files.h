// The settings file and the course file.
#pragma once

#include <cstdint>

#include "game_state.h"

class FileObserver;

// Built-in settings, then config.txt, or config_bak.txt when it is missing.
void InitializeConfig(GameState& gs, FileObserver* observer = nullptr);

// The course table from map.txt, or map_bak.txt when it is missing, filled,
// smoothed and doubled.
void InitializeMap(GameState& gs, FileObserver* observer = nullptr);
// The course file read and filled, without the smoothing and the copy: the
// first steps of InitializeMap.
void ReadMap(GameState& gs, FileObserver* observer = nullptr);
// The steps of loading a course, for tools that show what each one does:
// sections 1 to 799 marked unset before the file is read; then sections
// left out take the value before and values are held within the limit;
// then the smoothing and the copy into the second half.
void ClearMap(GameState& gs);
void FillMap(GameState& gs);
void SmoothMap(GameState& gs);

// A setting key, the field it sets and the value the game starts from.
struct ConfigKey {
  const char* name;
  std::int32_t GameState::*field;
  std::int32_t builtIn;
};
// In the order the reader tries them: the first found inside a line's key
// word wins.
constexpr int kConfigKeyCount = 14;
extern const ConfigKey kConfigKeys[kConfigKeyCount];

// RIDGE_RAIL is a share in thousandths.
constexpr std::int32_t kRidgeRailLimit = 1000;

// Course values beyond this magnitude are clamped before smoothing. The
// smoothing moves one unit per pair and pass, so values far past any
// drivable bend (the sharpest a car can take at speed is about 150) would
// keep it busy for minutes; at this limit the worst file takes well under a
// second.
constexpr int kCourseValueLimit = 2000;
constexpr int kUnsetSection = 99999999;

// What a reader did with one line of its file. Lines are read as at most
// 159 characters; a longer line comes in pieces, each reported with the
// line's number.
struct LineReport {
  int number;        // from 1
  bool continued;    // a piece after the first of a longer line
  const char* text;  // as scanned: the comment cut off, the first ',' and '=' made spaces
  int fields;        // the fields the scan found, 0 to 2; the others kept the last line's
  bool beyondRange;  // a number beyond the 32-bit range, taken as the nearest limit
};
struct ConfigLineReport : LineReport {
  const char* word;    // the key word, this line's or the last one's
  std::int32_t value;  // the number, this line's or the last one's
  int key;             // index into kConfigKeys of the key stored, -1 for none
};
struct MapLineReport : LineReport {
  std::int32_t section;  // both this line's or the last one's
  std::int32_t value;
  bool stored;  // the section lies inside the table, 0 to 1599
};

// Hears what the readers do, for a tool that explains the files; the game
// reads without one.
class FileObserver {
 public:
  virtual ~FileObserver() = default;
  // The file read ("config.txt" or its backup), or null for neither.
  virtual void ConfigFile(const char* name) = 0;
  virtual void ConfigLine(const ConfigLineReport& line) = 0;
  virtual void MapFile(const char* name) = 0;
  virtual void MapLine(const MapLineReport& line) = 0;
};
