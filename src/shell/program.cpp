#include "shell/program.h"

#include <memory>

#include "media/primitives.h"
#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/pacing.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"

namespace {

// After a device failed to start: releases what was opened, sound then
// display, and destroys the window.
bool EndFailedStart(GameState& gs, MessageQueue& queue, const ShellDevices& devices) {
  devices.DS_END(gs);
  devices.DD_END(gs);
  queue.DestroyWindow(gs.hwnd);
  return false;
}

}  // namespace

bool StartDevices(GameState& gs, MessageQueue& queue, const ShellDevices& devices) {
  if (!devices.DD_INIT(gs)) {
    ShowMessage(gs.hwnd, kDisplayStartFailed, "");
    return EndFailedStart(gs, queue, devices);
  }
  if (!devices.DS_INIT(gs)) {
    ShowMessage(gs.hwnd, kSoundStartFailed, "");
    return EndFailedStart(gs, queue, devices);
  }
  devices.ShowCursor(false);
  return true;
}

int RunProgram(Platform& platform) {
  auto gs = std::make_unique<GameState>();
  MessageQueue queue;
  const ShellDevices& devices = platform.devices();
  WindowProc procedure(*gs, queue, devices);
  gs->hwnd = platform.OpenWindow(*gs, queue, procedure);
  if (gs->hwnd == nullptr) return 1;

  if (!StartDevices(*gs, queue, devices)) return 1;
  Clock& clock = platform.clock();
  StartPacing(*gs, clock);
  clock.timeBeginPeriod(1);
  RunMessageLoop(queue, [&] { RunFrame(*gs, platform, &DD_BackInit); });
  clock.timeEndPeriod(1);
  // The devices went with the window; a normal quit is a success.
  return platform.QuitStatus();
}
