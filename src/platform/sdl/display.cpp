#include "platform/sdl/display.h"

#include <SDL.h>

#include <memory>
#include <new>
#include <utility>

#include "media/screen_fit.h"
#include "platform_api.h"
#include "media/soft_surface.h"
#include "shell/error_report.h"

namespace {

// What the screen shows: the window's own surface, which SDL hands to the
// window system without a GPU round trip. Nothing draws on it directly, so
// it lends no context. The full-screen picture is scaled to the desktop
// (media/screen_fit.h); the windowed one is shown one to one, never scaled.
class ScreenSurface final : public Surface {
 public:
  ScreenSurface(SDL_Window* window, bool scaled) : window_(window), scaled_(scaled) {}
  ~ScreenSurface() {
    if (picture_ != nullptr) SDL_FreeSurface(picture_);
  }
  ScreenSurface(const ScreenSurface&) = delete;
  ScreenSurface& operator=(const ScreenSurface&) = delete;

  DrawContext* GetDC() override { return nullptr; }
  void ReleaseDC(DrawContext*) override {}
  void ColorFill(std::uint32_t) override {}
  std::string ReadRgb(int& width, int& height) override {
    width = height = 0;
    return {};
  }

  // Fits the picture to a screen of this size: for the full-screen program
  // the scaling and its buffer. False when there is nothing to show it on.
  bool Fit(int width, int height) {
    if (!scaled_) {
      fit_ = ScreenFit{1, 0, 0, kScreenWidth, kScreenHeight};
      return true;
    }
    const ScreenFit fit = FitToScreen(width, height);
    if (fit.width <= 0) return false;
    if (scaler_ && fit == fit_) return true;  // restored at the same size
    fit_ = fit;
    scaler_ = std::make_unique<ScreenScaler>(fit_);
    if (picture_ != nullptr) SDL_FreeSurface(picture_);
    picture_ = nullptr;
    return true;
  }

  // Takes the window's surface anew, as after the window changed size, and
  // fits the picture to it; the screen is black until the next frame.
  bool Restore() {
    screen_ = SDL_GetWindowSurface(window_);
    if (screen_ == nullptr) return false;
    width_ = screen_->w;
    height_ = screen_->h;
    format_ = screen_->format->format;
    if (!Fit(width_, height_)) {
      screen_ = nullptr;
      return false;
    }
    SDL_FillRect(screen_, nullptr, SDL_MapRGB(screen_->format, 0, 0, 0));
    return true;
  }

  // The back buffer to the screen. False when the screen was lost (the
  // window changed size, or showing failed): it is restored instead and
  // this frame is not shown.
  bool Present(const SoftSurface& back, SDL_Surface* backView) {
    if (Lost()) {
      Restore();
      return false;
    }
    if (!Draw(back, backView) || SDL_UpdateWindowSurface(window_) != 0) {
      screen_ = nullptr;  // restored at the next frame
      return false;
    }
    return true;
  }

 private:
  // SDL makes the window's surface anew after a change of size: a surface
  // other than ours, or of another size, means ours is gone.
  bool Lost() const {
    if (screen_ == nullptr) return true;
    SDL_Surface* now = SDL_GetWindowSurface(window_);
    return now != screen_ || now->w != width_ || now->h != height_ || now->format->format != format_;
  }

  bool Draw(const SoftSurface& back, SDL_Surface* backView) {
    SDL_Rect to{fit_.x, fit_.y, fit_.width, fit_.height};
    if (!scaled_) return SDL_BlitSurface(backView, nullptr, screen_, &to) == 0;
    // Straight onto a screen of the scaler's format, else through a copy.
    if (format_ == SDL_PIXELFORMAT_XRGB8888) {
      auto* origin = static_cast<std::uint8_t*>(screen_->pixels) + to.y * screen_->pitch + to.x * 4;
      scaler_->Scale(back, reinterpret_cast<std::uint32_t*>(origin), screen_->pitch / 4);
      return true;
    }
    if (picture_ == nullptr) {
      picture_ = SDL_CreateRGBSurfaceWithFormat(0, fit_.width, fit_.height, 32, SDL_PIXELFORMAT_XRGB8888);
      if (picture_ == nullptr) return false;
    }
    scaler_->Scale(back, static_cast<std::uint32_t*>(picture_->pixels), picture_->pitch / 4);
    return SDL_BlitSurface(picture_, nullptr, screen_, &to) == 0;
  }

  SDL_Window* window_;
  bool scaled_;
  SDL_Surface* screen_ = nullptr;  // the window's; SDL frees it
  int width_ = 0;
  int height_ = 0;
  Uint32 format_ = 0;
  ScreenFit fit_;
  std::unique_ptr<ScreenScaler> scaler_;
  SDL_Surface* picture_ = nullptr;  // the scaled picture, for screens of other formats
};

SDL_Window* NativeWindow(const GameState& gs) {
  return gs.hwnd != nullptr ? static_cast<SDL_Window*>(gs.hwnd->native) : nullptr;
}

}  // namespace

struct DisplayObject {
  SDL_Window* window = nullptr;
  bool fullscreen = false;
  std::unique_ptr<ScreenSurface> front;
  std::unique_ptr<SoftSurface> back;
  SDL_Surface* backView = nullptr;  // the back buffer's pixels as SDL sees them
};

namespace {

// The device object itself: there is none without SDL's video and a window.
DisplayObject* CreateDisplayObject(GameState& gs) {
  SDL_Window* window = NativeWindow(gs);
  if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || window == nullptr) return nullptr;
  auto* object = new DisplayObject;
  object->window = window;
  gs.DDObject = object;
  return object;
}

bool CreateBackBuffer(GameState& gs, DisplayObject& object, PixelFormat format) {
  object.back.reset(new (std::nothrow) SoftSurface(format));
  if (!object.back) return false;
  // Read only: the screen copies from it.
  void* pixels = const_cast<std::uint8_t*>(object.back->pixels());
  object.backView = SDL_CreateRGBSurfaceWithFormatFrom(
      pixels, kScreenWidth, kScreenHeight, 8 * object.back->bytesPerPixel(), object.back->pitch(),
      format == PixelFormat::Rgb565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_XRGB8888);
  if (object.backView == nullptr) return false;
  gs.DDBack = object.back.get();
  return true;
}

void Release(GameState& gs) {
  const std::unique_ptr<DisplayObject> object(std::exchange(gs.DDObject, nullptr));
  if (!object) return;
  gs.DDBack = gs.DDFront = nullptr;
  if (object->backView != nullptr) SDL_FreeSurface(object->backView);
  object->back.reset();
  object->front.reset();
  if (object->fullscreen) SDL_SetWindowFullscreen(object->window, 0);
}

void Present(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr || !object->front || !object->back) return;
  // A lost screen is restored by the call and shows again next frame.
  object->front->Present(*object->back, object->backView);
}

}  // namespace

namespace sdl {

// The steps as SDL has them:
//   creating the display object  -> SDL's video is up and the window exists
//                                   (no message of its own)
//   exclusive full-screen         -> the window covering the desktop
//   the 640x480 display mode      -> the scaling of 640x480 to the desktop
//   the primary surface           -> the window's surface
//   the back buffer               -> the 16-bit software back buffer
bool DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return false;
  // A step the tests ask to fail fails as if SDL had refused it.
  const auto refused = [](int step) { return sdl_testing::failDisplayStep == step; };
  if (refused(1) || SDL_SetWindowFullscreen(object->window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    return Error(gs, kFullScreenFailed);
  }
  object->fullscreen = true;
  object->front = std::make_unique<ScreenSurface>(object->window, true);
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(object->window, &width, &height);
  if (refused(2) || !object->front->Fit(width, height)) return Error(gs, kDisplayModeFailed);
  if (refused(3) || !object->front->Restore()) return Error(gs, kPrimarySurfaceFailed);
  gs.DDFront = object->front.get();
  if (refused(4) || !CreateBackBuffer(gs, *object, BackBufferFormat(Program::FullScreen))) {
    return Error(gs, kBackBufferFailed);
  }
  return true;
}

void DD_END(GameState& gs) { Release(gs); }

void DD_Present(GameState& gs) { Present(gs); }

namespace windowed {

// As the full-screen device, without a mode to change: the window's surface
// stands for the desktop's primary surface, and the window system clips.
// The client area's own 640x480 is shown one to one: never stretched, even
// if the window manager sized the window otherwise.
bool DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return false;
  object->front = std::make_unique<ScreenSurface>(object->window, false);
  gs.DDFront = object->front.get();
  if (!object->front->Restore()) return false;
  return CreateBackBuffer(gs, *object, BackBufferFormat(Program::Windowed));
}

}  // namespace windowed

}  // namespace sdl
