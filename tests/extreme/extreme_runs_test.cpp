// Whole runs at the edges of play: a key pressed hundreds of thousands of
// times, a lap longer than the ghost can hold, the car pinned on a rail,
// switches flipped every frame; the states only extreme settings reach; and
// the rules every frame must keep, which the fuzzers and the soak tool check.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "headless/autodrive.h"
#include "headless/frame_checks.h"
#include "headless/headless_frame.h"
#include "headless/recording_surface.h"
#include "shell/main_proc.h"
#include "sim/phases.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// A started game in a directory of its own, on a straight course.
struct Game {
  ScopedTempDir dir;
  std::unique_ptr<GameState> gs = NewState();
  FakeInput input;
  long long frames = 0;

  explicit Game(const std::string& settings = "") {
    WriteFile("config.txt", settings);
    WriteFile("map.txt", "0 0\n");
  }
  void Frame() {
    Main_Proc(*gs, input);
    ++frames;
  }
  // A frame drawn as the program of the back buffer's format draws it.
  void DrawnFrame(SoftSurface& back) {
    gs->DDBack = &back;
    HeadlessFrame(*gs, back.format() == PixelFormat::Rgb565 ? Program::FullScreen : Program::Windowed, input);
    ++frames;
    gs->DDBack = nullptr;
  }
};

// Black pixels below the horizon: the road and walls.
int GroundInk(const SoftSurface& s) {
  int n = 0;
  for (int y = 181; y < kScreenHeight; y += 3) {
    for (int x = 0; x < kScreenWidth; x += 3) n += s.RgbAt(x, y) == 0;
  }
  return n;
}

TEST(ExtremeRuns, ThreeHundredThousandSpeedUpsThenDriving) {
  Game game;
  for (int i = 0; i < 300000; ++i) {
    game.input.pressed[VK_S_KEY] = true;
    game.Frame();
  }
  EXPECT_EQ(game.gs->carVelocityMax, 12000 + 300000 * 1000);
  EXPECT_EQ(game.gs->carVelocity, 64);  // coasted down to the floor

  // Full throttle: the car gains hundreds of millions of speed units, passes
  // laps within single frames and is flung onto the rail, yet stays on the
  // course and in view.
  game.input.held[VK_UP_KEY] = true;
  SoftSurface back16(PixelFormat::Rgb565);
  SoftSurface back32(PixelFormat::Xrgb8888);
  std::set<std::int32_t> positions;
  std::int32_t previousSpeed = game.gs->carVelocity;
  for (int i = 0; i < 3000; ++i) {
    if (i % 100 == 99) {
      SoftSurface& back = i % 200 == 99 ? back16 : back32;
      game.DrawnFrame(back);
      EXPECT_GT(GroundInk(back), 1000) << i;
    } else {
      game.Frame();
    }
    const GameState& gs = *game.gs;
    ASSERT_TRUE(gs.carPosition >= 1 && gs.carPosition <= kLapUnits) << i;
    ASSERT_LE(std::abs(gs.carLRPosition), 2 * kRailPosition) << i;
    ASSERT_GE(gs.carVelocity, previousSpeed - gs.carVelocity / 64 - 1) << i;  // only the rail brakes it
    previousSpeed = gs.carVelocity;
    positions.insert(gs.carPosition);
  }
  EXPECT_GT(positions.size(), 2900u);
  EXPECT_GT(game.gs->carVelocity, 100000000);
  EXPECT_LT(game.gs->carVelocity, game.gs->carVelocityMax);
}

// SPEED 128: the car starts at 64, the floor, and advances 6 units a frame,
// so a lap takes longer than the ghost arrays hold.
TEST(ExtremeRuns, LapLongerThanTheGhostArrays) {
  Game game("SPEED 128\n");
  constexpr int kStep = 64 / 10;
  constexpr long long kGoalFrame = (kLapUnits - 1) / kStep + 1;  // the first past 819200
  while (game.gs->goalCount == 0) {
    game.Frame();
    ASSERT_EQ(game.gs->carVelocity, 64);
    ASSERT_LE(game.frames, kGoalFrame);
  }
  // The lap counted every frame although it recorded only the first 65531.
  EXPECT_EQ(game.frames, kGoalFrame);
  EXPECT_EQ(game.gs->goalRecord[1], kGoalFrame - 2);
  EXPECT_EQ(game.gs->carPosition, 1 + kStep * kGoalFrame - kLapUnits);

  // In the new lap the ghost is the old lap's recording four frames on: 26
  // units ahead, too close for the marker, so only the level gauge shows;
  // past the arrays' end there is nothing recorded to show.
  auto runTo = [&](int lapFrame) { while (game.gs->timeCount < lapFrame) game.Frame(); };
  auto gaugeShown = [&]() {
    RecordingSurface surface;
    game.gs->DDBack = &surface;
    game.Frame();
    game.gs->DDBack = nullptr;
    const auto gauge = std::count_if(surface.lines.begin(), surface.lines.end(), [](const auto& l) {
      return (l.x1 == 560 || l.x1 == 600) && l.y1 == 400 && l.x2 == 580;
    });
    const auto level = std::count_if(surface.lines.begin(), surface.lines.end(), [](const auto& l) {
      return l.x1 == 560 && l.y1 == 400 && l.x2 == 580 && l.y2 == 400 && l.color == RGBRef(255, 255, 255);
    });
    EXPECT_EQ(gauge, 2 * level) << "a gauge that is not level";
    return level == 1;
  };
  runTo(1000);
  EXPECT_EQ(game.gs->ghostPosition[game.gs->timeCount + 4], 1 + kStep * (game.gs->timeCount + 5));
  EXPECT_TRUE(gaugeShown());
  runTo(65531 - 5);  // the arrays' 65531 entries
  EXPECT_TRUE(gaugeShown());
  EXPECT_FALSE(gaugeShown());
  runTo(70000);
  EXPECT_FALSE(gaugeShown());
  EXPECT_EQ(game.gs->goalRecord[0], 70000);
  EXPECT_EQ(game.gs->ghostPosition[kGhostEntries - 1], 5 + kStep * (kGhostEntries - 1));
  SoftSurface back(PixelFormat::Rgb565);
  game.DrawnFrame(back);
  EXPECT_GT(GroundInk(back), 1000);
}

TEST(ExtremeRuns, CarHeldAgainstTheRail) {
  Game game;
  game.input.held[VK_UP_KEY] = game.input.held[VK_RIGHT_KEY] = true;
  long long contactFrames = 0, firstContact = -1;
  for (int i = 0; i < 100000; ++i) {
    game.Frame();
    const GameState& gs = *game.gs;
    if (gs.carHitCount == 119 && ++contactFrames == 1) firstContact = i;
    ASSERT_LE(std::abs(gs.carLRTurn), kRailPosition) << i;
    ASSERT_TRUE(gs.carLRPosition >= 0 && gs.carLRPosition <= kRailPosition + 2048) << i;
    ASSERT_GE(gs.carVelocity, 1) << i;
  }
  // Bounced again and again: the hit count never runs out.
  EXPECT_TRUE(firstContact >= 0 && firstContact < 1000) << firstContact;
  EXPECT_GT(contactFrames, 100);
  EXPECT_GT(game.gs->goalCount, 0);
}

// SPEED 0 holds the car at the floor speed, 64, through a lap of 136534
// frames: autodrive's run records that speed as the lap's mean, its script
// has comments on the first line and the lap's last, and replays the run.
TEST(Autodrive, LapAtTheFloorSpeedReplays) {
  Game files("SPEED 0\n");
  const autodrive::Drive drive = autodrive::DriveGame({.frames = 300000, .laps = 2, .naive = true});
  EXPECT_EQ(drive.summary.lapMeanSpeeds, (std::vector<double>{64.0, 64.0}));
  EXPECT_EQ(drive.summary.meanSpeed, 64.0);
  EXPECT_EQ(autodrive::DriveGame({.frames = 10, .laps = 0, .naive = true}).summary.frames, 10);  // no lap limit
  const autodrive::RunSummary none = autodrive::DriveGame({.frames = 0}).summary;  // nor a frame
  EXPECT_EQ((std::array{none.endPosition, none.endSide}), (std::array{0, 0}));
  EXPECT_EQ(std::count(drive.script.begin(), drive.script.end(), '#'), 3);
  EXPECT_TRUE(drive.script.starts_with("UP # autodrive: the keys of one frame a line, from frame 1\n"));
  EXPECT_NE(drive.script.find("UP # lap 1 ends: 136532 frames\n"), std::string::npos);
  EXPECT_TRUE(autodrive::SameRun(drive.summary, autodrive::Replay(drive.script, drive.summary.frames)));
}

// The fixes for states only extreme settings reach, one phase at a time.
TEST(ExtremeStates, GoalAndRailBringTheCarBack) {
  const std::tuple<std::int32_t, std::int32_t, std::int32_t> goals[] = {
      {3 * 819200 + 7, 7, 1}, {INT32_MAX, (INT32_MAX - 1) % 819200 + 1, 1},
      {0, 819200, 0},         {-5, 819195, 0},
      {-819200, 819200, 0},   {INT32_MIN, 819200 - static_cast<std::int32_t>(2147483648LL % 819200), 0},
  };
  for (const auto& [position, after, count] : goals) {
    auto gs = NewState();
    gs->carPosition = position;
    MainLoopGoal(*gs);
    EXPECT_EQ((std::array{gs->carPosition, gs->goalCount}), (std::array{after, count})) << position;
  }
  const std::pair<std::int32_t, std::int32_t> rails[] = {
      {204800, 202752},         {-204800, -202752},       {204801, kRailPosition},
      {-204801, -kRailPosition},  {INT32_MAX, kRailPosition}, {INT32_MIN, -kRailPosition},
  };
  for (const auto& [before, after] : rails) {
    auto gs = NewState();
    gs->carVelocity = gs->carVelocityMax = 12000;
    gs->carGrip = 10000;
    gs->carLRPosition = before;
    MainLoopCarHit(*gs);
    EXPECT_EQ((std::array{gs->carLRPosition, gs->carHitCount, gs->carVelocity}), (std::array{after, 119, 11936}))
        << before;
  }
  // Far beyond the rail with an enormous course push, the advance passes the
  // 32-bit range forwards or backwards: the car moves on by its advance less
  // whole laps, and the goal brings it back onto the lap.
  for (auto [push, lapPosition] : {std::pair{2000000000, 244632}, std::pair{-2000000000, 774570}}) {
    auto gs = NewState();
    gs->carVelocityMax = 12000;
    gs->carVelocity = 1000000;
    gs->carGrip = 10000;
    gs->carPosition = 1;
    gs->carLRPosition = 2000000000;
    gs->courseSlide = push;
    MainLoopCarForward(*gs);
    MainLoopGoal(*gs);
    EXPECT_EQ(gs->carPosition, lapPosition) << push;
  }
}

// The per-frame rules the fuzzers and the soak check must be able to fail:
// each broken state is named.
TEST(FrameChecks, RulesNameWhatIsBroken) {
  auto sound = std::make_unique<GameState>();
  sound->carPosition = sound->timeCount = 1;  // no lap yet; a lap a frame at most
  sound->dispColor = 255;
  const frame_checks::Baseline baseline = frame_checks::TakeBaseline(*sound);
  ASSERT_EQ(frame_checks::CheckFrame(*sound, baseline, 1), "");
  const std::pair<void (*)(GameState&), const char*> cases[] = {
      {[](GameState& g) { g.mapDataX[1599] = 1; }, "course table changed"},
      {[](GameState& g) { g.dispMap = 2; }, "display switch"},
      {[](GameState& g) { g.dispColor = 256; }, "background shade"},
      {[](GameState& g) { g.controlLeftRight = 3; }, "steering"},
      {[](GameState& g) { g.carLRTurn = 102401; }, "heading"},
      {[](GameState& g) { g.carPosition = 0; }, "position outside the lap"},
      {[](GameState& g) { g.carPosition = 819201; }, "position outside the lap"},
      {[](GameState& g) { g.carLRPosition = -204801; }, "beyond the rails"},
      {[](GameState& g) { g.carHitCount = 120; }, "rail count"},
      {[](GameState& g) { g.timeCount = 0; }, "lap frame count"},
      {[](GameState& g) { g.goalRecord[0] = 5; }, "running lap record"},
      {[](GameState& g) { g.goalRecord[2] = -1; }, "negative lap record"},
      {[](GameState& g) { g.goalCount = 2; }, "more laps than frames"},
      {[](GameState& g) { g.drawViewY[0] = 1; }, "drawViewY"},
      {[](GameState& g) { g.drawViewY[299] = 1; }, "drawViewY"},
  };
  for (const auto& [breakIt, names] : cases) {
    auto broken = std::make_unique<GameState>(*sound);
    breakIt(*broken);
    EXPECT_NE(frame_checks::CheckFrame(*broken, baseline, 1).find(names), std::string::npos) << names;
  }
}

}  // namespace
