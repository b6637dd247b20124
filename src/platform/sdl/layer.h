// Linux: SDL2 under one of the game's programs. SDL started and ended, the
// program's window, keys as window events, joystick 1, the monotonic clock,
// the window's own surface as the screen with the software back buffer
// (display.h), the default playback device as the sound device, and a
// message box drawn with the game's own fonts (message_box.h). Nothing of
// SDL shows through this header.
#pragma once

#include <memory>

#include "platform/sdl/display.h"
#include "platform_api.h"

struct ProgramDefinition;

class SdlPlatform final : public Platform {
 public:
  explicit SdlPlatform(Program program);
  // Ends SDL, after the joystick is closed.
  ~SdlPlatform();
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  bool JoyGetPos(JoystickInfo& info) override;
  Clock& clock() override;

  // Starts SDL's video, events and joysticks and makes the window: for the
  // full-screen program a borderless one over the desktop, for the windowed
  // one "VELTIX RACE" with a 640x480 client area. Without a display, or
  // without a window, the display's start-up message is shown and there is
  // no window.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;
  bool ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) override;

  // The devices of display.h.
  bool DD_INIT(GameState& gs) override;
  void DD_END(GameState& gs) override { sdl::DD_END(gs); }
  void DD_Present(GameState& gs) override { sdl::DD_Present(gs); }
  bool DS_INIT(GameState& gs) override { return sdl::DS_INIT(gs); }
  void DS_END(GameState& gs) override { sdl::DS_END(gs); }
  void ShowCursor(bool show) override;
  void MinimizeWindow(PlatformWindow* hwnd) override;

 private:
  struct Parts;  // SDL's own: joystick, timers, events

  Program program_;
  bool started_ = false;
  std::unique_ptr<Parts> parts_;
};

// A program's entry: `program` run (RunProgram) over the platform made for
// it. Returns the exit status.
int SdlMain(const ProgramDefinition& program);
