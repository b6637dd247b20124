#include "platform/win32/surface.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/text.h"

namespace {

HGDIOBJ Handle(void* object) { return static_cast<HGDIOBJ>(object); }

}  // namespace

// Selecting null changes nothing and gives null back, as SelectObject does.
Pen* GdiContext::SelectPen(Pen* pen) {
  if (pen == nullptr) return nullptr;
  return reinterpret_cast<Pen*>(SelectObject(hdc_, Handle(pen)));
}

// Deleting a stock pen (the one a fresh context has selected) is a no-op in
// GDI, so the caller may delete whatever it was given back.
void GdiContext::DeletePen(Pen* pen) {
  if (pen != nullptr) DeleteObject(Handle(pen));
}

LOGFONTW LogFontFromRequest(const FontRequest& request) {
  LOGFONTW font{};
  font.lfHeight = request.height;
  font.lfWidth = request.width;
  font.lfWeight = request.weight;
  font.lfItalic = request.italic ? TRUE : FALSE;
  font.lfCharSet = static_cast<BYTE>(request.charSet);
  const std::wstring face = WideFromUtf8(request.faceName);
  const std::size_t kept = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
  std::copy_n(face.begin(), kept, font.lfFaceName);
  font.lfFaceName[kept] = L'\0';
  return font;
}

Font* GdiContext::CreateFont(const FontRequest& request) {
  const LOGFONTW font = LogFontFromRequest(request);
  return reinterpret_cast<Font*>(CreateFontIndirectW(&font));
}

Font* GdiContext::SelectFont(Font* font) {
  if (font == nullptr) return nullptr;
  return reinterpret_cast<Font*>(SelectObject(hdc_, Handle(font)));
}

void GdiContext::DeleteFont(Font* font) {
  if (font != nullptr) DeleteObject(Handle(font));
}

// The game's texts are Shift-JIS bytes; converted here rather than left to
// TextOutA, which would read them in whatever code page the system has.
void GdiContext::TextOut(int x, int y, const char* text, int length) {
  const std::wstring wide = WideFromShiftJis(text, length);
  if (wide.empty()) return;
  TextOutW(hdc_, x, y, wide.data(), static_cast<int>(wide.size()));
}

DrawContext* DirectDrawSurface::GetDC() {
  if (surface_ == nullptr || out_) return nullptr;
  HDC hdc = nullptr;
  if (FAILED(surface_->GetDC(&hdc)) || hdc == nullptr) return nullptr;
  context_.Attach(hdc);
  out_ = true;
  return &context_;
}

void DirectDrawSurface::ReleaseDC(DrawContext* dc) {
  if (dc != &context_ || !out_) return;
  surface_->ReleaseDC(context_.hdc());
  context_.Attach(nullptr);
  out_ = false;
}

void DirectDrawSurface::ColorFill(std::uint32_t raw) {
  if (surface_ == nullptr) return;
  DDBLTFX fx{};
  fx.dwSize = sizeof fx;
  fx.dwFillColor = raw;
  RECT whole{0, 0, 640, 480};
  surface_->Blt(&whole, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
}

void DirectDrawSurface::Release() {
  if (surface_ == nullptr) return;
  if (out_) ReleaseDC(&context_);
  surface_->Release();
  surface_ = nullptr;
}

namespace {

struct Channel {
  int shift = 0;
  int bits = 0;
};

Channel ChannelOf(DWORD mask) {
  Channel channel;
  if (mask == 0) return channel;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++channel.shift;
  }
  while ((mask & 1u) != 0) {
    mask >>= 1;
    ++channel.bits;
  }
  return channel;
}

unsigned Expand(std::uint32_t pixel, const Channel& channel) {
  if (channel.bits == 0) return 0;
  unsigned value = (pixel >> channel.shift) & ((1u << channel.bits) - 1u);
  if (channel.bits >= 8) return value >> (channel.bits - 8);
  // Repeat the top bits into the low ones until eight are filled.
  unsigned out = 0;
  for (int filled = 0; filled < 8; filled += channel.bits) {
    out = (out << channel.bits) | value;
  }
  const int total = ((8 + channel.bits - 1) / channel.bits) * channel.bits;
  return (out >> (total - 8)) & 0xFFu;
}

}  // namespace

std::string ReadRgbPixels(IDirectDrawSurface7* surface, int& width, int& height) {
  width = 0;
  height = 0;
  if (surface == nullptr) return {};
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return {};
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  const int bytes = static_cast<int>(format.dwRGBBitCount / 8);
  std::string rgb;
  if ((format.dwFlags & DDPF_RGB) != 0 && (bytes == 2 || bytes == 3 || bytes == 4)) {
    width = static_cast<int>(desc.dwWidth);
    height = static_cast<int>(desc.dwHeight);
    const Channel red = ChannelOf(format.dwRBitMask);
    const Channel green = ChannelOf(format.dwGBitMask);
    const Channel blue = ChannelOf(format.dwBBitMask);
    rgb.resize(static_cast<std::size_t>(width) * height * 3);
    std::size_t out = 0;
    for (int y = 0; y < height; ++y) {
      const auto* row = static_cast<const unsigned char*>(desc.lpSurface) +
                        static_cast<std::ptrdiff_t>(y) * desc.lPitch;
      for (int x = 0; x < width; ++x) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, row + static_cast<std::ptrdiff_t>(x) * bytes,
                    static_cast<std::size_t>(bytes));
        rgb[out++] = static_cast<char>(Expand(pixel, red));
        rgb[out++] = static_cast<char>(Expand(pixel, green));
        rgb[out++] = static_cast<char>(Expand(pixel, blue));
      }
    }
  }
  surface->Unlock(nullptr);
  return rgb;
}
