// The message loop, which is also the frame loop: one message per pass,
// and a frame only while no message is waiting.
#pragma once

#include <functional>

#include "game_state.h"
#include "platform_api.h"
#include "shell/window_messages.h"

// One pass of the loop without the frame: takes one message and dispatches
// it, unless it is the quit message, whose parameter goes to `exitCode`.
enum class LoopPass { Dispatched, Quit, Empty };
LoopPass DispatchOneMessage(MessageQueue& queue, int& exitCode);

// Runs until the quit message and returns its parameter. `frame` runs
// whenever the queue is empty.
int RunMessageLoop(MessageQueue& queue, const std::function<void()>& frame);

// One frame: the program's clear (`backInit`), the game's frame, the wait,
// then the picture. The wait comes before the copy so that frames reach the
// screen evenly spaced.
void RunFrame(GameState& gs, Platform& platform, void (*backInit)(GameState&));
