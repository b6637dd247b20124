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

PlatformWindow* WebPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                        WindowProcedure& procedure) {
  gs.hwnd = queue.CreateWindow(procedure, nullptr, [] { racer_show_window(0); });
  player.Attach(queue, gs.hwnd);
  racer_show_window(1);
  return gs.hwnd;
}

bool WebPlatform::ShowMessageBox(PlatformWindow*, const char* text, const char* caption) {
  racer_alert(text, caption);
  return true;
}

void WebPlatform::ShowCursor(bool show) { racer_show_cursor(show ? 1 : 0); }
