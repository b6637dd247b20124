// SDL under one of the game's programs: SDL started and ended, the
// program's window, its devices, the keys, joystick and timers, and the
// message box. Nothing of SDL shows through this header.
#pragma once

#include <memory>

#include "platform_api.h"

class SdlPlatform final : public Platform {
 public:
  explicit SdlPlatform(Program program);
  // Ends SDL, after the joystick is closed.
  ~SdlPlatform();
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  InputDevice& input() override;
  Clock& clock() override;
  const ShellDevices& devices() override { return devices_; }

  // Starts SDL's video, events and joysticks and makes the window: for the
  // full-screen program a borderless one over the desktop, for the windowed
  // one "VELTIX RACE" with a 640x480 client area. Without a display, or
  // without a window, the display's start-up message is shown and there is
  // no window.
  PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                             WindowProcedure& procedure) override;

 private:
  struct Parts;  // SDL's own: keys and joystick, timers, events

  Program program_;
  bool started_ = false;
  ShellDevices devices_;
  std::unique_ptr<Parts> parts_;
};
