// Windows under one of the game's programs: the program's window class and
// window, its devices, the keys, joystick and timers, the message box, and
// the test mode that plays an input script instead of the keyboard.
#pragma once

#include <memory>

#include "platform_api.h"
#include "platform/win32/api.h"
#include "platform/win32/clock.h"
#include "platform/win32/events.h"
#include "platform/win32/input.h"
#include "platform/win32/test_mode.h"

class Win32Platform final : public Platform {
 public:
  // Standard error becomes bytes: the messages go out in UTF-8 exactly as
  // the Linux build writes them, without a carriage return added.
  Win32Platform(Program program, HINSTANCE instance, int showMode);
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Reads the test mode's settings and script (test_mode.h). False, with
  // the reason on standard error, when it was asked for and cannot run.
  bool StartTestMode();

  InputDevice& input() override;
  Clock& clock() override { return clock_; }
  const ShellDevices& devices() override { return devices_; }

  // Registers the program's window class and makes its window: a pop-up
  // over the whole screen, or a captioned window whose client area is kept
  // at 640x480. Null, without a message, when either fails.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;

  void BeforeFrame() override { test_.BeforeFrame(); }
  // After the frame the test mode pictures: the close request.
  void AfterFrame(GameState& gs) override;
  int QuitStatus() override { return test_.failed() ? 1 : 0; }

 private:
  Program program_;
  HINSTANCE instance_;
  int showMode_;
  Win32Input keyboard_;
  Win32Clock clock_;
  ShellDevices devices_;
  TestMode test_;
  MessageQueue* queue_ = nullptr;
  std::unique_ptr<Win32EventSource> events_;
};
