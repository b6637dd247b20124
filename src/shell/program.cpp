#include "shell/program.h"

#include "media/primitives.h"
#include "shell/error_report.h"
#include "shell/window_events.h"

namespace {

// After a device failed to start: releases what was opened, sound then
// display, and destroys the window.
bool EndFailedStart(GameState& gs, MessageQueue& queue, Platform& platform) {
  platform.DS_END(gs);
  platform.DD_END(gs);
  queue.DestroyWindow(gs.hwnd);
  return false;
}

std::unique_ptr<WindowProcedure> MakeWindowProc(GameState& gs, MessageQueue& queue,
                                                Platform& platform) {
  return std::make_unique<WindowProc>(gs, queue, platform);
}

// Opens the display, then sound. A device that fails shows the entry's
// message, and what was opened goes with the window, sound then display.
// Once both are open the cursor is hidden.
bool StartDevices(GameState& gs, MessageQueue& queue, Platform& platform) {
  if (!platform.DD_INIT(gs)) {
    ShowMessage(gs.hwnd, kDisplayStartFailed, "");
    return EndFailedStart(gs, queue, platform);
  }
  if (!platform.DS_INIT(gs)) {
    ShowMessage(gs.hwnd, kSoundStartFailed, "");
    return EndFailedStart(gs, queue, platform);
  }
  platform.ShowCursor(false);
  return true;
}

}  // namespace

const ProgramDefinition kFullScreenProgram = {
    Program::FullScreen, &MakeWindowProc, &StartDevices, &DD_BackInit, 0,
};
