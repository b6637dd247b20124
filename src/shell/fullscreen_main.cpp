// racer: the game over the whole desktop.
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
#include "shell/window_events.h"

namespace {

class FullScreenFrame final : public FrameScreen {
 public:
  void BackInit(GameState& gs) override { DD_BackInit(gs); }
  void Present(GameState& gs) override { DD_Present(gs); }
};

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
  SdlShellDevices devices(&DD_END);
  WindowProc procedure(*gs, queue, devices);

  SDL_Rect desktop{0, 0, 640, 480};
  SDL_GetDisplayBounds(0, &desktop);
  if (!OpenGameWindow(*gs, queue, procedure,
                      {"DEFAULT", desktop.x, desktop.y, desktop.w, desktop.h, SDL_WINDOW_BORDERLESS})) {
    return 1;
  }
  SdlEventSource events(gs->hwnd, input);
  queue.SetEventSource(&events);

  if (!DD_INIT(*gs)) {
    ShowMessage(gs->hwnd, kDisplayStartFailed, "");
    return EndFailedStart(*gs, queue, devices);
  }
  if (!DS_INIT(*gs)) {
    ShowMessage(gs->hwnd, kSoundStartFailed, "");
    return EndFailedStart(*gs, queue, devices);
  }
  devices.ShowCursor(false);
  StartPacing(*gs, clock);

  FullScreenFrame screen;
  RunMessageLoop(queue, [&] { RunFrame(*gs, input, clock, screen); });
  SDL_Quit();
  // The devices went with the window; a normal quit is a success.
  return 0;
}
