#include "platform/sdl/message_box.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "media/glyphs.h"
#include "media/message_box.h"
#include "shell/error_report.h"

namespace {

// The window an event is about; 0 for events of no window.
Uint32 WindowOf(const SDL_Event& event) {
  switch (event.type) {
    case SDL_WINDOWEVENT: return event.window.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return event.key.windowID;
    case SDL_TEXTEDITING: return event.edit.windowID;
    case SDL_TEXTINPUT: return event.text.windowID;
    case SDL_MOUSEMOTION: return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.windowID;
    case SDL_MOUSEWHEEL: return event.wheel.windowID;
    default: return 0;
  }
}

// What a disabled window does not take.
bool IsInput(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
    case SDL_TEXTEDITING:
    case SDL_TEXTINPUT:
    case SDL_MOUSEMOTION:
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
    case SDL_MOUSEWHEEL:
    case SDL_FINGERDOWN:
    case SDL_FINGERUP:
    case SDL_FINGERMOTION:
      return true;
    case SDL_WINDOWEVENT:
      return event.window.event == SDL_WINDOWEVENT_CLOSE;
    default:
      return false;
  }
}

bool IsAnswerKey(SDL_Keycode key) {
  return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE;
}

class Box {
 public:
  Box(SDL_Window* owner, const char* text)
      : owner_(owner),
        layout_(soft::LayoutMessageBox(text)),
        pixels_(static_cast<std::size_t>(kScreenWidth) * kScreenHeight) {}
  Box(const Box&) = delete;
  Box& operator=(const Box&) = delete;

  bool Open(const char* caption);
  void Run();
  void Close();

 private:
  void Place(int& x, int& y) const;
  void Paint();
  void Bring();
  void Take(const SDL_Event& event);
  void Own(const SDL_Event& event);
  bool OnOk(int x, int y) const {
    return layout_.ok.Contains(x - offsetX_, y - offsetY_);
  }
  void ShowPressed(bool pressed) {
    if (pressed == pressed_) return;
    pressed_ = pressed;
    Paint();
  }

  SDL_Window* owner_;
  soft::MessageBoxLayout layout_;
  std::vector<std::uint32_t> pixels_;  // the picture, on a screen-sized canvas
  SDL_Window* window_ = nullptr;
  Uint32 id_ = 0;
  int offsetX_ = 0;  // the picture's corner in the window
  int offsetY_ = 0;
  bool answered_ = false;
  SDL_Keycode keyDown_ = SDLK_UNKNOWN;  // an answering key went down in the box
  bool held_ = false;  // the left button went down on OK and is still down
  bool pressed_ = false;
  // Events of other windows and of none that the game still has to see.
  std::vector<SDL_Event> kept_;
};

void Box::Place(int& x, int& y) const {
  x = static_cast<int>(SDL_WINDOWPOS_CENTERED);
  y = static_cast<int>(SDL_WINDOWPOS_CENTERED);
  if (owner_ == nullptr) return;
  int ownerX = 0, ownerY = 0, ownerWidth = 0, ownerHeight = 0;
  SDL_GetWindowPosition(owner_, &ownerX, &ownerY);
  SDL_GetWindowSize(owner_, &ownerWidth, &ownerHeight);
  x = ownerX + (ownerWidth - layout_.width) / 2;
  y = ownerY + (ownerHeight - layout_.height) / 2;
  // All of it on the owner's screen, even when the owner hangs off it.
  SDL_Rect usable;
  if (SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(owner_), &usable) == 0) {
    x = std::max(usable.x, std::min(x, usable.x + usable.w - layout_.width));
    y = std::max(usable.y, std::min(y, usable.y + usable.h - layout_.height));
  }
}

bool Box::Open(const char* caption) {
  int x = 0, y = 0;
  Place(x, y);
  window_ = SDL_CreateWindow(caption, x, y, layout_.width, layout_.height,
                             SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP);
  if (window_ == nullptr) return false;
  id_ = SDL_GetWindowID(window_);
  // SDL may make the window anew for a renderer when it first gives the
  // surface, losing what was set on the old one: the surface comes first.
  SDL_GetWindowSurface(window_);
  // Transient for the owner: the window manager keeps it above, even over a
  // full-screen owner, and treats it as the owner's dialog. Some desktops
  // take that only once the window is shown.
  const bool modal = owner_ == nullptr || SDL_SetWindowModalFor(window_, owner_) == 0;
  SDL_ShowWindow(window_);
  if (!modal) SDL_SetWindowModalFor(window_, owner_);
  Bring();
  Paint();
  return true;
}

void Box::Bring() {
  SDL_RaiseWindow(window_);
  // Not every desktop lets a program move the focus; the raise then asked for it.
  SDL_SetWindowInputFocus(window_);
}

void Box::Paint() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (surface == nullptr) return;
  // A window manager may make the window larger than asked: the picture in
  // its middle, the band's grey around it.
  offsetX_ = std::max(0, (surface->w - layout_.width) / 2);
  offsetY_ = std::max(0, (surface->h - layout_.height) / 2);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 240, 240, 240));
  soft::DrawMessageBox(layout_, pressed_, pixels_.data());
  SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
      pixels_.data(), layout_.width, layout_.height, 32, kScreenWidth * 4,
      SDL_PIXELFORMAT_XRGB8888);
  if (picture != nullptr) {
    SDL_Rect at{offsetX_, offsetY_, layout_.width, layout_.height};
    SDL_BlitSurface(picture, nullptr, surface, &at);
    SDL_FreeSurface(picture);
  }
  SDL_UpdateWindowSurface(window_);
}

void Box::Run() {
  // Polled, not waited for: while SDL 2.26 waits, X11 wakes it with a message
  // to the box's window over a second connection, which can reach the server
  // after the window is gone; the X error that follows ends the program.
  SDL_Event event;
  while (!answered_) {
    if (SDL_PollEvent(&event) == 1) {
      Take(event);
    } else {
      SDL_Delay(10);
    }
  }
}

void Box::Take(const SDL_Event& event) {
  if (event.type == SDL_QUIT) {
    // The desktop wants the program to end: the box gives way, and the
    // game gets the request once it is gone.
    kept_.push_back(event);
    answered_ = true;
    return;
  }
  const Uint32 window = WindowOf(event);
  if (window != 0 && window == id_) {
    if (window_ != nullptr) Own(event);
    return;
  }
  if (IsInput(event)) return;  // the owner is disabled while the box is up
  // A click on the owner gave it the focus: the box comes forward again.
  if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED &&
      window_ != nullptr && !answered_) {
    Bring();
  }
  kept_.push_back(event);
}

void Box::Own(const SDL_Event& event) {
  switch (event.type) {
    // The answer comes when the key is let go, so that the key that
    // answered one box is never still down, or repeating, when the next
    // one comes up. A key held since before the box does not count.
    case SDL_KEYDOWN:
      if (event.key.repeat == 0 && IsAnswerKey(event.key.keysym.sym)) keyDown_ = event.key.keysym.sym;
      break;
    case SDL_KEYUP:
      answered_ = keyDown_ != SDLK_UNKNOWN && event.key.keysym.sym == keyDown_;
      break;
    // As a desktop's button: pressed on OK, released on OK.
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT && OnOk(event.button.x, event.button.y)) {
        held_ = true;
        ShowPressed(true);
      }
      break;
    case SDL_MOUSEMOTION:
      if (held_) ShowPressed(OnOk(event.motion.x, event.motion.y));
      break;
    case SDL_MOUSEBUTTONUP:
      if (event.button.button == SDL_BUTTON_LEFT && held_) {
        held_ = false;
        answered_ = OnOk(event.button.x, event.button.y);
        ShowPressed(false);
      }
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          answered_ = true;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          keyDown_ = SDLK_UNKNOWN;
          break;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
          Paint();
          break;
        default:
          break;
      }
      break;
    default:
      break;
  }
}

void Box::Close() {
  if (window_ == nullptr) return;
  SDL_DestroyWindow(window_);
  window_ = nullptr;
  // What is queued came while the box was up or with its going: the box's
  // own events and input meant for the owner go with it, the rest stays
  // for the game, in order.
  SDL_PumpEvents();
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) Take(event);
  for (SDL_Event& kept : kept_) SDL_PushEvent(&kept);
  kept_.clear();
  if (owner_ != nullptr && (SDL_GetWindowFlags(owner_) & SDL_WINDOW_SHOWN) != 0) {
    SDL_RaiseWindow(owner_);
  }
}

}  // namespace

bool ShowSdlMessageBox(SDL_Window* owner, const char* text, const char* caption) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  // Closing the box when it is the only window would make SDL post a quit
  // request of its own, which the game would take for the player's.
  SDL_SetHintWithPriority(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0", SDL_HINT_OVERRIDE);
  Box box(owner, text);
  const bool shown = box.Open(caption);
  if (shown) box.Run();
  box.Close();
  SDL_ResetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE);
  return shown;
}

bool ShowGameMessageBox(SDL_Window* owner, const char* text, const char* caption) {
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return false;
  // Our box would be empty; SDL's shows at least the Latin letters.
  if (!FontsAvailable()) return SDL_ShowSimpleMessageBox(0, caption, text, owner) == 0;
  return ShowSdlMessageBox(owner, text, caption);
}
