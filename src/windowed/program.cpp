#include "windowed/program.h"

#include "shell/error_report.h"
#include "windowed/main_wnd_proc.h"
#include "windowed/primitives.h"

namespace windowed {

namespace {

std::unique_ptr<WindowProcedure> MakeMainWndProc(GameState& gs, MessageQueue& queue,
                                                 Platform& platform) {
  return std::make_unique<MainWndProc>(gs, queue, platform);
}

// Opens the display, then sound. A device that fails shows the entry's
// message and posts the close request, which the loop takes before any
// frame: the window closes in order. False when either failed.
bool StartDevices(GameState& gs, MessageQueue& queue, Platform& platform) {
  bool started = true;
  if (!platform.DD_INIT(gs)) {
    ShowMessage(gs.hwnd, kDisplayStartFailed, "");
    queue.PostMessage(gs.hwnd, WM_CLOSE_MSG, 0, 0);
    started = false;
  }
  if (!platform.DS_INIT(gs)) {
    ShowMessage(gs.hwnd, kSoundStartFailed, "");
    queue.PostMessage(gs.hwnd, WM_CLOSE_MSG, 0, 0);
    started = false;
  }
  return started;
}

}  // namespace

const ProgramDefinition kWindowedProgram = {
    Program::Windowed, &MakeMainWndProc, &StartDevices, &DD_BackInit, kStartShade,
};

}  // namespace windowed
