// racer_pacing: runs the game's frame wait on the real clock and reports
// how even the frames are.
//
//   racer_pacing [--frames N] [--millisecond] [--window] [--work MS]
//
// --millisecond  the millisecond method instead of the counter's
// --window       open the windowed program's display and present the back
//                buffer every frame, as the game does (needs a display)
// --work MS      busy time per frame before the wait, standing in for the
//                game's own work
//
// Prints the mean, median, 99th percentile and worst frame period in ms, the
// CPU time per frame (the wait's spin included), how many periods ran over
// 17.2 ms and how many of those followed a slow presentation, and with
// --window the presentation's own time.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "headless/command_line.h"
#include "platform/sdl/layer.h"
#include "platform_api.h"
#include "shell/pacing.h"
#include "shell/window_messages.h"

namespace {

constexpr char kUsage[] =
    "racer_pacing [--frames N (2 or more)] [--millisecond] [--window] [--work MS]";

struct Options {
  int frames = 600;
  bool millisecond = false;
  bool window = false;
  double workMs = 0.0;
};

// Returns the exit status when the tool is to stop now.
std::optional<int> Parse(int argc, char** argv, Options& options) {
  CommandLine line("racer_pacing", kUsage, argc, argv);
  while (line.Next()) {
    if (line.Whole("--frames", options.frames, 2) || line.Real("--work", options.workMs, 0, 1000) ||
        line.Flag("--millisecond", options.millisecond) || line.Flag("--window", options.window)) {
      continue;
    }
    line.Unknown();
  }
  return line.Finish();
}

double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void BusyFor(double ms) {
  const auto until = std::chrono::steady_clock::now() +
                     std::chrono::duration<double, std::milli>(ms);
  while (std::chrono::steady_clock::now() < until) {
  }
}

double Percentile(const std::vector<double>& sorted, double p) {
  const auto index = static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5);
  return sorted[std::min(index, sorted.size() - 1)];
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = Parse(argc, argv, options)) return *status;

  auto gs = std::make_unique<GameState>();
  MessageQueue queue;
  NullProcedure proc;
  // The windowed program's platform: its clock and, with --window, its
  // window and display device.
  SdlPlatform platform(Program::Windowed);
  const bool window = options.window;
  if (window) {
    // Without a window the display's start-up message has said so.
    if (platform.OpenWindow(*gs, queue, proc) == nullptr) return 1;
    if (!platform.DD_INIT(*gs)) {
      std::fprintf(stderr, "racer_pacing: no display device\n");
      return 1;
    }
  }

  Clock& clock = platform.clock();
  StartPacing(*gs, clock);
  if (options.millisecond) gs->performanceCounterFlag = 0;
  std::vector<double> periods;
  periods.reserve(static_cast<std::size_t>(options.frames));
  // How long each presentation took, to tell a slow one from a late wake
  // when a period runs long.
  std::vector<double> presents;
  int late = 0;
  int lateAfterSlowPresent = 0;
  const double cpuStart = CpuSeconds();
  auto last = std::chrono::steady_clock::now();
  for (int frame = 0; frame < options.frames; ++frame) {
    for (Message message; window && queue.PeekMessage(message);) {
    }
    BusyFor(options.workMs);
    WaitFrame(*gs, clock);
    const auto now = std::chrono::steady_clock::now();
    // The first period runs from start-up, not from a previous wait.
    if (frame > 0) {
      periods.push_back(std::chrono::duration<double, std::milli>(now - last).count());
      if (periods.back() > 17.2) {
        ++late;
        lateAfterSlowPresent += !presents.empty() && presents.back() > 10.0;
      }
    }
    last = now;
    if (window) {
      platform.DD_Present(*gs);
      presents.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - now).count());
    }
  }
  const double cpuMs = (CpuSeconds() - cpuStart) * 1000.0 / options.frames;

  std::vector<double> sorted = periods;
  std::sort(sorted.begin(), sorted.end());
  double sum = 0;
  for (double p : periods) sum += p;
  std::printf("method      %s\n", gs->performanceCounterFlag == 1 ? "counter (us)" : "timer (ms)");
  std::printf("frames      %d (%zu periods)%s\n", options.frames, periods.size(),
              window ? ", presenting to a window" : "");
  std::printf("mean        %.4f ms\n", sum / static_cast<double>(periods.size()));
  std::printf("p50         %.4f ms\n", Percentile(sorted, 0.50));
  std::printf("p99         %.4f ms\n", Percentile(sorted, 0.99));
  std::printf("worst       %.4f ms\n", sorted.back());
  std::printf("cpu/frame   %.4f ms\n", cpuMs);
  std::printf("over 17.2  %d periods (%d after a presentation over 10 ms)\n", late, lateAfterSlowPresent);
  if (window) {
    double presentSum = 0;
    for (double p : presents) presentSum += p;
    std::printf("present     %.4f ms mean, %.4f ms worst\n", presentSum / static_cast<double>(presents.size()),
                *std::max_element(presents.begin(), presents.end()));
  }

  if (window) {
    platform.DD_END(*gs);
    queue.DestroyWindow(gs->hwnd);
  }
  return 0;
}
