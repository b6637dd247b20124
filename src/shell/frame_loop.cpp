#include "shell/frame_loop.h"

#include "shell/main_proc.h"
#include "shell/pacing.h"

int RunMessageLoop(MessageQueue& queue, const std::function<void()>& frame) {
  for (;;) {
    Message message;
    if (queue.PeekMessage(message)) {
      if (message.message == WM_QUIT_MSG) return static_cast<int>(message.wParam);
      queue.DispatchMessage(message);
      continue;
    }
    frame();
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
