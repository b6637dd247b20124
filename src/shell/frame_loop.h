// The message loop, which is also the frame loop: one message per pass,
// and a frame only while no message is waiting.
#pragma once

#include <functional>

#include "shell/game_state.h"
#include "shell/pacing.h"
#include "shell/platform.h"
#include "shell/window_messages.h"

// Runs until the quit message and returns its parameter. `frame` runs
// whenever the queue is empty.
int RunMessageLoop(MessageQueue& queue, const std::function<void()>& frame);

// What differs between the two programs within a frame.
class FrameScreen {
 public:
  virtual void BackInit(GameState& gs) = 0;  // clear the back buffer
  virtual void Present(GameState& gs) = 0;   // copy it to the screen

 protected:
  ~FrameScreen() = default;
};

// One frame: clear, the game's frame, the wait, then the picture. The wait
// comes before the copy so that frames reach the screen evenly spaced.
void RunFrame(GameState& gs, InputDevice& input, Clock& clock, FrameScreen& screen);
