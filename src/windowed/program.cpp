#include "windowed/program.h"

#include <memory>

#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/pacing.h"
#include "windowed/main_wnd_proc.h"
#include "windowed/primitives.h"

namespace windowed {

bool StartDevices(GameState& gs, MessageQueue& queue, const ShellDevices& devices) {
  bool started = true;
  if (!devices.DD_INIT(gs)) {
    ShowMessage(gs.hwnd, kDisplayStartFailed, "");
    queue.PostMessage(gs.hwnd, WM_CLOSE_MSG, 0, 0);
    started = false;
  }
  if (!devices.DS_INIT(gs)) {
    ShowMessage(gs.hwnd, kSoundStartFailed, "");
    queue.PostMessage(gs.hwnd, WM_CLOSE_MSG, 0, 0);
    started = false;
  }
  return started;
}

int RunProgram(Platform& platform) {
  auto gs = std::make_unique<GameState>();
  MessageQueue queue;
  MainWndProc procedure(*gs, queue, platform.devices());
  gs->hwnd = platform.OpenWindow(*gs, queue, procedure);
  if (gs->hwnd == nullptr) return 1;

  const bool startFailed = !StartDevices(*gs, queue, platform.devices());
  Clock& clock = platform.clock();
  StartPacing(*gs, clock);
  gs->dispColor = kStartShade;
  clock.timeBeginPeriod(1);
  RunMessageLoop(queue, [&] { RunFrame(*gs, platform, &DD_BackInit); });
  clock.timeEndPeriod(1);
  return startFailed ? 1 : platform.QuitStatus();
}

}  // namespace windowed
