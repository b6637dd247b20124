// The whole state of the game: one plain record of 32-bit integers, arrays of
// them and device handles, all zero when the program starts.
#pragma once

#include <cstdint>

class Surface;
struct PlatformWindow;   // the main window, owned by the program's shell
struct DisplayObject;    // the display device, owned by the platform layer
struct SoundObject;      // the sound device, owned by the platform layer

constexpr int kMapEntries = 1600;      // the 800 sections twice over
constexpr int kCourseSections = 800;
constexpr int kSectionUnits = 1024;
constexpr int kLapUnits = kCourseSections * kSectionUnits;  // 819200
constexpr int kRailPosition = 102400;
constexpr int kTrigEntries = 1023;     // a full turn is 1023 steps
constexpr int kViewSteps = 300;
constexpr int kGhostEntries = 65531;
constexpr int kGoalRecords = 8;

struct GameState {
  // Shell
  PlatformWindow* hwnd;
  std::int32_t ifInitialize;
  std::int32_t performanceCounterFlag;
  std::int64_t performanceFrequency;
  std::int64_t performanceCount;
  std::int64_t performanceCountLast;
  std::int32_t frameCycle;
  std::uint32_t frameTimeLast;

  // Settings
  std::int32_t configDevice;
  std::int32_t configVelocityMax;
  std::int32_t configBrakeLevel;
  std::int32_t configLRTurnLevel;
  std::int32_t configLRSlideLevel;
  std::int32_t configLRTurnResist;
  std::int32_t configGripMin;
  std::int32_t configGripQuick;
  std::int32_t configGripReturn;
  std::int32_t configBrakeGripTime;
  std::int32_t configRidgeRail;
  std::int32_t configCornerArch;
  std::int32_t configCourseViewWide;
  std::int32_t configGhostForwardScale;
  std::int32_t noConfigFileFlag;

  // Course
  std::int32_t mapDataX[kMapEntries];
  std::int32_t noMapFileFlag;

  // Trigonometry
  std::int32_t trigonSinTable[kTrigEntries];
  std::int32_t trigonCosTable[kTrigEntries];
  std::int32_t trigonTangentTable[kViewSteps];

  // Controls
  std::int32_t controlAcceleration;
  std::int32_t controlBrake;
  std::int32_t controlLeftRight;
  std::int32_t dispColor;

  // Car
  std::int32_t carGrip;
  std::int32_t carGripCount;
  std::int32_t carVelocity;
  std::int32_t carVelocityMax;
  std::int32_t carPosition;
  std::int32_t carBrakeLevel;
  std::int32_t carLRPosition;
  std::int32_t carLRMove;
  std::int32_t carLRTurn;
  std::int32_t carLRTurnDev;
  std::int32_t courseSlide;
  std::int32_t carHitCount;

  // Goal, lap records and ghost
  std::int32_t goalCount;
  std::int32_t goalRecord[kGoalRecords];
  std::int32_t timeCount;
  std::int32_t ghostPosition[kGhostEntries];
  std::int32_t ghostLRPosition[kGhostEntries];
  std::int32_t ghostTurn[kGhostEntries];

  // View
  std::int32_t drawViewX[kViewSteps];
  std::int32_t drawViewY[kViewSteps];

  // Display switches
  std::int32_t dispDebug;
  std::int32_t dispIndicater;
  std::int32_t dispObject;
  std::int32_t dispMap;
  std::int32_t dispGhost;

  // Media
  DisplayObject* DDObject;
  Surface* DDFront;
  Surface* DDBack;
  SoundObject* DSObject;
};
