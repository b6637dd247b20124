// The page's entry: either program's run (shell/frame_loop.h), its passes
// driven from the page's animation frames instead of a loop that waits. The
// page (page.js) calls these.
#include <emscripten.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "headless/file_check.h"
#include "headless/test_mode.h"
#include "platform/web/course_strip.h"
#include "platform/web/layer.h"
#include "shell/frame_loop.h"
#include "shell/pacing.h"
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
  Run(const ProgramDefinition& program, std::unique_ptr<TestMode> testMode)
      : platform(program.id), test(std::move(testMode)), game(program, platform, test.get()) {}

  WebPlatform platform;
  std::unique_ptr<TestMode> test;  // the script's keys instead of the page's
  GameRun game;
  FramePacer pacer;
  long long frame = 0;
  TickState state = kRunning;

  // A start-up failure ends the run before any frame: the full-screen
  // program's took the window with it, the windowed one's posted the close
  // request, which goes first.
  bool Start() {
    if (!game.Start() || !game.DispatchMessages()) End();
    return state == kRunning;
  }

  // The quit message came: the run's end, as the desktop loop's.
  void End() {
    state = kEnded;
    game.End();
  }

  void Tick(std::int64_t nowMicroseconds) {
    if (state != kRunning) return;
    if (!game.DispatchMessages()) {
      End();
      return;
    }
    const int due = pacer.FramesDue(nowMicroseconds);
    for (int k = 0; k < due; ++k) {
      ++frame;
      if (game.Frame()) {
        state = kPictured;
        break;
      }
    }
    // Only the last of several frames is worth showing.
    if (due > 0) game.Present();
  }

  // As the close button would: the devices go with the window.
  void Close() {
    if (state != kRunning) return;
    game.Close();
    game.DispatchMessages();
  }
};

std::unique_ptr<Run> run;

bool Start(const ProgramDefinition& program, long long testFrame) {
  if (run) run->Close();
  run.reset();
  std::unique_ptr<TestMode> test;
  if (testFrame > 0) {
    test = std::make_unique<TestMode>();
    std::string error;
    if (!test->Start({kTestScriptPath, testFrame, ""}, error)) {
      std::fprintf(stderr, "test mode: %s\n", error.c_str());
      return false;
    }
  }
  run = std::make_unique<Run>(program, std::move(test));
  return run->Start();
}

}  // namespace

extern "C" {

// Starts `fullScreen` ? racer : racer_window, ending a run still going.
// With testFrame > 0 the test mode plays the script the page put in
// /tmp/script.txt and stops after that frame. 1 when the game started.
EMSCRIPTEN_KEEPALIVE int web_start(int fullScreen, int testFrame) {
  return Start(fullScreen != 0 ? kFullScreenProgram : windowed::kWindowedProgram, testFrame) ? 1 : 0;
}

// An animation frame at `nowMilliseconds` of the page's clock: the waiting
// messages, then the frames due. Answers 0 while the game runs, 1 once it
// has ended, 2 once the test mode's frame is on the canvas.
EMSCRIPTEN_KEEPALIVE int web_tick(double nowMilliseconds) {
  if (!run) return kEnded;
  run->Tick(static_cast<std::int64_t>(nowMilliseconds * 1000.0));
  return run->state;
}

// What the game will make of the data files in its folder, as racer_check
// says it: a line "FILE:LINE: message" for each diagnostic.
EMSCRIPTEN_KEEPALIVE const char* web_check() {
  static std::string text;
  text.clear();
  for (const file_check::Diagnostic& d : file_check::Check().diagnostics) text += file_check::Line(d) + "\n";
  return text.c_str();
}

// The running game's course map with its car, as the M key draws it
// (course_strip.h); the car's position in 1024ths of a section.
EMSCRIPTEN_KEEPALIVE const std::uint8_t* web_run_strip() {
  if (!run) return nullptr;
  const GameState& gs = run->game.gs();
  return DrawCourseStrip(gs.mapDataX, gs.carPosition);
}
EMSCRIPTEN_KEEPALIVE double web_car_position() { return run ? run->game.gs().carPosition : 0; }

// The frames played so far.
EMSCRIPTEN_KEEPALIVE double web_frame() { return run ? static_cast<double>(run->frame) : 0; }

// The game's keys for the page: a line "KEY CODE" for each, KEY being the
// KeyboardEvent.key in upper case.
EMSCRIPTEN_KEEPALIVE const char* web_key_names() {
  static const std::string names = [] {
    std::string text;
    for (const GameKey& key : kGameKeys) {
      text.append(key.pageName).append(" ").append(std::to_string(key.virtualKey)).append("\n");
    }
    return text;
  }();
  return names.c_str();
}

EMSCRIPTEN_KEEPALIVE void web_key(int virtualKey, int down, int repeat) {
  if (run) run->platform.player.Key(virtualKey, down != 0, repeat != 0);
}

// The page lost the keyboard: no key-up will come.
EMSCRIPTEN_KEEPALIVE void web_blur() {
  if (run) run->platform.player.LoseFocus();
}

// The first gamepad: its X axis (-1 to 1) and its first four buttons as
// bits 0 to 3.
EMSCRIPTEN_KEEPALIVE void web_gamepad(int connected, double axis, int buttons) {
  if (!run) return;
  run->platform.player.Joystick(connected != 0,
                                {JoystickXFromAxis(axis), static_cast<std::uint32_t>(buttons) & 15u});
}

}  // extern "C"
