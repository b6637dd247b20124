#include "shell/frame_loop.h"

#include "shell/main_proc.h"
#include "shell/pacing.h"

LoopPass DispatchOneMessage(MessageQueue& queue, int& exitCode) {
  Message message;
  if (!queue.PeekMessage(message)) return LoopPass::Empty;
  if (message.message == WM_QUIT_MSG) {
    exitCode = static_cast<int>(message.wParam);
    return LoopPass::Quit;
  }
  queue.DispatchMessage(message);
  return LoopPass::Dispatched;
}

int RunMessageLoop(MessageQueue& queue, const std::function<void()>& frame) {
  int exitCode = 0;
  for (;;) {
    switch (DispatchOneMessage(queue, exitCode)) {
      case LoopPass::Quit: return exitCode;
      case LoopPass::Dispatched: break;
      case LoopPass::Empty: frame(); break;
    }
  }
}

void RunFrame(GameState& gs, Platform& platform, void (*backInit)(GameState&)) {
  platform.BeforeFrame();
  backInit(gs);
  Main_Proc(gs, platform.input());
  WaitFrame(gs, platform.clock());
  platform.devices().DD_Present(gs);
  platform.AfterFrame(gs);
}
