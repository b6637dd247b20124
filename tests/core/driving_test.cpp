// The start-up sequence and the driving phases, each against the game's
// own numbers. The trigonometry tables are held by the golden frames: the
// road's projection reads the tangent table, the swirling title of
// slow_help.png the sine and cosine. Only the depth table's fixed far end
// is too close to the horizon to show there.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "shell/main_proc.h"
#include "sim/arith.h"
#include "sim/phases.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A started game with the built-in settings on a straight course.
std::unique_ptr<GameState> StartedState() {
  ScopedTempDir dir;
  auto gs = NewState();
  Initialize(*gs);
  gs->ifInitialize = 1;
  return gs;
}

TEST(StartUp, FirstFrameStartsThenPlays) {
  ScopedTempDir dir;
  UseShippedFiles();
  auto gs = NewState();
  gs->dispDebug = gs->dispMap = gs->dispIndicater = 7;  // the switches start as they must, whatever was there
  FakeInput input;
  Main_Proc(*gs, input);
  // The car at half the top speed, less one frame of drag.
  EXPECT_EQ((std::array{gs->ifInitialize, gs->carVelocity, gs->carVelocityMax, gs->carBrakeLevel, gs->carPosition}),
            (std::array{1, 5999, 12000, 400, 1 + 5999 / 10}));
  EXPECT_EQ((std::array{gs->trigonTangentTable[296], gs->trigonTangentTable[297], gs->trigonTangentTable[298],
                        gs->trigonTangentTable[299]}),
            (std::array{75776, 96256, 122880, 153600}));
  // A full turn in 1023 steps; cosine's last entry is that of one step back.
  EXPECT_EQ(std::size(gs->trigonCosTable), 1023u);
  EXPECT_EQ((std::array{gs->trigonSinTable[2], gs->trigonSinTable[767], gs->trigonCosTable[511], gs->trigonCosTable[1022]}),
            (std::array{1, -99, -99, 99}));
  EXPECT_EQ((std::array{gs->dispDebug, gs->dispMap, gs->dispGhost, gs->dispObject, gs->dispIndicater}),
            (std::array{0, 0, 1, 1, 0}));
  // The pace car: 512 units a frame for two laps of positions, turning with
  // the bend of the section it is in.
  EXPECT_EQ((std::array{gs->ghostPosition[4], gs->ghostPosition[3200], gs->ghostPosition[3201]}),
            (std::array{2048, 1638400, 0}));
  int bent = 0;
  while (gs->mapDataX[bent] == 0) ++bent;
  for (int i : {2 * bent, 2 * bent + 1, 1600 + 2 * bent, 3199}) EXPECT_EQ(gs->ghostTurn[i], gs->mapDataX[i / 2]) << i;
  EXPECT_NE(gs->ghostTurn[2 * bent], 0);
  EXPECT_EQ(gs->ghostTurn[3200], 0);

  // The files are read at the first frame only.
  WriteFile("config.txt", "SPEED 3000\n");
  Main_Proc(*gs, input);
  EXPECT_EQ((std::array{gs->configVelocityMax, gs->carVelocity}), (std::array{12000, 5998}));
}

// Parts of the phases together, from the start state on a straight: three
// frames without input, three with the right arrow and UP held, three with
// DOWN held.
TEST(Phases, WorkedTraceOnAStraight) {
  auto gs = StartedState();
  FakeInput input;
  const std::array<int, 8> expected[9] = {
      {5057, 0, 5999, 600, 0, 0, 0, 0},          {5108, 0, 5998, 1199, 0, 0, 0, 0},
      {5159, 0, 5997, 1798, 0, 0, 0, 0},         {5172, 0, 6008, 2398, 49, 196, 54, 1},
      {5185, 0, 6019, 2999, 97, 584, 177, 5},    {5198, 0, 6029, 3601, 144, 1160, 373, 14},
      {5249, 60, 6007, 4201, 141, 1724, 592, 28}, {5200, 60, 5985, 4799, 138, 2276, 798, 47},
      {5152, 60, 5963, 5395, 135, 2816, 990, 71},
  };
  for (int f = 0; f < 9; ++f) {
    input = {};
    input.held[VK_RIGHT_KEY] = input.held[VK_UP_KEY] = f >= 3 && f < 6;
    input.held[VK_DOWN_KEY] = f >= 6;
    MainLoop(*gs, input);
    EXPECT_EQ((std::array{gs->carGrip, gs->carGripCount, gs->carVelocity, gs->carPosition, gs->carLRTurnDev,
                          gs->carLRTurn, gs->carLRMove, gs->carLRPosition}),
              expected[f])
        << "frame " << f + 1;
  }
}

// Out-of-range doubles saturate; 2^63 itself does not fit either.
TEST(Arith, DoubleToIntegerSaturates) {
  volatile double big = 0x1p63;  // not folded at compile time
  EXPECT_EQ((std::array{arith::TruncToI64(big), arith::TruncToI64(-big), arith::TruncToI64(big / 2)}),
            (std::array{arith::kI64Max, arith::kI64Min, std::int64_t{1} << 62}));
  EXPECT_EQ(arith::TruncToI32((big - big) / (big - big)), 0);  // NaN
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
      {{}, {}, 0, 1, 0},                         // the throttle is a latch
      {{VK_DOWN_KEY}, {}, 0, 0, 1},
  };
  for (const Case& c : cases) {
    in = {};
    for (int k : c.held) in.held[k] = true;
    for (int k : c.pressed) in.pressed[k] = true;
    MainLoopControl(*gs, in);
    EXPECT_EQ((std::array{gs->controlLeftRight, gs->controlAcceleration, gs->controlBrake}),
              (std::array{c.lr, c.accel, c.brake}));
  }

  // An arrow reported as gone down at both of its queries steps twice.
  class Twice final : public InputDevice {
   public:
    int key = VK_RIGHT_KEY;
    std::uint16_t GetAsyncKeyState(int vk) override {
      return vk == key ? static_cast<std::uint16_t>(kKeyDownNow | kKeyWentDown) : 0;
    }
    bool JoyGetPos(JoystickInfo&) override { return false; }
  } twice;
  MainLoopControl(*gs, twice);
  EXPECT_EQ(gs->controlLeftRight, 2);
  twice.key = VK_LEFT_KEY;
  MainLoopControl(*gs, twice);
  EXPECT_EQ(gs->controlLeftRight, -2);
}

TEST(Controls, FunctionKeys) {
  auto gs = StartedState();
  FakeInput in;
  struct Case {
    int key;
    std::int32_t GameState::*field;
    std::int32_t before, after;
  };
  const Case cases[] = {
      {VK_B_KEY, &GameState::carVelocity, 12000, 6000},
      {VK_B_KEY, &GameState::carVelocity, 6001, 3000},
      {VK_S_KEY, &GameState::carVelocityMax, 12000, 13000},
      {VK_S_KEY, &GameState::carVelocityMax, 2147483000, 2147483647},
      {VK_D_KEY, &GameState::dispDebug, 0, 1},
      {VK_M_KEY, &GameState::dispMap, 1, 0},
      {VK_G_KEY, &GameState::dispGhost, 1, 0},
      {VK_O_KEY, &GameState::dispObject, 0, 1},
      {VK_I_KEY, &GameState::dispIndicater, 0, 1},
      {VK_C_KEY, &GameState::dispColor, 0, 255},  // the full-screen program's start
      {VK_C_KEY, &GameState::dispColor, 255, 225},
      {VK_C_KEY, &GameState::dispColor, 45, 15},
      {VK_C_KEY, &GameState::dispColor, 15, 255},
  };
  for (const Case& c : cases) {
    (*gs).*c.field = c.before;
    in = {};
    in.pressed[c.key] = true;
    MainLoopControl(*gs, in);
    EXPECT_EQ((*gs).*c.field, c.after) << c.key << " from " << c.before;
  }
  // Held without a new press: nothing more.
  in = {};
  in.held[VK_D_KEY] = true;
  MainLoopControl(*gs, in);
  EXPECT_EQ(gs->dispDebug, 1);
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
      {32768, 2, 0, 1, 0}, {32768, 4, 0, 1, 0},  {32768, 5, 0, 1, 1},  {32768, 8, 0, 0, 1},
  };
  for (const Case& c : cases) {
    gs->controlAcceleration = 0;
    in.joystick = {c.x, c.buttons};
    MainLoopControl(*gs, in);
    EXPECT_EQ((std::array{gs->controlLeftRight, gs->controlAcceleration, gs->controlBrake}),
              (std::array{c.lr, c.accel, c.brake}))
        << c.x << " " << c.buttons;
  }
  // The keys do nothing; without a joystick it reads centred, no buttons.
  in.joystickPresent = false;
  for (int key : {VK_LEFT_KEY, VK_B_KEY, VK_D_KEY}) in.pressed[key] = in.held[key] = true;
  gs->carVelocity = 5000;
  gs->controlAcceleration = 0;
  MainLoopControl(*gs, in);
  EXPECT_EQ((std::array{gs->controlLeftRight, gs->controlAcceleration, gs->controlBrake}), (std::array{0, 0, 0}));
  EXPECT_EQ(gs->carVelocity, 5000);
  EXPECT_EQ(gs->dispDebug, 0);
}

TEST(Grip, RecoveryBrakeLossAndFloor) {
  struct Case {
    int grip, accel, brake, count, brakeGripTime;
    int gripAfter, countAfter;
    int turnDev = 0;
  };
  const Case cases[] = {
      {10000, 0, 0, 0, 60, 10000, 0},  // 10007 held to full grip
      {5000, 0, 0, 0, 60, 5057, 0},
      {5000, 1, 0, 0, 60, 5015, 0},
      {10000, 0, 1, 0, 60, 10000, 60},  // the brake's loss starts the frame after
      {10000, 0, 1, 60, 60, 9824, 60},
      {10000, 0, 1, 0, 0, 10000, 0},    // BRAKE_GRIP_TIME 0: no loss at all
      {10000, 0, 0, 0, 60, 9998, 0, 207},  // turning: t3 2070, 2049 / 1024 off
  };
  for (const Case& c : cases) {
    auto gs = StartedState();
    gs->carGrip = c.grip;
    gs->controlAcceleration = c.accel;
    gs->controlBrake = c.brake;
    gs->carGripCount = c.count;
    gs->configBrakeGripTime = c.brakeGripTime;
    gs->carLRTurnDev = c.turnDev;
    MainLoopCarGrip(*gs);
    EXPECT_EQ((std::array{gs->carGrip, gs->carGripCount}), (std::array{c.gripAfter, c.countAfter}))
        << c.grip << " " << c.accel << " " << c.brake << " " << c.count;
  }
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
  struct Case {
    int velocity, accel, brake, frames;
    int velocityAfter;
  };
  const Case cases[] = {
      {66, 0, 0, 1, 65},        // one unit of drag a frame
      {66, 0, 0, 3, 64},        // down to the floor
      {6000, 1, 0, 5000, 11489},  // full throttle at full grip: top speed less 511
      {6000, 0, 1, 1, 5959},    // braking at full grip: 40 and 1 of drag
  };
  for (const Case& c : cases) {
    auto gs = StartedState();
    gs->carGrip = 10000;
    gs->carVelocity = c.velocity;
    gs->controlAcceleration = c.accel;
    gs->controlBrake = c.brake;
    for (int i = 0; i < c.frames; ++i) MainLoopCarForward(*gs);
    EXPECT_EQ(gs->carVelocity, c.velocityAfter) << c.velocity << " for " << c.frames;
  }
  auto floor = StartedState();
  floor->carVelocity = 64;
  MainLoopCarForward(*floor);
  EXPECT_EQ(floor->carPosition, 1 + 6);

  // The car starts afresh whatever the state held.
  auto used = StartedState();
  used->carLRPosition = used->carLRMove = used->carLRTurn = used->carLRTurnDev = 7;
  used->carHitCount = used->carGripCount = used->controlAcceleration = used->ghostLRPosition[0] = 7;
  InitializeCar(*used);
  InitializeGhost(*used);  // and so does the pace car, on the centre line
  EXPECT_EQ((std::array{used->carLRPosition, used->carLRMove, used->carLRTurn, used->carLRTurnDev, used->carHitCount,
                        used->carGripCount, used->controlAcceleration, used->ghostLRPosition[0], used->ghostLRPosition[9]}),
            (std::array<std::int32_t, 9>{}));
}

TEST(CourseFollowing, SlideSettlesNineShortOfItsTarget) {
  // target = bend * speed / 1000 at speed 1000; the slide goes a tenth of
  // the way each frame, truncated toward zero.
  struct Case {
    int bend;
    std::vector<int> first;
    int settled;
  };
  const Case cases[] = {
      {100, {10, 19, 27, 34, 40, 46}, 91},
      {-100, {-10, -19, -27, -34, -40, -46}, -91},
      {10, {1, 1, 1, 1, 1, 1}, 1},
      {9, {0, 0, 0, 0, 0, 0}, 0},
      {-9, {0, 0, 0, 0, 0, 0}, 0},
  };
  for (const Case& c : cases) {
    auto gs = StartedState();
    for (int& bend : gs->mapDataX) bend = c.bend;
    gs->carVelocity = 1000;
    std::vector<int> slides;
    for (int i = 0; i < 206; ++i) {
      MainLoopCarCource(*gs);
      if (i < 6) slides.push_back(gs->courseSlide);
    }
    EXPECT_EQ(slides, c.first) << c.bend;
    EXPECT_EQ(gs->courseSlide, c.settled) << c.bend;
    EXPECT_EQ(gs->carLRTurn, gs->carLRMove);  // both pushed alike
  }
  // On a straight a slide of 100 dies away in 28 frames.
  auto gs = StartedState();
  gs->courseSlide = 100;
  int frames = 0;
  while (gs->courseSlide != 0 && frames < 1000) {
    MainLoopCarCource(*gs);
    ++frames;
  }
  EXPECT_EQ(frames, 28);
}

TEST(Lateral, SteeringAndDecay) {
  for (int side : {1, -1}) {
    auto gs = StartedState();
    gs->controlLeftRight = side;
    std::vector<int> rates;
    int clampFrame = 0;
    for (int f = 1; f <= 40; ++f) {
      gs->carGrip = 10000;
      MainLoopCarLR(*gs);
      if (f <= 4) rates.push_back(side * gs->carLRTurnDev);
      if (clampFrame == 0 && gs->carLRTurnDev == side * 800) clampFrame = f;
      EXPECT_EQ(gs->carLRMove, gs->carLRTurn);  // full grip: travel follows heading
      EXPECT_LE(std::abs(gs->carLRTurn), 102400);
    }
    EXPECT_EQ(rates, (std::vector<int>{48, 94, 138, 180})) << side;
    EXPECT_EQ(clampFrame, 28) << side;

    gs->controlLeftRight = 0;
    int frames = 0;
    while (gs->carLRTurnDev != 0 && frames < 1000) {
      gs->carGrip = 10000;
      MainLoopCarLR(*gs);
      ++frames;
    }
    EXPECT_EQ(frames, 100) << side;
  }
  auto gs = StartedState();
  gs->carLRTurnDev = 800;
  gs->carGrip = 100;
  MainLoopCarLR(*gs);
  EXPECT_EQ(gs->carLRTurnDev, 800);  // no decay at minimum grip
}

TEST(Rail, Contact) {
  auto gs = StartedState();
  gs->carLRPosition = 102400;  // on the rail is no contact
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carHitCount, 0);

  gs->carLRPosition = 102401;
  gs->carVelocity = 12000;
  gs->carLRMove = 500;
  gs->carLRTurn = -801;
  gs->carLRTurnDev = 801;
  gs->carGrip = 10000;
  MainLoopCarHit(*gs);
  EXPECT_EQ((std::array{gs->carLRPosition, gs->carVelocity, gs->carLRMove, gs->carLRTurn, gs->carLRTurnDev,
                        gs->carGrip, gs->carHitCount}),
            (std::array{101376, 11936, -500, -400, 400, 9900, 119}));
  for (int f = 2; f <= 120; ++f) MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carHitCount, 0);
  const int grip = gs->carGrip;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carGrip, grip);  // the 121st frame costs nothing more

  gs->carVelocity = 64;
  gs->carLRPosition = -102401;
  MainLoopCarHit(*gs);
  EXPECT_EQ(gs->carVelocity, 64);  // the slowest contact costs no speed
}

TEST(Goal, LapsRecordsAndGhostClearing) {
  auto gs = StartedState();
  gs->carPosition = 819200;  // the end of the lap is no goal
  gs->timeCount = 17;
  MainLoopGoal(*gs);
  EXPECT_EQ((std::array{gs->carPosition, gs->goalRecord[0], gs->goalCount}), (std::array{819200, 17, 0}));

  gs->carPosition = 819201;
  gs->timeCount = 1000;
  gs->goalRecord[0] = 999;
  for (int t = 0; t < 2000; ++t) gs->ghostPosition[t] = 5;
  MainLoopGoal(*gs);
  EXPECT_EQ((std::array{gs->carPosition, gs->goalCount, gs->goalRecord[0], gs->goalRecord[1], gs->timeCount}),
            (std::array{1, 1, 0, 999, 0}));
  // The 300 positions after the finished lap are cleared.
  EXPECT_EQ((std::array{gs->ghostPosition[999], gs->ghostPosition[1000], gs->ghostPosition[1299],
                        gs->ghostPosition[1300]}),
            (std::array{5, 0, 0, 5}));

  // Nine goals: the last seven laps stay, newest first.
  for (int lap = 1; lap <= 9; ++lap) {
    gs->goalRecord[0] = lap * 10;
    gs->carPosition = 819300;
    MainLoopGoal(*gs);
  }
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(gs->goalRecord[k], (10 - k) * 10) << k;
  EXPECT_EQ(gs->goalCount, 10);

  // A lap longer than the ghost arrays clears only what lies inside them;
  // the goal count stops at its largest.
  gs->goalCount = 2147483647;
  for (int t : {65231, 65232, 65530, 65531, 2147483647}) {
    gs->timeCount = t;
    gs->carPosition = 819201;
    MainLoopGoal(*gs);
    EXPECT_EQ(gs->timeCount, 0);
    if (t < kGhostEntries) {
      EXPECT_EQ(gs->ghostPosition[t], 0) << t;
    }
  }
  EXPECT_EQ(gs->goalCount, 2147483647);
}

}  // namespace
