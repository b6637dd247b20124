#include "windowed/main_wnd_proc.h"

std::int64_t MainWndProc::Handle(PlatformWindow* hwnd, std::uint32_t message,
                                 std::uint64_t wParam, std::int64_t lParam) {
  switch (message) {
    case WM_DESTROY_MSG:
      platform_.DS_END(gs_);
      platform_.DD_END(gs_);
      queue_.PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN_MSG:
      // The stored main window, not the message's: the same one here.
      Event_Proc(queue_, KeyCodeFromParam(wParam), gs_.hwnd);
      return 0;
    default:
      // The close request included: its default handling destroys the window.
      return queue_.DefWindowProc(hwnd, message, wParam, lParam);
  }
}
