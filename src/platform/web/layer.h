// The browser under one of the game's programs: the page's keys as window
// events and its first gamepad as joystick 1, the page's clock, the canvas
// as the window and screen with the software back buffer drawing its texts
// from the glyph table (display.cpp, glyph_table.h), Web Audio as the sound
// device (sound.cpp) and alert as the message box. A page cannot block: its
// animation frames drive the run (game.cpp).
#pragma once

#include "platform/web/glyph_table.h"
#include "platform_api.h"
#include "shell/pushed_input.h"

// The gamepad API's X axis (-1 to 1) as the game's 0 to 65535, centre 32768.
std::uint32_t JoystickXFromAxis(double axis);

// performance.now(). Frames are paced by animation frames, so nothing waits
// on this clock.
class WebClock final : public Clock {
 public:
  std::int64_t QueryPerformanceCounter() override;
  std::int64_t QueryPerformanceFrequency() override { return 1000000; }
  std::uint32_t timeGetTime() override;
  void Sleep(std::uint32_t) override {}
};

namespace web {
bool DD_INIT(GameState& gs, Program program, soft::Faces& faces);
void DD_END(GameState& gs);
void DD_Present(GameState& gs);
bool DS_INIT(GameState& gs);
void DS_END(GameState& gs);
}  // namespace web

class WebPlatform final : public Platform {
 public:
  explicit WebPlatform(Program program) : program_(program) {}

  bool JoyGetPos(JoystickInfo& info) override { return player.JoyGetPos(info); }
  Clock& clock() override { return clock_; }
  // The canvas is the window.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;
  bool ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) override;
  bool DD_INIT(GameState& gs) override { return web::DD_INIT(gs, program_, faces_); }
  void DD_END(GameState& gs) override { web::DD_END(gs); }
  void DD_Present(GameState& gs) override { web::DD_Present(gs); }
  bool DS_INIT(GameState& gs) override { return web::DS_INIT(gs); }
  void DS_END(GameState& gs) override { web::DS_END(gs); }
  void ShowCursor(bool show) override;
  // A page has no window to minimise.
  void MinimizeWindow(PlatformWindow*) override {}

  // The page's keys and focus, and its first gamepad as joystick 1.
  PushedInput player;

 private:
  Program program_;
  WebClock clock_;
  web_glyphs::TableFaces faces_;
};
