#include "platform/web/layer.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/web/browser.h"
#include "shell/error_report.h"
#include "shell/window_messages.h"

bool WebInput::JoyGetPos(JoystickInfo& info) {
  if (!padConnected) return false;
  info = pad;
  return true;
}

std::uint32_t JoystickXFromAxis(double axis) {
  if (std::isnan(axis)) return 32768;
  const double x = std::round(axis * 32768.0) + 32768.0;
  return static_cast<std::uint32_t>(std::clamp(x, 0.0, 65535.0));
}

bool WebEvents::Poll(Message& out) {
  if (waiting_.empty()) return false;
  out = waiting_.front();
  waiting_.pop_front();
  return true;
}

std::int64_t WebClock::QueryPerformanceCounter() {
  return static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
}

std::uint32_t WebClock::timeGetTime() {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(emscripten_get_now()));
}

namespace {

void ShowCursor(bool show) { racer_show_cursor(show ? 1 : 0); }

// A page has no window to minimise.
void CloseWindow(PlatformWindow*) {}

}  // namespace

WebPlatform::WebPlatform(Program program)
    : devices_(DevicesFor(program, &ShowCursor, &CloseWindow)) {}

PlatformWindow* WebPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                        WindowProcedure& procedure) {
  SetMessageBoxPresenter([](PlatformWindow*, const char* text, const char* caption) {
    racer_alert(text, caption);
    return true;
  });
  window_ = queue.CreateWindow(procedure, nullptr, [] { racer_show_window(0); });
  gs.hwnd = window_;
  queue.SetEventSource(&events_);
  racer_show_window(1);
  return window_;
}

void WebPlatform::KeyDown(int virtualKey, bool repeat) {
  input_.keys.KeyDown(virtualKey, repeat);
  // Auto-repeat comes through as further key-downs, as the window system
  // sends them; only the key-state bit ignores it.
  if (window_ != nullptr) {
    events_.Push({window_, WM_KEYDOWN_MSG, static_cast<std::uint64_t>(virtualKey), 0});
  }
}
