#include "platform_api.h"

#include <SDL.h>

#include <memory>
#include <new>
#include <utility>

#include "media/soft_surface.h"
#include "shell/error_report.h"

namespace {

// What the screen shows: the renderer and the texture the back buffer is
// copied into. Nothing draws on it directly, so it lends no context.
class ScreenSurface final : public Surface {
 public:
  ScreenSurface(SDL_Renderer* renderer, Uint32 format) : renderer_(renderer), format_(format) {
    SDL_AddEventWatch(&NoteDeviceReset, this);
  }
  ~ScreenSurface() {
    SDL_DelEventWatch(&NoteDeviceReset, this);
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    SDL_DestroyRenderer(renderer_);
  }
  ScreenSurface(const ScreenSurface&) = delete;
  ScreenSurface& operator=(const ScreenSurface&) = delete;

  DrawContext* GetDC() override { return nullptr; }
  void ReleaseDC(DrawContext*) override {}
  void ColorFill(std::uint32_t) override {}

  SDL_Renderer* renderer() const { return renderer_; }

  // Makes the texture anew, as after the renderer lost it.
  bool Restore() {
    lost_ = false;
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, format_, SDL_TEXTUREACCESS_STREAMING,
                                 kScreenWidth, kScreenHeight);
    if (texture_ == nullptr) return false;
    // Square pixels when scaled up: no blur between them.
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    return true;
  }

  // The whole back buffer to `destination` (null: the renderer's logical
  // area). False when the copy failed and nothing was shown.
  bool Present(const SoftSurface& back, const SDL_Rect* destination) {
    if (lost_ || texture_ == nullptr) return false;
    if (SDL_UpdateTexture(texture_, nullptr, back.pixels(), back.pitch()) != 0) return false;
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (SDL_RenderCopy(renderer_, texture_, nullptr, destination) != 0) return false;
    SDL_RenderPresent(renderer_);
    return true;
  }

 private:
  // A device reset takes every texture with it, as a lost surface its
  // pixels: the screen is lost until restored.
  static int SDLCALL NoteDeviceReset(void* self, SDL_Event* event) {
    if (event->type == SDL_RENDER_DEVICE_RESET) static_cast<ScreenSurface*>(self)->lost_ = true;
    return 0;
  }

  SDL_Renderer* renderer_;
  Uint32 format_;
  SDL_Texture* texture_ = nullptr;
  bool lost_ = false;
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

ScreenSurface* CreateScreen(DisplayObject& object, Uint32 format) {
  SDL_Renderer* renderer = SDL_CreateRenderer(object.window, -1, 0);
  if (renderer == nullptr) return nullptr;
  object.front = std::make_unique<ScreenSurface>(renderer, format);
  return object.front.get();
}

bool CreateBackBuffer(GameState& gs, DisplayObject& object, PixelFormat format) {
  object.back.reset(new (std::nothrow) SoftSurface(format));
  gs.DDBack = object.back.get();
  return gs.DDBack != nullptr;
}

void Release(GameState& gs) {
  const std::unique_ptr<DisplayObject> object(std::exchange(gs.DDObject, nullptr));
  if (!object) return;
  gs.DDBack = gs.DDFront = nullptr;
  // The back buffer and the screen texture go before the renderer that
  // made the texture, and all of it before the window leaves full screen.
  object->back.reset();
  object->front.reset();
  if (object->fullscreen) SDL_SetWindowFullscreen(object->window, 0);
}

void Present(GameState& gs, const SDL_Rect* destination) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr || !object->front || !object->back) return;
  if (!object->front->Present(*object->back, destination)) {
    // Restored once; the next frame shows again.
    object->front->Restore();
  }
}

}  // namespace

// The steps as SDL has them:
//   creating the display object  -> SDL's video is up and the window exists
//                                   (no message of its own)
//   exclusive full-screen         -> the window covering the desktop
//   the 640x480 display mode      -> a renderer with a 640x480 logical size
//   the primary surface           -> the texture the screen is drawn from
//   the back buffer               -> the 16-bit software back buffer
bool DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return false;
  if (SDL_SetWindowFullscreen(object->window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
    return Error(gs, "フルスクリーン化できません");
  }
  object->fullscreen = true;
  ScreenSurface* screen = CreateScreen(*object, SDL_PIXELFORMAT_RGB565);
  // Letterboxed: as large as fits, aspect kept, the rest black.
  if (screen == nullptr ||
      SDL_RenderSetLogicalSize(screen->renderer(), kScreenWidth, kScreenHeight) != 0) {
    return Error(gs, "解像度が変更できません");
  }
  if (!screen->Restore()) return Error(gs, "プライマリィサーフェースが生成できません");
  gs.DDFront = screen;
  if (!CreateBackBuffer(gs, *object, BackBufferFormat(Program::FullScreen))) {
    return Error(gs, "バックバッファが生成できません");
  }
  return true;
}

void DD_END(GameState& gs) { Release(gs); }

void DD_Present(GameState& gs) { Present(gs, nullptr); }

namespace windowed {

// As the full-screen device, without a mode to change: the renderer stands
// for the desktop's primary surface, and the window system clips for us.
int DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return 0;
  ScreenSurface* screen = CreateScreen(*object, SDL_PIXELFORMAT_XRGB8888);
  if (screen == nullptr) return 0;
  gs.DDFront = screen;
  if (!screen->Restore()) return 0;
  return CreateBackBuffer(gs, *object, BackBufferFormat(Program::Windowed)) ? 1 : 0;
}

int DD_END(GameState& gs) {
  Release(gs);
  return 1;
}

void DD_Present(GameState& gs) {
  // The client area's own 640x480, one to one: never stretched, even if
  // the window manager sized the window otherwise.
  const SDL_Rect destination{0, 0, kScreenWidth, kScreenHeight};
  Present(gs, &destination);
}

}  // namespace windowed
