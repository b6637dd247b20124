#include "platform/web/layer.h"
#include "platform_api.h"

#include <memory>
#include <utility>
#include <vector>

#include "media/soft_surface.h"
#include "platform/web/browser.h"

struct DisplayObject {
  bool fullScreen = false;
  std::unique_ptr<SoftSurface> back;
  std::vector<std::uint32_t> canvas;  // what the canvas is given: RGBA bytes
};

namespace {

// The display object is the canvas's 2D context; no message of its own.
DisplayObject* CreateDisplayObject(GameState& gs) {
  if (racer_canvas_open() == 0) return nullptr;
  gs.DDObject = new DisplayObject;
  return gs.DDObject;
}

void CreateBackBuffer(GameState& gs, DisplayObject& object, Program program, soft::Faces& faces) {
  object.canvas.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight);
  object.back = std::make_unique<SoftSurface>(BackBufferFormat(program), faces);
  gs.DDBack = object.back.get();
}

void Release(GameState& gs) {
  const std::unique_ptr<DisplayObject> object(std::exchange(gs.DDObject, nullptr));
  if (!object) return;
  gs.DDBack = nullptr;
  if (object->fullScreen) racer_leave_fullscreen();
}

// A pixel as the canvas takes it: red, green, blue, then an opaque alpha,
// in memory order.
constexpr std::uint32_t CanvasPixel(std::uint32_t rgb) {
  return 0xFF000000u | (rgb >> 16 & 0xFFu) | (rgb & 0xFF00u) | (rgb & 0xFFu) << 16;
}

// Every 16-bit pixel's canvas pixel, made once.
const std::vector<std::uint32_t>& CanvasPixelsOf565() {
  static const std::vector<std::uint32_t> table = [] {
    std::vector<std::uint32_t> pixels(65536);
    for (std::uint32_t raw = 0; raw < 65536; ++raw) {
      pixels[raw] = CanvasPixel(RgbFromRaw(PixelFormat::Rgb565, raw));
    }
    return pixels;
  }();
  return table;
}

void Present(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr || !object->back) return;
  const SoftSurface& back = *object->back;
  std::uint32_t* out = object->canvas.data();
  const int count = kScreenWidth * kScreenHeight;
  if (back.format() == PixelFormat::Xrgb8888) {
    const auto* in = reinterpret_cast<const std::uint32_t*>(back.pixels());
    for (int i = 0; i < count; ++i) out[i] = CanvasPixel(in[i]);
  } else {
    const auto* in = reinterpret_cast<const std::uint16_t*>(back.pixels());
    const std::uint32_t* table = CanvasPixelsOf565().data();
    for (int i = 0; i < count; ++i) out[i] = table[in[i]];
  }
  racer_present(object->canvas.data());
}

}  // namespace

namespace web {

// The steps as a page has them:
//   creating the display object  -> the canvas's 2D context
//   exclusive full-screen         -> a page may not take the screen by
//                                    itself: the page asks for it on the
//                                    player's first click or key
//   the 640x480 display mode      -> the canvas's 640x480 pixels, scaled up
//                                    square by the page
//   the primary surface           -> the canvas
//   the back buffer               -> the 16-bit software back buffer,
//                                    drawing its texts with `faces`
// The windowed program's display is the same canvas with a 32-bit back
// buffer.
bool DD_INIT(GameState& gs, Program program, soft::Faces& faces) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return false;
  object->fullScreen = program == Program::FullScreen;
  CreateBackBuffer(gs, *object, program, faces);
  return true;
}

void DD_END(GameState& gs) { Release(gs); }

void DD_Present(GameState& gs) { Present(gs); }

}  // namespace web
