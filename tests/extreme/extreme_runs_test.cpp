// Whole runs at the edges of play: a key pressed hundreds of thousands of
// times, a lap longer than the ghost can hold, the car pinned on a rail,
// switches flipped every frame. Each states what the game shows then.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "headless/headless_frame.h"
#include "media/soft_surface.h"
#include "shell/main_proc.h"
#include "windowed/primitives.h"
#include "sim/phases.h"
#include "headless/recording_surface.h"
#include "support/test_support.h"
#include "view/view.h"

using testing_support::FakeInput;

using testing_support::ScopedTempDir;
using testing_support::WriteFile;

namespace {

constexpr const char* kBuiltInSettings =
    "DEVICE 1\nSPEED 12000\nBRAKE_LEVEL 400\nLR_TURN 400\nLR_SLIDE 100\nLR_RESIST 100\nGRIP_MIN 100\n"
    "GRIP_QUICK 40\nGRIP_RETURN 40\nBRAKE_GRIP_TIME 60\nRIDGE_RAIL 950\nCORNER_ARCH 2\nCOURSE_WIDE 8\n"
    "GHOST_FORWARD_SCALE 500\n";

// A started game in a directory of its own; the course is straight unless
// a map is given.
struct Game {
  ScopedTempDir dir;
  std::unique_ptr<GameState> gs = testing_support::NewState();
  FakeInput input;
  long long frames = 0;

  explicit Game(const std::string& settings = kBuiltInSettings, const std::string& map = "0 0\n") {
    WriteFile("config.txt", settings);
    WriteFile("map.txt", map);
  }
  // One frame; the input is cleared of presses by the queries themselves.
  void Frame() {
    Main_Proc(*gs, input);
    ++frames;
  }
  void DrawnFrame(SoftSurface& back) {
    gs->DDBack = &back;
    HeadlessFrame(*gs, back.format() == PixelFormat::Rgb565 ? Program::FullScreen : Program::Windowed,
                  input);
    ++frames;
    gs->DDBack = nullptr;
  }
};

bool IsBlack(const SoftSurface& s, int x, int y) { return s.RgbAt(x, y) == 0x000000; }

// Black pixels below the horizon: the road and walls.
int GroundInk(const SoftSurface& s) {
  int n = 0;
  for (int y = 181; y < kScreenHeight; y += 3) {
    for (int x = 0; x < kScreenWidth; x += 3) n += IsBlack(s, x, y);
  }
  return n;
}

TEST(ExtremeRuns, ThreeHundredThousandSpeedUpsThenDriving) {
  Game game;
  for (int i = 0; i < 300000; ++i) {
    game.input.pressed[VK_S_KEY] = true;
    game.Frame();
  }
  // Each press adds 1000 to the top speed; the car coasted down to the floor.
  EXPECT_EQ(game.gs->carVelocityMax, 12000 + 300000 * 1000);
  EXPECT_EQ(game.gs->carVelocity, 64);

  // Full throttle, steering nowhere: the car gains tens of millions of speed
  // units, passes laps within single frames and is flung onto the rail.
  game.input.held[VK_UP_KEY] = true;
  SoftSurface back16(PixelFormat::Rgb565);
  SoftSurface back32(PixelFormat::Xrgb8888);
  std::set<std::int32_t> positions;
  std::int32_t previousSpeed = game.gs->carVelocity;
  for (int i = 0; i < 3000; ++i) {
    if (i % 100 == 99) {
      game.DrawnFrame(i % 200 == 99 ? back16 : back32);
      // The car stays in view at the rail: the road is on screen.
      EXPECT_GT(GroundInk(i % 200 == 99 ? back16 : back32), 1000) << "frame " << i;
    } else {
      game.Frame();
    }
    const GameState& gs = *game.gs;
    ASSERT_GE(gs.carPosition, 1) << i;
    ASSERT_LE(gs.carPosition, kLapUnits) << i;
    ASSERT_LE(std::abs(gs.carLRPosition), 2 * kRailPosition) << i;
    ASSERT_GE(gs.carVelocity, previousSpeed - gs.carVelocity / 64 - 1) << i;  // only the rail's 1/16 % brakes it
    previousSpeed = gs.carVelocity;
    positions.insert(gs.carPosition);
  }
  // Never stuck at one place, and still below the top speed.
  EXPECT_GT(positions.size(), 2900u);
  EXPECT_GT(game.gs->carVelocity, 100000000);
  EXPECT_LT(game.gs->carVelocity, game.gs->carVelocityMax);
  EXPECT_GT(game.gs->goalCount, 0);
}

TEST(ExtremeRuns, BrakeKeyTappedEveryFrame) {
  Game game;
  game.input.held[VK_UP_KEY] = true;
  std::int32_t previousPosition = 1;
  for (int i = 0; i < 20000; ++i) {
    game.input.pressed[VK_B_KEY] = true;
    game.Frame();
    const GameState& gs = *game.gs;
    // Halved every frame, the throttle cannot lift the car far off the
    // floor: it crawls, and the help lines stay up.
    ASSERT_GE(gs.carVelocity, 64) << i;
    if (i >= 20) {
      ASSERT_LT(gs.carVelocity, 640) << i;
    }
    if (gs.carPosition > previousPosition) {
      ASSERT_GE(gs.carPosition - previousPosition, 6) << i;
    }
    previousPosition = gs.carPosition;
  }
  EXPECT_GT(game.gs->carPosition, 20000 * 6);

  RecordingSurface surface;
  game.gs->DDBack = &surface;
  game.input.pressed[VK_B_KEY] = true;
  game.Frame();
  EXPECT_NE(surface.FindText("B:stop"), nullptr);
  EXPECT_NE(surface.FindText("UP/DOWN:accel/break"), nullptr);
  EXPECT_EQ(surface.outstanding, 0);
}

// SPEED 128: the car starts at 64, the floor, and advances 6 units a frame,
// so a lap takes longer than the ghost arrays hold.
TEST(ExtremeRuns, LapLongerThanTheGhostArrays) {
  Game game("SPEED 128\n");
  constexpr int kStep = 64 / 10;
  // Position 1 + 6f after frame f; the goal frame is the first past 819200.
  constexpr long long kGoalFrame = (kLapUnits - 1) / kStep + 1;
  SoftSurface back(PixelFormat::Rgb565);
  while (game.gs->goalCount == 0) {
    game.Frame();
    ASSERT_EQ(game.gs->carVelocity, 64);
    ASSERT_LE(game.frames, kGoalFrame);
    if (game.frames < kGoalFrame) {
      ASSERT_EQ(game.gs->goalRecord[0], game.frames - 1);
    }
  }
  EXPECT_EQ(game.frames, kGoalFrame);
  // The lap counted every frame although it recorded only the first 65531.
  EXPECT_EQ(game.gs->goalRecord[1], kGoalFrame - 2);
  EXPECT_EQ(game.gs->carPosition, 1 + kStep * kGoalFrame - kLapUnits);
  EXPECT_EQ(game.gs->timeCount, 1);

  // In the new lap the ghost is the old lap's recording, four frames on:
  // 26 units ahead, too close for the marker (lead scale 512 <= 1024), so
  // only the level gauge shows.
  auto runTo = [&](int lapFrame) {
    while (game.gs->timeCount < lapFrame) game.Frame();
  };
  auto gaugeShown = [&]() {
    RecordingSurface surface;
    game.gs->DDBack = &surface;
    game.Frame();
    game.gs->DDBack = nullptr;
    const bool level = std::any_of(surface.lines.begin(), surface.lines.end(), [](const auto& l) {
      return l.x1 == 560 && l.y1 == 400 && l.x2 == 580 && l.y2 == 400 && l.color == RGBRef(255, 255, 255);
    });
    const bool any = std::any_of(surface.lines.begin(), surface.lines.end(), [](const auto& l) {
      return (l.x1 == 560 || l.x1 == 600) && l.y1 == 400 && l.x2 == 580;
    });
    EXPECT_EQ(level, any) << "a gauge that is not level";
    return level;
  };
  runTo(1000);
  const int c = game.gs->timeCount;
  EXPECT_EQ(game.gs->ghostPosition[c + 4], 1 + kStep * (c + 5));
  EXPECT_TRUE(gaugeShown());

  // Up to the arrays' end the replay goes on...
  runTo(kGhostEntries - 5);
  EXPECT_TRUE(gaugeShown());
  // ...and past it there is nothing recorded to show: no gauge, no marker,
  // for the rest of the lap, while the lap's own count goes on.
  EXPECT_FALSE(gaugeShown());
  runTo(70000);
  EXPECT_FALSE(gaugeShown());
  EXPECT_EQ(game.gs->goalRecord[0], 70000);
  EXPECT_EQ(game.gs->goalCount, 1);
  // This lap recorded its first 65531 frames over the first lap's and no
  // further; the pixels were drawn without fault in the meantime.
  EXPECT_EQ(game.gs->ghostPosition[kGhostEntries - 1], 5 + kStep * (kGhostEntries - 1));
  game.DrawnFrame(back);
  EXPECT_GT(GroundInk(back), 1000);
}

TEST(ExtremeRuns, CarHeldAgainstTheRail) {
  Game game;
  game.input.held[VK_UP_KEY] = true;
  game.input.held[VK_RIGHT_KEY] = true;
  long long contactFrames = 0;
  long long firstContact = -1;
  for (int i = 0; i < 100000; ++i) {
    game.Frame();
    const GameState& gs = *game.gs;
    if (gs.carHitCount == 119) {
      ++contactFrames;
      if (firstContact < 0) firstContact = i;
    }
    ASSERT_LE(std::abs(gs.carLRTurn), kRailPosition) << i;
    ASSERT_LE(gs.carLRPosition, kRailPosition + 2048) << i;  // never far past the rail
    ASSERT_GE(gs.carLRPosition, 0) << i;                     // steering right all the way
    ASSERT_GE(gs.carVelocity, 1) << i;
    ASSERT_GE(gs.carPosition, 1) << i;
  }
  // Pinned to the rail: bounced again and again, the hit count never runs out.
  ASSERT_GE(firstContact, 0);
  EXPECT_LT(firstContact, 1000);
  EXPECT_GT(contactFrames, 100);
  EXPECT_GT(game.gs->goalCount, 0);

  RecordingSurface surface;
  game.gs->DDBack = &surface;
  do {
    surface.Clear();
    game.Frame();
  } while (game.gs->carHitCount == 0);
  const RecordedText* hit = surface.FindText(" H I T ");
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(hit->y, 300 - game.gs->carHitCount);
}

TEST(ExtremeRuns, BackgroundShadeCycledManyTimes) {
  Game game;
  SoftSurface back(PixelFormat::Xrgb8888);
  game.gs->dispColor = 255;  // the windowed program's start
  std::int32_t expected = 255;
  int wraps = 0;
  for (int i = 0; i < 3000; ++i) {
    game.input.pressed[VK_C_KEY] = true;
    if (i % 50 == 0) {
      windowed::DD_BackInit(*game.gs);
      game.gs->DDBack = &back;
      windowed::DD_BackInit(*game.gs);
      // The clear before the frame shows the shade left by the last press.
      const std::uint32_t shade = static_cast<std::uint32_t>(expected);
      EXPECT_EQ(back.RgbAt(639, 479), shade << 16 | shade << 8 | 0xFF) << i;
      game.Frame();
      game.gs->DDBack = nullptr;
    } else {
      game.Frame();
    }
    expected = expected > 30 ? expected - 30 : 255;
    if (expected == 255) ++wraps;
    ASSERT_EQ(game.gs->dispColor, expected) << i;
    ASSERT_LE(windowed::BackFillValue(*game.gs), 0xFFFFFFu);
  }
  // 255, 225, ... 15 and back: nine values a cycle.
  EXPECT_EQ(wraps, 3000 / 9);

  Game fullscreen;  // starts at 0: the first press gives 255
  fullscreen.input.pressed[VK_C_KEY] = true;
  fullscreen.Frame();
  EXPECT_EQ(fullscreen.gs->dispColor, 255);
}

TEST(ExtremeRuns, EveryDisplaySwitchFlippedEveryFrame) {
  Game game;
  SoftSurface back16(PixelFormat::Rgb565);
  SoftSurface back32(PixelFormat::Xrgb8888);
  game.input.held[VK_UP_KEY] = true;
  const int keys[] = {VK_D_KEY, VK_M_KEY, VK_G_KEY, VK_O_KEY, VK_I_KEY, VK_C_KEY};
  for (int f = 1; f <= 1000; ++f) {
    for (int k : keys) game.input.pressed[k] = true;
    SoftSurface& back = f % 2 == 0 ? back16 : back32;
    game.DrawnFrame(back);
    const GameState& gs = *game.gs;
    const int on = f % 2;  // D, M and I start off, G and O on
    ASSERT_EQ(gs.dispDebug, on) << f;
    ASSERT_EQ(gs.dispMap, on) << f;
    ASSERT_EQ(gs.dispIndicater, on) << f;
    ASSERT_EQ(gs.dispGhost, 1 - on) << f;
    ASSERT_EQ(gs.dispObject, 1 - on) << f;
    ASSERT_FALSE(back.borrowed()) << f;
    // On a straight course the map is a column of dots at x = 320 whose
    // rows 222 to 420 are painted in the map colour only when it is on
    // (away from the car's own dot).
    const std::uint32_t mapRed = RgbFromRaw(back.format(), RawFromColor(back.format(), RGBRef(155, 5, 5)));
    const int carRow = 420 - gs.carPosition / 1024 / 4;
    const int probe = std::abs(carRow - 300) < 10 ? 350 : 300;
    ASSERT_EQ(back.RgbAt(319, probe) == mapRed, on == 1) << f;
  }
}

// The fixes for states only extreme settings reach, one phase at a time.
TEST(ExtremeStates, GoalBringsAPositionBackIntoTheLap) {
  struct Case {
    std::int32_t position;
    std::int32_t after;
    std::int32_t goals;
  };
  const Case cases[] = {
      {819200, 819200, 0},          {819201, 1, 1},
      {3 * 819200 + 7, 7, 1},       {INT32_MAX, (INT32_MAX - 1) % 819200 + 1, 1},
      {0, 819200, 0},               {-5, 819195, 0},
      {-819200, 819200, 0},         {INT32_MIN, 819200 - static_cast<std::int32_t>(2147483648LL % 819200), 0},
  };
  for (const Case& c : cases) {
    auto gs = testing_support::NewState();
    gs->carPosition = c.position;
    gs->timeCount = 40;
    MainLoopGoal(*gs);
    EXPECT_EQ(gs->carPosition, c.after) << c.position;
    EXPECT_EQ(gs->goalCount, c.goals) << c.position;
    EXPECT_EQ(gs->timeCount, c.goals == 1 ? 0 : 40) << c.position;
  }
}

TEST(ExtremeStates, AdvancePastTheIntegerRangeKeepsMoving) {
  // Far beyond the rail with an enormous course push the advance's factor
  // is in the hundreds of millions: whole laps come off instead of the
  // position sticking at the 32-bit limit.
  auto gs = testing_support::NewState();
  gs->carVelocityMax = 12000;
  gs->carVelocity = 1000000;
  gs->carGrip = 10000;
  gs->carPosition = 1;
  gs->carLRPosition = 2000000000;
  gs->courseSlide = 2000000000;
  const std::int64_t k = 2000000000 / 1024 / 100;
  const std::int64_t s = 2000000000 / 50;
  const std::int64_t x = k * s / 1024;
  MainLoopCarForward(*gs);
  const std::int64_t next = 1 + (x + 1) * gs->carVelocity / 10;
  ASSERT_GT(next, INT32_MAX);
  EXPECT_EQ(gs->carPosition, (next - 1) % kLapUnits + 1 + kLapUnits);
  MainLoopGoal(*gs);
  EXPECT_EQ(gs->carPosition, (next - 1) % kLapUnits + 1);

  // Thrown backwards just as far.
  gs->carPosition = 1;
  gs->courseSlide = -2000000000;
  MainLoopCarForward(*gs);
  const std::int64_t back = 1 + (-x + 1) * gs->carVelocity / 10;
  ASSERT_LT(back, INT32_MIN);
  EXPECT_EQ(gs->carPosition, -((-back) % kLapUnits));
}

TEST(ExtremeStates, RailCatchesACarThrownFarOut) {
  struct Case {
    std::int32_t before;
    std::int32_t after;
  };
  const Case cases[] = {
      {102401, 101376},  {204800, 202752},       {-204800, -202752},       {204801, kRailPosition},
      {-204801, -kRailPosition}, {INT32_MAX, kRailPosition}, {INT32_MIN, -kRailPosition},
  };
  for (const Case& c : cases) {
    auto gs = testing_support::NewState();
    gs->carVelocity = 12000;
    gs->carVelocityMax = 12000;
    gs->carGrip = 10000;
    gs->carLRPosition = c.before;
    MainLoopCarHit(*gs);
    EXPECT_EQ(gs->carLRPosition, c.after) << c.before;
    EXPECT_EQ(gs->carHitCount, 119) << c.before;
    EXPECT_EQ(gs->carVelocity, 11936) << c.before;
  }
}

}  // namespace
