// Windows' window messages feeding the game's message model: the native
// window procedure hands the messages the game's procedures handle (key
// down, close request) to them, and the loop's event source takes one native
// message per pass with PeekMessage.
#pragma once

#include "platform/win32/api.h"
#include "shell/window_messages.h"

// From now on the native window of `window` passes its key-down and close
// messages to the game's procedure through `queue`. One window per program.
void BindGameWindow(MessageQueue& queue, PlatformWindow* window);

// The native procedure of the game's window: key down and the close request
// to the game's procedure; the destroyed message needs nothing more, since
// the game's procedure destroyed the window itself; everything else gets the
// default handling.
LRESULT CALLBACK Win32GameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// One native message per poll, translated and dispatched to the native
// procedure; it reaches the game's message loop as a message the game's
// window leaves alone. A native quit message comes through as the quit
// message.
class Win32EventSource final : public EventSource {
 public:
  explicit Win32EventSource(PlatformWindow* hwnd) : hwnd_(hwnd) {}
  bool Poll(Message& out) override;

 private:
  PlatformWindow* hwnd_;
};
