// How long one frame takes: the nine phases alone, and with the whole
// picture drawn into the software back buffer in both programs' formats;
// what a frame of racer_sim's trace costs on top; and start-up, with the
// shipped files and with the course that keeps the smoothing busiest.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "data/files.h"
#include "headless/headless_frame.h"
#include "headless/trace.h"
#include "shell/frame_loop.h"
#include "shell/main_proc.h"
#include "windowed/program.h"

namespace {

// Steers gently from side to side with the throttle on, so every phase has
// work to do.
class WeavingInput final : public InputDevice {
 public:
  long long frame = 0;
  std::uint16_t GetAsyncKeyState(int vk) override {
    const bool right = (frame / 40) % 2 == 0;
    if (vk == VK_UP_KEY) return kKeyDownNow;
    if (vk == (right ? VK_RIGHT_KEY : VK_LEFT_KEY)) return kKeyDownNow;
    return 0;
  }
  bool JoyGetPos(JoystickInfo&) override { return false; }
};

// Starts the game from the shipped files, as its first frame would.
void Start(GameState& gs) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(RACER_DATA_DIR);
  Initialize(gs);
  gs.ifInitialize = 1;
  std::filesystem::current_path(previous);
}

std::unique_ptr<GameState> StartedGame() {
  auto gs = std::make_unique<GameState>();
  Start(*gs);
  return gs;
}

void BM_CoreFrame(benchmark::State& state) {
  auto gs = StartedGame();
  WeavingInput input;
  for (auto _ : state) {
    ++input.frame;
    GameFrame(*gs, windowed::kWindowedProgram, input);
    benchmark::DoNotOptimize(gs->drawViewX[299]);
  }
}
BENCHMARK(BM_CoreFrame);

void BM_DrawnFrame(benchmark::State& state) {
  HeadlessGame game(state.range(0) == 16 ? Program::FullScreen : Program::Windowed);
  Start(*game.gs);
  game.gs->dispDebug = 1;
  game.gs->dispMap = 1;
  WeavingInput input;
  for (auto _ : state) {
    ++input.frame;
    game.Frame(input);
    benchmark::DoNotOptimize(game.back->pixels());
  }
}
BENCHMARK(BM_DrawnFrame)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

// One trace row, as racer_sim writes it after every frame; range 1 adds the
// 300 view offsets (--view).
void BM_TraceRow(benchmark::State& state) {
  auto gs = StartedGame();
  WeavingInput input;
  for (int i = 0; i < 600; ++i) {
    ++input.frame;
    GameFrame(*gs, windowed::kWindowedProgram, input);
  }
  std::FILE* sink = std::fopen("/dev/null", "wb");
  long long frame = 0;
  for (auto _ : state) WriteTraceRow(sink, ++frame, *gs, state.range(0) != 0);
  std::fclose(sink);
}
BENCHMARK(BM_TraceRow)->Arg(0)->Arg(1);

// Start-up from files in a directory of their own: the shipped pair, and a
// course that jumps from one value limit to the other halfway, which the
// smoothing needs the most passes for.
void BM_StartUp(benchmark::State& state) {
  const auto previous = std::filesystem::current_path();
  const auto dir = std::filesystem::temp_directory_path() / "racer_bench_startup";
  std::filesystem::create_directories(dir);
  std::filesystem::copy_file(std::filesystem::path(RACER_DATA_DIR) / "config.txt", dir / "config.txt",
                             std::filesystem::copy_options::overwrite_existing);
  if (state.range(0) == 0) {
    std::filesystem::copy_file(std::filesystem::path(RACER_DATA_DIR) / "map.txt", dir / "map.txt",
                               std::filesystem::copy_options::overwrite_existing);
  } else {
    std::ofstream map(dir / "map.txt", std::ios::binary);
    for (int i = 0; i < kCourseSections; ++i) map << i << ' ' << (i < kCourseSections / 2 ? kCourseValueLimit : -kCourseValueLimit) << '\n';
  }
  std::filesystem::current_path(dir);
  auto gs = std::make_unique<GameState>();
  for (auto _ : state) {
    Initialize(*gs);
    benchmark::DoNotOptimize(gs->mapDataX[799]);
  }
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StartUp)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
