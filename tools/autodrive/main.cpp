// autodrive: the closed-loop driver of src/headless/autodrive.h on the game
// in the current directory (config.txt and map.txt found as the game finds
// them); it writes the keys it held as a racer_sim input script and replays
// the script itself before it reports, to make sure it drives the same laps.
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
#include <cstdio>
#include <optional>
#include <string>

#include "headless/autodrive.h"
#include "headless/command_line.h"
#include "headless/input_script.h"

namespace {

constexpr char kUsage[] =
    "autodrive [--frames N] [--laps N] [--script FILE] [--log FILE] [--no-brake | --naive]";

struct Options {
  autodrive::DriveOptions drive;
  std::optional<std::string> script;
  std::optional<std::string> log;
};

// Returns the exit status when the tool is to stop now.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CommandLine line("autodrive", kUsage, argc, argv);
  bool noBrake = false;
  while (line.Next()) {
    if (line.Whole("--frames", options.drive.frames, 0) || line.Whole("--laps", options.drive.laps, 0, 1000000) ||
        line.Text("--script", options.script) || line.Text("--log", options.log) ||
        line.Flag("--no-brake", noBrake) || line.Flag("--naive", options.drive.naive)) {
      continue;
    }
    line.Unknown();
  }
  options.drive.brakes = !noBrake;
  return line.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options)) return *status;

  std::FILE* log = nullptr;
  if (options.log) {
    log = std::fopen(options.log->c_str(), "w");
    if (log == nullptr) {
      std::fprintf(stderr, "autodrive: cannot write %s\n", options.log->c_str());
      return 1;
    }
    std::fputs("frame,section,bend,velocity,grip,side,turn,move,turnDev,slide,wantedRate,hit,keys\n", log);
  }
  auto logFrame = [log](long long frame, const GameState& gs, std::uint16_t keys, const autodrive::Driver& driver) {
    const int section = gs.carPosition / 1024;
    std::fprintf(log, "%lld,%d,%d,%d,%d,%d,%d,%d,%d,%d,%.0f,%d,%s\n", frame, section,
                 gs.mapDataX[section % kCourseSections], gs.carVelocity, gs.carGrip, gs.carLRPosition,
                 gs.carLRTurn, gs.carLRMove, gs.carLRTurnDev, gs.courseSlide, driver.wantedTurnRate(),
                 gs.carHitCount, FormatScriptLine(ScriptFrame{.held = keys}).c_str());
  };
  const autodrive::Drive drive =
      autodrive::DriveGame(options.drive, log != nullptr ? autodrive::FrameWatch(logFrame) : autodrive::FrameWatch());
  if (log != nullptr) std::fclose(log);

  const autodrive::RunSummary& run = drive.summary;
  if (options.script) {
    std::FILE* out = std::fopen(options.script->c_str(), "w");
    bool written = out != nullptr && std::fputs(drive.script.c_str(), out) >= 0;
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
  std::printf("rail contact frames: %zu", run.contacts.size());
  if (!run.contacts.empty()) std::printf(" (first at frame %lld)", run.contacts.front().frame);
  std::printf("\nworst |carLRPosition|: %d of %d\n", run.worstSide, kRailPosition);

  if (!autodrive::SameRun(run, autodrive::Replay(drive.script, run.frames))) {
    std::fprintf(stderr, "autodrive: the script does not replay to the same run\n");
    return 1;
  }
  std::printf("script replays to the same run\n");
  return 0;
}
