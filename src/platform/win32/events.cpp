#include "platform/win32/events.h"

namespace {

MessageQueue* boundQueue = nullptr;
PlatformWindow* boundWindow = nullptr;

bool IsGameWindow(HWND hwnd) {
  return boundQueue != nullptr && boundQueue->IsWindow(boundWindow) &&
         static_cast<HWND>(boundWindow->native) == hwnd;
}

}  // namespace

void BindGameWindow(MessageQueue& queue, PlatformWindow* window) {
  boundQueue = &queue;
  boundWindow = window;
}

LRESULT CALLBACK Win32GameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsGameWindow(hwnd)) {
    switch (message) {
      case WM_KEYDOWN:
        boundQueue->SendMessage(boundWindow, WM_KEYDOWN_MSG, static_cast<std::uint64_t>(wParam),
                                static_cast<std::int64_t>(lParam));
        return 0;
      case WM_CLOSE:
        boundQueue->SendMessage(boundWindow, WM_CLOSE_MSG, 0, 0);
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Win32EventSource::Poll(Message& out) {
  MSG native;
  if (!PeekMessageW(&native, nullptr, 0, 0, PM_REMOVE)) return false;
  if (native.message == WM_QUIT) {
    out = Message{nullptr, WM_QUIT_MSG, static_cast<std::uint64_t>(native.wParam), 0};
    return true;
  }
  TranslateMessage(&native);
  DispatchMessageW(&native);
  out = Message{hwnd_, WM_NULL_MSG, 0, 0};
  return true;
}
