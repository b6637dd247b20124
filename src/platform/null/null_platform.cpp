#include "platform/null/null_platform.h"

NullPlatform::~NullPlatform() = default;

void NullPlatform::Send(std::uint32_t message, int virtualKey, std::int64_t lParam) {
  events_.Push({window_, message, static_cast<std::uint64_t>(virtualKey), lParam});
}

void NullPlatform::Press(int virtualKey, bool repeat) {
  Send(WM_KEYDOWN_MSG, virtualKey, repeat ? kKeyRepeatBit : 0);
}

void NullPlatform::Release(int virtualKey) { Send(WM_KEYUP_MSG, virtualKey); }

void NullPlatform::LoseFocus() { Send(WM_KILLFOCUS_MSG, 0); }

void NullPlatform::PressCloseButton() { Send(WM_CLOSE_MSG, 0); }

bool NullPlatform::JoyGetPos(JoystickInfo& info) {
  if (!joystickPresent) return false;
  info = joystick;
  return true;
}

PlatformWindow* NullPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                         WindowProcedure& procedure) {
  window_ = queue.CreateWindow(procedure);
  gs.hwnd = window_;
  queue.SetEventSource(&events_);
  return window_;
}

bool NullPlatform::DD_INIT(GameState& gs) {
  back_ = std::make_unique<SoftSurface>(BackBufferFormat(program_));
  gs.DDBack = back_.get();
  return true;
}

void NullPlatform::DD_END(GameState& gs) {
  gs.DDBack = nullptr;
  back_.reset();
}
