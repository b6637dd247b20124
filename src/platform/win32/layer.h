// Windows under one of the game's programs: the program's window class and
// window, its native messages (events.h), the system's own key state and
// joystick (input.h), the performance counter and winmm's timer (clock.h),
// DirectDraw with GDI drawing and DirectSound (display.h), and MessageBoxW.
#pragma once

#include <memory>

#include "platform_api.h"
#include "platform/win32/api.h"
#include "platform/win32/clock.h"
#include "platform/win32/events.h"

struct ProgramDefinition;

class Win32Platform final : public Platform {
 public:
  // Standard error becomes bytes: the messages go out in UTF-8 exactly as
  // the Linux build writes them, without a carriage return added.
  Win32Platform(Program program, HINSTANCE instance, int showMode);
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // Windows keeps the keys' state itself: the game asks it.
  std::optional<std::uint16_t> SystemKeyState(int virtualKey) override;
  bool JoyGetPos(JoystickInfo& info) override;
  Clock& clock() override { return clock_; }

  // Registers the program's window class and makes its window: a pop-up
  // over the whole screen, or a captioned window whose client area is kept
  // at 640x480. Null, without a message, when either fails.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;
  // MessageBoxW, owned by the window where there is one. With the display
  // device open the desktop's surface is put on the screen first, so that
  // the box can be seen over the exclusive mode.
  bool ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) override;

  bool DD_INIT(GameState& gs) override;
  void DD_END(GameState& gs) override;
  void DD_Present(GameState& gs) override;
  bool DS_INIT(GameState& gs) override;
  void DS_END(GameState& gs) override;
  void ShowCursor(bool show) override;
  void MinimizeWindow(PlatformWindow* hwnd) override;

 private:
  Program program_;
  HINSTANCE instance_;
  int showMode_;
  Win32Clock clock_;
  GameState* gs_ = nullptr;
  std::unique_ptr<Win32EventSource> events_;
};

// A program's entry: `program` run over the platform made for it, with the
// test mode of the environment (RunProgramOrTestMode). Returns the exit
// status.
int Win32Main(const ProgramDefinition& program, HINSTANCE instance, int showMode);
