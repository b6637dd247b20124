// The window model: the message queue, the two programs' window procedures,
// their start-up, loop and way out over a platform that notes what is done
// to it. The error report's boxes and lines on standard error are held by
// e2e_sound_failure and e2e_no_display, as players meet them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/null/layer.h"
#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/program.h"
#include "shell/window_events.h"
#include "shell/window_messages.h"
#include "support/test_support.h"
#include "windowed/program.h"

namespace {

using Log = std::vector<std::string>;

class LoggingProc final : public WindowProcedure {
 public:
  Log* log = nullptr;
  std::int64_t Handle(PlatformWindow*, std::uint32_t message, std::uint64_t, std::int64_t) override {
    if (log != nullptr) log->push_back("message " + std::to_string(message));
    return message == 1000 ? 42 : 0;
  }
};

TEST(MessageQueue, OrderPostedThenQuitThenPlatformEvents) {
  MessageQueue queue;
  LoggingProc proc;
  PlatformWindow* hwnd = queue.CreateWindow(proc);
  PushedInput source;
  source.Attach(queue, hwnd);
  source.Key(0x42, true);
  queue.PostMessage(hwnd, 1000, 2, -7);
  queue.PostMessage(hwnd, 1000, 3);
  queue.PostQuitMessage(7);
  std::vector<std::uint64_t> order;
  for (Message m; queue.PeekMessage(m);) order.push_back(m.message == WM_QUIT_MSG ? 100 + m.wParam : m.wParam);
  EXPECT_EQ(order, (std::vector<std::uint64_t>{2, 3, 107, 0x42}));  // the quit comes once
  EXPECT_EQ(queue.DispatchMessage({hwnd, 1000, 0, 0}), 42);
}

TEST(MessageQueue, DestroyingSendsTheDestroyedMessageThenReleasesOnce) {
  MessageQueue queue;
  Log log;
  LoggingProc proc;
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
    LoggingProc proc;
    PlatformWindow* hwnd = queue.CreateWindow(proc);
    Event_Proc(queue, KeyCodeFromParam(key), hwnd);
    Message m;
    ASSERT_EQ(queue.PeekMessage(m), key == 0x1B) << key;
    if (key == 0x1B) {
      EXPECT_EQ(std::tie(m.hwnd, m.message, m.wParam, m.lParam), std::make_tuple(hwnd, 16u, 0ull, 0ll));
    }
  }
}

// The null clock moves a frame's worth at each counter reading and a
// sleep's length at each sleep, and reads it in microseconds and milliseconds;
// the null display is a back buffer in the program's format.
TEST(NullPlatform, ClockAndBackBuffer) {
  NullClock clock;
  EXPECT_EQ(clock.QueryPerformanceFrequency(), 1000000);
  EXPECT_EQ(clock.QueryPerformanceCounter(), 20001);
  clock.Sleep(1000);
  EXPECT_EQ(clock.timeGetTime(), 1020u);
  NullPlatform platform(Program::FullScreen);
  auto gs = std::make_unique<GameState>();
  ASSERT_TRUE(platform.DD_INIT(*gs));
  ASSERT_NE(gs->DDBack, nullptr);
  EXPECT_EQ(static_cast<SoftSurface*>(gs->DDBack)->format(), PixelFormat::Rgb565);
}

// The null clock, noting the timer period around the loop.
class PeriodClock final : public NullClock {
 public:
  explicit PeriodClock(Log& log) : log_(log) {}
  void timeBeginPeriod(std::uint32_t ms) override { log_.push_back("period " + std::to_string(ms)); }
  void timeEndPeriod(std::uint32_t) override { log_.push_back("period restored"); }

 private:
  Log& log_;
};

// The null platform noting what the program does to it, in order. After
// the frame `escapeAfter` the player presses Escape (auto-repeat brings it
// twice); after the next, were the game still running, the desktop would
// ask to close.
class LoggingPlatform final : public NullPlatform {
 public:
  Log log;
  bool windowOpens = true, displayWorks = true, soundWorks = true;
  int escapeAfter = 2;

  explicit LoggingPlatform(Program program) : NullPlatform(program) {}

  Clock& clock() override { return periods_; }
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue, WindowProcedure& procedure) override {
    if (!windowOpens) return nullptr;
    log.push_back("window opened");
    NullPlatform::OpenWindow(gs, queue, procedure);
    // Gone with the queue's window: its native release.
    gs.hwnd->releaseNative = [this] { log.push_back("window gone"); };
    return gs.hwnd;
  }
  bool DD_INIT(GameState& gs) override {
    log.push_back(displayWorks ? "display opened" : "display failed");
    return displayWorks && NullPlatform::DD_INIT(gs);
  }
  void DD_END(GameState& gs) override {
    log.push_back("display released");
    NullPlatform::DD_END(gs);
  }
  void DD_Present(GameState&) override {
    // A frame runs only when no message waits.
    EXPECT_FALSE(player.waiting());
    log.push_back("frame");
    if (++frames_ == escapeAfter + 1) player.CloseButton();
    if (frames_ != escapeAfter) return;
    player.Key(VK_ESCAPE_KEY, true);
    player.Key(VK_ESCAPE_KEY, true, true);
  }
  bool DS_INIT(GameState&) override {
    log.push_back(soundWorks ? "sound opened" : "sound failed");
    return soundWorks;
  }
  void DS_END(GameState&) override { log.push_back("sound released"); }
  void ShowCursor(bool show) override { log.push_back(show ? "cursor shown" : "cursor hidden"); }
  void MinimizeWindow(PlatformWindow*) override { log.push_back("minimised"); }

 private:
  int frames_ = 0;
  PeriodClock periods_{log};
};

// Runs a program over a logging platform with the given devices working.
struct Outcome { int status; Log log; std::vector<std::string> boxes; };
Outcome RunOver(const ProgramDefinition& program, bool window, bool display, bool sound) {
  LoggingPlatform platform(program.id);
  platform.windowOpens = window;
  platform.displayWorks = display;
  platform.soundWorks = sound;
  testing_support::ScopedTempDir dir;  // no settings or course: the built-in ones
  ::testing::internal::CaptureStderr();
  const int status = RunProgram(program, platform);
  ::testing::internal::GetCapturedStderr();
  return {status, platform.log, platform.boxes};
}

const std::string kDisplayBox = std::string("owned |") + kDisplayStartFailed;
const std::string kSoundBox = std::string("owned |") + kSoundStartFailed;

// Each program over devices that work or fail: what it does to the
// platform, in order, its messages and its status.
TEST(Programs, StartUpLoopAndWayOut) {
  const ProgramDefinition& full = kFullScreenProgram;
  const ProgramDefinition& windowed = windowed::kWindowedProgram;
  // A windowed device that fails shows the entry's message and posts the
  // close request, which the loop takes before any frame.
  const Log windowedClosed{"period 1", "sound released", "display released", "window gone", "period restored"};
  // The windowed failures' log: from the fourth entry on.
  struct Case { const ProgramDefinition& program; bool window, display, sound; int status; Log log, boxes; };
  const Case cases[] = {
      {full, true, true, true, 0,
       {"window opened", "display opened", "sound opened", "cursor hidden", "period 1", "frame", "frame",
        "cursor shown", "display released", "sound released", "minimised", "window gone", "period restored"},
       {}},
      {full, true, false, true, 1,
       {"window opened", "display failed", "sound released", "display released", "window gone"}, {kDisplayBox}},
      {full, true, true, false, 1,
       {"window opened", "display opened", "sound failed", "sound released", "display released", "window gone"},
       {kSoundBox}},
      {full, false, true, true, 1, {}, {}},
      // The cursor is never hidden, nor the window minimised; sound goes first.
      {windowed, true, true, true, 0,
       {"window opened", "display opened", "sound opened", "period 1", "frame", "frame", "sound released",
        "display released", "window gone", "period restored"},
       {}},
      {windowed, true, false, true, 1, windowedClosed, {kDisplayBox}},
      {windowed, true, true, false, 1, windowedClosed, {kSoundBox}},
      {windowed, true, false, false, 1, windowedClosed, {kDisplayBox, kSoundBox}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(&c.program == &full ? "full screen" : "windowed") + (c.window ? "" : ", no window") +
                 (c.display ? "" : ", no display") + (c.sound ? "" : ", no sound"));
    const Outcome run = RunOver(c.program, c.window, c.display, c.sound);
    EXPECT_EQ(run.status, c.status);
    const bool tail = &c.program == &windowed && c.status != 0;
    EXPECT_EQ(tail ? Log(run.log.begin() + 3, run.log.end()) : run.log, c.log);
    EXPECT_EQ(run.boxes, c.boxes);
  }
}

}  // namespace
