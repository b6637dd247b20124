#include "shell/error_report.h"

#include <cstdio>
#include <utility>

namespace {
Platform* boxes = nullptr;
}  // namespace

Platform* SetMessageBoxes(Platform* platform) { return std::exchange(boxes, platform); }

void ShowMessage(PlatformWindow* owner, const char* text, const char* caption) {
  // Standard error first: if the box cannot be shown, or never gets closed,
  // the text is already out.
  std::fprintf(stderr, "%s\n", text);
  std::fflush(stderr);
  if (boxes != nullptr) boxes->ShowMessageBox(owner, text, caption);
}

bool Error(GameState& gs, const char* text) {
  // Where the display holds the screen exclusively (DirectDraw's full screen
  // on Windows) the platform's box puts the desktop's surface back first so
  // that it can be seen; elsewhere it shows over the window as it is.
  ShowMessage(gs.hwnd, text, kErrorCaption);
  return false;
}
