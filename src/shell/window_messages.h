// The game's window messages: a queue of posted messages, taken one at a
// time without waiting, and the windows they are dispatched to. Platform-
// free; the platform's own events come in through an EventSource.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "shell/game_state.h"

// Message numbers, as the window procedures know them.
enum WindowMessage : std::uint32_t {
  WM_NULL_MSG = 0,  // a platform event the game has no use for
  WM_DESTROY_MSG = 2,
  WM_CLOSE_MSG = 16,
  WM_QUIT_MSG = 18,
  WM_KEYDOWN_MSG = 256,
};

struct Message {
  PlatformWindow* hwnd = nullptr;
  std::uint32_t message = WM_NULL_MSG;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
};

class WindowProcedure {
 public:
  virtual std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message,
                              std::uint64_t wParam, std::int64_t lParam) = 0;

 protected:
  ~WindowProcedure() = default;
};

// Where the platform's input and window events come from. Poll returns
// false when none is waiting; it never waits.
class EventSource {
 public:
  virtual bool Poll(Message& out) = 0;

 protected:
  ~EventSource() = default;
};

// A window as the message model sees it. The handle stays valid memory for
// the life of the queue, so a stale handle can still be asked about.
struct PlatformWindow {
  WindowProcedure* procedure = nullptr;
  void* native = nullptr;  // the platform's window, for message boxes
  std::function<void()> releaseNative;
  bool alive = true;
  bool destroying = false;
};

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

  std::size_t pending() const { return posted_.size(); }

 private:
  std::vector<std::unique_ptr<PlatformWindow>> windows_;
  std::deque<Message> posted_;
  EventSource* source_ = nullptr;
  bool quitPosted_ = false;
  int quitCode_ = 0;
};
