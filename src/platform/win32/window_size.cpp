#include "platform/win32/window_size.h"

OuterSize OuterSizeForClient(const RECT& outer, int clientWidth, int clientHeight) {
  return OuterSize{(outer.right - outer.left) - clientWidth + 640,
                   (outer.bottom - outer.top) - clientHeight + 480};
}

void KeepClientSize(HWND hwnd, WPARAM kind, LPARAM clientSize) {
  if (kind == SIZE_MINIMIZED) return;
  RECT outer;
  if (!GetWindowRect(hwnd, &outer)) return;
  // The client size is unsigned in the message's two halves.
  const int width = static_cast<int>(LOWORD(clientSize));
  const int height = static_cast<int>(HIWORD(clientSize));
  const OuterSize size = OuterSizeForClient(outer, width, height);
  MoveWindow(hwnd, outer.left, outer.top, size.width, size.height, TRUE);
}
