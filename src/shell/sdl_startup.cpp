#include "shell/sdl_startup.h"

#include <SDL.h>
#include <strings.h>

#include <cstring>

#include "media/sdl_sound.h"
#include "shell/error_report.h"
#include "shell/sdl_events.h"

namespace {

// Without a display SDL falls back to drivers that show nothing. Asked for
// by name (the tests do) they are fine; picked by SDL they mean no display.
bool ShowsAPicture() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver == nullptr) return false;
  if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  return asked != nullptr && strcasestr(asked, driver) != nullptr;
}

}  // namespace

bool StartSdl() {
  InstallSdlMessageBox();
  // The joystick is polled like the hardware: it answers whether or not
  // the window has the keyboard.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  if (!ShowsAPicture()) {
    SDL_Quit();
    return false;
  }
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  return true;
}

bool OpenGameWindow(GameState& gs, MessageQueue& queue, WindowProcedure& procedure,
                    const GameWindowShape& shape) {
  // Hidden until the queue knows it, so its first events find their procedure.
  SDL_Window* window = SDL_CreateWindow(shape.title, shape.x, shape.y, shape.width, shape.height,
                                        shape.flags | SDL_WINDOW_HIDDEN);
  if (window == nullptr) {
    ShowMessage(nullptr, kDisplayStartFailed, "");
    SDL_Quit();
    return false;
  }
  gs.hwnd = queue.CreateWindow(procedure, window, [window] { SDL_DestroyWindow(window); });
  SDL_ShowWindow(window);
  return true;
}

void SdlShellDevices::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlShellDevices::DD_END(GameState& gs) { displayEnd_(gs); }

void SdlShellDevices::DS_END(GameState& gs) { ::DS_END(gs); }

void SdlShellDevices::CloseWindow(PlatformWindow* hwnd) {
  if (hwnd != nullptr && hwnd->native != nullptr) {
    SDL_MinimizeWindow(static_cast<SDL_Window*>(hwnd->native));
  }
}

int EndFailedStart(GameState& gs, MessageQueue& queue, ShellDevices& devices) {
  devices.DS_END(gs);
  devices.DD_END(gs);
  queue.DestroyWindow(gs.hwnd);
  SDL_Quit();
  return 1;
}
