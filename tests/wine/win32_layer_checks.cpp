// Checks of the Windows layer that need Windows (here: Wine): the text
// conversions, the font description, the DirectDraw surface with its GDI
// context and the drawing primitives over it, the window's size, the lost
// screen, and the small helpers.
//
//   racer_wine_checks                       runs the checks
//   racer_wine_checks --lost                the full-screen display's lost screen
//                                           (in a virtual desktop of its own)
//   racer_wine_checks --pattern FILE [--16] draws the test card, writes a PPM
//
// The last line says how many checks failed.
#include <cstdio>
#include <cstring>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "game_state.h"
#include "headless/test_mode.h"
#include "media/primitives.h"
#include "pattern.h"
#include "platform/win32/display.h"
#include "platform/win32/input.h"
#include "platform/win32/surface.h"
#include "platform/win32/text.h"
#include "platform/win32/window_size.h"
#include "platform_api.h"
#include "shell/window_messages.h"

namespace {

int failures = 0;
int checks = 0;

void Check(bool ok, const std::string& what) {
  ++checks;
  if (!ok) {
    ++failures;
    std::printf("FAIL: %s\n", what.c_str());
  }
}

int Summary() {
  std::printf("%d checks, %d failed\n", checks, failures);
  return failures;
}

void CheckTextsAndFonts() {
  struct Case {
    const char* bytes;
    int length;  // -1: UTF-8, zero-terminated
    std::wstring expected;
  };
  const Case cases[] = {
      {"エラー発生", -1, L"\u30A8\u30E9\u30FC\u767A\u751F"},
      {"", -1, L""},
      {"\x95\x57\x8f\x80\x96\xbe\x92\xa9", 8, L"\u6A19\u6E96\u660E\u671D"},  // 標準明朝 in Shift-JIS
      {"ABCDEF", 3, L"ABC"},  // the length counts, not the terminator
      {"x", 0, L""},
  };
  for (const Case& c : cases) {
    const std::wstring got = c.length < 0 ? WideFromUtf8(c.bytes) : WideFromShiftJis(c.bytes, c.length);
    Check(got == c.expected, std::string("text conversion of \"") + c.bytes + "\"");
  }
  Check(WideFromUtf8(nullptr).empty(), "null UTF-8 text gives an empty string");

  FontRequest request;
  request.height = 18;
  request.faceName = "標準明朝";
  LOGFONTW font = LogFontFromRequest(request);
  Check(std::wstring(font.lfFaceName) == L"\u6A19\u6E96\u660E\u671D" && font.lfHeight == 18 && font.lfWidth == 0 &&
            font.lfWeight == 400 && font.lfItalic == 0 && font.lfCharSet == 128 && font.lfEscapement == 0 &&
            font.lfUnderline == 0 && font.lfStrikeOut == 0 && font.lfQuality == 0 && font.lfPitchAndFamily == 0,
        "font description");
  const std::string longName(40, 'F');
  request.italic = true;
  request.faceName = longName.c_str();
  font = LogFontFromRequest(request);
  Check(font.lfItalic == TRUE && std::wstring(font.lfFaceName) == std::wstring(31, L'F'),
        "italic, face name cut to 31 characters");
}

void CheckHelpers() {
  for (const auto& [system, game] : {std::pair{0u, 0u}, {6u, 6u}, {0x1Fu, 0xFu}, {0xFFFFFFFFu, 0xFu}}) {
    Check(GameButtons(system) == game, "joystick buttons " + std::to_string(system));
  }
  // The hat: left half, right half, up, down, centred.
  for (const auto& [pov, x] : {std::pair{27000u, 0u}, {22500u, 0u}, {31500u, 0u}, {9000u, 65535u}, {4500u, 65535u},
                               {13500u, 65535u}, {0u, 40000u}, {18000u, 40000u}, {static_cast<unsigned>(JOY_POVCENTERED), 40000u}}) {
    Check(SteerWithPov(40000, pov) == x, "hat at " + std::to_string(pov));
  }
  struct SizeCase {
    RECT outer;
    int clientWidth, clientHeight, width, height;
  };
  for (const SizeCase& c : {SizeCase{{0, 0, 646, 505}, 640, 480, 646, 505}, SizeCase{{10, 20, 650, 500}, 634, 455, 646, 505},
                            SizeCase{{-5, -5, 700, 600}, 0, 0, 1345, 1085}}) {
    const OuterSize size = OuterSizeForClient(c.outer, c.clientWidth, c.clientHeight);
    Check(size.width == c.width && size.height == c.height, "outer size for client " + std::to_string(c.clientWidth));
  }
}

// 640x480 off-screen, in the desktop's format or in 16-bit 565.
IDirectDrawSurface7* MakeSurface(IDirectDraw7* ddraw, bool rgb565) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | (rgb565 ? DDSD_PIXELFORMAT : 0);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = 640;
  desc.dwHeight = 480;
  desc.ddpfPixelFormat = {sizeof desc.ddpfPixelFormat, DDPF_RGB, 0, {16}, {0xF800}, {0x07E0}, {0x001F}, {0}};
  IDirectDrawSurface7* surface = nullptr;
  return SUCCEEDED(ddraw->CreateSurface(&desc, &surface, nullptr)) ? surface : nullptr;
}

// A surface's pixels as 0xRRGGBB, and the box of those unlike `background`.
struct Pixels {
  int width = 0, height = 0;
  std::string rgb;
  explicit Pixels(IDirectDrawSurface7* surface) { rgb = ReadRgbPixels(surface, width, height); }
  std::uint32_t At(int x, int y) const {
    const auto* p = reinterpret_cast<const unsigned char*>(rgb.data()) + (static_cast<std::size_t>(y) * width + x) * 3;
    return width == 0 ? 0xBADu : std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
  }
  std::array<int, 5> Ink(std::uint32_t background) const {  // left, top, right, bottom, count
    std::array<int, 5> box{1 << 30, 1 << 30, -1, -1, 0};
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        if (At(x, y) == background) continue;
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), std::max(box[3], y), box[4] + 1};
      }
    }
    return box;
  }
};

void CheckSurface(IDirectDraw7* ddraw, bool rgb565) {
  const std::string format = rgb565 ? " (565)" : " (desktop format)";
  IDirectDrawSurface7* raw = MakeSurface(ddraw, rgb565);
  Check(raw != nullptr, "off-screen surface" + format);
  if (raw == nullptr) return;
  DirectDrawSurface surface(raw);
  DrawContext* dc = surface.GetDC();
  Check(dc != nullptr && surface.GetDC() == nullptr, "one context at a time" + format);
  Check(dc->SelectPen(nullptr) == nullptr && dc->SelectFont(nullptr) == nullptr, "selecting nothing gives nothing");
  surface.ReleaseDC(dc);

  const std::vector<std::pair<std::uint32_t, std::uint32_t>> fills =
      rgb565 ? std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0xFFFFFF, 0xFFFFFF}, {0xF800, 0xFF0000},
                                                                    {0x0841, 0x080808}, {0x10000, 0}}
             : std::vector<std::pair<std::uint32_t, std::uint32_t>>{{0xFFFFFF, 0xFFFFFF}, {0xE1E1FF, 0xE1E1FF}};
  for (const auto& [fill, rgb] : fills) {
    surface.ColorFill(fill);
    const Pixels p(surface.get());
    Check(p.At(0, 0) == rgb && p.At(639, 479) == rgb, "fill " + std::to_string(fill) + format);
  }

  auto gs = std::make_unique<GameState>();
  gs->DDBack = &surface;
  constexpr std::uint32_t kWhite = 0xFFFFFF;
  surface.ColorFill(kWhite);
  DD_DrawLine(*gs, 100, 100, 100, 100, 1, 0, 0, 0);
  Check(Pixels(surface.get()).Ink(kWhite)[4] == 0, "a one-pixel line of no length sets nothing" + format);
  DD_DrawLine(*gs, 10, 10, 20, 10, 1, 256, 511, 0);
  const Pixels line(surface.get());
  Check(line.At(10, 10) == 0x00FF00 && line.At(20, 10) == kWhite && line.Ink(kWhite)[4] == 10,
        "ten pixels of a line in the low 8 bits of each colour, not its end" + format);
  for (int width : {2, 3, 4, 5, 8}) {
    surface.ColorFill(kWhite);
    DD_DrawLine(*gs, 100, 100, 100, 100, width, 5, 155, 255);
    const auto box = Pixels(surface.get()).Ink(kWhite);
    Check(box[2] - box[0] + 1 == width && box[3] - box[1] + 1 == width,
          "a dot " + std::to_string(width) + " pixels across" + format);
  }
  surface.ColorFill(kWhite);
  DD_FontShow(*gs, "", 18, 50, 50, 5, 155, 255, false);
  Check(Pixels(surface.get()).Ink(kWhite)[4] == 0, "an empty text draws nothing" + format);
  DD_FontShow(*gs, "MAP_DATA", 18, 320, 420, 5, 155, 255, false);
  const auto text = Pixels(surface.get()).Ink(kWhite);
  Check(text[4] > 50 && text[0] >= 320 && text[1] >= 420 && text[3] < 420 + 18 && text[2] < 320 + 120,
        "MAP_DATA in its cell" + format);

  // The HUD's opaque text: a box in the default white background from the
  // given corner, as high as the font's cell and as wide as the advance.
  surface.ColorFill(0);
  SIZE extent{};
  TEXTMETRICW metrics{};
  DrawContext* hud = surface.GetDC();
  FontRequest request;
  request.height = 20;
  Font* font = hud->CreateFont(request);
  Font* kept = hud->SelectFont(font);
  hud->SetBkMode(BkMode::Opaque);
  hud->TextOut(40, 20, "goalCount: 0", 12);
  GetTextExtentPoint32W(static_cast<GdiContext*>(hud)->hdc(), L"goalCount: 0", 12, &extent);
  GetTextMetricsW(static_cast<GdiContext*>(hud)->hdc(), &metrics);
  hud->SelectFont(kept);
  hud->DeleteFont(font);
  surface.ReleaseDC(hud);
  const auto box = Pixels(surface.get()).Ink(0);
  Check((std::array{box[0], box[1], box[2], box[3]}) ==
            (std::array<int, 4>{40, 20, 40 + extent.cx - 1, 20 + metrics.tmHeight - 1}),
        "opaque text box" + format);
}

void PumpMessages() {
  for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The windowed program's window: asked for at an outer 640x480, shown, and
// then its client area is 640x480 whatever the frame takes.
void CheckWindowSize() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = [](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
    if (message != WM_SIZE) return DefWindowProcW(hwnd, message, wParam, lParam);
    KeepClientSize(hwnd, wParam, lParam);
    return 0;
  };
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Sizing Check";
  RegisterClassW(&windowClass);
  const HWND hwnd = CreateWindowExW(0, L"Sizing Check", L"sizing check", WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 640, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  PumpMessages();
  RECT client{}, before{}, after{};
  GetClientRect(hwnd, &client);
  Check(client.right == 640 && client.bottom == 480, "client area after the first showing");
  GetWindowRect(hwnd, &before);
  SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  GetWindowRect(hwnd, &after);
  Check(EqualRect(&before, &after) != 0, "a minimised size notification leaves the window alone");
  // A wrong client size grows the window by the difference, and the
  // notification of that resize brings it back.
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
  PumpMessages();
  GetWindowRect(hwnd, &after);
  Check(EqualRect(&before, &after) != 0, "after a client of 600x400 was reported the window is as it was");
  DestroyWindow(hwnd);
  PumpMessages();
}

// The full-screen display: a front surface lost to another program is
// restored by the presentation that finds it lost, whose frame is not
// shown; frames show again once it is back. Needs a virtual desktop, where
// the display mode can change.
void CheckLostSurface() {
  const HWND hwnd = CreateWindowExW(0, L"STATIC", L"lost", WS_POPUP, 0, 0, 640, 480, nullptr, nullptr,
                                    GetModuleHandleW(nullptr), nullptr);
  ShowWindow(hwnd, SW_SHOW);
  MessageQueue queue;
  NullProcedure proc;
  auto gs = std::make_unique<GameState>();
  gs->hwnd = queue.CreateWindow(proc, hwnd);
  Check(win32::DD_INIT(*gs), "full-screen display");
  if (gs->DDFront == nullptr || gs->DDBack == nullptr) return;
  IDirectDrawSurface7* front = static_cast<DirectDrawSurface*>(gs->DDFront)->get();
  const auto shown = [&] { return Pixels(front).At(320, 240); };
  gs->DDBack->ColorFill(0xF800);
  win32::DD_Present(*gs);
  Check(shown() == 0xFF0000, "a frame shown");
  SendMessageW(hwnd, WM_ACTIVATEAPP, FALSE, 0);  // another program takes the screen
  Check(front->IsLost() == DDERR_SURFACELOST, "the front surface lost");
  SendMessageW(hwnd, WM_ACTIVATEAPP, TRUE, 0);   // and gives it back; the loop
  SetForegroundWindow(hwnd);                      // takes the messages before
  PumpMessages();                                 // the next frame
  gs->DDBack->ColorFill(0x07E0);
  win32::DD_Present(*gs);
  Check(shown() != 0x00FF00, "the frame that finds it lost is not shown");
  // Restored there; Wine's surface comes back on the second restore.
  int frames = 1;
  for (; frames <= 3 && shown() != 0x00FF00; ++frames) {
    gs->DDBack->ColorFill(0x07E0);
    win32::DD_Present(*gs);
  }
  Check(front->IsLost() == DD_OK && shown() == 0x00FF00, "shown again " + std::to_string(frames) + " frames on");
  win32::DD_END(*gs);
  DestroyWindow(hwnd);
}

IDirectDraw7* OpenDirectDraw() {
  IDirectDraw7* ddraw = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&ddraw), IID_IDirectDraw7, nullptr))) return nullptr;
  ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  return ddraw;
}

int DrawTestCard(const char* path, bool rgb565) {
  IDirectDraw7* ddraw = OpenDirectDraw();
  int status = 1;
  if (IDirectDrawSurface7* raw = ddraw != nullptr ? MakeSurface(ddraw, rgb565) : nullptr) {
    DirectDrawSurface surface(raw);
    if (DrawPattern(surface)) {
      int width = 0, height = 0;
      const std::string rgb = ReadRgbPixels(surface.get(), width, height);
      if (WritePpm(path, width, height, rgb)) status = 0;
    }
  }
  if (ddraw != nullptr) ddraw->Release();
  if (status != 0) std::fprintf(stderr, "cannot draw the test card into %s\n", path);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--pattern") == 0) {
    return DrawTestCard(argv[2], argc >= 4 && std::strcmp(argv[3], "--16") == 0);
  }
  if (argc >= 2 && std::strcmp(argv[1], "--lost") == 0) {
    CheckLostSurface();
    return Summary();
  }
  CheckTextsAndFonts();
  CheckHelpers();
  CheckWindowSize();
  IDirectDraw7* ddraw = OpenDirectDraw();
  Check(ddraw != nullptr, "DirectDraw object");
  if (ddraw != nullptr) {
    CheckSurface(ddraw, false);
    CheckSurface(ddraw, true);
    ddraw->Release();
  }
  return Summary();
}
