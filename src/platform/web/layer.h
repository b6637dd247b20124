// The browser under one of the game's programs: the keys and the first
// gamepad as the page hands them in, the page's clock, the program's
// devices and its window, which is the page's canvas.
#pragma once

#include <deque>

#include "platform_api.h"
#include "shell/key_state.h"

class WebInput final : public InputDevice {
 public:
  std::uint16_t GetAsyncKeyState(int virtualKey) override { return keys.Query(virtualKey); }
  // False while no gamepad is plugged in.
  bool JoyGetPos(JoystickInfo& info) override;

  KeyStateTracker keys;
  bool padConnected = false;
  JoystickInfo pad;
};

// The gamepad API's X axis (-1 to 1) as the game's 0 to 65535, centre 32768.
std::uint32_t JoystickXFromAxis(double axis);

// The page's keys as the window's messages, in the order they came.
class WebEvents final : public EventSource {
 public:
  bool Poll(Message& out) override;
  void Push(const Message& message) { waiting_.push_back(message); }

 private:
  std::deque<Message> waiting_;
};

// performance.now(). A page cannot block: frames are paced by animation
// frames (FramePacer), so nothing waits on this clock.
class WebClock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override { return 1000000; }
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t) override {}
};

class WebPlatform final : public Platform {
 public:
  explicit WebPlatform(Program program);

  InputDevice& input() override { return input_; }
  Clock& clock() override { return clock_; }
  const ShellDevices& devices() override { return devices_; }
  // The canvas is the window; alerts are the message boxes.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;

  WebInput& keysAndPad() { return input_; }
  // A key going down also reaches the window as a key-down message.
  void KeyDown(int virtualKey, bool repeat);

 private:
  WebInput input_;
  WebClock clock_;
  WebEvents events_;
  ShellDevices devices_;
  PlatformWindow* window_ = nullptr;
};
