#include "shell/window_events.h"

#include "platform_api.h"

void Event_Proc(MessageQueue& queue, int keyCode, PlatformWindow* hwnd) {
  if (keyCode == VK_ESCAPE_KEY) queue.PostMessage(hwnd, WM_CLOSE_MSG, 0, 0);
}

std::int64_t WindowProc::Handle(PlatformWindow* hwnd, std::uint32_t message,
                                std::uint64_t wParam, std::int64_t lParam) {
  switch (message) {
    case WM_DESTROY_MSG:
      queue_.PostQuitMessage(0);
      break;
    case WM_CLOSE_MSG:
      // Display before sound; the cursor comes back first so it is there
      // whatever the releases do.
      platform_.ShowCursor(true);
      platform_.DD_END(gs_);
      platform_.DS_END(gs_);
      platform_.MinimizeWindow(hwnd);
      queue_.DestroyWindow(hwnd);
      return 0;
    case WM_KEYDOWN_MSG:
      Event_Proc(queue_, KeyCodeFromParam(wParam), hwnd);
      break;
    default:
      break;
  }
  return queue_.DefWindowProc(hwnd, message, wParam, lParam);
}
