// racer_sim: runs the game's frames headless, as fast as it can, with
// scripted input; writes a trace of the state and the last frame's picture.
//
//   racer_sim --frames N [--input FILE] [--trace FILE] [--view] [--png FILE]
//             [--fullscreen]
//
// It reads config.txt and map.txt (or their backups) from the current
// directory, like the game. It draws like the windowed program unless
// --fullscreen asks for the full-screen program's 16-bit white-cleared
// back buffer.
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "headless/command_line.h"
#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "headless/trace.h"

namespace {

constexpr char kUsage[] =
    "racer_sim --frames N [--input FILE] [--trace FILE] [--view] [--png FILE] [--fullscreen]";

struct Options {
  long long frames = -1;
  std::optional<std::string> input;
  std::optional<std::string> trace;
  std::optional<std::string> png;
  bool view = false;
  bool fullscreen = false;
};

// Returns the exit status when the tool is to stop now.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CommandLine line("racer_sim", kUsage, argc, argv);
  while (line.Next()) {
    if (line.Whole("--frames", options.frames, 0) || line.Text("--input", options.input) ||
        line.Text("--trace", options.trace) || line.Text("--png", options.png) || line.Flag("--view", options.view) ||
        line.Flag("--fullscreen", options.fullscreen)) {
      continue;
    }
    line.Unknown();
  }
  if (options.frames < 0) line.Fail("--frames N is required");
  return line.Finish();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "racer_sim: %s\n", message.c_str());
  return CommandLine::kBadUse;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options)) return *status;

  std::vector<ScriptFrame> frames;
  if (options.input) {
    if (std::string error = ReadInputScript(*options.input, frames); !error.empty()) return Fail(error);
  }

  std::FILE* trace = nullptr;
  if (options.trace) {
    trace = *options.trace == "-" ? stdout : std::fopen(options.trace->c_str(), "wb");
    if (trace == nullptr) return Fail("cannot write trace " + *options.trace);
  }

  // Drawn only when the picture is wanted: the frames are the same without.
  HeadlessGame game(options.fullscreen ? Program::FullScreen : Program::Windowed,
                    options.png.has_value());
  ScriptInput input(std::move(frames));
  if (trace != nullptr) WriteTraceHeader(trace, options.view);
  for (long long frame = 1; frame <= options.frames; ++frame) {
    input.BeginFrame(frame);
    game.Frame(input);
    if (trace != nullptr) WriteTraceRow(trace, frame, *game.gs, options.view);
  }

  int status = 0;
  if (trace != nullptr) {
    if (std::fflush(trace) != 0) status = 1;
    if (trace != stdout) std::fclose(trace);
  }
  if (game.back != nullptr && !WritePng(*game.back, options.png->c_str())) {
    std::fprintf(stderr, "racer_sim: cannot write picture %s\n", options.png->c_str());
    status = 1;
  }
  return status;
}
