// The game's window messages: a queue of posted messages, taken one at a
// time without waiting, and the windows they are dispatched to. The
// platform's own events come in through an EventSource.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "platform_api.h"

class MessageQueue {
 public:
  // `releaseNative` runs when the window is destroyed, after its
  // window-destroyed message has been handled.
  PlatformWindow* CreateWindow(WindowProcedure& procedure, void* native = nullptr,
                               std::function<void()> releaseNative = {});
  bool IsWindow(const PlatformWindow* hwnd) const;

  void SetEventSource(EventSource* source) { source_ = source; }

  // Returns false, and posts nothing, when the window is gone.
  bool PostMessage(PlatformWindow* hwnd, std::uint32_t message,
                   std::uint64_t wParam = 0, std::int64_t lParam = 0);
  void PostQuitMessage(int exitCode);

  // Takes one message without waiting: the posted ones first, then the quit
  // message, then the platform's events. Returns false when none is there.
  bool PeekMessage(Message& out);
  // Hands the message to its window's procedure; a message for a window
  // that is gone is dropped and gives 0.
  std::int64_t DispatchMessage(const Message& message);
  std::int64_t SendMessage(PlatformWindow* hwnd, std::uint32_t message,
                           std::uint64_t wParam = 0, std::int64_t lParam = 0);

  // What a window does with a message it leaves alone: a close request
  // destroys the window; everything else is ignored.
  std::int64_t DefWindowProc(PlatformWindow* hwnd, std::uint32_t message,
                             std::uint64_t wParam, std::int64_t lParam);
  // The window gets its window-destroyed message, then its native window is
  // released and the handle goes stale. False when it was already gone.
  bool DestroyWindow(PlatformWindow* hwnd);

 private:
  std::vector<std::unique_ptr<PlatformWindow>> windows_;
  std::deque<Message> posted_;
  EventSource* source_ = nullptr;
  bool quitPosted_ = false;
  int quitCode_ = 0;
};
