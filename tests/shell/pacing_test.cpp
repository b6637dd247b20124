// The frame wait on a fake clock whose time moves only when the wait
// sleeps, yields or reads it.
#include "shell/pacing.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::int64_t kNsPerMs = 1'000'000;
constexpr std::int64_t kNsPerUs = 1'000;

class FakeClock final : public Clock {
 public:
  enum Kind { Counter, Frequency, Ticks, Sleep0, Sleep1, SleepTo };
  struct Call { Kind kind; std::int64_t atNs; };

  std::int64_t nowNs = 0;
  std::int64_t frequency = 1'000'000'000;
  std::uint32_t ticksBase = 5000;  // the millisecond timer at time zero
  std::int64_t readCostNs = 50 * kNsPerUs;
  std::function<std::int64_t(std::int64_t)> counterOverride;  // time -> reading
  bool sleepsUntil = false;
  std::int64_t wakeLatencyNs = 80 * kNsPerUs;
  int earlyWakes = 0;  // sleeps that end 2 ms before their time
  std::vector<Call> calls;
  std::vector<std::int64_t> sleptUntil;

  std::int64_t CounterAt(std::int64_t ns) const {
    return 1'000'000 + static_cast<std::int64_t>(static_cast<__int128>(ns) * frequency / 1'000'000'000);
  }
  std::int64_t QueryPerformanceCounter() override {
    nowNs += readCostNs;
    calls.push_back({Counter, nowNs});
    return counterOverride ? counterOverride(nowNs) : CounterAt(nowNs);
  }
  std::int64_t QueryPerformanceFrequency() override {
    calls.push_back({Frequency, nowNs});
    return frequency;
  }
  std::uint32_t timeGetTime() override {
    nowNs += readCostNs;
    calls.push_back({Ticks, nowNs});
    return ticksBase + static_cast<std::uint32_t>(nowNs / kNsPerMs);
  }
  void Sleep(std::uint32_t ms) override {
    calls.push_back({ms == 0 ? Sleep0 : Sleep1, nowNs});
    nowNs += ms == 0 ? 200 * kNsPerUs : ms * kNsPerMs;
  }
  bool SleepsUntil() const override { return sleepsUntil; }
  void SleepUntil(std::int64_t count) override {
    calls.push_back({SleepTo, nowNs});
    sleptUntil.push_back(count);
    const auto at = static_cast<std::int64_t>(static_cast<__int128>(count - 1'000'000) * 1'000'000'000 / frequency);
    nowNs = std::max(nowNs, at) + (earlyWakes-- > 0 ? -2 * kNsPerMs : wakeLatencyNs);
  }
  int Count(Kind kind) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) { return c.kind == kind; }));
  }
};

struct Paced {
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  FakeClock clock;
  std::int64_t startCount = 0;
  std::uint32_t startTicks = 0;
  // Starts pacing with the given method: 1 the counter's, 0 the timer's.
  explicit Paced(int method) {
    StartPacing(*gs, clock);
    gs->performanceCounterFlag = method;
    startCount = gs->performanceCountLast;
    startTicks = gs->frameTimeLast;
  }
  // The end of the last wait since the start readings, on the method's own
  // scale: microseconds (at the counter's 1 GHz) or milliseconds.
  std::int64_t End() const {
    return gs->performanceCounterFlag == 1 ? (gs->performanceCountLast - startCount) / 1000
                                           : static_cast<std::int64_t>(gs->frameTimeLast - startTicks);
  }
};

TEST(Pacing, MethodChosenByTheFirstCounterReading) {
  for (std::int64_t reading : {std::int64_t{1}, std::int64_t{123456789012345}, std::int64_t{0}, std::int64_t{-1},
                               std::numeric_limits<std::int64_t>::min()}) {
    auto gs = std::make_unique<GameState>();
    FakeClock clock;
    clock.counterOverride = [reading](std::int64_t) { return reading; };
    StartPacing(*gs, clock);
    EXPECT_EQ(gs->performanceCounterFlag, reading > 0 ? 1 : 0) << reading;
    EXPECT_EQ((std::array{gs->performanceCount, gs->performanceCountLast}), (std::array{reading, reading}));
    EXPECT_EQ(gs->frameTimeLast, 5000u);
  }
}

// For every method: the first frame is measured from the start readings;
// every wait sleeps before its first reading; a frame that overran is
// followed at once, after one sleep, and not made up for.
TEST(Pacing, EveryMethodMeasuresFromTheLastEndAndNeverCatchesUp) {
  struct Case { int method; bool sleepsUntil; FakeClock::Kind lateSleep; };  // lateSleep: a late wait's one sleep
  const Case cases[] = {{1, false, FakeClock::Sleep1}, {1, true, FakeClock::Sleep0}, {0, false, FakeClock::Sleep1}};
  for (const Case& c : cases) {
    // Microseconds: ended by the first reading past 16666, spinning in 50 us
    // reads. Milliseconds: the periods run 16, 17, 17.
    const auto withinPeriod = [&](std::int64_t period, int cycle) {
      return c.method == 1 ? period >= 16666 && period < 16716 : period == (cycle == 1 ? 16 : 17);
    };
    Paced p(c.method);
    p.clock.sleepsUntil = c.sleepsUntil;
    p.clock.nowNs += 10 * kNsPerMs;
    WaitFrame(*p.gs, p.clock);
    EXPECT_TRUE(withinPeriod(p.End(), 1)) << c.method << ": " << p.End();
    const std::int64_t firstEnd = p.End();

    p.clock.nowNs += 40 * kNsPerMs;
    p.clock.calls.clear();
    WaitFrame(*p.gs, p.clock);
    const int sleeps = p.clock.Count(FakeClock::Sleep0) + p.clock.Count(FakeClock::Sleep1) +
                       p.clock.Count(FakeClock::SleepTo);
    EXPECT_EQ(sleeps, 1) << c.method;
    EXPECT_EQ(p.clock.Count(c.lateSleep), 1) << c.method;
    const std::int64_t lateEnd = p.End();
    EXPECT_GE(lateEnd - firstEnd, c.method == 1 ? 40000 : 41) << c.method;

    WaitFrame(*p.gs, p.clock);
    EXPECT_TRUE(withinPeriod(p.End() - lateEnd, 2)) << c.method << ": " << p.End() - lateEnd;
  }
}

// With a clock that sleeps until a reading: one sleep to 300 us before the
// period's end, then reading until it is over; woken early, it sleeps again.
TEST(Pacing, DeadlineWaitSleepsOnceThenSpinsTheLastMoment) {
  for (int early : {0, 1}) {
    Paced p(1);
    p.clock.sleepsUntil = true;
    p.clock.earlyWakes = early;
    p.clock.calls.clear();
    WaitFrame(*p.gs, p.clock);
    EXPECT_EQ(p.clock.sleptUntil.front(), p.startCount + 16366 * 1000) << early;
    EXPECT_EQ(p.clock.Count(FakeClock::SleepTo), 1 + early);
    EXPECT_EQ(p.clock.Count(FakeClock::Sleep0) + p.clock.Count(FakeClock::Sleep1), 0);
    EXPECT_TRUE(p.End() >= 16666 && p.End() < 16716) << p.End();
    // The spin: 300 us less the wake-up's lateness, in 50 us reads.
    EXPECT_LE(p.clock.Count(FakeClock::Counter), 2 + early + 300 / 50) << early;
  }
  // A counter gone far back sleeps a period at a time instead of for ages.
  Paced back(1);
  back.clock.sleepsUntil = true;
  int reads = 0;
  back.clock.counterOverride = [&](std::int64_t ns) { return back.clock.CounterAt(ns) - (++reads == 1 ? 1'000'000'000 : 0); };
  WaitFrame(*back.gs, back.clock);
  const std::int64_t backwards = back.startCount + 50'000 - 1'000'000'000;  // the first reading
  EXPECT_EQ(back.clock.sleptUntil.front(), backwards + 16'666'000);
  EXPECT_EQ(back.clock.sleptUntil.back(), back.startCount + 16'366'000);
}

TEST(Pacing, MillisecondPeriodsRun16And17And17) {
  Paced p(0);
  std::vector<std::uint32_t> periods;
  std::vector<int> cycles;
  for (int i = 0; i < 6; ++i) {
    const std::uint32_t last = p.gs->frameTimeLast;
    p.clock.calls.clear();
    WaitFrame(*p.gs, p.clock);
    periods.push_back(p.gs->frameTimeLast - last);
    cycles.push_back(p.gs->frameCycle);
    // It sleeps while less than 14 ms have passed, then polls; the counter
    // is not read.
    if (i == 0) { EXPECT_EQ(p.clock.Count(FakeClock::Sleep1), 14); }
    EXPECT_EQ(p.clock.Count(FakeClock::Counter), 0) << i;
  }
  EXPECT_EQ(periods, (std::vector<std::uint32_t>{16, 17, 17, 16, 17, 17}));
  EXPECT_EQ(cycles, (std::vector<int>{1, 2, 0, 1, 2, 0}));

  // The timer's wrap is harmless.
  Paced wrap(0);
  wrap.clock.ticksBase = 0xFFFFFFF8u;
  StartPacing(*wrap.gs, wrap.clock);
  wrap.gs->performanceCounterFlag = 0;
  WaitFrame(*wrap.gs, wrap.clock);
  EXPECT_EQ(wrap.gs->frameTimeLast, 8u);
}

TEST(Pacing, MicrosecondWaitSleepsThenYieldsThenSpins) {
  Paced p(1);
  p.clock.calls.clear();
  WaitFrame(*p.gs, p.clock);
  // What each reading of the counter was followed by, by elapsed time.
  std::int64_t elapsedUs = 0;
  int sleeps = 0, yields = 0, spins = 0;
  for (std::size_t i = 0; i + 1 < p.clock.calls.size(); ++i) {
    const FakeClock::Call& c = p.clock.calls[i];
    if (c.kind == FakeClock::Counter) elapsedUs = (p.clock.CounterAt(c.atNs) - 1'000'000) / 1000;
    if (c.kind != FakeClock::Frequency) continue;
    const FakeClock::Kind next = p.clock.calls[i + 1].kind;
    if (next == FakeClock::Sleep1) {
      EXPECT_LT(elapsedUs, 12000);
      ++sleeps;
    } else if (next == FakeClock::Sleep0) {
      EXPECT_TRUE(elapsedUs >= 12000 && elapsedUs < 16000) << elapsedUs;
      ++yields;
    } else {
      EXPECT_GE(elapsedUs, 16000);
      ++spins;
    }
  }
  EXPECT_TRUE(sleeps >= 10 && yields >= 5 && spins >= 5) << sleeps << " " << yields << " " << spins;
  EXPECT_EQ(p.clock.Count(FakeClock::Frequency), p.clock.Count(FakeClock::Counter));  // read with every reading
  EXPECT_EQ(p.gs->performanceFrequency, p.clock.frequency);
  EXPECT_EQ(p.clock.Count(FakeClock::Ticks), 0);

  // A counter going backwards sleeps again, and the wait still ends a
  // period after the start.
  Paced back(1);
  int reads = 0;
  back.clock.counterOverride = [&](std::int64_t ns) { return ++reads == 1 ? 995000 : back.clock.CounterAt(ns); };
  back.clock.calls.clear();
  WaitFrame(*back.gs, back.clock);
  EXPECT_EQ(back.clock.calls[3].kind, FakeClock::Sleep1);
  EXPECT_GE(back.End(), 16666);
}

TEST(Pacing, EndsAtTheFirstReadingPastThePeriodAtAnyFrequency) {
  for (std::int64_t frequency : {1'000'000'000, 10'000'000, 3'579'545, 1'193'182}) {
    Paced p(1);
    p.clock.frequency = frequency;
    p.clock.readCostNs = 7 * kNsPerUs;
    StartPacing(*p.gs, p.clock);
    const std::int64_t start = p.gs->performanceCountLast;
    p.clock.calls.clear();
    WaitFrame(*p.gs, p.clock);
    std::vector<std::int64_t> readings;
    for (const auto& c : p.clock.calls) {
      if (c.kind == FakeClock::Counter) readings.push_back(p.clock.CounterAt(c.atNs));
    }
    ASSERT_GE(readings.size(), 2u);
    EXPECT_EQ(readings.back(), p.gs->performanceCountLast);
    EXPECT_GE((readings.back() - start) * 1000000 / frequency, 16666) << frequency;
    EXPECT_LT((readings[readings.size() - 2] - start) * 1000000 / frequency, 16666) << frequency;
  }
  // A zero frequency ends the wait instead of hanging.
  Paced zero(1);
  zero.clock.frequency = 0;
  zero.clock.calls.clear();
  WaitFrame(*zero.gs, zero.clock);
  EXPECT_EQ(zero.clock.Count(FakeClock::Counter), 1);
}

TEST(Pacing, ElapsedMicroseconds) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case { std::int64_t count, last, frequency, expected; };
  const Case cases[] = {
      {1016666, 1000000, 1000000, 16666},
      {16665999, 0, 1000000000, 16665},  // truncated
      {59657, 0, 3579545, 16666}, {59656, 0, 3579545, 16665},
      {0, 1, 3, -333333},                // toward zero, not down
      {kMax, 0, 1000000000, kMax},       // saturates
      {kMin, 1, 1000000000, kMin}, {kMax, -1, 1000000000, kMax}, {2000000000000, 0, 1000000000, 2000000000},
      {20000000000000, 0, 1000000000, kMax},  // the product is too big
      {5, 0, 0, 16666}, {5, 0, -1000, 16666},  // no division by zero
  };
  for (const Case& c : cases) EXPECT_EQ(ElapsedMicroseconds(c.count, c.last, c.frequency), c.expected) << c.count;

  // The first reading at which that much has passed: the inverse of the rows
  // above, saturating where they saturate.
  const Case after[] = {
      {16366000, 0, 1000000000, 16366}, {59657, 0, 3579545, 16666},
      {kMax, kMax - 5, 1000000000, 16666}, {kMax, 0, kMax, 16666}, {5, 5, 0, 16666},
  };
  for (const Case& c : after) EXPECT_EQ(CountAfter(c.last, c.expected, c.frequency), c.count) << c.count;
}

}  // namespace
