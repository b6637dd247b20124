#include <cstring>

#include "data/files.h"
#include "data/text_lines.h"

const ConfigKey kConfigKeys[kConfigKeyCount] = {
    {"DEVICE", &GameState::configDevice, 1},
    {"SPEED", &GameState::configVelocityMax, 12000},
    {"BRAKE_LEVEL", &GameState::configBrakeLevel, 400},
    {"LR_TURN", &GameState::configLRTurnLevel, 400},
    {"LR_SLIDE", &GameState::configLRSlideLevel, 100},
    {"LR_RESIST", &GameState::configLRTurnResist, 100},
    {"GRIP_MIN", &GameState::configGripMin, 100},
    {"GRIP_QUICK", &GameState::configGripQuick, 40},
    {"GRIP_RETURN", &GameState::configGripReturn, 40},
    {"BRAKE_GRIP_TIME", &GameState::configBrakeGripTime, 60},
    {"RIDGE_RAIL", &GameState::configRidgeRail, 950},
    {"CORNER_ARCH", &GameState::configCornerArch, 2},
    {"COURSE_WIDE", &GameState::configCourseViewWide, 8},
    {"GHOST_FORWARD_SCALE", &GameState::configGhostForwardScale, 500},
};

namespace {

void ReadConfigFile(GameState& gs, std::FILE* file, FileObserver* observer) {
  // The key word and the value live across lines: a line that supplies
  // only part of them repeats or completes the previous assignment.
  char keyWord[textfile::kLineBuffer] = {};
  std::int32_t value = 0;
  textfile::LineReader lines(file);
  while (lines.Next()) {
    textfile::StripCommentAndSeparators(lines.text);
    const textfile::Scan scan = textfile::ScanWordAndInt(lines.text, keyWord, value);
    int key = 0;
    while (key < kConfigKeyCount && std::strstr(keyWord, kConfigKeys[key].name) == nullptr) ++key;
    if (key < kConfigKeyCount) gs.*kConfigKeys[key].field = value;
    if (observer != nullptr) {
      observer->ConfigLine({{lines.number, lines.continued, lines.text, scan.fields, scan.beyondRange},
                            keyWord, value, key < kConfigKeyCount ? key : -1});
    }
  }
}

}  // namespace

void InitializeConfig(GameState& gs, FileObserver* observer) {
  for (const ConfigKey& key : kConfigKeys) gs.*key.field = key.builtIn;
  gs.noConfigFileFlag = 0;
  const char* name = "config.txt";
  std::FILE* file = std::fopen(name, "r");
  if (file == nullptr) {
    gs.noConfigFileFlag = 1;
    name = "config_bak.txt";
    file = std::fopen(name, "r");
  }
  if (observer != nullptr) observer->ConfigFile(file != nullptr ? name : nullptr);
  if (file != nullptr) {
    ReadConfigFile(gs, file, observer);
    std::fclose(file);
  }
  if (gs.configRidgeRail > kRidgeRailLimit) gs.configRidgeRail = kRidgeRailLimit;
}
