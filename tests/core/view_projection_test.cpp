#include <gtest/gtest.h>

#include "sim/phases.h"
#include "support/test_support.h"
#include "view/view.h"

using testing_support::NewState;

namespace {

std::unique_ptr<GameState> ViewState(int bend, int wide = 8) {
  auto gs = NewState();
  InitializeTrigonTable(*gs);
  for (int i = 0; i < 1600; ++i) gs->mapDataX[i] = bend;
  gs->carPosition = 1;
  gs->configCourseViewWide = wide;
  return gs;
}

TEST(ViewProjection, ConstantBendSamples) {
  const int steps[] = {0, 150, 200, 250, 280, 290, 295, 298, 299};
  struct Case {
    int bend;
    int expected[9];
  };
  const Case cases[] = {
      {0, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {100, {0, 0, 0, 1, 5, 11, 22, 51, 78}},
      {200, {0, 0, 0, 3, 11, 23, 44, 103, 157}},
  };
  for (const Case& c : cases) {
    auto gs = ViewState(c.bend);
    MainLoopViewCalc(*gs);
    for (int k = 0; k < 9; ++k) EXPECT_EQ(gs->drawViewX[steps[k]], c.expected[k]) << c.bend << " step " << steps[k];
  }
}

TEST(ViewProjection, BendFarAhead) {
  auto gs = ViewState(0);
  for (int i = 20; i <= 40; ++i) gs->mapDataX[i] = 100;
  MainLoopViewCalc(*gs);
  EXPECT_EQ(gs->drawViewX[298], 7);
  EXPECT_EQ(gs->drawViewX[299], 23);
  for (int i = 0; i < 290; ++i) ASSERT_EQ(gs->drawViewX[i], 0) << i;
}

TEST(ViewProjection, CarPositionAndHeading) {
  struct Case {
    int wide, lrPosition, lrTurn;
    int at0, at299;
  };
  const Case cases[] = {
      {8, 10240, 0, -300, -1},
      {4, 10240, 0, -600, -2},
      {9, 10240, 0, 0, 0},
      {8, 0, 102400, 0, -299},
      {0, 10240, 0, -2400, -8},  // no width: met as the narrowest view, COURSE_WIDE 1
      {1, 10240, 0, -2400, -8},
  };
  for (const Case& c : cases) {
    auto gs = ViewState(0, c.wide);
    gs->carLRPosition = c.lrPosition;
    gs->carLRTurn = c.lrTurn;
    MainLoopViewCalc(*gs);
    EXPECT_EQ(gs->drawViewX[0], c.at0) << c.wide;
    EXPECT_EQ(gs->drawViewX[299], c.at299) << c.wide;
    if (c.wide == 8 && c.lrTurn == 0) {
      for (int k = 0; k < 300; ++k) ASSERT_EQ(gs->drawViewX[k], -(300 - k)) << k;
    }
    if (c.lrTurn != 0) {
      for (int k = 0; k < 300; ++k) ASSERT_EQ(gs->drawViewX[k], -k) << k;
    }
  }
}

TEST(ViewProjection, LapEndWrapsAndRepeats) {
  auto gs = ViewState(0);
  gs->mapDataX[0] = gs->mapDataX[800] = 50;  // only section 0 bends
  gs->carPosition = 819200;
  MainLoopViewCalc(*gs);
  int first[300];
  std::copy(std::begin(gs->drawViewX), std::end(gs->drawViewX), first);
  MainLoopViewCalc(*gs);
  for (int k = 0; k < 300; ++k) ASSERT_EQ(gs->drawViewX[k], first[k]);
  // Section 800 (the copy of 0) lies under every near step: the bend shows.
  EXPECT_NE(gs->drawViewX[299], 0);
}

TEST(ViewProjection, ExtremeValuesStayDefined) {
  // Strong bends all through the view pass the 32-bit range of the lateral
  // sum; the offsets keep growing the same way instead of flipping side.
  auto gs = ViewState(2000);
  MainLoopViewCalc(*gs);
  for (int k = 1; k < 300; ++k) ASSERT_GE(gs->drawViewX[k], gs->drawViewX[k - 1]) << k;
  EXPECT_GT(gs->drawViewX[299], 0);

  for (int position : {-2147483647 - 1, -5, 2147483647}) {
    auto far = ViewState(100, -1);
    far->carPosition = position;
    far->carLRPosition = 2147483647;
    far->carLRTurn = -2147483647 - 1;
    MainLoopViewCalc(*far);
    // 300 * 2147483647 * (-8) / 10240 against the car: saturating 64-bit
    // intermediates, not a wrapped product.
    EXPECT_EQ(far->drawViewX[0], 503316479) << position;
  }
}

}  // namespace
