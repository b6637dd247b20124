// autodrive: a scripted driver. It plays the game headless in the current
// directory (config.txt and map.txt found as the game finds them) with a
// closed-loop driver on the keyboard, and writes the keys it held as a
// racer_sim input script, one line per frame. The run is deterministic, so
// racer_sim (or a test) replaying the script drives exactly the same laps;
// autodrive replays it itself before it reports, to make sure.
//
//   autodrive [--frames N] [--laps N] [--script FILE] [--log FILE]
//             [--no-brake | --naive]
//
// --frames N  frames to run at most (default 3000)
// --laps N    stop at the frame in which the Nth lap ends
// --script F  write the input script to F
// --log F     write a CSV row of the car's state and the keys per frame
// --no-brake  the same driver, but it never brakes
// --naive     no driver: throttle held, no steering, no brake
//
// It prints the lap times (in frames, as the game records them), the mean
// speed, the number of rail contacts and the widest the car got.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "headless/input_script.h"
#include "game_state.h"
#include "shell/main_proc.h"
#include "platform_api.h"

namespace {

constexpr char kUsage[] =
    "autodrive [--frames N] [--laps N] [--script FILE] [--log FILE] [--no-brake | --naive]";

enum KeyBit : std::uint16_t {
  kLeft = 1 << 0,
  kRight = 1 << 1,
  kUp = 1 << 2,
  kDown = 1 << 3,
};

// The keys of one frame as an input script line.
std::string ScriptLine(std::uint16_t keys) {
  std::string line;
  auto add = [&](KeyBit bit, const char* token) {
    if ((keys & bit) == 0) return;
    if (!line.empty()) line += ' ';
    line += token;
  };
  add(kLeft, "LEFT");
  add(kRight, "RIGHT");
  add(kUp, "UP");
  add(kDown, "DOWN");
  return line;
}

// A keyboard whose keys are held for whole frames, answering the way a real
// keyboard (and racer_sim's script player) does: the top bit while a key is
// down, and bit 0 at the first query after it went down.
class HeldKeys final : public InputDevice {
 public:
  void BeginFrame(std::uint16_t held) {
    previous_ = held_;
    held_ = held;
    queried_ = 0;
  }

  std::uint16_t GetAsyncKeyState(int virtualKey) override {
    std::uint16_t bit = 0;
    switch (virtualKey) {
      case VK_LEFT_KEY: bit = kLeft; break;
      case VK_RIGHT_KEY: bit = kRight; break;
      case VK_UP_KEY: bit = kUp; break;
      case VK_DOWN_KEY: bit = kDown; break;
      default: return 0;
    }
    const bool first = (queried_ & bit) == 0;
    queried_ |= bit;
    const bool down = (held_ & bit) != 0;
    const bool wentDown = first && down && (previous_ & bit) == 0;
    return static_cast<std::uint16_t>((down ? kKeyDownNow : 0) | (wentDown ? kKeyWentDown : 0));
  }

  bool JoyGetPos(JoystickInfo& info) override {
    info = JoystickInfo{};
    return true;
  }

 private:
  std::uint16_t held_ = 0;
  std::uint16_t previous_ = 0;
  std::uint16_t queried_ = 0;
};

std::int32_t BendAt(const GameState& gs, long long section) {
  long long s = section % kCourseSections;
  if (s < 0) s += kCourseSections;
  return gs.mapDataX[s];
}

// The driver. It steers from what a player sees and feels: where the car is
// on the road, where it points, how hard it is turning, how hard the bend
// pushes it and the speed; and it knows the bends ahead the way a player who
// has learned the course does.
class Driver {
 public:
  // Keys for the next frame, from the state the previous frame left.
  std::uint16_t Decide(const GameState& gs) {
    // Before the first frame nothing is loaded yet: just go.
    if (gs.ifInitialize == 0) return kUp;
    std::uint16_t keys = Steer(gs);
    // The throttle is latched: DOWN lets it go and brakes, UP takes it up
    // again as soon as the brake is no longer needed.
    keys |= NeedsBrake(gs) ? kDown : kUp;
    return keys;
  }

  double wantedTurnRate() const { return wantedTurnRate_; }
  // A driver who steers as well but never brakes for a bend.
  void NeverBrake() { braking_ = false; }

 private:
  // Steering: the sideways speed that brings the car back to the centre
  // line in about a second, the heading that gives it, and the turning rate
  // that reaches that heading in a few frames against the coming push.
  static constexpr double kSideTime = 60.0;
  static constexpr double kSideSpeedMax = 500.0;
  static constexpr double kHeadingTime = 8.0;
  // Frames of push anticipated: the turning rate takes that long to build.
  static constexpr int kSteerLead = 6;
  // Leaves the keys alone for differences in turning rate this small.
  static constexpr double kSteerCost = 4.0;
  // Braking: the heading a bend may take beyond full lock before the driver
  // brakes for it, and how many frames ahead it looks.
  static constexpr double kHeadingSlack = 20000.0;
  static constexpr int kBrakeHorizon = 240;

  // The mean push of the next frames, smoothed as the game smooths it, at
  // the present speed.
  static double PushAhead(const GameState& gs, int frames) {
    double slide = gs.courseSlide;
    long long position = gs.carPosition;
    double sum = 0.0;
    for (int n = 0; n < frames; ++n) {
      position += gs.carVelocity / 10;
      const double target = BendAt(gs, position / 1024 + 2) * static_cast<double>(gs.carVelocity) / 1000.0;
      slide = std::trunc(slide - (slide - target) * 0.1);
      sum += slide;
    }
    return sum / frames;
  }

  std::uint16_t Steer(const GameState& gs) {
    const double v = std::max(gs.carVelocity, 64);
    const double wantedSide = std::clamp(-gs.carLRPosition / kSideTime, -kSideSpeedMax, kSideSpeedMax);
    // Sideways speed per frame is speed x direction / 256000.
    const double wantedHeading = wantedSide * 256000.0 / v;
    // The heading changes by 4 x turning rate - 2 x push per frame.
    const double headingStep = (wantedHeading - gs.carLRTurn) / kHeadingTime;
    wantedTurnRate_ = (headingStep + 2.0 * PushAhead(gs, kSteerLead)) / 4.0;

    // Pick the key whose turning rate next frame comes closest.
    const double m = gs.configGripMin;
    const double keptPerMille = 1000.0 + std::trunc((m - gs.carGrip) * 40.0 / (10000.0 - m));
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

  // Runs down the course with the throttle held and the wheel turned as far
  // as each bend asks, up to full lock, and adds up the heading the bends
  // take beyond what full lock gives back. Turning hard on the throttle
  // scrubs speed by itself (the turning resistance is eight times the
  // coasting one), so only a bend that outruns that needs the brake; and a
  // touch of the brake costs grip for a second, so it is not used lightly.
  static double HeadingShortfall(const GameState& gs) {
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
      const double target = BendAt(gs, static_cast<long long>(position) / 1024 + 2) * v / 1000.0;
      slide += (target - slide) * 0.1;
      const double rate = std::min(std::abs(slide) / 2.0, fullLock);
      shortfall = std::max(0.0, shortfall + 2.0 * std::abs(slide) - 4.0 * fullLock);
      worst = std::max(worst, shortfall);
      v += (top - v) * grip * 4.0 / 10000.0 / 1024.0 - rate * resist * grip / 1024.0 * v / top - 1.0;
      v = std::max(v, 64.0);
    }
    return worst;
  }

  bool NeedsBrake(const GameState& gs) const { return braking_ && HeadingShortfall(gs) > kHeadingSlack; }

  double wantedTurnRate_ = 0.0;
  bool braking_ = true;
};

struct Options {
  long long frames = 3000;
  long long laps = 0;
  std::optional<std::string> script;
  std::optional<std::string> log;
  bool naive = false;
  bool noBrake = false;
};

bool ParseCount(std::string_view text, long long& out) {
  long long n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 0) return false;
  out = n;
  return true;
}

std::string ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--frames" || arg == "--laps") {
      long long n = 0;
      if (!hasValue || !ParseCount(argv[i + 1], n)) return std::string(arg) + " needs a whole number";
      (arg == "--frames" ? options.frames : options.laps) = n;
      ++i;
    } else if (arg == "--script" || arg == "--log") {
      if (!hasValue) return std::string(arg) + " needs a file name";
      (arg == "--script" ? options.script : options.log) = argv[++i];
    } else if (arg == "--no-brake") {
      options.noBrake = true;
    } else if (arg == "--naive") {
      options.naive = true;
    } else {
      return "unknown option: " + std::string(arg);
    }
  }
  return "";
}

struct RunSummary {
  long long frames = 0;
  std::vector<int> lapTimes;
  std::vector<double> lapMeanSpeeds;
  long long contacts = 0;
  long long firstContactFrame = 0;
  std::int32_t worstSide = 0;
  double meanSpeed = 0.0;
  std::int32_t endPosition = 0;
  std::int32_t endSide = 0;
  std::int32_t endVelocity = 0;
};

// Follows a run frame by frame and gathers what autodrive reports.
class RunRecorder {
 public:
  void AfterFrame(long long frame, const GameState& gs) {
    summary_.frames = frame;
    speedSum_ += gs.carVelocity;
    lapSpeedSum_ += gs.carVelocity;
    ++lapFrames_;
    // A contact frame leaves the count at 119; counting down never does.
    if (gs.carHitCount == 119) {
      if (summary_.contacts == 0) summary_.firstContactFrame = frame;
      ++summary_.contacts;
    }
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
  int laps() const { return lapsSeen_; }
  const RunSummary& summary() const { return summary_; }

 private:
  RunSummary summary_;
  int lapsSeen_ = 0;
  double speedSum_ = 0.0;
  double lapSpeedSum_ = 0.0;
  long long lapFrames_ = 0;
};

bool SameRun(const RunSummary& a, const RunSummary& b) {
  return a.frames == b.frames && a.lapTimes == b.lapTimes && a.contacts == b.contacts &&
         a.worstSide == b.worstSide && a.endPosition == b.endPosition && a.endSide == b.endSide &&
         a.endVelocity == b.endVelocity;
}

// Plays the script back through racer_sim's script player.
RunSummary Replay(const std::string& script, long long frames) {
  ScriptParseResult parsed = ParseInputScript(script);
  RunRecorder recorder;
  if (!parsed.ok) return recorder.summary();
  auto gs = std::make_unique<GameState>();
  ScriptInput input(std::move(parsed.frames));
  for (long long frame = 1; frame <= frames; ++frame) {
    input.BeginFrame(frame);
    Main_Proc(*gs, input);
    recorder.AfterFrame(frame, *gs);
  }
  return recorder.summary();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (std::string error = ParseOptions(argc, argv, options); !error.empty()) {
    std::fprintf(stderr, "autodrive: %s\nusage: %s\n", error.c_str(), kUsage);
    return 2;
  }

  std::FILE* log = nullptr;
  if (options.log) {
    log = std::fopen(options.log->c_str(), "w");
    if (log == nullptr) {
      std::fprintf(stderr, "autodrive: cannot write %s\n", options.log->c_str());
      return 1;
    }
    std::fputs("frame,section,bend,velocity,grip,side,turn,move,turnDev,slide,wantedRate,hit,keys\n", log);
  }

  auto gs = std::make_unique<GameState>();
  HeldKeys keyboard;
  Driver driver;
  if (options.noBrake) driver.NeverBrake();
  RunRecorder recorder;
  std::string script;
  for (long long frame = 1; frame <= options.frames; ++frame) {
    const std::uint16_t keys = options.naive ? static_cast<std::uint16_t>(kUp) : driver.Decide(*gs);
    keyboard.BeginFrame(keys);
    Main_Proc(*gs, keyboard);
    const int lapsBefore = recorder.laps();
    recorder.AfterFrame(frame, *gs);
    // Comments after the keys keep one line per frame.
    std::string line = ScriptLine(keys);
    if (frame == 1) line += " # autodrive: the keys of one frame a line, from frame 1";
    if (recorder.laps() > lapsBefore) {
      line += " # lap " + std::to_string(recorder.laps()) + " ends: " + std::to_string(gs->goalRecord[1]) + " frames";
    }
    script += line;
    script += '\n';
    if (log != nullptr) {
      std::fprintf(log, "%lld,%d,%d,%d,%d,%d,%d,%d,%d,%d,%.0f,%d,%s\n", frame, gs->carPosition / 1024,
                   BendAt(*gs, gs->carPosition / 1024), gs->carVelocity, gs->carGrip, gs->carLRPosition,
                   gs->carLRTurn, gs->carLRMove, gs->carLRTurnDev, gs->courseSlide, driver.wantedTurnRate(),
                   gs->carHitCount, ScriptLine(keys).c_str());
    }
    if (options.laps > 0 && recorder.laps() >= options.laps) break;
  }
  if (log != nullptr) std::fclose(log);

  const RunSummary& run = recorder.summary();
  if (options.script) {
    std::FILE* out = std::fopen(options.script->c_str(), "w");
    bool written = out != nullptr && std::fputs(script.c_str(), out) >= 0;
    if (out != nullptr && std::fclose(out) != 0) written = false;
    if (!written) {
      std::fprintf(stderr, "autodrive: cannot write %s\n", options.script->c_str());
      return 1;
    }
  }

  std::printf("frames run: %lld\n", run.frames);
  for (size_t i = 0; i < run.lapTimes.size(); ++i) {
    std::printf("lap %zu: %d frames, mean speed %.0f\n", i + 1, run.lapTimes[i], run.lapMeanSpeeds[i]);
  }
  std::printf("mean speed: %.0f\n", run.meanSpeed);
  std::printf("rail contact frames: %lld", run.contacts);
  if (run.contacts > 0) std::printf(" (first at frame %lld)", run.firstContactFrame);
  std::printf("\nworst |carLRPosition|: %d of %d\n", run.worstSide, kRailPosition);

  const RunSummary replayed = Replay(script, run.frames);
  if (!SameRun(run, replayed)) {
    std::fprintf(stderr, "autodrive: the script does not replay to the same run\n");
    return 1;
  }
  std::printf("script replays to the same run\n");
  return 0;
}
