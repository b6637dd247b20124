// How long one frame takes: the nine phases alone, and with the whole
// picture drawn into the software back buffer in both programs' formats.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "media/primitives.h"
#include "media/soft_surface.h"
#include "shell/main_proc.h"
#include "sim/phases.h"
#include "view/view.h"

#ifndef RACER_DATA_DIR
#error "RACER_DATA_DIR names the folder with the shipped config.txt and map.txt"
#endif

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

std::unique_ptr<GameState> StartedGame() {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(RACER_DATA_DIR);
  auto gs = std::make_unique<GameState>();
  Initialize(*gs);
  gs->ifInitialize = 1;
  std::filesystem::current_path(previous);
  return gs;
}

void BM_CoreFrame(benchmark::State& state) {
  auto gs = StartedGame();
  WeavingInput input;
  for (auto _ : state) {
    ++input.frame;
    Main_Proc(*gs, input);
    benchmark::DoNotOptimize(gs->drawViewX[299]);
  }
}
BENCHMARK(BM_CoreFrame);

void BM_DrawnFrame(benchmark::State& state) {
  const bool fullscreen = state.range(0) == 16;
  auto gs = StartedGame();
  SoftSurface back(fullscreen ? PixelFormat::Rgb565 : PixelFormat::Xrgb8888);
  gs->DDBack = &back;
  gs->dispDebug = 1;
  gs->dispMap = 1;
  gs->dispColor = fullscreen ? 0 : 255;
  WeavingInput input;
  for (auto _ : state) {
    ++input.frame;
    if (fullscreen) {
      DD_BackInit(*gs);
    } else {
      windowed::DD_BackInit(*gs);
    }
    Main_Proc(*gs, input);
    benchmark::DoNotOptimize(back.pixels());
  }
}
BENCHMARK(BM_DrawnFrame)->Arg(16)->Arg(32)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
