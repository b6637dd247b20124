// The page's entry: both programs' start-up as their entries have it, and
// their frame loop driven from the page's animation frames instead of a
// loop that waits. The page (page.js) calls these.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "platform/web/layer.h"
#include "shell/frame_loop.h"
#include "shell/pacing.h"
#include "shell/program.h"
#include "shell/window_events.h"
#include "windowed/main_wnd_proc.h"
#include "windowed/primitives.h"
#include "windowed/program.h"

namespace {

// One game frame for every 16.666 ms of the page's clock, however often the
// display asks for a picture: none, one or several per animation frame. A
// stall longer than a few frames (a hidden tab) is not made up for.
class FramePacer {
 public:
  int FramesDue(std::int64_t nowMicroseconds) {
    if (!started_) {
      started_ = true;
      last_ = nowMicroseconds;
      return 0;
    }
    const std::int64_t due = (nowMicroseconds - last_) / kFramePeriodMicroseconds;
    if (due <= 0) return 0;
    if (due > kMostFramesAtOnce) {
      last_ = nowMicroseconds;
      return 1;
    }
    last_ += due * kFramePeriodMicroseconds;
    return static_cast<int>(due);
  }

 private:
  static constexpr std::int64_t kMostFramesAtOnce = 8;
  bool started_ = false;
  std::int64_t last_ = 0;
};

// What web_tick answers.
enum TickState { kRunning = 0, kEnded = 1, kPictured = 2 };

// Where the page puts the test mode's input script.
constexpr char kTestScriptPath[] = "/tmp/script.txt";

// One run of a program, from its start-up to its quit message.
struct Run {
  explicit Run(Program program) : program(program), platform(program) {}

  Program program;
  WebPlatform platform;
  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  MessageQueue queue;
  // The program's window procedure: one of the two.
  std::unique_ptr<WindowProc> fullScreenProcedure;
  std::unique_ptr<MainWndProc> windowedProcedure;
  FramePacer pacer;
  long long frame = 0;
  // The test mode: the script's keys instead of the page's, and the
  // picture after frame testFrame.
  std::unique_ptr<ScriptInput> script;
  long long testFrame = 0;
  TickState state = kRunning;

  InputDevice& input() { return script ? *script : platform.input(); }

  // The window's messages, one at a time, until none is waiting. False once
  // the quit message came.
  bool DispatchMessages() {
    int exitCode = 0;
    for (;;) {
      switch (DispatchOneMessage(queue, exitCode)) {
        case LoopPass::Dispatched: continue;
        case LoopPass::Quit: state = kEnded; return false;
        case LoopPass::Empty: return true;
      }
    }
  }

  void Tick(std::int64_t nowMicroseconds) {
    if (state != kRunning || !DispatchMessages()) return;
    const int due = pacer.FramesDue(nowMicroseconds);
    for (int k = 0; k < due; ++k) {
      ++frame;
      if (script) script->BeginFrame(frame);
      HeadlessFrame(*gs, program, input());
      if (script && frame == testFrame) {
        state = kPictured;
        break;
      }
    }
    // Only the last of several frames is worth showing.
    if (due > 0) platform.devices().DD_Present(*gs);
  }

  // As the close button would: the devices go with the window.
  void Close() {
    if (state != kRunning) return;
    queue.PostMessage(gs->hwnd, WM_CLOSE_MSG, 0, 0);
    while (DispatchMessages()) {
    }
  }
};

std::unique_ptr<Run> run;

bool Start(Program program, long long testFrame) {
  if (run) run->Close();
  run = std::make_unique<Run>(program);
  Run& r = *run;
  if (testFrame > 0) {
    std::vector<ScriptFrame> frames;
    if (const std::string error = ReadInputScript(kTestScriptPath, frames); !error.empty()) {
      std::fprintf(stderr, "test mode: %s\n", error.c_str());
      run.reset();
      return false;
    }
    r.script = std::make_unique<ScriptInput>(std::move(frames));
    r.testFrame = testFrame;
  }
  GameState& gs = *r.gs;
  const ShellDevices& devices = r.platform.devices();
  bool started = false;
  if (program == Program::FullScreen) {
    r.fullScreenProcedure = std::make_unique<WindowProc>(gs, r.queue, devices);
    r.platform.OpenWindow(gs, r.queue, *r.fullScreenProcedure);
    started = StartDevices(gs, r.queue, devices);
    if (!started) r.state = kEnded;
  } else {
    r.windowedProcedure = std::make_unique<MainWndProc>(gs, r.queue, devices);
    r.platform.OpenWindow(gs, r.queue, *r.windowedProcedure);
    started = windowed::StartDevices(gs, r.queue, devices);
    gs.dispColor = windowed::kStartShade;
    // The close request a failure posted goes before any frame.
    if (!started) r.DispatchMessages();
  }
  return started;
}

}  // namespace

extern "C" {

// Starts `fullScreen` ? racer : racer_window, ending a run still going.
// With testFrame > 0 the test mode plays the script the page put in
// /tmp/script.txt and stops after that frame. 1 when the game started.
EMSCRIPTEN_KEEPALIVE int web_start(int fullScreen, int testFrame) {
  return Start(fullScreen != 0 ? Program::FullScreen : Program::Windowed, testFrame) ? 1 : 0;
}

// An animation frame at `nowMilliseconds` of the page's clock: the waiting
// messages, then the frames due. Answers 0 while the game runs, 1 once it
// has ended, 2 once the test mode's frame is on the canvas.
EMSCRIPTEN_KEEPALIVE int web_tick(double nowMilliseconds) {
  if (!run) return kEnded;
  run->Tick(static_cast<std::int64_t>(nowMilliseconds * 1000.0));
  return run->state;
}

// The frames played so far.
EMSCRIPTEN_KEEPALIVE double web_frame() { return run ? static_cast<double>(run->frame) : 0; }

EMSCRIPTEN_KEEPALIVE void web_key(int virtualKey, int down, int repeat) {
  if (!run) return;
  if (down != 0) {
    run->platform.KeyDown(virtualKey, repeat != 0);
  } else {
    run->platform.keysAndPad().keys.KeyUp(virtualKey);
  }
}

// The page lost the keyboard: no key-up will come.
EMSCRIPTEN_KEEPALIVE void web_blur() {
  if (run) run->platform.keysAndPad().keys.ReleaseAll();
}

// The first gamepad: its X axis (-1 to 1) and its first four buttons as
// bits 0 to 3.
EMSCRIPTEN_KEEPALIVE void web_gamepad(int connected, double axis, int buttons) {
  if (!run) return;
  WebInput& input = run->platform.keysAndPad();
  input.padConnected = connected != 0;
  input.pad.xPos = JoystickXFromAxis(axis);
  input.pad.buttons = static_cast<std::uint32_t>(buttons) & 15u;
}

}  // extern "C"
