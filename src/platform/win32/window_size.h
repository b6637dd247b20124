// Keeping the windowed program's client area at 640x480 whatever the
// caption and border sizes of the desktop's theme.
#pragma once

#include "platform/win32/api.h"

struct OuterSize {
  int width = 0;
  int height = 0;
};

// The outer size that gives a 640x480 client area, from the outer
// rectangle now and the client size a size notification reports.
OuterSize OuterSizeForClient(const RECT& outer, int clientWidth, int clientHeight);

// The size notification's step: the window resized, at the same place, to
// the outer size above. A minimised window reports a client area of nothing
// and is left alone, since growing it would spoil its restored size.
void KeepClientSize(HWND hwnd, WPARAM kind, LPARAM clientSize);
