#include "platform/win32/display.h"

#include <algorithm>
#include <memory>

#include "platform/win32/surface.h"
#include "shell/error_report.h"
#include "platform_api.h"

struct DisplayObject {
  IDirectDraw7* ddraw = nullptr;
  IDirectDrawClipper* clipper = nullptr;
  std::unique_ptr<DirectDrawSurface> front;
  std::unique_ptr<DirectDrawSurface> back;
  bool exclusive = false;
  // The windowed picture's whole-number step on a scaled display.
  HDC wholeStep = nullptr;
  HBITMAP wholeStepBitmap = nullptr;
  int wholeFactor = 0;
};

namespace {

constexpr RECT kWholeBuffer{0, 0, 640, 480};

HWND NativeWindow(const GameState& gs) {
  return gs.hwnd != nullptr ? static_cast<HWND>(gs.hwnd->native) : nullptr;
}

DisplayObject* CreateDisplayObject(GameState& gs) {
  IDirectDraw7* ddraw = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&ddraw), IID_IDirectDraw7,
                                nullptr)) ||
      ddraw == nullptr) {
    return nullptr;
  }
  auto* object = new DisplayObject;
  object->ddraw = ddraw;
  gs.DDObject = object;
  return object;
}

// A screen lost to another program is restored instead of copied to, and
// that frame is not shown. Windows reports the loss from the copy itself;
// Wine copies to a lost surface without a word, so it is asked first.
bool Lost(IDirectDrawSurface7* front) { return front->IsLost() == DDERR_SURFACELOST; }

DirectDrawSurface* Adopt(std::unique_ptr<DirectDrawSurface>& slot, IDirectDrawSurface7* surface) {
  slot = std::make_unique<DirectDrawSurface>(surface);
  return slot.get();
}

}  // namespace

namespace win32 {

bool DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return false;
  const HWND hwnd = NativeWindow(gs);
  if (FAILED(object->ddraw->SetCooperativeLevel(hwnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN))) {
    return Error(gs, kFullScreenFailed);
  }
  object->exclusive = true;
  if (FAILED(object->ddraw->SetDisplayMode(640, 480, 16, 0, 0))) {
    return Error(gs, kDisplayModeFailed);
  }

  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
  desc.dwBackBufferCount = 1;
  IDirectDrawSurface7* primary = nullptr;
  if (FAILED(object->ddraw->CreateSurface(&desc, &primary, nullptr)) || primary == nullptr) {
    return Error(gs, kPrimarySurfaceFailed);
  }
  gs.DDFront = Adopt(object->front, primary);

  DDSCAPS2 caps{};
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface7* back = nullptr;
  if (FAILED(primary->GetAttachedSurface(&caps, &back)) || back == nullptr) {
    return Error(gs, kBackBufferFailed);
  }
  gs.DDBack = Adopt(object->back, back);
  return true;
}

void DD_END(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr) return;
  // The back buffer goes with the primary it is attached to; our own
  // reference to it is given back first.
  gs.DDBack = nullptr;
  gs.DDFront = nullptr;
  object->back.reset();
  object->front.reset();
  if (object->exclusive) {
    object->ddraw->RestoreDisplayMode();
    object->ddraw->SetCooperativeLevel(NativeWindow(gs), DDSCL_NORMAL);
  }
  object->ddraw->Release();
  delete object;
  gs.DDObject = nullptr;
}

void DD_Present(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr || !object->front || !object->back) return;
  IDirectDrawSurface7* front = object->front->get();
  RECT source = kWholeBuffer;
  // Restoring the primary restores the back buffer attached to it.
  if (Lost(front) ||
      front->BltFast(0, 0, object->back->get(), &source, DDBLTFAST_WAIT) == DDERR_SURFACELOST) {
    front->Restore();
  }
}

void DD_FlipToGDISurface(GameState& gs) {
  if (gs.DDObject != nullptr) gs.DDObject->ddraw->FlipToGDISurface();
}

namespace windowed {

namespace {

void ReleaseWholeStep(DisplayObject& object) {
  if (object.wholeStep != nullptr) DeleteDC(object.wholeStep);
  if (object.wholeStepBitmap != nullptr) DeleteObject(object.wholeStepBitmap);
  object.wholeStep = nullptr;
  object.wholeStepBitmap = nullptr;
  object.wholeFactor = 0;
}

// On a display scaled above 100 % the client area is larger than the
// picture: GDI scales it the whole number of pixels a game pixel not above
// the scale, each a square, then where the scale is not whole, in one
// smooth step to the client area. False when GDI could not.
bool PresentScaled(DisplayObject& object, HWND hwnd, int width, int height) {
  const int factor = std::max(1, std::min(width / 640, height / 480));
  HDC source = nullptr;
  if (FAILED(object.back->get()->GetDC(&source)) || source == nullptr) return false;
  const HDC window = GetDC(hwnd);
  bool shown = false;
  if (window != nullptr) {
    if (width == 640 * factor && height == 480 * factor) {
      SetStretchBltMode(window, COLORONCOLOR);
      shown = StretchBlt(window, 0, 0, width, height, source, 0, 0, 640, 480, SRCCOPY) != 0;
    } else {
      HDC whole = source;
      int wholeFactor = 1;
      if (factor > 1) {
        if (object.wholeFactor != factor) {
          ReleaseWholeStep(object);
          object.wholeStep = CreateCompatibleDC(window);
          object.wholeStepBitmap = CreateCompatibleBitmap(window, 640 * factor, 480 * factor);
          if (object.wholeStep != nullptr && object.wholeStepBitmap != nullptr) {
            SelectObject(object.wholeStep, object.wholeStepBitmap);
            object.wholeFactor = factor;
          }
        }
        if (object.wholeFactor == factor) {
          SetStretchBltMode(object.wholeStep, COLORONCOLOR);
          StretchBlt(object.wholeStep, 0, 0, 640 * factor, 480 * factor, source, 0, 0, 640, 480, SRCCOPY);
          whole = object.wholeStep;
          wholeFactor = factor;
        }
      }
      SetStretchBltMode(window, HALFTONE);
      SetBrushOrgEx(window, 0, 0, nullptr);
      shown = StretchBlt(window, 0, 0, width, height, whole, 0, 0, 640 * wholeFactor, 480 * wholeFactor, SRCCOPY) != 0;
    }
    ReleaseDC(hwnd, window);
  }
  object.back->get()->ReleaseDC(source);
  return shown;
}

}  // namespace

int DD_INIT(GameState& gs) {
  DisplayObject* object = CreateDisplayObject(gs);
  if (object == nullptr) return 0;
  const HWND hwnd = NativeWindow(gs);
  object->ddraw->SetCooperativeLevel(hwnd, DDSCL_NORMAL);

  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface7* primary = nullptr;
  if (FAILED(object->ddraw->CreateSurface(&desc, &primary, nullptr)) || primary == nullptr) {
    return 0;
  }
  gs.DDFront = Adopt(object->front, primary);

  // Without a clipper the copy is unclipped, which still shows the game.
  if (SUCCEEDED(object->ddraw->CreateClipper(0, &object->clipper, nullptr)) &&
      object->clipper != nullptr) {
    object->clipper->SetHWnd(0, hwnd);
    primary->SetClipper(object->clipper);
  }

  DDSURFACEDESC2 backDesc{};
  backDesc.dwSize = sizeof backDesc;
  backDesc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  backDesc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
  backDesc.dwWidth = 640;
  backDesc.dwHeight = 480;
  IDirectDrawSurface7* back = nullptr;
  if (FAILED(object->ddraw->CreateSurface(&backDesc, &back, nullptr)) || back == nullptr) {
    return 0;
  }
  gs.DDBack = Adopt(object->back, back);
  return 1;
}

int DD_END(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr) return 1;
  ReleaseWholeStep(*object);
  if (object->clipper != nullptr) {
    object->clipper->Release();
    object->clipper = nullptr;
  }
  gs.DDBack = nullptr;
  object->back.reset();
  gs.DDFront = nullptr;
  object->front.reset();
  object->ddraw->Release();
  delete object;
  gs.DDObject = nullptr;
  return 1;
}

void CalcScreenRect(HWND hwnd, RECT& rect) {
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  GetClientRect(hwnd, &rect);
  OffsetRect(&rect, origin.x, origin.y);
}

void DD_Present(GameState& gs) {
  DisplayObject* object = gs.DDObject;
  if (object == nullptr || !object->front || !object->back) return;
  RECT client;
  const HWND hwnd = NativeWindow(gs);
  if (GetClientRect(hwnd, &client) && (client.right > 640 || client.bottom > 480) &&
      PresentScaled(*object, hwnd, client.right, client.bottom)) {
    return;
  }
  RECT destination;
  CalcScreenRect(hwnd, destination);
  RECT source = kWholeBuffer;
  IDirectDrawSurface7* front = object->front->get();
  if (Lost(front) ||
      front->Blt(&destination, object->back->get(), &source, DDBLT_WAIT, nullptr) == DDERR_SURFACELOST) {
    front->Restore();
    object->back->get()->Restore();
  }
}

}  // namespace windowed

}  // namespace win32
