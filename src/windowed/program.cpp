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

}  // namespace

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

const ProgramDefinition kWindowedProgram = {
    Program::Windowed, &MakeMainWndProc, &StartDevices, &DD_BackInit, kStartShade,
};

}  // namespace windowed
