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
  // A desktop-sized window is no exclusive mode: the box shows over it as it
  // is, so there is no surface to switch back to first.
  ShowMessage(gs.hwnd, text, kErrorCaption);
  return false;
}
