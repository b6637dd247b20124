#include "platform/sdl/layer.h"

#include <SDL.h>
#include <strings.h>

#include <cstring>

#include "platform/sdl/clock.h"
#include "platform/sdl/events.h"
#include "platform/sdl/input.h"
#include "platform/sdl/message_box.h"
#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/window_messages.h"

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

// SDL's video, events and pads. False when there is no display to be had;
// pads are optional.
bool StartSdl() {
  // The joystick is polled like the hardware: it answers whether or not
  // the window has the keyboard.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // The picture goes to the window system as it is (shared memory on X11).
  // Left to itself SDL probes OpenGL at the first frame and, on some
  // drivers, draws the window through it: a software GL costs milliseconds
  // a frame for a plain copy.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  if (!ShowsAPicture()) {
    SDL_Quit();
    return false;
  }
  StartPads();
  return true;
}

}  // namespace

struct SdlPlatform::Parts {
  SdlJoystick joystick;
  SdlClock clock;
  std::unique_ptr<SdlEventSource> events;
};

SdlPlatform::SdlPlatform(Program program) : program_(program), parts_(std::make_unique<Parts>()) {}

SdlPlatform::~SdlPlatform() {
  if (started_) SDL_Quit();  // and with it the pad still open
}

bool SdlPlatform::JoyGetPos(JoystickInfo& info) { return parts_->joystick.JoyGetPos(info); }

Clock& SdlPlatform::clock() { return parts_->clock; }

PlatformWindow* SdlPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                        WindowProcedure& procedure) {
  if (!StartSdl()) {
    ShowMessage(nullptr, kDisplayStartFailed, "");
    return nullptr;
  }
  started_ = true;
  SDL_Window* window = nullptr;
  // Hidden until the queue knows it, so its first events find their procedure.
  if (program_ == Program::FullScreen) {
    SDL_Rect desktop{0, 0, 640, 480};
    SDL_GetDisplayBounds(0, &desktop);
    window = SDL_CreateWindow("DEFAULT", desktop.x, desktop.y, desktop.w, desktop.h,
                              SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  } else {
    // The size asked for is the client area's; without a sizing border the
    // window keeps it.
    window = SDL_CreateWindow("VELTIX RACE", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                              640, 480, SDL_WINDOW_HIDDEN);
  }
  if (window == nullptr) {
    ShowMessage(nullptr, kDisplayStartFailed, "");
    return nullptr;
  }
  gs.hwnd = queue.CreateWindow(procedure, window, [window] { SDL_DestroyWindow(window); });
  SDL_ShowWindow(window);
  parts_->events = std::make_unique<SdlEventSource>(gs.hwnd, parts_->joystick);
  queue.SetEventSource(parts_->events.get());
  return gs.hwnd;
}

bool SdlPlatform::ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) {
  return ShowGameMessageBox(owner != nullptr ? static_cast<SDL_Window*>(owner->native) : nullptr,
                            text, caption);
}

bool SdlPlatform::DD_INIT(GameState& gs) {
  return program_ == Program::FullScreen ? sdl::DD_INIT(gs) : sdl::windowed::DD_INIT(gs);
}

void SdlPlatform::ShowCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlPlatform::MinimizeWindow(PlatformWindow* hwnd) {
  if (hwnd != nullptr && hwnd->native != nullptr) {
    SDL_MinimizeWindow(static_cast<SDL_Window*>(hwnd->native));
  }
}

int SdlMain(const ProgramDefinition& program) {
  SdlPlatform platform(program.id);
  return RunProgram(program, platform);
}
