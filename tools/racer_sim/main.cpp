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
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "headless/trace.h"

namespace {

constexpr char kUsage[] =
    "racer_sim --frames N [--input FILE] [--trace FILE] [--view] [--png FILE] [--fullscreen]";

constexpr int kUsageError = 2;

struct Options {
  long long frames = -1;
  std::optional<std::string> input;
  std::optional<std::string> trace;
  std::optional<std::string> png;
  bool view = false;
  bool fullscreen = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "racer_sim: %s\n", message.c_str());
  return kUsageError;
}

// Returns an error message, or an empty string.
std::string ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string& out) -> bool {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--frames") {
      if (!value(v)) return "--frames needs a number";
      long long n = 0;
      auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), n);
      if (ec != std::errc() || end != v.data() + v.size() || n < 0) return "--frames takes a whole number of 0 or more: " + v;
      options.frames = n;
    } else if (arg == "--input") {
      if (!value(v)) return "--input needs a file name";
      options.input = v;
    } else if (arg == "--trace") {
      if (!value(v)) return "--trace needs a file name";
      options.trace = v;
    } else if (arg == "--png") {
      if (!value(v)) return "--png needs a file name";
      options.png = v;
    } else if (arg == "--view") {
      options.view = true;
    } else if (arg == "--fullscreen") {
      options.fullscreen = true;
    } else {
      return "unknown option: " + std::string(arg);
    }
  }
  if (options.frames < 0) return "--frames N is required";
  return "";
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (std::string error = ParseOptions(argc, argv, options); !error.empty()) {
    std::fprintf(stderr, "racer_sim: %s\nusage: %s\n", error.c_str(), kUsage);
    return kUsageError;
  }

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
