#include "shell/pushed_input.h"

void PushedInput::Attach(MessageQueue& queue, PlatformWindow* window) {
  window_ = window;
  queue.SetEventSource(this);
}

void PushedInput::Send(std::uint32_t message, int virtualKey, std::int64_t lParam) {
  if (window_ != nullptr) {
    waiting_.push_back({window_, message, static_cast<std::uint64_t>(virtualKey), lParam});
  }
}

void PushedInput::Key(int virtualKey, bool down, bool repeat) {
  // Auto-repeat comes through as further key-downs, as the window system
  // sends them; only the key-state bit ignores it.
  Send(down ? WM_KEYDOWN_MSG : WM_KEYUP_MSG, virtualKey, repeat ? kKeyRepeatBit : 0);
}

void PushedInput::LoseFocus() { Send(WM_KILLFOCUS_MSG, 0, 0); }

void PushedInput::CloseButton() { Send(WM_CLOSE_MSG, 0, 0); }

void PushedInput::Joystick(bool present, const JoystickInfo& info) {
  joystickPresent_ = present;
  joystick_ = info;
}

bool PushedInput::JoyGetPos(JoystickInfo& info) const {
  if (!joystickPresent_) return false;
  info = joystick_;
  return true;
}

bool PushedInput::Poll(Message& out) {
  if (waiting_.empty()) return false;
  out = waiting_.front();
  waiting_.pop_front();
  return true;
}
