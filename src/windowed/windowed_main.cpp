// racer_window: the game in a 640x480 window on the desktop.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <memory>

#include "media/primitives.h"
#include "media/sdl_display.h"
#include "media/sdl_sound.h"
#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/sdl_clock.h"
#include "shell/sdl_events.h"
#include "shell/sdl_input.h"
#include "shell/sdl_startup.h"
#include "windowed/main_wnd_proc.h"

namespace {

constexpr char kAppName[] = "VELTIX RACE";

class WindowedFrame final : public FrameScreen {
 public:
  void BackInit(GameState& gs) override { windowed::DD_BackInit(gs); }
  void Present(GameState& gs) override { windowed::DD_Present(gs); }
};

void EndDisplay(GameState& gs) { windowed::DD_END(gs); }

}  // namespace

int main() {
  auto gs = std::make_unique<GameState>();
  if (!StartSdl()) {
    ShowMessage(nullptr, kDisplayStartFailed, "");
    return 1;
  }

  MessageQueue queue;
  SdlInput input;
  SdlClock clock;
  SdlShellDevices devices(&EndDisplay);
  MainWndProc procedure(*gs, queue, devices);

  // The size asked for is the client area's; without a sizing border the
  // window keeps it.
  if (!OpenGameWindow(*gs, queue, procedure,
                      {kAppName, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, 640, 480, 0})) {
    return 1;
  }
  SdlEventSource events(gs->hwnd, input);
  queue.SetEventSource(&events);

  const bool startFailed = !windowed::StartDevices(*gs, queue, &windowed::DD_INIT, &DS_INIT);
  StartPacing(*gs, clock);
  gs->dispColor = 255;

  WindowedFrame screen;
  RunMessageLoop(queue, [&] { RunFrame(*gs, input, clock, screen); });
  SDL_Quit();
  return startFailed ? 1 : 0;
}
