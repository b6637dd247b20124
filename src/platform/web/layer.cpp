#include "platform/web/layer.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "platform/web/browser.h"
#include "shell/window_messages.h"

std::uint32_t JoystickXFromAxis(double axis) {
  if (std::isnan(axis)) return 32768;
  const double x = std::round(axis * 32768.0) + 32768.0;
  return static_cast<std::uint32_t>(std::clamp(x, 0.0, 65535.0));
}

std::int64_t WebClock::QueryPerformanceCounter() {
  return static_cast<std::int64_t>(emscripten_get_now() * 1000.0);
}

std::uint32_t WebClock::timeGetTime() {
  return static_cast<std::uint32_t>(static_cast<std::int64_t>(emscripten_get_now()));
}

bool WebPlatform::JoyGetPos(JoystickInfo& info) {
  if (!padConnected_) return false;
  info = pad_;
  return true;
}

PlatformWindow* WebPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                        WindowProcedure& procedure) {
  window_ = queue.CreateWindow(procedure, nullptr, [] { racer_show_window(0); });
  gs.hwnd = window_;
  queue.SetEventSource(&events_);
  racer_show_window(1);
  return window_;
}

bool WebPlatform::ShowMessageBox(PlatformWindow*, const char* text, const char* caption) {
  racer_alert(text, caption);
  return true;
}

void WebPlatform::ShowCursor(bool show) { racer_show_cursor(show ? 1 : 0); }

void WebPlatform::Send(std::uint32_t message, int virtualKey, std::int64_t lParam) {
  if (window_ != nullptr) {
    events_.Push({window_, message, static_cast<std::uint64_t>(virtualKey), lParam});
  }
}

void WebPlatform::Key(int virtualKey, bool down, bool repeat) {
  // Auto-repeat comes through as further key-downs, as the window system
  // sends them; only the key-state bit ignores it.
  Send(down ? WM_KEYDOWN_MSG : WM_KEYUP_MSG, virtualKey, repeat ? kKeyRepeatBit : 0);
}

void WebPlatform::LoseFocus() { Send(WM_KILLFOCUS_MSG, 0, 0); }

void WebPlatform::Gamepad(bool connected, double axis, int buttons) {
  padConnected_ = connected;
  pad_.xPos = JoystickXFromAxis(axis);
  pad_.buttons = static_cast<std::uint32_t>(buttons) & 15u;
}
