#include "platform/win32/window_size.h"

OuterSize ClientSizeForDpi(unsigned dpi) {
  if (dpi < 96) dpi = 96;
  return OuterSize{MulDiv(640, static_cast<int>(dpi), 96), MulDiv(480, static_cast<int>(dpi), 96)};
}

unsigned WindowDpi(HWND hwnd) {
  // Windows 10 1607 and later know each monitor's scale; before, the
  // system's is the one.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpiForWindow != nullptr) {
    const UINT dpi = getDpiForWindow(hwnd);
    if (dpi != 0) return dpi;
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<unsigned>(dpi) : 96;
}

OuterSize OuterSizeForClient(const RECT& outer, int clientWidth, int clientHeight, OuterSize wanted) {
  return OuterSize{(outer.right - outer.left) - clientWidth + wanted.width,
                   (outer.bottom - outer.top) - clientHeight + wanted.height};
}

void KeepClientSize(HWND hwnd, WPARAM kind, LPARAM clientSize) {
  if (kind == SIZE_MINIMIZED) return;
  RECT outer;
  if (!GetWindowRect(hwnd, &outer)) return;
  // The client size is unsigned in the message's two halves.
  const int width = static_cast<int>(LOWORD(clientSize));
  const int height = static_cast<int>(HIWORD(clientSize));
  const OuterSize size = OuterSizeForClient(outer, width, height, ClientSizeForDpi(WindowDpi(hwnd)));
  MoveWindow(hwnd, outer.left, outer.top, size.width, size.height, TRUE);
}
