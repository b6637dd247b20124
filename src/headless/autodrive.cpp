#include "headless/autodrive.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "headless/input_script.h"
#include "shell/frame_loop.h"
#include "sim/phases.h"
#include "windowed/program.h"

namespace autodrive {
namespace {

// Steering: the sideways speed that brings the car back to the centre
// line in about a second, the heading that gives it, and the turning rate
// that reaches that heading in a few frames against the coming push.
constexpr double kSideTime = 60.0;
constexpr double kSideSpeedMax = 500.0;
constexpr double kHeadingTime = 8.0;
// Frames of push anticipated: the turning rate takes that long to build.
constexpr int kSteerLead = 6;
// Leaves the keys alone for differences in turning rate this small.
constexpr double kSteerCost = 4.0;
// Braking: the heading a bend may take beyond full lock before the driver
// brakes for it, and how many frames ahead it looks.
constexpr double kHeadingSlack = 20000.0;
constexpr int kBrakeHorizon = 240;

// The mean push of the next frames, smoothed as the game smooths it, at
// the present speed.
double PushAhead(const GameState& gs, int frames) {
  double slide = gs.courseSlide;
  long long position = gs.carPosition;
  double sum = 0.0;
  for (int n = 0; n < frames; ++n) {
    position += gs.carVelocity / 10;
    const double target = CourseAt(gs, position / 1024 + 2) * static_cast<double>(gs.carVelocity) / 1000.0;
    slide = std::trunc(slide - (slide - target) * 0.1);
    sum += slide;
  }
  return sum / frames;
}

// Runs down the course with the throttle held and the wheel turned as far
// as each bend asks, up to full lock, and adds up the heading the bends
// take beyond what full lock gives back. Turning hard on the throttle
// scrubs speed by itself (the turning resistance is eight times the
// coasting one), so only a bend that outruns that needs the brake; and a
// touch of the brake costs grip for a second, so it is not used lightly.
double HeadingShortfall(const GameState& gs) {
  const double top = std::max(gs.carVelocityMax, 1);
  const double grip = gs.carGrip / 10000.0;
  const double fullLock = 2.0 * gs.configLRTurnLevel;
  const double resist = 8.0 * gs.configLRTurnResist / 10.0;
  double v = gs.carVelocity;
  double slide = gs.courseSlide;
  double position = gs.carPosition;
  double shortfall = 0.0;
  double worst = 0.0;
  for (int n = 0; n < kBrakeHorizon; ++n) {
    position += v / 10.0;
    const double target = CourseAt(gs, static_cast<long long>(position) / 1024 + 2) * v / 1000.0;
    slide += (target - slide) * 0.1;
    const double rate = std::min(std::abs(slide) / 2.0, fullLock);
    shortfall = std::max(0.0, shortfall + 2.0 * std::abs(slide) - 4.0 * fullLock);
    worst = std::max(worst, shortfall);
    v += (top - v) * grip * 4.0 / 10000.0 / 1024.0 - rate * resist * grip / 1024.0 * v / top - 1.0;
    // Grip far beyond full (GRIP_MIN above 10000) would let the estimate run
    // away; no car goes faster than this.
    v = std::clamp(v, 64.0, 1e12);
  }
  return worst;
}

}  // namespace

std::uint16_t Driver::Decide(const GameState& gs) {
  // Before the first frame nothing is loaded yet: just go.
  if (gs.ifInitialize == 0) return kUp;
  std::uint16_t keys = Steer(gs);
  // The throttle is latched: DOWN lets it go and brakes, UP takes it up
  // again as soon as the brake is no longer needed.
  keys |= NeedsBrake(gs) ? kDown : kUp;
  return keys;
}

std::uint16_t Driver::Steer(const GameState& gs) {
  const double v = std::max(gs.carVelocity, 64);
  const double wantedSide = std::clamp(-gs.carLRPosition / kSideTime, -kSideSpeedMax, kSideSpeedMax);
  // Sideways speed per frame is speed x direction / 256000.
  const double wantedHeading = wantedSide * 256000.0 / v;
  // The heading changes by 4 x turning rate - 2 x push per frame.
  const double headingStep = (wantedHeading - gs.carLRTurn) / kHeadingTime;
  wantedTurnRate_ = (headingStep + 2.0 * PushAhead(gs, kSteerLead)) / 4.0;

  // Pick the key whose turning rate next frame comes closest.
  // The game counts its division by zero (GRIP_MIN 10000) as one by 1.
  const double m = gs.configGripMin;
  const double gripRange = m == 10000 ? 1.0 : 10000.0 - m;
  const double keptPerMille = 1000.0 + std::trunc((m - gs.carGrip) * 40.0 / gripRange);
  const double stepSize = gs.configLRTurnLevel / 8.0;
  const double fullLock = 2.0 * gs.configLRTurnLevel;
  int best = 0;
  double bestError = 0.0;
  for (int c = -1; c <= 1; ++c) {
    const double next = std::clamp(keptPerMille * (gs.carLRTurnDev + stepSize * c) / 1000.0, -fullLock, fullLock);
    const double error = std::abs(next - wantedTurnRate_) + (c != 0 ? kSteerCost : 0.0);
    if (c == -1 || error < bestError) {
      bestError = error;
      best = c;
    }
  }
  return best < 0 ? kLeft : best > 0 ? kRight : 0;
}

bool Driver::NeedsBrake(const GameState& gs) const { return braking_ && HeadingShortfall(gs) > kHeadingSlack; }

void RunRecorder::AfterFrame(long long frame, const GameState& gs) {
  summary_.frames = frame;
  speedSum_ += gs.carVelocity;
  lapSpeedSum_ += gs.carVelocity;
  ++lapFrames_;
  // A contact frame leaves the count at 119; counting down never does.
  if (gs.carHitCount == 119) summary_.contacts.push_back({frame, lapsSeen_ + 1, gs.carPosition / kSectionUnits});
  summary_.worstSide = std::max(summary_.worstSide, std::abs(gs.carLRPosition));
  if (gs.goalCount > lapsSeen_) {
    lapsSeen_ = gs.goalCount;
    summary_.lapTimes.push_back(gs.goalRecord[1]);
    summary_.lapMeanSpeeds.push_back(lapSpeedSum_ / lapFrames_);
    lapSpeedSum_ = 0.0;
    lapFrames_ = 0;
  }
  summary_.meanSpeed = speedSum_ / frame;
  summary_.endPosition = gs.carPosition;
  summary_.endSide = gs.carLRPosition;
  summary_.endVelocity = gs.carVelocity;
}

bool SameRun(const RunSummary& a, const RunSummary& b) {
  auto frames = [](const RunSummary& run) {
    std::vector<long long> out;
    for (const Contact& contact : run.contacts) out.push_back(contact.frame);
    return out;
  };
  return a.frames == b.frames && a.lapTimes == b.lapTimes && frames(a) == frames(b) &&
         a.worstSide == b.worstSide && a.endPosition == b.endPosition && a.endSide == b.endSide &&
         a.endVelocity == b.endVelocity;
}

// Both play racer_window's frames, as racer_sim plays a script, undrawn.
Drive DriveGame(const DriveOptions& options, const FrameWatch& watch) {
  auto gs = std::make_unique<GameState>();
  ScriptInput keyboard({});
  Driver driver;
  if (!options.brakes) driver.NeverBrake();
  RunRecorder recorder;
  std::string script;
  for (long long frame = 1; frame <= options.frames; ++frame) {
    const std::uint16_t keys = options.naive ? static_cast<std::uint16_t>(kUp) : driver.Decide(*gs);
    keyboard.BeginFrame(ScriptFrame{.held = keys});
    GameFrame(*gs, windowed::kWindowedProgram, keyboard);
    const int lapsBefore = recorder.laps();
    recorder.AfterFrame(frame, *gs);
    // Comments after the keys keep one line per frame.
    script += FormatScriptLine(ScriptFrame{.held = keys});
    if (frame == 1) script += " # autodrive: the keys of one frame a line, from frame 1";
    if (recorder.laps() > lapsBefore) {
      script += " # lap " + std::to_string(recorder.laps()) + " ends: " + std::to_string(gs->goalRecord[1]) + " frames";
    }
    script += '\n';
    if (watch) watch(frame, *gs, keys, driver);
    if (options.laps > 0 && recorder.laps() >= options.laps) break;
  }
  return {recorder.summary(), script};
}

RunSummary Replay(const std::string& script, long long frames) {
  ScriptParseResult parsed = ParseInputScript(script);
  RunRecorder recorder;
  if (!parsed.ok) return recorder.summary();
  auto gs = std::make_unique<GameState>();
  ScriptInput input(std::move(parsed.frames));
  for (long long frame = 1; frame <= frames; ++frame) {
    input.BeginFrame(frame);
    GameFrame(*gs, windowed::kWindowedProgram, input);
    recorder.AfterFrame(frame, *gs);
  }
  return recorder.summary();
}

}  // namespace autodrive
