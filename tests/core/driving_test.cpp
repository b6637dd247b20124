#include <gtest/gtest.h>

#include "sim/phases.h"
#include "shell/main_proc.h"
#include "support/test_support.h"

using testing_support::FakeInput;
using testing_support::NewState;
using testing_support::ScopedTempDir;

namespace {

// A started game on a straight course with the built-in settings.
std::unique_ptr<GameState> StartedState() {
  ScopedTempDir dir;
  auto gs = NewState();
  Initialize(*gs);
  gs->ifInitialize = 1;
  return gs;
}

TEST(StartUp, ValuesBeforeTheFirstPhase) {
  auto gs = StartedState();
  EXPECT_EQ(gs->carPosition, 1);
  EXPECT_EQ(gs->carVelocity, 6000);
  EXPECT_EQ(gs->carVelocityMax, 12000);
  EXPECT_EQ(gs->carBrakeLevel, 400);
  EXPECT_EQ(gs->carGrip, 5000);
  EXPECT_EQ(gs->dispGhost, 1);
  EXPECT_EQ(gs->dispObject, 1);
  EXPECT_EQ(gs->dispDebug + gs->dispMap + gs->dispIndicater, 0);
  EXPECT_EQ(gs->noConfigFileFlag, 1);
  EXPECT_EQ(gs->noMapFileFlag, 1);
  // The pace car: 512 units a frame for two laps of positions.
  EXPECT_EQ(gs->ghostPosition[4], 2048);
  EXPECT_EQ(gs->ghostPosition[3200], 1638400);
  EXPECT_EQ(gs->ghostPosition[3201], 0);
}

TEST(StartUp, FirstCallInitialisesOnceThenPlays) {
  ScopedTempDir dir;
  testing_support::WriteFile("config.txt", "SPEED 9000\n");
  auto gs = NewState();
  FakeInput input;
  Main_Proc(*gs, input);
  EXPECT_EQ(gs->ifInitialize, 1);
  EXPECT_EQ(gs->carVelocity, 4499);  // 9000 / 2, one frame of drag
  testing_support::WriteFile("config.txt", "SPEED 3000\n");
  Main_Proc(*gs, input);
  EXPECT_EQ(gs->configVelocityMax, 9000);  // files are read once
  EXPECT_EQ(gs->carVelocity, 4498);
}

TEST(TrigonTables, SampleEntries) {
  auto gs = NewState();
  InitializeTrigonTable(*gs);
  const auto& t = gs->trigonTangentTable;
  EXPECT_EQ(t[0], 0);
  EXPECT_EQ(t[1], 3);
  EXPECT_EQ(t[2], 6);
  EXPECT_EQ(t[3], 10);
  EXPECT_EQ(t[100], 512);
  EXPECT_EQ(t[150], 1024);
  EXPECT_EQ(t[200], 2048);
  EXPECT_EQ(t[250], 5120);
  EXPECT_EQ(t[296], 75776);
  EXPECT_EQ(t[297], 96256);
  EXPECT_EQ(t[298], 122880);
  EXPECT_EQ(t[299], 153600);
  for (int i = 1; i < 300; ++i) ASSERT_GT(t[i], t[i - 1]) << i;
  for (int i = 0; i <= 296; ++i) ASSERT_EQ(t[i], 1024 * i / (300 - i)) << i;
  const auto& s = gs->trigonSinTable;
  const auto& c = gs->trigonCosTable;
  EXPECT_EQ(s[0], 0);
  EXPECT_EQ(s[1], 0);
  EXPECT_EQ(s[2], 1);
  EXPECT_EQ(s[256], 99);
  EXPECT_EQ(s[511], 0);
  EXPECT_EQ(s[767], -99);
  EXPECT_EQ(c[0], 100);
  EXPECT_EQ(c[1], 99);
  EXPECT_EQ(c[256], 0);
  EXPECT_EQ(c[511], -99);
  EXPECT_EQ(c[1022], 99);
}

TEST(Controls, Keyboard) {
  auto gs = StartedState();
  FakeInput in;
  struct Case {
    std::vector<int> held;
    std::vector<int> pressed;
    int lr, accel, brake;
  };
  const Case cases[] = {
      {{}, {}, 0, 0, 0},
      {{VK_LEFT_KEY}, {}, -1, 0, 0},
      {{VK_LEFT_KEY}, {VK_LEFT_KEY}, -1, 0, 0},  // the first query takes the press
      {{}, {VK_RIGHT_KEY}, 1, 0, 0},             // tapped between frames
      {{VK_LEFT_KEY, VK_RIGHT_KEY}, {}, 0, 0, 0},
      {{VK_UP_KEY}, {}, 0, 1, 0},
      {{VK_UP_KEY, VK_DOWN_KEY}, {}, 0, 0, 1},
  };
  for (const Case& c : cases) {
    gs->controlAcceleration = 0;
    in.Clear();
    for (int k : c.held) in.held[k] = true;
    for (int k : c.pressed) in.pressed[k] = true;
    MainLoopControl(*gs, in);
    EXPECT_EQ(gs->controlLeftRight, c.lr);
    EXPECT_EQ(gs->controlAcceleration, c.accel);
    EXPECT_EQ(gs->controlBrake, c.brake);
  }
  // The throttle is a latch; the brake and steering are not.
  in.Clear();
  in.held[VK_UP_KEY] = true;
  MainLoopControl(*gs, in);
  in.Clear();
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->controlAcceleration, 1);
}

// A query that answers "went down" for the second query of a frame only,
// as when the key goes down between the two queries.
class LateArrowInput final : public InputDevice {
 public:
  int queries = 0;
  std::uint16_t GetAsyncKeyState(int vk) override {
    if (vk != VK_RIGHT_KEY) return 0;
    return ++queries == 1 ? 0 : (kKeyDownNow | kKeyWentDown);
  }
  bool JoyGetPos(JoystickInfo&) override { return false; }
};

TEST(Controls, ArrowGoingDownBetweenItsQueriesStepsTwice) {
  auto gs = StartedState();
  LateArrowInput in;
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->controlLeftRight, 1);
  EXPECT_EQ(in.queries, 2);
  // Down, and reported as gone down at both queries: two steps.
  gs->controlLeftRight = 0;
  class Twice final : public InputDevice {
   public:
    std::uint16_t GetAsyncKeyState(int vk) override {
      return vk == VK_RIGHT_KEY ? static_cast<std::uint16_t>(kKeyDownNow | kKeyWentDown) : 0;
    }
    bool JoyGetPos(JoystickInfo&) override { return false; }
  } twice;
  MainLoopControl(*gs, twice);
  EXPECT_EQ(gs->controlLeftRight, 2);
}

TEST(Controls, FunctionKeys) {
  auto gs = StartedState();
  FakeInput in;
  auto press = [&](int key) {
    in.Clear();
    in.pressed[key] = true;
    MainLoopControl(*gs, in);
  };
  gs->carVelocity = 12000;
  press(VK_B_KEY);
  EXPECT_EQ(gs->carVelocity, 6000);
  gs->carVelocity = 6001;
  press(VK_B_KEY);
  EXPECT_EQ(gs->carVelocity, 3000);
  press(VK_S_KEY);
  press(VK_S_KEY);
  EXPECT_EQ(gs->carVelocityMax, 14000);
  press(VK_D_KEY);
  press(VK_M_KEY);
  press(VK_G_KEY);
  press(VK_O_KEY);
  press(VK_I_KEY);
  EXPECT_EQ(gs->dispDebug, 1);
  EXPECT_EQ(gs->dispMap, 1);
  EXPECT_EQ(gs->dispGhost, 0);
  EXPECT_EQ(gs->dispObject, 0);
  EXPECT_EQ(gs->dispIndicater, 1);
  // Held without a new press: nothing more.
  in.Clear();
  in.held[VK_D_KEY] = true;
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->dispDebug, 1);

  gs->dispColor = 255;
  std::vector<int> shades;
  for (int i = 0; i < 9; ++i) {
    press(VK_C_KEY);
    shades.push_back(gs->dispColor);
  }
  EXPECT_EQ(shades, (std::vector<int>{225, 195, 165, 135, 105, 75, 45, 15, 255}));
  gs->dispColor = 0;  // the full-screen program's start
  press(VK_C_KEY);
  EXPECT_EQ(gs->dispColor, 255);
  gs->carVelocityMax = 2147483000;
  press(VK_S_KEY);
  EXPECT_EQ(gs->carVelocityMax, 2147483647);
}

TEST(Controls, Joystick) {
  auto gs = StartedState();
  gs->configDevice = 0;
  FakeInput in;
  struct Case {
    std::uint32_t x, buttons;
    int lr, accel, brake;
  };
  const Case cases[] = {
      {32768, 0, 0, 0, 0}, {16384, 0, 0, 0, 0},  {16383, 0, -1, 0, 0}, {49152, 0, 0, 0, 0},
      {49153, 0, 1, 0, 0}, {0, 0, -1, 0, 0},     {65535, 0, 1, 0, 0},  {32768, 1, 0, 0, 1},
      {32768, 2, 0, 1, 0}, {32768, 4, 0, 1, 0},  {32768, 5, 0, 1, 1},  {32768, 6, 0, 1, 1},
      {32768, 8, 0, 0, 1}, {32768, 3, 0, 1, 1},
  };
  for (const Case& c : cases) {
    gs->controlAcceleration = 0;
    in.joystick = {c.x, c.buttons};
    MainLoopControl(*gs, in);
    EXPECT_EQ(gs->controlLeftRight, c.lr) << c.x << " " << c.buttons;
    EXPECT_EQ(gs->controlAcceleration, c.accel) << c.x << " " << c.buttons;
    EXPECT_EQ(gs->controlBrake, c.brake) << c.x << " " << c.buttons;
  }
  // Keys do nothing in joystick mode.
  in.joystick = {};
  for (int key : {VK_LEFT_KEY, VK_B_KEY, VK_S_KEY, VK_D_KEY, VK_C_KEY}) in.pressed[key] = in.held[key] = true;
  gs->carVelocity = 5000;
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->controlLeftRight, 0);
  EXPECT_EQ(gs->carVelocity, 5000);
  EXPECT_EQ(gs->dispDebug, 0);
  // No joystick: centred, no buttons, whatever the failed query left behind.
  in.joystickPresent = false;
  gs->controlAcceleration = 0;
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->controlLeftRight, 0);
  EXPECT_EQ(gs->controlAcceleration, 0);
  EXPECT_EQ(gs->controlBrake, 0);
}

TEST(Grip, Recovery) {
  auto gs = StartedState();
  struct Case {
    int grip, accel, expected;
  };
  const Case cases[] = {
      {10000, 0, 10000},  // 10007 clamped
      {5000, 0, 5057},
      {5000, 1, 5015},
  };
  for (const Case& c : cases) {
    gs->carGrip = c.grip;
    gs->controlAcceleration = c.accel;
    MainLoopCarGrip(*gs);
    EXPECT_EQ(gs->carGrip, c.expected) << c.grip << " " << c.accel;
  }
}

TEST(Grip, BrakeLossStartsTheFrameAfter) {
  auto gs = StartedState();
  gs->carGrip = 10000;
  gs->controlBrake = 1;
  MainLoopCarGrip(*gs);
  EXPECT_EQ(gs->carGrip, 10000);
  EXPECT_EQ(gs->carGripCount, 60);
  MainLoopCarGrip(*gs);
  EXPECT_EQ(gs->carGrip, 9824);
  EXPECT_EQ(gs->carGripCount, 60);

  auto none = StartedState();
  none->configBrakeGripTime = 0;
  none->carGrip = 10000;
  none->controlBrake = 1;
  for (int i = 0; i < 3; ++i) MainLoopCarGrip(*none);
  EXPECT_EQ(none->carGrip, 10000);
}

TEST(Grip, NeverBelowTheMinimum) {
  auto gs = StartedState();
  gs->carGrip = 150;
  gs->carGripCount = 10;
  gs->carLRMove = 100000;
  gs->carLRTurn = -100000;
  gs->carLRTurnDev = 800;
  for (int i = 0; i < 5; ++i) {
    MainLoopCarGrip(*gs);
    EXPECT_GE(gs->carGrip, 100);
  }
}

TEST(Forward, SpeedRules) {
  auto gs = StartedState();
  // Coasting: one unit of drag per frame, down to the floor of 64.
  gs->carVelocity = 66;
  MainLoopCarForward(*gs);
  EXPECT_EQ(gs->carVelocity, 65);
  MainLoopCarForward(*gs);
  EXPECT_EQ(gs->carVelocity, 64);
  const int before = gs->carPosition;
  MainLoopCarForward(*gs);
  EXPECT_EQ(gs->carVelocity, 64);
  EXPECT_EQ(gs->carPosition - before, 6);

  // Full throttle at full grip settles at top speed minus 511.
  gs->carGrip = 10000;
  gs->controlAcceleration = 1;
  gs->carVelocity = 6000;
  for (int i = 0; i < 5000; ++i) MainLoopCarForward(*gs);
  EXPECT_EQ(gs->carVelocity, 11489);

  // Braking at full grip: 40 brake and 1 drag.
  gs->controlAcceleration = 0;
  gs->controlBrake = 1;
  gs->carVelocity = 6000;
  MainLoopCarForward(*gs);
  EXPECT_EQ(gs->carVelocity, 5959);
}

TEST(CourseFollowing, SlideApproachesTheTarget) {
  auto gs = StartedState();
  // Target 100: bend 100 at speed 1000 gives 100 * 1024 * 1000 / 1024000.
  for (int i = 0; i < 1600; ++i) gs->mapDataX[i] = 100;
  gs->carVelocity = 1000;
  std::vector<int> slides;
  for (int i = 0; i < 6; ++i) {
    MainLoopCarCource(*gs);
    slides.push_back(gs->courseSlide);
  }
  EXPECT_EQ(slides, (std::vector<int>{10, 19, 27, 34, 40, 46}));
  for (int i = 0; i < 200; ++i) MainLoopCarCource(*gs);
  EXPECT_EQ(gs->courseSlide, 91);

  for (int i = 0; i < 1600; ++i) gs->mapDataX[i] = 0;
  gs->courseSlide = 100;
  int frames = 0;
  while (gs->courseSlide != 0 && frames < 1000) {
    MainLoopCarCource(*gs);
    ++frames;
  }
  EXPECT_EQ(frames, 28);
}

TEST(Lateral, SteeringAndDecay) {
  auto gs = StartedState();
  gs->carGrip = 10000;
  gs->controlLeftRight = 1;
  std::vector<int> devs;
  int clampFrame = 0;
  for (int f = 1; f <= 40; ++f) {
    gs->carGrip = 10000;
    MainLoopCarLR(*gs);
    if (f <= 4) devs.push_back(gs->carLRTurnDev);
    if (clampFrame == 0 && gs->carLRTurnDev == 800) clampFrame = f;
    EXPECT_EQ(gs->carLRMove, gs->carLRTurn);  // full grip: travel follows heading
    EXPECT_LE(std::abs(gs->carLRTurn), 102400);
  }
  EXPECT_EQ(devs, (std::vector<int>{48, 94, 138, 180}));
  EXPECT_EQ(clampFrame, 28);

  gs->controlLeftRight = 0;
  int frames = 0;
  while (gs->carLRTurnDev != 0 && frames < 1000) {
    gs->carGrip = 10000;
    MainLoopCarLR(*gs);
    ++frames;
  }
  EXPECT_EQ(frames, 100);

  gs->carLRTurnDev = 800;
  gs->carGrip = 100;
  MainLoopCarLR(*gs);
  EXPECT_EQ(gs->carLRTurnDev, 800);  // no decay at minimum grip
}

TEST(Rail, Contact) {
  auto gs = StartedState();
  gs->carLRPosition = 102400;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carHitCount, 0);
  EXPECT_EQ(gs->carLRPosition, 102400);

  gs->carLRPosition = 102401;
  gs->carVelocity = 12000;
  gs->carLRMove = 500;
  gs->carLRTurn = -801;
  gs->carLRTurnDev = 801;
  gs->carGrip = 10000;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carLRPosition, 101376);
  EXPECT_EQ(gs->carVelocity, 11936);
  EXPECT_EQ(gs->carLRMove, -500);
  EXPECT_EQ(gs->carLRTurn, -400);
  EXPECT_EQ(gs->carLRTurnDev, 400);
  EXPECT_EQ(gs->carGrip, 9900);
  EXPECT_EQ(gs->carHitCount, 119);
  for (int f = 2; f <= 120; ++f) {
    MainLoopCarHit(*gs);
    EXPECT_EQ(gs->carHitCount, 120 - f);
  }
  const int grip = gs->carGrip;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carGrip, grip);  // the 121st frame does nothing

  gs->carVelocity = 64;
  gs->carLRPosition = -102401;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carVelocity, 64);  // q = -5 costs nothing
}

TEST(Goal, LapsRecordsAndGhostClearing) {
  auto gs = StartedState();
  gs->carPosition = 819200;
  gs->timeCount = 17;
  MainLoopGoal(*gs);
  EXPECT_EQ(gs->carPosition, 819200);
  EXPECT_EQ(gs->goalRecord[0], 17);
  EXPECT_EQ(gs->goalCount, 0);

  gs->carPosition = 819201;
  gs->timeCount = 1000;
  gs->goalRecord[0] = 999;
  for (int t = 0; t < 2000; ++t) gs->ghostPosition[t] = 5;
  MainLoopGoal(*gs);
  EXPECT_EQ(gs->carPosition, 1);
  EXPECT_EQ(gs->goalCount, 1);
  EXPECT_EQ(gs->goalRecord[0], 0);
  EXPECT_EQ(gs->goalRecord[1], 999);
  EXPECT_EQ(gs->timeCount, 0);
  EXPECT_EQ(gs->ghostPosition[999], 5);
  EXPECT_EQ(gs->ghostPosition[1000], 0);
  EXPECT_EQ(gs->ghostPosition[1299], 0);
  EXPECT_EQ(gs->ghostPosition[1300], 5);

  // Nine goals: the last seven laps stay, newest first.
  for (int lap = 1; lap <= 9; ++lap) {
    gs->goalRecord[0] = lap * 10;
    gs->carPosition = 819300;
    MainLoopGoal(*gs);
  }
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(gs->goalRecord[k], (10 - k) * 10) << k;
  EXPECT_EQ(gs->goalCount, 10);
}

TEST(Goal, LapLongerThanTheGhostArrays) {
  // The clearing and the recording stay inside the arrays (ASan watches).
  for (int t : {65231, 65232, 65500, 65530, 65531, 70000, 2147483647}) {
    auto gs = StartedState();
    gs->timeCount = t;
    gs->carPosition = 819201;
    MainLoopGoal(*gs);
    EXPECT_EQ(gs->timeCount, 0);
    if (t < kGhostEntries) {
      EXPECT_EQ(gs->ghostPosition[t], 0);
    }
  }
}

}  // namespace

namespace {

// Holds the throttle and S, steers hard one way, and taps B now and then.
class HardInput final : public InputDevice {
 public:
  long long frame = 0;
  std::uint16_t GetAsyncKeyState(int vk) override {
    if (vk == VK_UP_KEY || vk == VK_RIGHT_KEY) return kKeyDownNow;
    if (vk == VK_S_KEY) return kKeyDownNow | kKeyWentDown;
    if (vk == VK_B_KEY && frame % 97 == 0) return kKeyWentDown;
    return 0;
  }
  bool JoyGetPos(JoystickInfo&) override { return false; }
};

TEST(BadSettings, FramesRunWithoutFaults) {
  // Each file holds settings the formulas cannot work with as they stand;
  // under the sanitizers any division by zero or overflow fails the test.
  const char* files[] = {
      "SPEED 0\n",
      "SPEED -12000\n",
      "GRIP_MIN 10000\n",
      "GRIP_MIN 2147483647\n",
      "COURSE_WIDE 0\nCORNER_ARCH 0\n",
      "CORNER_ARCH -5\n",
      "BRAKE_LEVEL 2147483647\nLR_RESIST 2147483647\nLR_TURN 2147483647\nLR_SLIDE 2147483647\n",
      "GRIP_QUICK 2147483647\nGRIP_RETURN 2147483647\nGHOST_FORWARD_SCALE 2147483647\n",
      "SPEED -2147483648\nGRIP_MIN -2147483648\nLR_TURN -2147483648\nRIDGE_RAIL -2147483648\n",
  };
  for (const char* config : files) {
    ScopedTempDir dir;
    testing_support::WriteFile("config.txt", config);
    testing_support::WriteFile("map.txt", "0 0\n100 300\n300 -300\n500 2147483647\n501 0\n");
    auto gs = NewState();
    HardInput input;
    for (int f = 0; f < 3000; ++f) {
      input.frame = f;
      Main_Proc(*gs, input);
      ASSERT_LE(std::abs(gs->carLRTurn), 102400) << config;
      ASSERT_EQ(gs->goalRecord[0], gs->timeCount - 1) << config;
    }
    EXPECT_EQ(gs->ifInitialize, 1) << config;
  }
  {
    // The values stay as read for the debug readout.
    ScopedTempDir dir;
    testing_support::WriteFile("config.txt", "SPEED 0\nCOURSE_WIDE 0\nCORNER_ARCH -5\n");
    auto gs = NewState();
    HardInput input;
    Main_Proc(*gs, input);
    EXPECT_EQ(gs->configVelocityMax, 0);
    EXPECT_EQ(gs->configCourseViewWide, 0);
    EXPECT_EQ(gs->configCornerArch, -5);
    EXPECT_EQ(gs->carVelocity, 64);  // no top speed: the floor
  }
}

TEST(BadSettings, TopSpeedRaisedFarStaysExact) {
  // 300000 presses of S: 64-bit intermediates where 32 bits overflow.
  ScopedTempDir dir;
  auto gs = NewState();
  HardInput input;
  Main_Proc(*gs, input);
  gs->carVelocityMax = 12000 + 300000 * 1000;
  for (int f = 0; f < 2000; ++f) Main_Proc(*gs, input);
  EXPECT_GT(gs->carVelocity, 64);
  EXPECT_EQ(gs->carVelocityMax, 300012000 + 2000 * 1000);
}

}  // namespace
