#include "shell/window_messages.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

class RecordingProc final : public WindowProcedure {
 public:
  explicit RecordingProc(MessageQueue& queue) : queue_(queue) {}
  std::vector<std::uint32_t> received;
  std::vector<bool> aliveWhenReceived;
  bool destroyAgainOnDestroy = false;
  bool destroyAgainResult = true;

  std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message, std::uint64_t wParam,
                      std::int64_t lParam) override {
    received.push_back(message);
    aliveWhenReceived.push_back(queue_.IsWindow(hwnd));
    if (message == WM_DESTROY_MSG && destroyAgainOnDestroy) {
      destroyAgainResult = queue_.DestroyWindow(hwnd);
    }
    if (message == 1000) return 42;
    return queue_.DefWindowProc(hwnd, message, wParam, lParam);
  }

 private:
  MessageQueue& queue_;
};

class FakeSource final : public EventSource {
 public:
  std::deque<Message> events;
  int polls = 0;
  bool Poll(Message& out) override {
    ++polls;
    if (events.empty()) return false;
    out = events.front();
    events.pop_front();
    return true;
  }
};

class MessageQueueTest : public ::testing::Test {
 protected:
  MessageQueue queue;
  RecordingProc proc{queue};
  int released = 0;
  PlatformWindow* hwnd = queue.CreateWindow(proc, &released, [this] { ++released; });
};

TEST_F(MessageQueueTest, EmptyQueueGivesNothing) {
  Message m;
  EXPECT_FALSE(queue.PeekMessage(m));
}

TEST_F(MessageQueueTest, TakesPostedMessagesOneAtATimeInOrder) {
  ASSERT_TRUE(queue.PostMessage(hwnd, 256, 27, 0));
  ASSERT_TRUE(queue.PostMessage(hwnd, 16, 0, 0));
  ASSERT_TRUE(queue.PostMessage(hwnd, 1000, 5, -7));
  Message m;
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(m.message, 256u);
  EXPECT_EQ(m.wParam, 27u);
  EXPECT_EQ(queue.pending(), 2u);
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(m.message, 16u);
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(m.message, 1000u);
  EXPECT_EQ(m.hwnd, hwnd);
  EXPECT_EQ(m.wParam, 5u);
  EXPECT_EQ(m.lParam, -7);
  EXPECT_FALSE(queue.PeekMessage(m));
  EXPECT_TRUE(proc.received.empty());  // peeking dispatches nothing
}

TEST_F(MessageQueueTest, QuitComesAfterPostedMessagesAndOnlyOnce) {
  queue.PostQuitMessage(7);
  queue.PostMessage(hwnd, 1000);
  Message m;
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(m.message, 1000u);
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(m.message, static_cast<std::uint32_t>(WM_QUIT_MSG));
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_FALSE(queue.PeekMessage(m));
}

TEST_F(MessageQueueTest, PlatformEventsComeAfterPostedMessagesAndQuit) {
  FakeSource source;
  source.events.push_back(Message{hwnd, 1000, 1, 0});
  queue.SetEventSource(&source);
  queue.PostMessage(hwnd, 1000, 2);
  queue.PostQuitMessage(0);
  std::vector<std::uint64_t> order;
  Message m;
  while (queue.PeekMessage(m)) order.push_back(m.message == WM_QUIT_MSG ? 99 : m.wParam);
  EXPECT_EQ(order, (std::vector<std::uint64_t>{2, 99, 1}));
}

TEST_F(MessageQueueTest, DispatchReachesTheProcedureAndReturnsItsResult) {
  EXPECT_EQ(queue.DispatchMessage(Message{hwnd, 1000, 0, 0}), 42);
  EXPECT_EQ(proc.received, std::vector<std::uint32_t>{1000});
}

TEST_F(MessageQueueTest, DestroyWindowSendsDestroyedThenReleasesOnce) {
  EXPECT_TRUE(queue.DestroyWindow(hwnd));
  EXPECT_EQ(proc.received, std::vector<std::uint32_t>{WM_DESTROY_MSG});
  EXPECT_EQ(proc.aliveWhenReceived, std::vector<bool>{true});
  EXPECT_EQ(released, 1);
  EXPECT_FALSE(queue.IsWindow(hwnd));
  EXPECT_EQ(hwnd->native, nullptr);
  EXPECT_FALSE(queue.DestroyWindow(hwnd));
  EXPECT_EQ(released, 1);
  EXPECT_EQ(proc.received.size(), 1u);
}

TEST_F(MessageQueueTest, DestroyingFromTheDestroyedMessageDoesNothingMore) {
  proc.destroyAgainOnDestroy = true;
  EXPECT_TRUE(queue.DestroyWindow(hwnd));
  EXPECT_FALSE(proc.destroyAgainResult);
  EXPECT_EQ(proc.received.size(), 1u);
  EXPECT_EQ(released, 1);
}

TEST_F(MessageQueueTest, NothingReachesAWindowThatIsGone) {
  queue.PostMessage(hwnd, 1000);  // queued while the window lived
  queue.DestroyWindow(hwnd);
  proc.received.clear();
  EXPECT_FALSE(queue.PostMessage(hwnd, 16));
  EXPECT_EQ(queue.pending(), 1u);
  Message m;
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(queue.DispatchMessage(m), 0);
  EXPECT_EQ(queue.SendMessage(hwnd, 16), 0);
  EXPECT_TRUE(proc.received.empty());
}

TEST_F(MessageQueueTest, NullAndForeignHandlesAreNoWindows) {
  PlatformWindow stranger;
  EXPECT_FALSE(queue.IsWindow(nullptr));
  EXPECT_FALSE(queue.IsWindow(&stranger));
  EXPECT_FALSE(queue.PostMessage(nullptr, 16));
  EXPECT_FALSE(queue.PostMessage(&stranger, 16));
  EXPECT_FALSE(queue.DestroyWindow(nullptr));
  EXPECT_EQ(queue.pending(), 0u);
}

TEST_F(MessageQueueTest, DefaultHandlingOfTheCloseRequestDestroysTheWindow) {
  EXPECT_EQ(queue.DefWindowProc(hwnd, 1000, 0, 0), 0);
  EXPECT_TRUE(queue.IsWindow(hwnd));
  EXPECT_EQ(queue.DefWindowProc(hwnd, WM_KEYDOWN_MSG, 27, 0), 0);
  EXPECT_TRUE(queue.IsWindow(hwnd));
  EXPECT_EQ(queue.DefWindowProc(hwnd, WM_CLOSE_MSG, 0, 0), 0);
  EXPECT_FALSE(queue.IsWindow(hwnd));
  EXPECT_EQ(released, 1);
}

TEST_F(MessageQueueTest, WindowsAreIndependent) {
  RecordingProc other(queue);
  PlatformWindow* second = queue.CreateWindow(other);
  queue.DestroyWindow(hwnd);
  EXPECT_TRUE(queue.IsWindow(second));
  EXPECT_TRUE(queue.PostMessage(second, 1000));
  EXPECT_TRUE(other.received.empty());
  EXPECT_TRUE(queue.DestroyWindow(second));  // no native release given
}

}  // namespace
