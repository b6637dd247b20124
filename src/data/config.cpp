#include <cstring>

#include "data/files.h"
#include "data/text_lines.h"

namespace {

// Key names in the order they are tried: the first one found inside a line's
// key word wins.
struct ConfigKey {
  const char* name;
  std::int32_t GameState::*field;
};

constexpr ConfigKey kConfigKeys[] = {
    {"DEVICE", &GameState::configDevice},
    {"SPEED", &GameState::configVelocityMax},
    {"BRAKE_LEVEL", &GameState::configBrakeLevel},
    {"LR_TURN", &GameState::configLRTurnLevel},
    {"LR_SLIDE", &GameState::configLRSlideLevel},
    {"LR_RESIST", &GameState::configLRTurnResist},
    {"GRIP_MIN", &GameState::configGripMin},
    {"GRIP_QUICK", &GameState::configGripQuick},
    {"GRIP_RETURN", &GameState::configGripReturn},
    {"BRAKE_GRIP_TIME", &GameState::configBrakeGripTime},
    {"RIDGE_RAIL", &GameState::configRidgeRail},
    {"CORNER_ARCH", &GameState::configCornerArch},
    {"COURSE_WIDE", &GameState::configCourseViewWide},
    {"GHOST_FORWARD_SCALE", &GameState::configGhostForwardScale},
};

void SetBuiltInConfig(GameState& gs) {
  gs.configDevice = 1;
  gs.configVelocityMax = 12000;
  gs.configBrakeLevel = 400;
  gs.configLRTurnLevel = 400;
  gs.configLRSlideLevel = 100;
  gs.configLRTurnResist = 100;
  gs.configGripMin = 100;
  gs.configGripQuick = 40;
  gs.configGripReturn = 40;
  gs.configBrakeGripTime = 60;
  gs.configRidgeRail = 950;
  gs.configCornerArch = 2;
  gs.configCourseViewWide = 8;
  gs.configGhostForwardScale = 500;
  gs.noConfigFileFlag = 0;
}

}  // namespace

void ReadConfigFile(GameState& gs, std::FILE* file) {
  // The key word and the value live across lines: a line that supplies
  // only part of them repeats or completes the previous assignment.
  char keyWord[textfile::kLineBuffer] = {};
  std::int32_t value = 0;
  char line[textfile::kLineBuffer];
  while (textfile::ReadLine(file, line)) {
    textfile::StripCommentAndSeparators(line);
    textfile::ScanWordAndInt(line, keyWord, value);
    for (const ConfigKey& key : kConfigKeys) {
      if (std::strstr(keyWord, key.name) != nullptr) {
        gs.*key.field = value;
        break;
      }
    }
  }
}

void InitializeConfig(GameState& gs) {
  SetBuiltInConfig(gs);
  std::FILE* file = std::fopen("config.txt", "r");
  if (file == nullptr) {
    gs.noConfigFileFlag = 1;
    file = std::fopen("config_bak.txt", "r");
  }
  if (file != nullptr) {
    ReadConfigFile(gs, file);
    std::fclose(file);
  }
  if (gs.configRidgeRail > 1000) gs.configRidgeRail = 1000;
}
