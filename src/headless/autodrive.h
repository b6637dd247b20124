// A closed-loop driver on the keyboard, and runs of the game it drives: it
// plays headless from the files in the current directory, as the game finds
// them, and notes the keys it held as a racer_sim input script, one line per
// frame. A run is deterministic, so replaying the script drives exactly the
// same laps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "game_state.h"
#include "platform_api.h"

namespace autodrive {

// The keys the driver holds, as bits of a script frame's `held`.
enum KeyBit : std::uint16_t {
  kLeft = 1 << 0,
  kRight = 1 << 1,
  kUp = 1 << 2,
  kDown = 1 << 3,
};

// The driver. It steers from what a player sees and feels: where the car is
// on the road, where it points, how hard it is turning, how hard the bend
// pushes it and the speed; and it knows the bends ahead the way a player who
// has learned the course does.
class Driver {
 public:
  // Keys for the next frame, from the state the previous frame left.
  std::uint16_t Decide(const GameState& gs);

  double wantedTurnRate() const { return wantedTurnRate_; }
  // A driver who steers as well but never brakes for a bend.
  void NeverBrake() { braking_ = false; }

 private:
  std::uint16_t Steer(const GameState& gs);
  bool NeedsBrake(const GameState& gs) const;

  double wantedTurnRate_ = 0.0;
  bool braking_ = true;
};

// A frame in which the car hit a rail.
struct Contact {
  long long frame;
  int lap;  // from 1
  int section;
};

struct RunSummary {
  long long frames = 0;
  std::vector<int> lapTimes;  // in frames, as the game records them
  std::vector<double> lapMeanSpeeds;
  std::vector<Contact> contacts;
  std::int32_t worstSide = 0;
  double meanSpeed = 0.0;
  std::int32_t endPosition = 0;
  std::int32_t endSide = 0;
  std::int32_t endVelocity = 0;
};

bool SameRun(const RunSummary& a, const RunSummary& b);

// Follows a run frame by frame and gathers its summary.
class RunRecorder {
 public:
  void AfterFrame(long long frame, const GameState& gs);
  int laps() const { return lapsSeen_; }
  const RunSummary& summary() const { return summary_; }

 private:
  RunSummary summary_;
  int lapsSeen_ = 0;
  double speedSum_ = 0.0;
  double lapSpeedSum_ = 0.0;
  long long lapFrames_ = 0;
};

struct DriveOptions {
  long long frames = 3000;  // at most
  int laps = 0;             // stop at the frame in which this lap ends; 0: never
  bool naive = false;       // no driver: throttle held, no steering, no brake
  bool brakes = true;
};

struct Drive {
  RunSummary summary;
  std::string script;  // the keys held, one line per frame from frame 1
};

// Plays a fresh game with the driver. `watch`, when given, sees each frame
// after it ran, with the keys held in it.
using FrameWatch = std::function<void(long long frame, const GameState& gs, std::uint16_t keys, const Driver& driver)>;
Drive DriveGame(const DriveOptions& options, const FrameWatch& watch = {});

// Plays a script back through racer_sim's script player for `frames`
// frames; an empty summary when the script does not parse.
RunSummary Replay(const std::string& script, long long frames);

}  // namespace autodrive
