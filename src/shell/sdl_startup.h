// What both SDL programs do alike around their start-up and shut-down.
#pragma once

#include "shell/error_report.h"
#include "shell/game_state.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"


// SDL's video, events and joysticks, and message boxes. False when there
// is no display to be had; joysticks are optional.
bool StartSdl();

// Makes the program's window, hands it to the queue with its procedure and
// shows it; the game's window handle goes to `gs.hwnd`. False, with the
// display's message shown and SDL ended, when no window can be had.
struct GameWindowShape {
  const char* title;
  int x, y, width, height;
  unsigned flags;  // SDL window flags beside hidden-until-ready
};
bool OpenGameWindow(GameState& gs, MessageQueue& queue, WindowProcedure& procedure,
                    const GameWindowShape& shape);

// The window system's side of the devices: cursor, minimising, and the
// release operations of the program's own display device.
class SdlShellDevices final : public ShellDevices {
 public:
  using DisplayEnd = void (*)(GameState&);
  explicit SdlShellDevices(DisplayEnd displayEnd) : displayEnd_(displayEnd) {}

  void ShowCursor(bool show) override;
  void DD_END(GameState& gs) override;
  void DS_END(GameState& gs) override;
  void CloseWindow(PlatformWindow* hwnd) override;

 private:
  DisplayEnd displayEnd_;
};

// After a start-up that failed: releases what was opened, in the order the
// close handling would, and ends SDL. Returns the exit status, 1.
int EndFailedStart(GameState& gs, MessageQueue& queue, ShellDevices& devices);
