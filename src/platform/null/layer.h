// The null platform: the game's programs with no window system, no screen
// and no sound. Its window is only the message queue's, its display a
// software back buffer nobody sees, its clock one a test moves, and its
// input what a test pushes. The shell's tests run both programs over it.
//
// It is also the template of a new port, which starts from a copy of this
// folder. A platform is one folder of src/platform/, the only place that
// includes its system's headers, with:
//   layer.h, layer.cpp   a Platform (src/platform_api.h) made for a Program:
//                        its window, events, keys or joystick, clock, error
//                        box, display (DD_) and sound (DS_) devices; split
//                        further as the system needs (display.cpp, ...)
//   CMakeLists.txt       a library of the platform's files over racer_core
//                        (and racer_soft for the software back buffer), and
//                        add_subdirectory in src/
// The players' platforms add the two programs, each naming its program once,
// and build them in CMakeLists.txt:
//   layer.h, layer.cpp   int PMain(const ProgramDefinition& program): makes
//                        the platform for program.id and runs it with
//                        RunProgram (shell/frame_loop.h)
//   racer.cpp            int main() { return PMain(kFullScreenProgram); }
//   racer_window.cpp     int main() { return PMain(windowed::kWindowedProgram); }
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "media/soft_surface.h"
#include "platform_api.h"
#include "shell/pushed_input.h"

// A clock a test drives: every counter reading moves it on by `step`
// microseconds (a frame's worth by default, so a frame's wait ends at once),
// and sleeps move it on by their length.
class NullClock : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override { return now += step; }
  std::int64_t QueryPerformanceFrequency() override { return 1'000'000; }
  std::uint32_t timeGetTime() override { return static_cast<std::uint32_t>(now / 1000); }
  void Sleep(std::uint32_t milliseconds) override { now += std::int64_t{milliseconds} * 1000; }

  std::int64_t now = 1;
  std::int64_t step = 20'000;
};

class NullPlatform : public Platform {
 public:
  explicit NullPlatform(Program program) : program_(program) {}
  virtual ~NullPlatform();

  // What a player would do: keys, focus, the close button, joystick 1.
  PushedInput player;
  NullClock nullClock;
  // The message boxes nobody saw, each "CAPTION|TEXT", after "owned " when
  // it had an owner window.
  std::vector<std::string> boxes;

  bool JoyGetPos(JoystickInfo& info) override { return player.JoyGetPos(info); }
  Clock& clock() override { return nullClock; }
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;
  // There is nobody to show a box to: it is only kept in `boxes`.
  bool ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) override;
  bool DD_INIT(GameState& gs) override;
  void DD_END(GameState& gs) override;
  void DD_Present(GameState&) override {}
  bool DS_INIT(GameState&) override { return true; }
  void DS_END(GameState&) override {}
  void ShowCursor(bool) override {}
  void MinimizeWindow(PlatformWindow*) override {}

 private:
  Program program_;
  std::unique_ptr<SoftSurface> back_;
};
