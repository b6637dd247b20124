// One run of a program, from its start-up to its quit message: Start, then
// passes of every waiting message and the frames due, then End. The desktop
// loop (RunProgram) makes a pass of one frame whenever no message waits,
// waits out the frame before showing it, and ends with End's exit status.
// The page makes a pass per animation frame with the frames its clock says
// are due, and calls End once the quit message has come.
#pragma once

#include <memory>

#include "game_state.h"
#include "platform_api.h"
#include "shell/player_input.h"
#include "shell/program.h"
#include "shell/window_messages.h"

// A script played in place of the player (the test modes).
class FrameScript {
 public:
  // Before each frame: what the game polls in it.
  virtual InputDevice& BeginFrame() = 0;
  // After each frame; true after the script's last frame, once whatever it
  // keeps of that frame is kept.
  virtual bool AfterFrame(GameState& gs) = 0;
  // Keeping the last frame failed.
  virtual bool failed() const = 0;

 protected:
  ~FrameScript() = default;
};

// One frame as `program` draws it, without the wait and the picture: the
// program's clear of gs.DDBack, then Main_Proc.
void GameFrame(GameState& gs, const ProgramDefinition& program, InputDevice& input);

class GameRun {
 public:
  GameRun(const ProgramDefinition& program, Platform& platform, FrameScript* script = nullptr);
  ~GameRun();
  GameRun(const GameRun&) = delete;
  GameRun& operator=(const GameRun&) = delete;

  // Makes the window with the program's procedure and opens the devices,
  // then takes the first timer readings, sets the starting shade and raises
  // the timer resolution. False when there is nothing to run: no window, or
  // a failure that took the window with it.
  bool Start();
  // Takes the waiting messages one at a time and dispatches them. False
  // once the quit message came.
  bool DispatchMessages();
  // One frame (GameFrame) with the player's keys or the script's. True
  // after the script's last frame.
  bool Frame();
  void Present() { platform_.DD_Present(*gs_); }
  // The close request, as the window's close button sends it.
  void Close() { queue_.PostMessage(gs_->hwnd, WM_CLOSE_MSG, 0, 0); }
  // Restores the timer resolution. The exit status: 0 after a normal quit,
  // 1 when a device could not start or the script failed.
  int End();

  GameState& gs() { return *gs_; }

 private:
  const ProgramDefinition& program_;
  Platform& platform_;
  FrameScript* script_;
  std::unique_ptr<GameState> gs_;
  MessageQueue queue_;
  PlayerInput player_;
  Platform* previousBoxes_;
  std::unique_ptr<WindowProcedure> procedure_;
  bool started_ = false;
  bool periodRaised_ = false;
};

// Runs `program` over `platform` until the quit message: the window, the
// devices, the pacing and the loop, one message at a time and a frame
// whenever none waits. With a script, its keys drive the game and the game
// closes after its last frame. Returns the exit status: 0 after a normal
// quit, 1 when the program could not start or the script failed.
int RunProgram(const ProgramDefinition& program, Platform& platform,
               FrameScript* script = nullptr);
