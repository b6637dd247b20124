// Keeping the windowed program's client area at 640x480 whatever the
// caption and border sizes of the desktop's theme, or on a display scaled
// above 100 % at the size Windows would have stretched it to (the programs
// say in their manifest that they scale themselves).
#pragma once

#include "platform/win32/api.h"

struct OuterSize {
  int width = 0;
  int height = 0;
};

// The client area for a display of `dpi` (96 at 100 %): 640x480 scaled.
OuterSize ClientSizeForDpi(unsigned dpi);

// The display's scale where the window is, in dots per inch.
unsigned WindowDpi(HWND hwnd);

// The outer size that gives a client area of `wanted`, from the outer
// rectangle now and the client size a size notification reports.
OuterSize OuterSizeForClient(const RECT& outer, int clientWidth, int clientHeight,
                             OuterSize wanted = {640, 480});

// The size notification's step: the window resized, at the same place, to
// the outer size above for the window's display. A minimised window reports a client area of nothing
// and is left alone, since growing it would spoil its restored size.
void KeepClientSize(HWND hwnd, WPARAM kind, LPARAM clientSize);
