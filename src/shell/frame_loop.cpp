#include "shell/frame_loop.h"

#include "shell/main_proc.h"

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

void RunFrame(GameState& gs, InputDevice& input, Clock& clock, FrameScreen& screen) {
  screen.BackInit(gs);
  Main_Proc(gs, input);
  WaitFrame(gs, clock);
  screen.Present(gs);
}
