#include "shell/window_events.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "shell/frame_loop.h"
#include "platform_api.h"
#include "windowed/main_wnd_proc.h"

namespace {

using Log = std::vector<std::string>;

// Devices that note what is done to them, in order.
ShellDevices RecordingDevices(Log& log) {
  return {[&log](GameState&) { log.push_back("display opened"); return true; },
          [&log](GameState&) { log.push_back("display released"); },
          [&log](GameState&) { log.push_back("presented"); },
          [&log](GameState&) { log.push_back("sound opened"); return true; },
          [&log](GameState&) { log.push_back("sound released"); },
          [&log](bool show) { log.push_back(show ? "cursor shown" : "cursor hidden"); },
          [&log](PlatformWindow*) { log.push_back("minimised"); }};
}

class ScriptedSource final : public EventSource {
 public:
  std::deque<Message> events;
  bool Poll(Message& out) override {
    if (events.empty()) return false;
    out = events.front();
    events.pop_front();
    return true;
  }
};

template <typename Proc>
class ShellFixture {
 public:
  ShellFixture() {
    gs->hwnd = queue.CreateWindow(proc, nullptr, [this] { log.push_back("window gone"); });
    queue.SetEventSource(&source);
  }
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  Log log;
  MessageQueue queue;
  ShellDevices devices = RecordingDevices(log);
  Proc proc{*gs, queue, devices};
  ScriptedSource source;

  Message KeyDown(int vk) const { return Message{gs->hwnd, WM_KEYDOWN_MSG, static_cast<std::uint64_t>(vk), 0}; }
  Message Close() const { return Message{gs->hwnd, WM_CLOSE_MSG, 0, 0}; }

  // Runs the loop; returns the number of frames.
  int Run(int* exitCode = nullptr) {
    int frames = 0;
    const int code = RunMessageLoop(queue, [&] {
      ++frames;
      log.push_back("frame");
      // A runaway loop fails the test instead of hanging it.
      if (frames > 100) queue.PostQuitMessage(-1);
    });
    if (exitCode != nullptr) *exitCode = code;
    return frames;
  }
};

TEST(EventProcTest, EscapePostsOneCloseRequest) {
  ShellFixture<WindowProc> f;
  Event_Proc(f.queue, VK_ESCAPE_KEY, f.gs->hwnd);
  ASSERT_EQ(f.queue.pending(), 1u);
  Message m;
  ASSERT_TRUE(f.queue.PeekMessage(m));
  EXPECT_EQ(m.hwnd, f.gs->hwnd);
  EXPECT_EQ(m.message, static_cast<std::uint32_t>(WM_CLOSE_MSG));
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_EQ(m.lParam, 0);
}

class OtherKeyTest : public ::testing::TestWithParam<int> {};

TEST_P(OtherKeyTest, PostsNothing) {
  ShellFixture<WindowProc> f;
  Event_Proc(f.queue, GetParam(), f.gs->hwnd);
  EXPECT_EQ(f.queue.pending(), 0u);
  // Through the window procedure too: default handling only.
  f.queue.DispatchMessage(f.KeyDown(GetParam()));
  EXPECT_EQ(f.queue.pending(), 0u);
  EXPECT_TRUE(f.log.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, OtherKeyTest,
                         ::testing::Values(0, VK_LEFT_KEY, VK_UP_KEY, VK_B_KEY, VK_C_KEY, 0x1A,
                                           0x1C, 0x0D, 0xFF));

TEST(EventProcTest, KeyCodeOutsideAByteIsNoEscape) {
  EXPECT_EQ(KeyCodeFromParam(27), 27);
  EXPECT_EQ(KeyCodeFromParam(0x11B), 0);
  EXPECT_EQ(KeyCodeFromParam(~std::uint64_t{0}), 0);
}

TEST(FullScreenCloseTest, ShowsCursorThenReleasesDisplayThenSoundThenDestroys) {
  ShellFixture<WindowProc> f;
  EXPECT_EQ(f.queue.DispatchMessage(f.Close()), 0);
  EXPECT_EQ(f.log, (Log{"cursor shown", "display released", "sound released", "minimised",
                        "window gone"}));
  EXPECT_FALSE(f.queue.IsWindow(f.gs->hwnd));
  Message m;
  ASSERT_TRUE(f.queue.PeekMessage(m));
  EXPECT_EQ(m.message, static_cast<std::uint32_t>(WM_QUIT_MSG));
  EXPECT_EQ(m.wParam, 0u);
}

TEST(FullScreenCloseTest, EscapeEndsTheLoopWithoutAnotherFrame) {
  ShellFixture<WindowProc> f;
  int frames = 0;
  // Two frames, then Escape.
  const int exitCode = RunMessageLoop(f.queue, [&] {
    f.log.push_back("frame");
    if (++frames == 2) f.source.events.push_back(f.KeyDown(VK_ESCAPE_KEY));
    if (frames > 100) f.queue.PostQuitMessage(-1);
  });
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(f.log, (Log{"frame", "frame", "cursor shown", "display released", "sound released",
                        "minimised", "window gone"}));
}

TEST(FullScreenCloseTest, RepeatedRequestsAfterTheWindowIsGoneAreHarmless) {
  ShellFixture<WindowProc> f;
  // Escape held: auto-repeat brings more key-downs before the close is
  // handled, and the desktop asks as well.
  f.source.events = {f.KeyDown(VK_ESCAPE_KEY), f.KeyDown(VK_ESCAPE_KEY), f.Close(),
                     f.KeyDown(VK_ESCAPE_KEY)};
  EXPECT_EQ(f.Run(), 0);
  EXPECT_EQ(f.log, (Log{"cursor shown", "display released", "sound released", "minimised",
                        "window gone"}));
  // Posting to the stale handle afterwards does nothing.
  EXPECT_FALSE(f.queue.PostMessage(f.gs->hwnd, WM_CLOSE_MSG));
  Event_Proc(f.queue, VK_ESCAPE_KEY, f.gs->hwnd);
  EXPECT_EQ(f.queue.pending(), 0u);
}

TEST(FullScreenCloseTest, DestroyedWindowPostsQuitAndDefaultHandlingRuns) {
  ShellFixture<WindowProc> f;
  f.queue.DestroyWindow(f.gs->hwnd);
  EXPECT_EQ(f.log, (Log{"window gone"}));  // no devices released from here
  Message m;
  ASSERT_TRUE(f.queue.PeekMessage(m));
  EXPECT_EQ(m.message, static_cast<std::uint32_t>(WM_QUIT_MSG));
}

TEST(FrameLoopTest, EachWaitingMessageIsHandledBeforeTheNextFrame) {
  ShellFixture<WindowProc> f;
  for (int i = 0; i < 5; ++i) f.source.events.push_back(Message{f.gs->hwnd, 1000, 0, 0});
  std::vector<std::size_t> waitingAtFrame;
  RunMessageLoop(f.queue, [&] {
    waitingAtFrame.push_back(f.source.events.size() + f.queue.pending());
    // Messages arriving during a frame delay the next one.
    if (waitingAtFrame.size() == 1) {
      f.source.events.push_back(Message{f.gs->hwnd, 1000, 0, 0});
      f.queue.PostMessage(f.gs->hwnd, 1000);
    }
    if (waitingAtFrame.size() == 3) f.queue.PostMessage(f.gs->hwnd, WM_CLOSE_MSG);
    if (waitingAtFrame.size() > 100) f.queue.PostQuitMessage(-1);
  });
  EXPECT_EQ(waitingAtFrame, (std::vector<std::size_t>{0, 0, 0}));
}

TEST(FrameLoopTest, QuitWithoutWindowEndsTheLoopWithItsCode) {
  MessageQueue queue;
  queue.PostQuitMessage(3);
  int frames = 0;
  EXPECT_EQ(RunMessageLoop(queue, [&] { ++frames; }), 3);
  EXPECT_EQ(frames, 0);
}

TEST(WindowedProcTest, CloseRequestDestroysTheWindowReleasingSoundBeforeDisplay) {
  ShellFixture<MainWndProc> f;
  EXPECT_EQ(f.queue.DispatchMessage(f.Close()), 0);
  // No cursor: it was never hidden. No minimising either.
  EXPECT_EQ(f.log, (Log{"sound released", "display released", "window gone"}));
  Message m;
  ASSERT_TRUE(f.queue.PeekMessage(m));
  EXPECT_EQ(m.message, static_cast<std::uint32_t>(WM_QUIT_MSG));
}

TEST(WindowedProcTest, EscapeThroughTheLoopClosesWithoutAnotherFrame) {
  ShellFixture<MainWndProc> f;
  f.source.events = {f.KeyDown(VK_LEFT_KEY), f.KeyDown(VK_ESCAPE_KEY), f.KeyDown(VK_ESCAPE_KEY)};
  int exitCode = -5;
  EXPECT_EQ(f.Run(&exitCode), 0);
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(f.log, (Log{"sound released", "display released", "window gone"}));
}

TEST(WindowedProcTest, StartUpFailureCloseComesBeforeAnyFrame) {
  ShellFixture<MainWndProc> f;
  // Both devices failed: two close requests were posted.
  f.queue.PostMessage(f.gs->hwnd, WM_CLOSE_MSG);
  f.queue.PostMessage(f.gs->hwnd, WM_CLOSE_MSG);
  EXPECT_EQ(f.Run(), 0);
  EXPECT_EQ(f.log, (Log{"sound released", "display released", "window gone"}));
}

TEST(WindowedProcTest, OtherMessagesChangeNothing) {
  ShellFixture<MainWndProc> f;
  EXPECT_EQ(f.queue.DispatchMessage(Message{f.gs->hwnd, 1000, 1, 2}), 0);
  EXPECT_EQ(f.queue.DispatchMessage(Message{f.gs->hwnd, WM_NULL_MSG, 0, 0}), 0);
  EXPECT_EQ(f.queue.DispatchMessage(f.KeyDown(VK_B_KEY)), 0);
  EXPECT_TRUE(f.log.empty());
  EXPECT_TRUE(f.queue.IsWindow(f.gs->hwnd));
  EXPECT_EQ(f.queue.pending(), 0u);
}

}  // namespace
