#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "sim/phases.h"
#include "headless/recording_surface.h"
#include "support/test_support.h"
#include "view/view.h"

using testing_support::NewState;



namespace {

constexpr ColorRef kBlack = RGBRef(0, 0, 0);
constexpr ColorRef kWhite = RGBRef(255, 255, 255);

struct Fixture {
  std::unique_ptr<GameState> gs = NewState();
  RecordingSurface surface;
  Fixture() {
    InitializeTrigonTable(*gs);
    gs->carPosition = 1;
    gs->carVelocity = 6000;
    gs->carVelocityMax = 12000;
    gs->carGrip = 5000;
    gs->dispObject = 1;
    gs->dispGhost = 1;
    gs->configGhostForwardScale = 500;
    gs->DDBack = &surface;
  }
  // Lines of the given colour on the road row of step i.
  std::vector<RecordedLine> RowLines(int i, ColorRef color) const {
    std::vector<RecordedLine> out;
    for (const RecordedLine& l : surface.lines) {
      if (l.color == color && l.y1 == 480 - i && l.y2 == 480 - i) out.push_back(l);
    }
    return out;
  }
  bool HasLine(int x1, int y1, int x2, int y2, ColorRef color) const {
    return std::any_of(surface.lines.begin(), surface.lines.end(), [&](const RecordedLine& l) {
      return l.x1 == x1 && l.y1 == y1 && l.x2 == x2 && l.y2 == y2 && l.color == color;
    });
  }
};

// Position at which depth step 0 sees the middle of section `section`.
int AtSection(int section) { return section * 1024 + 512; }

TEST(Scene, RoadRowsAndSymmetry) {
  Fixture f;
  MainLoopViewDrawScene(*f.gs);
  // Step 10: scale 290, road from x(-8) to x(8) on row 470.
  EXPECT_TRUE(f.HasLine(320 - 8 * 290, 470, 320 + 8 * 290, 470, kBlack));
  EXPECT_TRUE(f.HasLine(320 - 8 * 1, 181, 320 + 8 * 1, 181, kBlack));  // step 299
  // A straight, centred view mirrors about x = 320.
  std::multiset<std::tuple<int, int, int, int>> black;
  for (const RecordedLine& l : f.surface.lines) {
    if (l.color == kBlack) black.insert({l.x1, l.y1, l.x2, l.y2});
  }
  ASSERT_FALSE(black.empty());
  for (const auto& [x1, y1, x2, y2] : black) {
    const bool mirrored = black.count({640 - x1, y1, 640 - x2, y2}) > 0 || black.count({640 - x2, y2, 640 - x1, y1}) > 0;
    EXPECT_TRUE(mirrored) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(Scene, RoadMarksLeaveOddRowsOpen) {
  Fixture f;
  f.gs->carPosition = 818688;  // 799.5 sections: half-section 1599 under the near steps
  MainLoopViewDrawScene(*f.gs);
  EXPECT_TRUE(f.RowLines(1, kBlack).empty());   // odd, below 296: no road
  EXPECT_FALSE(f.RowLines(2, kBlack).empty());  // even: road
  f.surface.Clear();
  f.gs->carPosition = AtSection(300);
  MainLoopViewDrawScene(*f.gs);
  EXPECT_FALSE(f.RowLines(1, kBlack).empty());  // no mark there
}

TEST(Scene, WallsAndStripesByHalfOfTheLap) {
  struct Case {
    int section;
    bool walls;
    int wallTop;
    bool stripes;
    int stripeEnd;
  };
  const Case cases[] = {
      {45, true, 10, false, 0},  {48, true, 10, true, 15},  {40, false, 0, true, 15},
      {5, false, 0, false, 0},   {400, false, 0, true, 18}, {415, true, 11, true, 18},
      {425, false, 0, false, 0}, {845, true, 10, false, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.gs->carPosition = AtSection(c.section);
    MainLoopViewDrawScene(*f.gs);
    // Step 0: scale 300 on row 480.
    const bool wallLeft = f.HasLine(320 - 9 * 300, 480, 320 - c.wallTop * 300, 180 - 4 * 300, kBlack);
    const bool wallRight = f.HasLine(320 + 9 * 300, 480, 320 + c.wallTop * 300, 180 - 4 * 300, kBlack);
    EXPECT_EQ(wallLeft && wallRight, c.walls) << c.section;
    const bool stripeLeft = f.HasLine(320 - 9 * 300, 480, 320 - c.stripeEnd * 300, 480, kBlack);
    const bool stripeRight = f.HasLine(320 + 9 * 300, 480, 320 + c.stripeEnd * 300, 480, kBlack);
    EXPECT_EQ(stripeLeft && stripeRight, c.stripes) << c.section;
    EXPECT_EQ(f.RowLines(0, kBlack).size(), 1u + (c.stripes ? 2u : 0u)) << c.section;
  }
}

TEST(Scene, OverheadOnlyWithObjects) {
  for (int objects : {1, 0}) {
    Fixture f;
    f.gs->dispObject = objects;
    f.gs->carPosition = AtSection(395);  // 395 mod 80 = 75: bars; 395 mod 400 = 395: strips
    MainLoopViewDrawScene(*f.gs);
    // Step 1 is odd: a bar across the screen at y(-1) = 180 - 299.
    EXPECT_EQ(f.HasLine(0, 180 - 299, 640, 180 - 299, kBlack), objects == 1);
    EXPECT_EQ(f.HasLine(320 - 6 * 300, 180 - 300, 320 - 3 * 300, 180 - 300, kBlack), objects == 1);
    EXPECT_EQ(f.HasLine(320 + 2 * 300, 180 - 300, 320 + 1 * 300, 180 - 300, kBlack), objects == 1);
    // Step 0 is even: no bar.
    EXPECT_FALSE(f.HasLine(0, 180 - 300, 640, 180 - 300, kBlack));
  }
}

TEST(Scene, CentreDashesEveryFourthSection) {
  for (int section : {4, 5, 8}) {
    Fixture f;
    f.gs->carPosition = AtSection(section);
    MainLoopViewDrawScene(*f.gs);
    const bool dash = f.HasLine(320 - 75, 480, 320 + 75, 480, kWhite);  // s * 0.25 = 75
    EXPECT_EQ(dash, section % 4 == 0) << section;
  }
}

TEST(Texts, LabelsWhereTheyBelong) {
  Fixture f;
  f.gs->carGrip = 5000;
  MainLoopViewDrawTexts(*f.gs);
  const RecordedText* grip = f.surface.FindText("GRIP ");
  ASSERT_NE(grip, nullptr);
  EXPECT_EQ(grip->text, "GRIP 5000");
  EXPECT_EQ(grip->x, 160);
  EXPECT_EQ(grip->y, 480 - 5000 / 40);
  EXPECT_EQ(grip->mode, BkMode::Opaque);
  EXPECT_EQ(grip->height, 20);
  EXPECT_EQ(grip->face, "");
  EXPECT_EQ(grip->color, kBlack);
  const RecordedText* goal = f.surface.FindText("goalCount: ");
  ASSERT_NE(goal, nullptr);
  EXPECT_EQ(std::tie(goal->x, goal->y, goal->text), std::make_tuple(40, 24, std::string("goalCount: 0")));
  const RecordedText* pos = f.surface.FindText("carPosition: ");
  ASSERT_NE(pos, nullptr);
  EXPECT_EQ(std::tie(pos->x, pos->y), std::make_tuple(440, 24));
  const RecordedText* vel = f.surface.FindText("carVelocity: ");
  ASSERT_NE(vel, nullptr);
  EXPECT_EQ(std::tie(vel->x, vel->y, vel->text), std::make_tuple(440, 48, std::string("carVelocity: 6000")));
  // The records stand unmoved at speed.
  for (int k = 0; k < 8; ++k) {
    EXPECT_TRUE(std::any_of(f.surface.texts.begin(), f.surface.texts.end(),
                            [&](const RecordedText& t) { return t.text == "0" && t.x == 500 && t.y == 280 + 24 * k; }))
        << k;
  }
  EXPECT_EQ(f.surface.FindText(" H I T "), nullptr);
  EXPECT_EQ(f.surface.FindText("UP/DOWN"), nullptr);
  EXPECT_EQ(f.surface.FindText("VELTIX RACE"), nullptr);
  EXPECT_EQ(f.surface.FindText("V"), nullptr);
}

TEST(Texts, SpeedLabelAndInput) {
  struct Case {
    int v, vmax, indicater;
    const char* text;
    int row;
  };
  const Case cases[] = {
      {12000, 12000, 0, "SPEED 10000", 240}, {12000, 12000, 1, "SPEED 10000", 480},
      {9000, 12000, 1, "SPEED 7500", 360},   {9000, 12000, 0, "SPEED 7500", 300},
      {64, 0, 0, "SPEED 640000", -14880},    // SPEED 0: the label divides by 1
  };
  for (const Case& c : cases) {
    Fixture f;
    f.gs->carVelocity = c.v;
    f.gs->carVelocityMax = c.vmax;
    f.gs->dispIndicater = c.indicater;
    MainLoopViewDrawTexts(*f.gs);
    const RecordedText* speed = f.surface.FindText("SPEED ");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->text, c.text);
    EXPECT_EQ(speed->x, 40);
    EXPECT_EQ(speed->y, c.row) << c.v << " " << c.indicater;
  }
  Fixture f;
  f.gs->controlLeftRight = -2;
  f.gs->controlAcceleration = 1;
  f.gs->controlBrake = 1;
  MainLoopViewDrawTexts(*f.gs);
  const RecordedText* input = f.surface.FindText("INPUT");
  ASSERT_NE(input, nullptr);
  EXPECT_EQ(std::tie(input->x, input->y), std::make_tuple(200, 410));
}

TEST(Texts, HitNoticeHelpAndWarnings) {
  Fixture f;
  f.gs->carHitCount = 37;
  f.gs->carVelocity = 639;
  f.gs->noConfigFileFlag = 1;
  MainLoopViewDrawTexts(*f.gs);
  const RecordedText* hit = f.surface.FindText(" H I T ");
  ASSERT_NE(hit, nullptr);
  EXPECT_EQ(std::tie(hit->x, hit->y), std::make_tuple(300, 263));
  const char* help[] = {"UP/DOWN:accel/break",        "S:speed up", "B:stop", "C:backGroundColor",
                        "I:SPEED meter scale x2", "D/M/G:debug/map/ghost disp"};
  for (int k = 0; k < 6; ++k) {
    const RecordedText* t = f.surface.FindText(help[k]);
    ASSERT_NE(t, nullptr) << help[k];
    EXPECT_EQ(t->text, help[k]);
    EXPECT_EQ(std::tie(t->x, t->y), std::make_tuple(240, 240 + 24 * k));
  }
  const RecordedText* config = f.surface.FindText("\"config.txt\" not found.");
  ASSERT_NE(config, nullptr);
  EXPECT_EQ(std::tie(config->x, config->y), std::make_tuple(240, 432));
  EXPECT_EQ(f.surface.FindText("\"map.txt\""), nullptr);

  Fixture fast;
  fast.gs->carVelocity = 640;
  fast.gs->noConfigFileFlag = 1;
  fast.gs->noMapFileFlag = 1;
  MainLoopViewDrawTexts(*fast.gs);
  EXPECT_EQ(fast.surface.FindText("UP/DOWN"), nullptr);
  EXPECT_EQ(fast.surface.FindText("\"config.txt\""), nullptr);
  EXPECT_EQ(fast.surface.FindText("\"map.txt\""), nullptr);
}

TEST(Texts, TitleAtHomeWhenTheSwirlIsStill) {
  Fixture f;
  f.gs->carVelocity = 100;
  f.gs->carPosition = 32768;  // A0 = 0: no radius; per-character variant
  MainLoopViewDrawTexts(*f.gs);
  const std::string titles[] = {"VELTIX RACE", "LEFT/RIGHT:steer", "ESC:exit"};
  for (int t = 0; t < 3; ++t) {
    for (size_t j = 0; j < titles[t].size(); ++j) {
      const std::string ch(1, titles[t][j]);
      const int x = 100 + 9 * static_cast<int>(j), y = 200 + 44 * t;
      EXPECT_TRUE(std::any_of(f.surface.texts.begin(), f.surface.texts.end(),
                              [&](const RecordedText& r) { return r.text == ch && r.x == x && r.y == y; }))
          << titles[t] << " " << j;
    }
  }
  // Whole-line variant: (carPosition / 16) mod 2048 at or above 1024.
  Fixture whole;
  whole.gs->carVelocity = 100;
  whole.gs->carPosition = 16384 * 3;  // A0 = 3072 mod 1024 = 0, 3072 mod 2048 = 1024
  MainLoopViewDrawTexts(*whole.gs);
  for (int t = 0; t < 3; ++t) {
    const RecordedText* line = whole.surface.FindText(titles[t]);
    ASSERT_NE(line, nullptr) << titles[t];
    EXPECT_EQ(std::tie(line->x, line->y), std::make_tuple(100, 200 + 44 * t));
  }
}

TEST(Texts, SwirlMovesWithinItsRadius) {
  for (int position : {1, 1000, 4096, 8000, 16367, 16368, 20000, 819200}) {
    Fixture f;
    f.gs->carVelocity = 100;
    f.gs->carPosition = position;
    f.gs->goalRecord[3] = 123456789;  // nine characters circling at (k+1)(j+1) up to 36
    MainLoopViewDrawTexts(*f.gs);
    for (const RecordedText& t : f.surface.texts) {
      if (t.text == "V" || t.text == "VELTIX RACE") {
        EXPECT_LE(std::abs(t.x - 100), 99) << position;
        EXPECT_LE(std::abs(t.y - 200), 99) << position;
      }
    }
  }
}

TEST(Debug, ReadoutsThroughThePrimitives) {
  Fixture f;
  f.gs->carLRTurnDev = 512;
  f.gs->carLRTurn = -2048;
  f.gs->configLRTurnLevel = 400;
  f.gs->configGripMin = 100;
  MainLoopViewDrawDebug(*f.gs);
  EXPECT_EQ(f.surface.borrows, 17);  // three needles and fourteen texts, each on its own borrow
  const RecordedText* turn = f.surface.FindText("TURN: ");
  ASSERT_NE(turn, nullptr);
  EXPECT_EQ(turn->text, "TURN: -2048");
  EXPECT_EQ(std::tie(turn->x, turn->y, turn->height), std::make_tuple(260, 44, 18));
  EXPECT_EQ(turn->mode, BkMode::Transparent);
  EXPECT_EQ(turn->face, "標準明朝");
  EXPECT_EQ(turn->color, RGBRef(5, 155, 255));
  const RecordedText* lrTurn = f.surface.FindText("LR_TURN:");
  ASSERT_NE(lrTurn, nullptr);
  EXPECT_EQ(lrTurn->text, "LR_TURN:   400");
  const RecordedText* gripMin = f.surface.FindText("GRIP_MIN:");
  ASSERT_NE(gripMin, nullptr);
  EXPECT_EQ(gripMin->text, "GRIP_MIN:    100");
  EXPECT_EQ(gripMin->y, 332);
  EXPECT_TRUE(f.HasLine(260, 44, 280, 20, RGBRef(155, 5, 5)));  // 512 * 40 / 1024
  EXPECT_TRUE(f.HasLine(260, 68, 258, 44, RGBRef(155, 5, 5)));
  EXPECT_EQ(f.surface.lines[0].width, 2);
}

TEST(Ghost, MarkerAndGauge) {
  struct Case {
    int lead, turn;
    std::vector<std::array<int, 4>> lines;
  };
  const Case cases[] = {
      // Two sections ahead: d = 1500, tip at row 399, marker at step 95, s = 205.
      {2048, 0, {{560, 400, 580, 399}, {600, 400, 580, 399}, {115, 385, 525, 385}, {115, 385, 320, 180}, {525, 385, 320, 180}}},
      // d = 1536: step 100, s = 200; turning 9600 gives t = 150, w = 50.
      {2122, 9600, {{560, 400, 580, 399}, {600, 400, 580, 399}, {170, 230, 470, 530}, {170, 230, 470, 230}, {470, 530, 470, 230}}},
      // A rate beyond 64 s draws as t = +s even when negative: w = 100.
      {2122, -20000, {{560, 400, 580, 399}, {600, 400, 580, 399}, {220, 180, 420, 580}, {220, 180, 520, 280}, {420, 580, 520, 280}}},
      // Level with the car: d = 500, the gauge only.
      {0, 0, {{560, 400, 580, 400}, {600, 400, 580, 400}}},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.gs->carPosition = 100000;
    f.gs->timeCount = 50;
    f.gs->ghostPosition[54] = 100000 + c.lead;
    f.gs->ghostTurn[54] = c.turn;
    DrawContext* dc = f.surface.GetDC();
    MainLoopViewDrawGhost(*f.gs, dc);
    f.surface.ReleaseDC(dc);
    ASSERT_EQ(f.surface.lines.size(), c.lines.size()) << c.lead << " " << c.turn;
    for (size_t i = 0; i < c.lines.size(); ++i) {
      const RecordedLine& l = f.surface.lines[i];
      EXPECT_EQ((std::array<int, 4>{l.x1, l.y1, l.x2, l.y2}), c.lines[i]) << c.lead << " " << c.turn << " line " << i;
    }
    // Recorded whatever was drawn.
    EXPECT_EQ(f.gs->timeCount, 51);
    EXPECT_EQ(f.gs->ghostPosition[50], 100000);
  }
}

TEST(Ghost, HiddenOrLateIsNotDrawnButRecorded) {
  struct Case {
    int ghostPosition, dispGhost;
  };
  for (const Case& c : {Case{780 * 1024, 1}, Case{799 * 1024, 1}, Case{100000 + 2048, 0}}) {
    Fixture f;
    f.gs->carPosition = 100000;
    f.gs->dispGhost = c.dispGhost;
    f.gs->timeCount = 7;
    f.gs->ghostPosition[11] = c.ghostPosition;
    f.gs->carLRPosition = -33;
    f.gs->carLRTurnDev = 12;
    DrawContext* dc = f.surface.GetDC();
    MainLoopViewDrawGhost(*f.gs, dc);
    f.surface.ReleaseDC(dc);
    EXPECT_TRUE(f.surface.lines.empty());
    EXPECT_EQ(f.gs->timeCount, 8);
    EXPECT_EQ(f.gs->ghostPosition[7], 100000);
    EXPECT_EQ(f.gs->ghostLRPosition[7], -33);
    EXPECT_EQ(f.gs->ghostTurn[7], 12);
  }
  // Past the arrays' end nothing is read or written, and time still counts.
  for (int t : {65527, 65530, 65531, 2147483647}) {
    Fixture f;
    f.gs->timeCount = t;
    MainLoopViewDrawGhost(*f.gs, nullptr);
    EXPECT_EQ(f.gs->timeCount, t == 2147483647 ? t : t + 1);
  }
}

TEST(CourseMap, StripAndCarDot) {
  Fixture f;
  f.gs->carPosition = 40960;  // section 40: row 410
  MainLoopViewDrawMap(*f.gs);
  const RecordedText* label = f.surface.FindText("MAP_DATA");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(std::tie(label->x, label->y, label->height), std::make_tuple(320, 420, 18));
  int segments = 0, dots = 0;
  for (const RecordedLine& l : f.surface.lines) {
    if (l.width == 2) {
      ++segments;
      EXPECT_EQ(l.color, RGBRef(155, 5, 5));
      EXPECT_EQ(std::tie(l.x1, l.x2), std::make_tuple(320, 320));
    } else {
      ++dots;
      EXPECT_EQ(std::tie(l.x1, l.y1, l.x2, l.y2, l.width), std::make_tuple(320, 410, 320, 410, 8));
      EXPECT_EQ(l.color, RGBRef(5, 155, 255));
    }
  }
  EXPECT_EQ(segments, 199);
  EXPECT_EQ(dots, 1);

  Fixture bend;
  for (int i = 0; i < 1600; ++i) bend.gs->mapDataX[i] = 16;  // every sample adds 16: x moves 1 per 4 rows
  bend.gs->carPosition = 796 * 1024;  // row count 199: past the last sampled row
  MainLoopViewDrawMap(*bend.gs);
  EXPECT_EQ(bend.surface.lines.size(), 199u);
  EXPECT_TRUE(bend.HasLine(320, 420, 320, 420, RGBRef(155, 5, 5)));      // S = 16: 16/64 = 0
  EXPECT_TRUE(bend.HasLine(321, 417, 320, 417, RGBRef(155, 5, 5)));      // S = 64
  EXPECT_TRUE(bend.HasLine(369, 222, 369, 222, RGBRef(155, 5, 5)));      // S = 3184 / 64 = 49.75
}

TEST(ViewDraw, BorrowsOneContextAtATimeAndRecordsWithoutOne) {
  Fixture f;
  f.gs->dispDebug = 1;
  f.gs->dispMap = 1;
  f.gs->carVelocity = 100;
  MainLoopViewDraw(*f.gs);
  EXPECT_EQ(f.surface.maxOutstanding, 1);
  EXPECT_EQ(f.surface.outstanding, 0);
  EXPECT_EQ(f.surface.livePens, 0);
  EXPECT_EQ(f.surface.liveFonts, 0);
  EXPECT_EQ(f.surface.borrows, 2 + 17 + 1 + 199 + 1);  // scene, texts, debug, map label, strip, dot

  Fixture refused;
  refused.surface.refuse = true;
  refused.gs->timeCount = 3;
  MainLoopViewDraw(*refused.gs);
  EXPECT_EQ(refused.gs->timeCount, 4);
  EXPECT_TRUE(refused.surface.lines.empty());
}

}  // namespace
