// The player's input as a platform is told of it, for platforms that are
// handed their input rather than asking for it (the page, the null
// platform): keys, focus and the close button become the window's events in
// the order they came, and joystick 1 answers as it was last seen.
#pragma once

#include <deque>

#include "platform_api.h"
#include "shell/window_messages.h"

class PushedInput final : public EventSource {
 public:
  // From now on the events go to `window` through `queue`.
  void Attach(MessageQueue& queue, PlatformWindow* window);

  // A key going down (or its auto-repeat) or up; the window losing the
  // keyboard; the window's close button. Nothing before a window is there.
  void Key(int virtualKey, bool down, bool repeat = false);
  void LoseFocus();
  void CloseButton();
  bool waiting() const { return !waiting_.empty(); }

  // Joystick 1 as last seen; none until it is plugged in.
  void Joystick(bool present, const JoystickInfo& info = {});
  bool JoyGetPos(JoystickInfo& info) const;

  bool Poll(Message& out) override;

 private:
  void Send(std::uint32_t message, int virtualKey, std::int64_t lParam);

  PlatformWindow* window_ = nullptr;
  std::deque<Message> waiting_;
  bool joystickPresent_ = false;
  JoystickInfo joystick_;
};
