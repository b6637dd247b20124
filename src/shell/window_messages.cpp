#include "shell/window_messages.h"

#include <algorithm>
#include <utility>

PlatformWindow* MessageQueue::CreateWindow(WindowProcedure& procedure, void* native,
                                           std::function<void()> releaseNative) {
  auto window = std::make_unique<PlatformWindow>();
  window->procedure = &procedure;
  window->native = native;
  window->releaseNative = std::move(releaseNative);
  windows_.push_back(std::move(window));
  return windows_.back().get();
}

bool MessageQueue::IsWindow(const PlatformWindow* hwnd) const {
  if (hwnd == nullptr) return false;
  const auto found = std::find_if(windows_.begin(), windows_.end(),
                                  [hwnd](const auto& w) { return w.get() == hwnd; });
  return found != windows_.end() && (*found)->alive;
}

bool MessageQueue::PostMessage(PlatformWindow* hwnd, std::uint32_t message,
                               std::uint64_t wParam, std::int64_t lParam) {
  if (!IsWindow(hwnd)) return false;
  posted_.push_back(Message{hwnd, message, wParam, lParam});
  return true;
}

void MessageQueue::PostQuitMessage(int exitCode) {
  quitPosted_ = true;
  quitCode_ = exitCode;
}

bool MessageQueue::PeekMessage(Message& out) {
  if (!posted_.empty()) {
    out = posted_.front();
    posted_.pop_front();
    return true;
  }
  if (quitPosted_) {
    quitPosted_ = false;
    out = Message{nullptr, WM_QUIT_MSG, static_cast<std::uint64_t>(quitCode_), 0};
    return true;
  }
  return source_ != nullptr && source_->Poll(out);
}

std::int64_t MessageQueue::DispatchMessage(const Message& message) {
  return SendMessage(message.hwnd, message.message, message.wParam, message.lParam);
}

std::int64_t MessageQueue::SendMessage(PlatformWindow* hwnd, std::uint32_t message,
                                       std::uint64_t wParam, std::int64_t lParam) {
  if (!IsWindow(hwnd)) return 0;
  return hwnd->procedure->Handle(hwnd, message, wParam, lParam);
}

std::int64_t MessageQueue::DefWindowProc(PlatformWindow* hwnd, std::uint32_t message,
                                         std::uint64_t, std::int64_t) {
  if (message == WM_CLOSE_MSG) DestroyWindow(hwnd);
  return 0;
}

bool MessageQueue::DestroyWindow(PlatformWindow* hwnd) {
  if (!IsWindow(hwnd) || hwnd->destroying) return false;
  hwnd->destroying = true;
  SendMessage(hwnd, WM_DESTROY_MSG);
  if (hwnd->releaseNative) std::exchange(hwnd->releaseNative, {})();
  hwnd->native = nullptr;
  hwnd->alive = false;
  return true;
}
