#include "shell/pacing.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr std::int64_t kNsPerUs = 1'000;

// A clock whose time moves only when the wait sleeps, yields or reads it.
class FakeClock final : public Clock {
 public:
  struct Call {
    enum Kind { Counter, Frequency, Ticks, Sleep } kind;
    std::int64_t atNs;
    std::uint32_t sleepMs = 0;
  };

  std::int64_t nowNs = 0;
  std::int64_t frequency = 1'000'000'000;
  std::int64_t counterBase = 1'000'000;  // counts at time zero
  std::uint32_t ticksBase = 5000;        // ms timer at time zero
  std::int64_t sleepCostNs = kNsPerMs;   // what Sleep(1) takes
  std::int64_t yieldCostNs = 200 * kNsPerUs;
  std::int64_t readCostNs = 50 * kNsPerUs;
  std::function<std::int64_t(std::int64_t)> counterOverride;  // time -> reading
  std::vector<Call> calls;

  std::int64_t CounterAt(std::int64_t ns) const {
    return counterBase + static_cast<std::int64_t>(static_cast<__int128>(ns) * frequency /
                                                   1'000'000'000);
  }
  std::uint32_t TicksAt(std::int64_t ns) const {
    return ticksBase + static_cast<std::uint32_t>(ns / kNsPerMs);
  }

  std::int64_t QueryPerformanceCounter() override {
    nowNs += readCostNs;
    calls.push_back({Call::Counter, nowNs});
    return counterOverride ? counterOverride(nowNs) : CounterAt(nowNs);
  }
  std::int64_t QueryPerformanceFrequency() override {
    calls.push_back({Call::Frequency, nowNs});
    return frequency;
  }
  std::uint32_t timeGetTime() override {
    nowNs += readCostNs;
    calls.push_back({Call::Ticks, nowNs});
    return TicksAt(nowNs);
  }
  void Sleep(std::uint32_t ms) override {
    calls.push_back({Call::Sleep, nowNs, ms});
    nowNs += ms == 0 ? yieldCostNs : static_cast<std::int64_t>(ms) * sleepCostNs;
  }

  int Count(Call::Kind kind, std::uint32_t ms = 99) const {
    int n = 0;
    for (const auto& c : calls) n += c.kind == kind && (ms == 99 || c.sleepMs == ms);
    return n;
  }
};

class PacingTest : public ::testing::Test {
 protected:
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  FakeClock clock;
};

struct StartCase {
  std::int64_t counter;
  int flag;
};

class StartPacingTest : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartPacingTest, ChoosesTheMethodByTheFirstReading) {
  auto gs = std::make_unique<GameState>();
  FakeClock clock;
  clock.counterOverride = [c = GetParam().counter](std::int64_t) { return c; };
  StartPacing(*gs, clock);
  EXPECT_EQ(gs->performanceCounterFlag, GetParam().flag);
  EXPECT_EQ(gs->performanceCount, GetParam().counter);
  EXPECT_EQ(gs->performanceCountLast, GetParam().counter);
  EXPECT_EQ(gs->frameTimeLast, 5000u);
  EXPECT_EQ(gs->performanceFrequency, 0);  // read by the waits only
}

INSTANTIATE_TEST_SUITE_P(Readings, StartPacingTest,
                         ::testing::Values(StartCase{1, 1}, StartCase{123456789012345, 1},
                                           StartCase{0, 0}, StartCase{-1, 0},
                                           StartCase{std::numeric_limits<std::int64_t>::min(), 0}));

TEST_F(PacingTest, MillisecondPeriodsRun16And17And17) {
  StartPacing(*gs, clock);
  gs->performanceCounterFlag = 0;
  const std::uint32_t expectedEnds[] = {5016, 5033, 5050, 5066, 5083, 5100};
  const int expectedCycle[] = {1, 2, 0, 1, 2, 0};
  std::uint32_t last = gs->frameTimeLast;
  for (int i = 0; i < 6; ++i) {
    WaitFrame(*gs, clock);
    EXPECT_EQ(gs->frameTimeLast, expectedEnds[i]) << "frame " << i;
    EXPECT_EQ(gs->frameCycle, expectedCycle[i]) << "frame " << i;
    EXPECT_EQ(gs->frameTimeLast - last, i % 3 == 0 ? 16u : 17u);
    last = gs->frameTimeLast;
  }
  EXPECT_EQ(clock.Count(FakeClock::Call::Counter), 1);  // only StartPacing's
}

TEST_F(PacingTest, MillisecondWaitSleepsBelow14AndPollsAfter) {
  StartPacing(*gs, clock);
  gs->performanceCounterFlag = 0;
  clock.calls.clear();
  WaitFrame(*gs, clock);
  for (const auto& c : clock.calls) {
    if (c.kind != FakeClock::Call::Sleep) continue;
    EXPECT_EQ(c.sleepMs, 1u);
    EXPECT_LT(clock.TicksAt(c.atNs) - 5000u, 14u);
  }
  // Fourteen 1 ms sleeps, then polling without sleeping to 16.
  EXPECT_EQ(clock.Count(FakeClock::Call::Sleep), 14);
  EXPECT_EQ(gs->frameTimeLast, 5016u);
}

TEST_F(PacingTest, FirstFrameIsMeasuredFromTheStartReadingsMilliseconds) {
  StartPacing(*gs, clock);
  gs->performanceCounterFlag = 0;
  clock.nowNs += 10 * kNsPerMs;  // the first frame's own work
  WaitFrame(*gs, clock);
  EXPECT_EQ(gs->frameTimeLast, 5016u);
}

TEST_F(PacingTest, FirstFrameIsMeasuredFromTheStartReadingsMicroseconds) {
  StartPacing(*gs, clock);
  const std::int64_t start = gs->performanceCountLast;
  clock.nowNs += 10 * kNsPerMs;
  WaitFrame(*gs, clock);
  const std::int64_t elapsedUs = (gs->performanceCountLast - start) / 1000;
  EXPECT_GE(elapsedUs, 16666);
  EXPECT_LT(elapsedUs, 16666 + 100);  // ended by the first reading past it
}

TEST_F(PacingTest, MillisecondOverrunIsFollowedAtOnceAndNotMadeUp) {
  StartPacing(*gs, clock);
  gs->performanceCounterFlag = 0;
  clock.nowNs += 40 * kNsPerMs;
  clock.calls.clear();
  WaitFrame(*gs, clock);
  ASSERT_EQ(clock.calls.size(), 2u);
  EXPECT_EQ(clock.calls[0].kind, FakeClock::Call::Sleep);
  EXPECT_EQ(clock.calls[0].sleepMs, 1u);
  EXPECT_EQ(clock.calls[1].kind, FakeClock::Call::Ticks);
  EXPECT_EQ(gs->frameTimeLast, 5041u);
  WaitFrame(*gs, clock);  // a full period from the late end, cycle 2: 17 ms
  EXPECT_EQ(gs->frameTimeLast, 5041u + 17u);
}

TEST_F(PacingTest, MicrosecondOverrunIsFollowedAtOnceAndNotMadeUp) {
  StartPacing(*gs, clock);
  clock.nowNs += 30 * kNsPerMs;
  clock.calls.clear();
  WaitFrame(*gs, clock);
  ASSERT_EQ(clock.calls.size(), 3u);  // sleep, counter, frequency
  EXPECT_EQ(clock.calls[0].kind, FakeClock::Call::Sleep);
  EXPECT_EQ(clock.calls[0].sleepMs, 1u);
  const std::int64_t lateEnd = gs->performanceCountLast;
  EXPECT_EQ(lateEnd, clock.CounterAt(clock.nowNs));
  WaitFrame(*gs, clock);
  const std::int64_t periodUs = (gs->performanceCountLast - lateEnd) / 1000;
  EXPECT_GE(periodUs, 16666);
  EXPECT_LT(periodUs, 16666 + 100);
}

TEST_F(PacingTest, MicrosecondWaitSleepsThenYieldsThenSpins) {
  StartPacing(*gs, clock);
  const std::int64_t startNs = clock.nowNs;
  clock.calls.clear();
  WaitFrame(*gs, clock);
  int spinReads = 0;
  std::int64_t previousReadUs = 0;
  bool afterSleep = true;
  for (const auto& c : clock.calls) {
    const std::int64_t us = (c.atNs - startNs) / 1000;
    if (c.kind == FakeClock::Call::Sleep) {
      if (c.sleepMs == 1) {
        EXPECT_LT(previousReadUs, 12000) << "sleep at " << us;
      }
      if (c.sleepMs == 0) {
        EXPECT_GE(previousReadUs, 12000) << "yield at " << us;
        EXPECT_LT(previousReadUs, 16000) << "yield at " << us;
      }
      afterSleep = true;
    } else if (c.kind == FakeClock::Call::Counter) {
      if (!afterSleep) {
        EXPECT_GE(previousReadUs, 16000) << "spin at " << us;
        ++spinReads;
      }
      previousReadUs = us;
      afterSleep = false;
    }
  }
  EXPECT_GE(clock.Count(FakeClock::Call::Sleep, 1), 10);
  EXPECT_GE(clock.Count(FakeClock::Call::Sleep, 0), 5);
  EXPECT_GE(spinReads, 5);
  EXPECT_GE(previousReadUs, 16666);
  // Every reading also reads the frequency.
  EXPECT_EQ(clock.Count(FakeClock::Call::Frequency), clock.Count(FakeClock::Call::Counter));
  EXPECT_EQ(gs->performanceFrequency, clock.frequency);
  EXPECT_EQ(gs->performanceCountLast, gs->performanceCount);
  EXPECT_EQ(clock.Count(FakeClock::Call::Ticks), 0);
}

TEST_F(PacingTest, EveryWaitSleepsOnceBeforeItsFirstReading) {
  for (int flag : {0, 1}) {
    StartPacing(*gs, clock);
    gs->performanceCounterFlag = flag;
    clock.nowNs += 100 * kNsPerMs;
    clock.calls.clear();
    WaitFrame(*gs, clock);
    ASSERT_FALSE(clock.calls.empty());
    EXPECT_EQ(clock.calls.front().kind, FakeClock::Call::Sleep) << "flag " << flag;
    EXPECT_EQ(clock.calls.front().sleepMs, 1u);
  }
}

TEST_F(PacingTest, CounterGoingBackwardsSleepsAgain) {
  StartPacing(*gs, clock);
  const std::int64_t start = gs->performanceCountLast;
  int reads = 0;
  clock.counterOverride = [&](std::int64_t ns) {
    return ++reads == 1 ? start - 5000 : clock.CounterAt(ns);
  };
  clock.calls.clear();
  WaitFrame(*gs, clock);
  ASSERT_GE(clock.calls.size(), 4u);
  EXPECT_EQ(clock.calls[0].kind, FakeClock::Call::Sleep);
  EXPECT_EQ(clock.calls[1].kind, FakeClock::Call::Counter);
  EXPECT_EQ(clock.calls[3].kind, FakeClock::Call::Sleep);
  EXPECT_EQ(clock.calls[3].sleepMs, 1u);
  EXPECT_GE((gs->performanceCountLast - start) / 1000, 16666);
}

TEST_F(PacingTest, MillisecondTimerWrapIsHarmless) {
  clock.ticksBase = 0xFFFFFFF8u;
  StartPacing(*gs, clock);
  gs->performanceCounterFlag = 0;
  WaitFrame(*gs, clock);
  EXPECT_EQ(gs->frameTimeLast, 8u);  // 0xFFFFFFF8 + 16, wrapped
  WaitFrame(*gs, clock);
  EXPECT_EQ(gs->frameTimeLast, 25u);
}

class FrequencyTest : public ::testing::TestWithParam<std::int64_t> {};

TEST_P(FrequencyTest, EndsAtTheFirstReadingPastThePeriod) {
  auto gs = std::make_unique<GameState>();
  FakeClock clock;
  clock.frequency = GetParam();
  clock.readCostNs = 7 * kNsPerUs;
  StartPacing(*gs, clock);
  const std::int64_t start = gs->performanceCountLast;
  WaitFrame(*gs, clock);
  const std::int64_t end = gs->performanceCountLast;
  EXPECT_GE((end - start) * 1000000 / GetParam(), 16666);
  // The reading before the last one was still short of the period.
  std::int64_t previous = start;
  for (const auto& c : clock.calls) {
    if (c.kind == FakeClock::Call::Counter && clock.CounterAt(c.atNs) < end) {
      previous = clock.CounterAt(c.atNs);
    }
  }
  EXPECT_LT((previous - start) * 1000000 / GetParam(), 16666);
}

INSTANTIATE_TEST_SUITE_P(Frequencies, FrequencyTest,
                         ::testing::Values(1'000'000'000, 10'000'000, 3'579'545, 1'000'000,
                                           1'193'182));

struct ElapsedCase {
  std::int64_t count, last, frequency, expected;
};

class ElapsedTest : public ::testing::TestWithParam<ElapsedCase> {};

TEST_P(ElapsedTest, Computes) {
  const auto& p = GetParam();
  EXPECT_EQ(ElapsedMicroseconds(p.count, p.last, p.frequency), p.expected);
}

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Cases, ElapsedTest,
    ::testing::Values(ElapsedCase{1016666, 1000000, 1000000, 16666},
                      ElapsedCase{16665999, 0, 1000000000, 16665},  // truncated
                      ElapsedCase{59657, 0, 3579545, 16666},
                      ElapsedCase{59656, 0, 3579545, 16665},
                      ElapsedCase{0, 1, 3, -333333},  // toward zero, not down
                      ElapsedCase{0, 3, 2, -1500000},
                      ElapsedCase{kMax, 0, 1000000000, kMax},       // saturates
                      ElapsedCase{kMin, 1, 1000000000, kMin},
                      ElapsedCase{kMax, -1, 1000000000, kMax},
                      ElapsedCase{2000000000000, 0, 1000000000, 2000000000},
                      ElapsedCase{20000000000000, 0, 1000000000, kMax},  // product too big
                      ElapsedCase{5, 0, 0, 16666},                  // no division by zero
                      ElapsedCase{5, 0, -1000, 16666}));

TEST_F(PacingTest, ZeroFrequencyEndsTheWaitInsteadOfHanging) {
  StartPacing(*gs, clock);
  clock.frequency = 0;
  clock.calls.clear();
  WaitFrame(*gs, clock);
  EXPECT_EQ(clock.Count(FakeClock::Call::Counter), 1);
}

}  // namespace
