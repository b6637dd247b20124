// The window model: the message queue, the two programs' window procedures,
// their start-up, loop and way out over a platform that notes what is done
// to it, and the error report.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/program.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"
#include "support/test_support.h"
#include "windowed/program.h"

namespace {

using Log = std::vector<std::string>;

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

class NullProc final : public WindowProcedure {
 public:
  Log* log = nullptr;
  std::int64_t Handle(PlatformWindow*, std::uint32_t message, std::uint64_t, std::int64_t) override {
    if (log != nullptr) log->push_back("message " + std::to_string(message));
    return message == 1000 ? 42 : 0;
  }
};

TEST(MessageQueue, OrderPostedThenQuitThenPlatformEvents) {
  MessageQueue queue;
  NullProc proc;
  PlatformWindow* hwnd = queue.CreateWindow(proc);
  ScriptedSource source;
  source.events.push_back({hwnd, 1000, 1, 0});
  queue.SetEventSource(&source);
  queue.PostMessage(hwnd, 1000, 2, -7);
  queue.PostMessage(hwnd, 1000, 3);
  queue.PostQuitMessage(7);
  std::vector<std::uint64_t> order;
  for (Message m; queue.PeekMessage(m);) order.push_back(m.message == WM_QUIT_MSG ? 100 + m.wParam : m.wParam);
  EXPECT_EQ(order, (std::vector<std::uint64_t>{2, 3, 107, 1}));  // the quit comes once
  EXPECT_EQ(queue.DispatchMessage({hwnd, 1000, 0, 0}), 42);
}

TEST(MessageQueue, DestroyingSendsTheDestroyedMessageThenReleasesOnce) {
  MessageQueue queue;
  Log log;
  NullProc proc;
  proc.log = &log;
  PlatformWindow* hwnd = queue.CreateWindow(proc, &log, [&] { log.push_back("released"); });
  queue.PostMessage(hwnd, 1000);  // queued while the window lived
  EXPECT_TRUE(queue.DestroyWindow(hwnd));
  EXPECT_FALSE(queue.DestroyWindow(hwnd));
  EXPECT_EQ(log, (Log{"message 2", "released"}));
  EXPECT_EQ(hwnd->native, nullptr);
  // Nothing reaches a window that is gone, nor a handle that never was one.
  PlatformWindow stranger;
  for (PlatformWindow* w : {hwnd, &stranger, static_cast<PlatformWindow*>(nullptr)}) {
    EXPECT_FALSE(queue.IsWindow(w));
    EXPECT_FALSE(queue.PostMessage(w, WM_CLOSE_MSG));
    EXPECT_EQ(queue.SendMessage(w, 1000), 0);
  }
  Message m;
  ASSERT_TRUE(queue.PeekMessage(m));
  EXPECT_EQ(queue.DispatchMessage(m), 0);
  EXPECT_EQ(log.size(), 2u);
  // The default handling of a close request destroys the window; of
  // anything else, nothing.
  PlatformWindow* second = queue.CreateWindow(proc);
  queue.DefWindowProc(second, WM_KEYDOWN_MSG, VK_ESCAPE_KEY, 0);
  EXPECT_TRUE(queue.IsWindow(second));
  queue.DefWindowProc(second, WM_CLOSE_MSG, 0, 0);
  EXPECT_FALSE(queue.IsWindow(second));
}

TEST(EventProc, EscapeAloneAsksTheWindowToClose) {
  for (std::uint64_t key : {0x1Bull, 0x11Bull, 0ull, 0x25ull, 0x42ull, 0x0Dull, 0xFFull, ~0ull}) {
    MessageQueue queue;
    NullProc proc;
    PlatformWindow* hwnd = queue.CreateWindow(proc);
    Event_Proc(queue, KeyCodeFromParam(key), hwnd);
    Message m;
    ASSERT_EQ(queue.PeekMessage(m), key == 0x1B) << key;
    if (key == 0x1B) {
      EXPECT_EQ(std::tie(m.hwnd, m.message, m.wParam, m.lParam), std::make_tuple(hwnd, 16u, 0ull, 0ll));
    }
  }
}

// A clock on which a frame's wait ends at once.
class FastClock final : public Clock {
 public:
  explicit FastClock(Log& log) : log_(log) {}
  std::int64_t QueryPerformanceCounter() override { return count_ += 20000; }
  std::int64_t QueryPerformanceFrequency() override { return 1000000; }
  std::uint32_t timeGetTime() override { return ticks_ += 20; }
  void Sleep(std::uint32_t) override {}
  void timeBeginPeriod(std::uint32_t ms) override { log_.push_back("period " + std::to_string(ms)); }
  void timeEndPeriod(std::uint32_t) override { log_.push_back("period restored"); }

 private:
  Log& log_;
  std::int64_t count_ = 1;
  std::uint32_t ticks_ = 0;
};

// A platform that notes what the program does to it, in order. Its events
// come from a script; after the frame `escapeAfter` the player presses
// Escape (auto-repeat brings it twice) and the desktop asks to close too.
class FakePlatform final : public Platform {
 public:
  Log log;
  bool windowOpens = true, displayWorks = true, soundWorks = true;
  int escapeAfter = 2;

  FakePlatform() {
    devices_ = {[this](GameState&) { return Note(displayWorks ? "display opened" : "display failed", displayWorks); },
                [this](GameState&) { log.push_back("display released"); },
                [this](GameState&) { log.push_back("frame"); },
                [this](GameState&) { return Note(soundWorks ? "sound opened" : "sound failed", soundWorks); },
                [this](GameState&) { log.push_back("sound released"); },
                [this](bool show) { log.push_back(show ? "cursor shown" : "cursor hidden"); },
                [this](PlatformWindow*) { log.push_back("minimised"); }};
  }
  InputDevice& input() override { return input_; }
  Clock& clock() override { return clock_; }
  const ShellDevices& devices() override { return devices_; }
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue, WindowProcedure& procedure) override {
    if (!windowOpens) return nullptr;
    log.push_back("window opened");
    gs.hwnd = queue.CreateWindow(procedure, nullptr, [this] { log.push_back("window gone"); });
    queue.SetEventSource(&source_);
    return gs.hwnd;
  }
  void AfterFrame(GameState& gs) override {
    if (++frames_ != escapeAfter) return;
    const Message escape{gs.hwnd, WM_KEYDOWN_MSG, VK_ESCAPE_KEY, 0};
    source_.events = {escape, escape, {gs.hwnd, WM_CLOSE_MSG, 0, 0}};
  }
  // A frame runs only when no message waits.
  void BeforeFrame() override { EXPECT_TRUE(source_.events.empty()); }

 private:
  bool Note(const char* what, bool result) {
    log.push_back(what);
    return result;
  }
  testing_support::FakeInput input_;
  FastClock clock_{log};
  ShellDevices devices_;
  ScriptedSource source_;
  int frames_ = 0;
};

class Programs : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetMessageBoxPresenter([this](PlatformWindow*, const char* text, const char* caption) {
      boxes.push_back(std::string(caption) + "|" + text);
      return true;
    });
    ::testing::internal::CaptureStderr();
  }
  void TearDown() override {
    ::testing::internal::GetCapturedStderr();
    SetMessageBoxPresenter(previous_);
  }
  testing_support::ScopedTempDir dir_;  // no settings or course: the built-in ones
  std::vector<std::string> boxes;
  FakePlatform platform;

 private:
  MessageBoxPresenter previous_;
};

const std::string kDisplayBox = std::string("|") + kDisplayStartFailed;
const std::string kSoundBox = std::string("|") + kSoundStartFailed;

TEST_F(Programs, FullScreenPlaysUntilEscape) {
  EXPECT_EQ(RunProgram(platform), 0);
  EXPECT_EQ(platform.log, (Log{"window opened", "display opened", "sound opened", "cursor hidden", "period 1",
                               "frame", "frame", "cursor shown", "display released", "sound released",
                               "minimised", "window gone", "period restored"}));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(Programs, FullScreenDeviceFailures) {
  struct Case {
    bool display, sound;
    Log log;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {
      {false, true, {"window opened", "display failed", "sound released", "display released", "window gone"},
       {kDisplayBox}},
      {true, false,
       {"window opened", "display opened", "sound failed", "sound released", "display released", "window gone"},
       {kSoundBox}},
  };
  for (const Case& c : cases) {
    FakePlatform p;
    p.displayWorks = c.display;
    p.soundWorks = c.sound;
    boxes.clear();
    EXPECT_EQ(RunProgram(p), 1);
    EXPECT_EQ(p.log, c.log);
    EXPECT_EQ(boxes, c.boxes);
  }
  FakePlatform noWindow;
  noWindow.windowOpens = false;
  EXPECT_EQ(RunProgram(noWindow), 1);
  EXPECT_TRUE(noWindow.log.empty());
}

TEST_F(Programs, WindowedPlaysUntilEscapeReleasingSoundFirst) {
  EXPECT_EQ(windowed::RunProgram(platform), 0);
  // The cursor is never hidden, nor the window minimised.
  EXPECT_EQ(platform.log, (Log{"window opened", "display opened", "sound opened", "period 1", "frame", "frame",
                               "sound released", "display released", "window gone", "period restored"}));
}

// A device that fails shows the entry's message and posts the close request,
// which the loop takes before any frame.
TEST_F(Programs, WindowedDeviceFailuresCloseBeforeAnyFrame) {
  struct Case {
    bool display, sound;
    std::vector<std::string> boxes;
  };
  const Case cases[] = {{false, true, {kDisplayBox}}, {true, false, {kSoundBox}}, {false, false, {kDisplayBox, kSoundBox}}};
  for (const Case& c : cases) {
    FakePlatform p;
    p.displayWorks = c.display;
    p.soundWorks = c.sound;
    boxes.clear();
    EXPECT_EQ(windowed::RunProgram(p), 1);
    EXPECT_EQ(Log(p.log.begin() + 3, p.log.end()),
              (Log{"period 1", "sound released", "display released", "window gone", "period restored"}));
    EXPECT_EQ(boxes, c.boxes);
  }
}

TEST(ErrorReport, BoxOwnedByTheWindowAndStandardError) {
  std::vector<std::string> boxes;
  const MessageBoxPresenter previous =
      SetMessageBoxPresenter([&](PlatformWindow* owner, const char* text, const char* caption) {
        boxes.push_back(std::string(owner != nullptr ? "owned " : "") + caption + "|" + text);
        return true;
      });
  auto gs = testing_support::NewState();
  PlatformWindow window;
  for (PlatformWindow* owner : {&window, static_cast<PlatformWindow*>(nullptr)}) {
    gs->hwnd = owner;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(Error(*gs, "フルスクリーン化できません"));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "フルスクリーン化できません\n");
  }
  EXPECT_EQ(boxes, (std::vector<std::string>{"owned エラー発生|フルスクリーン化できません",
                                             "エラー発生|フルスクリーン化できません"}));
  // Without a box, standard error alone.
  SetMessageBoxPresenter({});
  ::testing::internal::CaptureStderr();
  ShowMessage(nullptr, kSoundStartFailed, "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(kSoundStartFailed) + "\n");
  SetMessageBoxPresenter(previous);
}

}  // namespace
