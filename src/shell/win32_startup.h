// What both Windows programs do alike around their start-up and shut-down.
#pragma once

#include "shell/error_report.h"
#include "shell/game_state.h"
#include "shell/win32_api.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"


// Standard error as bytes: the messages go out in UTF-8 exactly as the
// Linux build writes them, without a carriage return added.
void UseBinaryStandardError();

// Message boxes with MessageBoxW, owned by the window where there is one.
// With the display device open the desktop's surface is put on the screen
// first, so that the box can be seen over the exclusive mode.
void InstallWin32MessageBox(GameState& gs);

// The game's model of the native window; destroying it destroys the window.
PlatformWindow* AdoptWindow(MessageQueue& queue, WindowProcedure& procedure, HWND hwnd);

// The window system's side of the devices: cursor, minimising, and the
// release operations of the program's own display device.
class Win32ShellDevices final : public ShellDevices {
 public:
  using DisplayEnd = void (*)(GameState&);
  explicit Win32ShellDevices(DisplayEnd displayEnd) : displayEnd_(displayEnd) {}

  void ShowCursor(bool show) override;
  void DD_END(GameState& gs) override;
  void DS_END(GameState& gs) override;
  void CloseWindow(PlatformWindow* hwnd) override;

 private:
  DisplayEnd displayEnd_;
};

// After a start-up that failed: releases what was opened, sound before
// display, and destroys the window. Returns the exit status, 1.
int EndFailedStart(GameState& gs, MessageQueue& queue, ShellDevices& devices);
