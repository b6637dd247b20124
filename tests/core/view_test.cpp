// The view: the projection of the course ahead, and where the scene, the
// texts, the debug readouts, the ghost and the course map are drawn, read
// off a recording surface rather than pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <tuple>

#include "headless/recording_surface.h"
#include "sim/phases.h"
#include "support/test_support.h"
#include "view/view.h"

using testing_support::NewState;

namespace {

constexpr ColorRef kBlack = RGBRef(0, 0, 0);
constexpr ColorRef kWhite = RGBRef(255, 255, 255);
constexpr ColorRef kMapRed = RGBRef(155, 5, 5);

std::unique_ptr<GameState> ViewState(int bend, int wide = 8) {
  auto gs = NewState();
  InitializeTrigonTable(*gs);
  for (int& value : gs->mapDataX) value = bend;
  gs->carPosition = 1;
  gs->configCourseViewWide = wide;
  return gs;
}

TEST(Projection, ConstantBends) {
  const int steps[] = {0, 150, 200, 230, 250, 280, 290, 295, 298, 299};
  struct Case {
    int bend;
    std::array<int, 10> expected;
  };
  // A left bend mirrors the right one exactly: every step truncates toward
  // zero (at step 230 the lateral sum of 229 lies just short of a pixel).
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {100, {0, 0, 0, 0, 1, 5, 11, 22, 51, 78}},
      {200, {0, 0, 0, 1, 3, 11, 23, 44, 103, 157}},
      {229, {0, 0, 0, 1, 3, 13, 27, 50, 118, 180}},
      {-229, {0, 0, 0, -1, -3, -13, -27, -50, -118, -180}},
  };
  for (const Case& c : cases) {
    auto gs = ViewState(c.bend);
    MainLoopViewCalc(*gs);
    std::array<int, 10> got;
    for (int k = 0; k < 10; ++k) got[k] = gs->drawViewX[steps[k]];
    EXPECT_EQ(got, c.expected) << c.bend;
  }
  // A bend far ahead shows only at the far steps.
  auto gs = ViewState(0);
  for (int i = 20; i <= 40; ++i) gs->mapDataX[i] = 100;
  MainLoopViewCalc(*gs);
  EXPECT_EQ((std::array{gs->drawViewX[289], gs->drawViewX[298], gs->drawViewX[299]}), (std::array{0, 7, 23}));
}

TEST(Projection, CarPositionAndHeading) {
  // COURSE_WIDE, the car's place and heading; the offsets at steps 0 and 299.
  const std::array<int, 5> cases[] = {
      {8, 10240, 0, -300, -1},
      {4, 10240, 0, -600, -2},
      {9, 10240, 0, 0, 0},
      {8, 0, 102400, 0, -299},
      {0, 10240, 0, -2400, -8},  // no width: met as the narrowest, COURSE_WIDE 1
      {1, 10240, 0, -2400, -8},
  };
  for (const auto& [wide, lrPosition, lrTurn, at0, at299] : cases) {
    auto gs = ViewState(0, wide);
    gs->carLRPosition = lrPosition;
    gs->carLRTurn = lrTurn;
    MainLoopViewCalc(*gs);
    EXPECT_EQ((std::array{gs->drawViewX[0], gs->drawViewX[299], gs->drawViewY[0]}), (std::array{at0, at299, 0}))
        << wide;  // and nothing past the last step
  }
  // 300 * 2147483647 * (-8) / 10240 against the car, wherever it is:
  // saturating 64-bit sums, not a wrapped product.
  for (int position : {-2147483647 - 1, -5, 2147483647}) {
    auto far = ViewState(100, -1);
    far->carPosition = position;
    far->carLRPosition = 2147483647;
    far->carLRTurn = -2147483647 - 1;
    MainLoopViewCalc(*far);
    EXPECT_EQ(far->drawViewX[0], 503316479) << position;
  }
  // Strong bends all through the view pass the 32-bit range of the lateral
  // sum; the offsets keep growing the same way instead of flipping side.
  auto gs = ViewState(2000);
  MainLoopViewCalc(*gs);
  for (int k = 1; k < 300; ++k) ASSERT_GE(gs->drawViewX[k], gs->drawViewX[k - 1]) << k;
}

TEST(Projection, SameAsStepByStepForAnyCourse) {
  // Bends of every size up to the 32-bit limit, the car anywhere in the lap
  // (and outside it), the course's two halves now and then made to differ.
  std::mt19937 rng(14);
  const std::int32_t scales[] = {0, 3, 300, 2000, 1 << 20, 2147483647};
  const std::int32_t positions[] = {0, 1, 4095, 4096, 780000, 800000, 819199, 819200, -5, 2147483647};
  for (int round = 0; round < 400; ++round) {
    auto gs = ViewState(0, std::uniform_int_distribution<int>(-3, 10)(rng));
    std::uniform_int_distribution<std::int32_t> bend(-scales[round % 6], scales[round % 6]);
    for (int i = 0; i < 800; ++i) gs->mapDataX[i] = gs->mapDataX[i + 800] = bend(rng);
    if (round % 4 == 3) gs->mapDataX[800 + rng() % 40] = 2000;
    gs->carPosition = round < 100 ? positions[round % 10] : std::uniform_int_distribution<std::int32_t>(0, 819200)(rng);
    gs->carLRPosition = std::uniform_int_distribution<std::int32_t>(-120000, 120000)(rng);
    gs->carLRTurn = std::uniform_int_distribution<std::int32_t>(-102400, 102400)(rng);
    if (round % 10 == 9) gs->carLRTurn = gs->carLRPosition = round % 20 == 9 ? 2147483647 : -2147483647 - 1;
    MainLoopViewCalcStepByStep(*gs);
    const std::vector<std::int32_t> expected(gs->drawViewX, gs->drawViewX + 300);
    MainLoopViewCalc(*gs);
    ASSERT_TRUE(std::equal(expected.begin(), expected.end(), gs->drawViewX)) << "round " << round;
  }
}

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
  // Lines of the colour on the road row of step i.
  std::size_t RowLines(int i, ColorRef color) const {
    return static_cast<std::size_t>(std::count_if(surface.lines.begin(), surface.lines.end(), [&](const auto& l) {
      return l.color == color && l.y1 == 480 - i && l.y2 == 480 - i;
    }));
  }
  bool HasLine(int x1, int y1, int x2, int y2, ColorRef color) const {
    return std::any_of(surface.lines.begin(), surface.lines.end(), [&](const RecordedLine& l) {
      return std::tie(l.x1, l.y1, l.x2, l.y2, l.color) == std::tie(x1, y1, x2, y2, color);
    });
  }
  const RecordedText& Text(const std::string& prefix) const {
    const RecordedText* text = surface.FindText(prefix);
    static const RecordedText kNone{};
    EXPECT_NE(text, nullptr) << prefix;
    return text != nullptr ? *text : kNone;
  }
};

// Position at which depth step 0 sees the middle of section `section`.
int AtSection(int section) { return section * 1024 + 512; }

TEST(Scene, RoadRowsMirrorOnAStraight) {
  Fixture f;
  MainLoopViewDrawScene(*f.gs);
  EXPECT_TRUE(f.HasLine(320 - 8 * 290, 470, 320 + 8 * 290, 470, kBlack));  // step 10: scale 290
  EXPECT_TRUE(f.HasLine(320 - 8 * 1, 181, 320 + 8 * 1, 181, kBlack));      // step 299
  std::multiset<std::tuple<int, int, int, int>> black;
  for (const RecordedLine& l : f.surface.lines) {
    if (l.color == kBlack) black.insert({l.x1, l.y1, l.x2, l.y2});
  }
  for (const auto& [x1, y1, x2, y2] : black) {
    EXPECT_TRUE(black.count({640 - x1, y1, 640 - x2, y2}) + black.count({640 - x2, y2, 640 - x1, y1}) > 0)
        << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST(Scene, RoadMarksLeaveOddRowsBelowTheFarEndOpen) {
  const std::tuple<int, int, bool> cases[] = {  // position, step, road drawn
      {818688, 1, false},  // half-section 1599 under the near steps: odd rows open
      {818688, 2, true},   // even rows drawn
      {AtSection(300), 1, true},
      {794724, 297, true},  // 1599 at step 297: odd, but at the far end
  };
  for (const auto& [position, step, road] : cases) {
    Fixture f;
    f.gs->carPosition = position;
    MainLoopViewDrawScene(*f.gs);
    EXPECT_EQ(f.RowLines(step, kBlack) > 0, road) << position << " step " << step;
  }
}

TEST(Scene, WallsStripesOverheadAndDashes) {
  struct Case {
    int section;
    int wallTop;    // 0: no walls
    int stripeEnd;  // 0: no stripes
  };
  const Case cases[] = {
      {45, 10, 0},  {48, 10, 15}, {40, 0, 15},  {5, 0, 0},
      {400, 0, 18}, {415, 11, 18}, {425, 0, 0}, {845, 10, 0},
      {41, 10, 15}, {120, 0, 15}, {70, 10, 0},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.gs->carPosition = AtSection(c.section);
    MainLoopViewDrawScene(*f.gs);
    // Step 0: scale 300 on row 480; each wall and stripe with its mirror image.
    auto mirrored = [&](int x1, int y1, int x2, int y2) {
      return f.HasLine(320 - x1, y1, 320 - x2, y2, kBlack) && f.HasLine(320 + x1, y1, 320 + x2, y2, kBlack);
    };
    const int top = c.wallTop == 0 ? 10 : c.wallTop, end = c.stripeEnd == 0 ? 15 : c.stripeEnd;
    EXPECT_EQ(mirrored(9 * 300, 480, top * 300, 180 - 4 * 300), c.wallTop != 0) << c.section;
    EXPECT_EQ(mirrored(9 * 300, 480, end * 300, 480), c.stripeEnd != 0) << c.section;
    EXPECT_EQ(f.RowLines(0, kBlack), c.stripeEnd != 0 ? 3u : 1u) << c.section;
    EXPECT_FALSE(f.HasLine(0, 180 - 299, 640, 180 - 299, kBlack)) << c.section;  // bars from 71 of 80 only
    // A centre dash every fourth section, s / 4 either side.
    EXPECT_EQ(f.HasLine(320 - 75, 480, 320 + 75, 480, kWhite), c.section % 4 == 0) << c.section;
  }
  for (int objects : {1, 0}) {
    Fixture f;
    f.gs->dispObject = objects;
    f.gs->carPosition = AtSection(391);  // 391 mod 80 = 71: the first with bars; mod 400 = 391: strips
    MainLoopViewDrawScene(*f.gs);
    EXPECT_EQ(f.HasLine(0, 180 - 299, 640, 180 - 299, kBlack), objects == 1);  // step 1, odd: a bar
    EXPECT_FALSE(f.HasLine(0, 180 - 300, 640, 180 - 300, kBlack));            // step 0, even: none
    EXPECT_EQ(f.HasLine(320 - 6 * 300, 180 - 300, 320 - 3 * 300, 180 - 300, kBlack), objects == 1);
    EXPECT_EQ(f.HasLine(320 - 2 * 300, 180 - 300, 320 - 1 * 300, 180 - 300, kBlack), objects == 1);
    EXPECT_EQ(f.HasLine(320 + 2 * 300, 180 - 300, 320 + 1 * 300, 180 - 300, kBlack), objects == 1);
  }
  for (int section : {330, 731}) {  // strips from 331 of every 400
    Fixture f;
    f.gs->carPosition = AtSection(section);
    MainLoopViewDrawScene(*f.gs);
    EXPECT_EQ(f.HasLine(320 - 6 * 300, 180 - 300, 320 - 3 * 300, 180 - 300, kBlack), section == 731) << section;
  }
}

// The labels and readouts at the start stand in the golden frame start.png;
// here the SPEED label's rows at other speeds and scales, and the INPUT box.
TEST(Texts, LabelsAndReadouts) {
  Fixture f;
  MainLoopViewDrawTexts(*f.gs);
  for (const char* absent : {" H I T ", "UP/DOWN", "VELTIX RACE", "V"}) EXPECT_EQ(f.surface.FindText(absent), nullptr);

  const std::tuple<int, int, int, const char*, int> cases[] = {  // speed, top speed, indicator; label, row
      {12000, 12000, 0, "SPEED 10000", 240}, {12000, 12000, 1, "SPEED 10000", 480},
      {9000, 12000, 1, "SPEED 7500", 360},   {9000, 12000, 0, "SPEED 7500", 300},
      {64, 0, 0, "SPEED 640000", -14880},    // SPEED 0: the label divides by 1
  };
  for (const auto& [v, vmax, indicater, text, row] : cases) {
    Fixture s;
    s.gs->carVelocity = v;
    s.gs->carVelocityMax = vmax;
    s.gs->dispIndicater = indicater;
    MainLoopViewDrawTexts(*s.gs);
    const RecordedText& label = s.Text("SPEED ");
    EXPECT_EQ(std::tie(label.text, label.x, label.y), std::make_tuple(std::string(text), 40, row));
  }
  Fixture input;
  input.gs->controlLeftRight = -2;
  input.gs->controlAcceleration = 1;
  input.gs->controlBrake = 1;
  MainLoopViewDrawTexts(*input.gs);
  EXPECT_EQ(std::tie(input.Text("INPUT").x, input.Text("INPUT").y), std::make_tuple(200, 410));
}

TEST(Texts, HitNoticeHelpAndWarningsWhileSlow) {
  // The help lines stand in the golden frame slow_help.png; each missing file has a warning.
  for (const bool config : {true, false}) {
    Fixture f;
    f.gs->carHitCount = config ? 37 : 0;
    f.gs->carVelocity = 639;
    (config ? f.gs->noConfigFileFlag : f.gs->noMapFileFlag) = 1;
    MainLoopViewDrawTexts(*f.gs);
    EXPECT_TRUE(!config || std::tie(f.Text(" H I T ").x, f.Text(" H I T ").y) == std::make_tuple(300, 263));
    const RecordedText& warning = f.Text(config ? "\"config.txt\" not found." : "\"map.txt\" not found.");
    EXPECT_EQ(std::tie(warning.x, warning.y), std::make_tuple(240, config ? 432 : 456));
    EXPECT_EQ(f.surface.FindText(config ? "\"map.txt\"" : "\"config.txt\""), nullptr);
  }

  Fixture fast;
  fast.gs->carVelocity = 640;
  fast.gs->noConfigFileFlag = fast.gs->noMapFileFlag = 1;
  MainLoopViewDrawTexts(*fast.gs);
  for (const char* absent : {"UP/DOWN", "\"config.txt\"", "\"map.txt\""})
    EXPECT_EQ(fast.surface.FindText(absent), nullptr) << absent;
}

TEST(Texts, TitleAtHomeWhenTheSwirlIsStill) {
  const std::string titles[] = {"VELTIX RACE", "LEFT/RIGHT:steer", "ESC:exit"};
  Fixture f;  // A0 = 0: no radius, one text per character
  f.gs->carVelocity = 100;
  f.gs->carPosition = 32768;
  MainLoopViewDrawTexts(*f.gs);
  for (int t = 0; t < 3; ++t) {
    for (std::size_t j = 0; j < titles[t].size(); ++j) {
      const std::string ch(1, titles[t][j]);
      const int x = 100 + 9 * static_cast<int>(j), y = 200 + 44 * t;
      EXPECT_TRUE(std::any_of(f.surface.texts.begin(), f.surface.texts.end(),
                              [&](const auto& r) { return r.text == ch && r.x == x && r.y == y; }))
          << titles[t] << " " << j;
    }
  }
  Fixture whole;  // (carPosition / 16) mod 2048 at or above 1024: whole lines
  whole.gs->carVelocity = 100;
  whole.gs->carPosition = 802816;
  MainLoopViewDrawTexts(*whole.gs);
  for (int t = 0; t < 3; ++t)
    EXPECT_EQ(std::tie(whole.Text(titles[t]).x, whole.Text(titles[t]).y), std::make_tuple(100, 200 + 44 * t));
}

TEST(Ghost, MarkerAndGauge) {
  using Lines = std::vector<std::array<int, 4>>;
  const std::tuple<int, int, int, Lines> cases[] = {  // the ghost's lead, turn and side, the lines drawn
      // Two sections ahead: d = 1500, tip at row 399, marker at step 95, s = 205.
      {2048, 0, 0, {{560, 400, 580, 399}, {600, 400, 580, 399}, {115, 385, 525, 385}, {115, 385, 320, 180}, {525, 385, 320, 180}}},
      // d = 1536: step 100, s = 200; turning 9600 gives t = 150, w = 50.
      {2122, 9600, 0, {{560, 400, 580, 399}, {600, 400, 580, 399}, {170, 230, 470, 530}, {170, 230, 470, 230}, {470, 530, 470, 230}}},
      // Half way to the rail: 51200 * 205 * 10 / 100 / 1024 = 1025 to the right.
      {2048, 0, 51200, {{560, 400, 580, 399}, {600, 400, 580, 399}, {1140, 385, 1550, 385}, {1140, 385, 1345, 180}, {1550, 385, 1345, 180}}},
      // A rate beyond 64 s draws as t = +s even when negative: w = 100.
      {2122, -20000, 0, {{560, 400, 580, 399}, {600, 400, 580, 399}, {220, 180, 420, 580}, {220, 180, 520, 280}, {420, 580, 520, 280}}},
      // d = -81920 is out of the gauge's reach: nothing.
      {-168797, 0, 0, {}},
      // Level with the car: d = 500, the gauge only.
      {0, 0, 0, {{560, 400, 580, 400}, {600, 400, 580, 400}}},
      // In the last 20 sections, though near enough to show, or switched off: nothing.
      {780 * 1024 - 700000, 0, 0, {}},
  };
  for (const auto& [lead, turn, side, drawn] : cases) {
    for (int shown : {1, 0}) {
      Fixture f;
      f.gs->dispGhost = shown;
      f.gs->carPosition = 700000;
      f.gs->carLRPosition = -33;
      f.gs->carLRTurnDev = 12;
      f.gs->timeCount = 50;
      f.gs->ghostPosition[54] = 700000 + lead;
      f.gs->ghostTurn[54] = turn;
      f.gs->ghostLRPosition[54] = side;
      DrawContext* dc = f.surface.GetDC();
      MainLoopViewDrawGhost(*f.gs, dc);
      f.surface.ReleaseDC(dc);
      Lines lines;
      for (const RecordedLine& l : f.surface.lines) lines.push_back({l.x1, l.y1, l.x2, l.y2});
      EXPECT_EQ(lines, (shown == 1 ? drawn : Lines{})) << lead << " " << turn;
      // Recorded whether drawn or not.
      EXPECT_EQ((std::array{f.gs->timeCount, f.gs->ghostPosition[50], f.gs->ghostLRPosition[50], f.gs->ghostTurn[50]}),
                (std::array{51, 700000, -33, 12}));
    }
  }
  // The lap's first frame is recorded too. Past the arrays' end nothing is
  // read or written, and time still counts.
  for (int t : {0, 65530, 65531, 2147483647}) {
    Fixture f;
    f.gs->timeCount = t;
    MainLoopViewDrawGhost(*f.gs, nullptr);
    EXPECT_EQ(f.gs->timeCount, t == 2147483647 ? t : t + 1);
    EXPECT_EQ(f.gs->ghostPosition[0], t == 0 ? 1 : 0) << t;
  }
}

TEST(CourseMap, StripAndCarDot) {
  struct Case {
    int bend, position;
    std::vector<std::array<int, 4>> someSegments;
    std::vector<std::array<int, 4>> dots;
  };
  const Case cases[] = {
      {0, 40960, {{320, 420, 320, 420}, {320, 222, 320, 222}}, {{320, 410, 320, 410}}},  // section 40: row 410
      // Every sample adds 16: a column every four rows (S = 16 is 0, 64 is 1,
      // 3184 is 49); the car past the last sampled row gets no dot.
      {16, 796 * 1024, {{320, 420, 320, 420}, {321, 417, 320, 417}, {369, 222, 369, 222}}, {}},
  };
  for (const Case& c : cases) {
    Fixture f;
    for (int& value : f.gs->mapDataX) value = c.bend;
    f.gs->carPosition = c.position;
    MainLoopViewDrawMap(*f.gs);
    std::set<std::array<int, 4>> segments;
    std::vector<std::array<int, 4>> dots;
    for (const RecordedLine& l : f.surface.lines) {
      const bool dot = l.width == 8 && l.color == RGBRef(5, 155, 255);
      EXPECT_TRUE(dot || (l.width == 2 && l.color == kMapRed));
      (dot ? dots.push_back({l.x1, l.y1, l.x2, l.y2}) : void(segments.insert({l.x1, l.y1, l.x2, l.y2})));
    }
    EXPECT_EQ(f.surface.lines.size(), 199 + c.dots.size()) << c.bend;
    for (const auto& segment : c.someSegments) EXPECT_EQ(segments.count(segment), 1u) << c.bend << " " << segment[1];
    EXPECT_EQ(dots, c.dots) << c.bend;
  }
}

TEST(ViewDraw, BorrowsOneContextAtATimeAndRecordsWithoutOne) {
  Fixture f;
  f.gs->dispDebug = f.gs->dispMap = 1;
  f.gs->carVelocity = 100;
  MainLoopViewDraw(*f.gs);
  EXPECT_EQ((std::array{f.surface.maxOutstanding, f.surface.outstanding, f.surface.livePens, f.surface.liveFonts}),
            (std::array{1, 0, 0, 0}));
  // Scene, texts, the debug readouts (three needles and fourteen texts,
  // whose places and faces stand in the golden frame debug_map.png), map
  // label, strip, dot: each on its own borrow.
  EXPECT_EQ(f.surface.borrows, 2 + 17 + 1 + 199 + 1);

  Fixture refused;
  refused.surface.refuse = true;
  refused.gs->timeCount = 3;
  MainLoopViewDraw(*refused.gs);
  EXPECT_EQ(refused.gs->timeCount, 4);
  EXPECT_TRUE(refused.surface.lines.empty());
}

// Over another surface, a recording surface passes every call on, and lends
// no context when that one lends none.
TEST(RecordingSurface, PassesCallsOnAndStartsAgainAtClear) {
  RecordingSurface inner;
  RecordingSurface outer(&inner);
  inner.refuse = true;
  EXPECT_EQ(outer.GetDC(), nullptr);
  inner.refuse = false;
  DrawContext* dc = outer.GetDC();
  ASSERT_NE(dc, nullptr);
  Pen* stockPen = dc->SelectPen(dc->CreatePen(2, kMapRed));
  dc->DeletePen(stockPen);  // the stock pen stays, and so does nothing
  dc->DeletePen(nullptr);
  dc->DeleteFont(nullptr);
  Font* stockFont = dc->SelectFont(dc->CreateFont({}));
  dc->DeleteFont(stockFont);
  dc->DeleteFont(dc->SelectFont(stockFont));
  dc->MoveTo(1, 2);
  dc->LineTo(3, 4);
  dc->SetBkMode(BkMode::Transparent);
  dc->SetTextColor(kWhite);
  dc->TextOut(5, 6, "aab", 3);
  dc->DeletePen(dc->SelectPen(stockPen));
  outer.ReleaseDC(dc);
  for (const RecordingSurface* s : {&outer, &inner}) {
    const RecordedLine& l = s->lines.at(0);
    EXPECT_EQ((std::array{l.order, l.borrow, l.x1, l.y1, l.x2, l.y2, l.width, s->livePens, s->liveFonts,
                          s->outstanding}),
              (std::array{0, 1, 1, 2, 3, 4, 2, 0, 0, 0}));
    EXPECT_EQ(l.color, kMapRed);
    const RecordedText* t = s->FindText("a");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(std::tie(t->order, t->x, t->y, t->text, t->mode, t->color),
              std::make_tuple(1, 5, 6, std::string("aab"), BkMode::Transparent, kWhite));
  }
  outer.ColorFill(7);
  EXPECT_EQ(inner.fills, std::vector<std::uint32_t>{7});
  outer.Clear();
  dc = outer.GetDC();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(outer.GetDC(), nullptr);  // one borrow at a time
  dc->LineTo(8, 9);
  EXPECT_EQ((std::array{outer.lines.size(), outer.texts.size(), outer.fills.size()}),
            (std::array<std::size_t, 3>{1, 0, 0}));
  int width = 1, height = 1;
  EXPECT_TRUE(outer.ReadRgb(width, height).empty() && width == 0 && height == 0);  // calls, not pixels
  EXPECT_EQ((std::array{outer.lines[0].order, outer.lines[0].borrow, outer.lines[0].x1, int(outer.lines[0].color)}),
            (std::array{0, 1, 0, 0}));  // the stock pen draws black
}

}  // namespace
