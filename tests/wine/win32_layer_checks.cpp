// Checks of the Windows layer that need Windows (here: Wine): the text
// conversions, the font description, the DirectDraw surface with its GDI
// context and the drawing primitives over it, and the small helpers.
//
//   racer_wine_checks                       runs the checks; exit status = failures
//   racer_wine_checks --pattern FILE [--16] draws the test card, writes a PPM
//   racer_wine_checks --fonts               what the font mapper picks for the game
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "media/primitives.h"
#include "platform/win32/surface.h"
#include "pattern.h"
#include "shell/error_report.h"
#include "game_state.h"
#include "platform/win32/input.h"
#include "platform/win32/test_mode.h"
#include "platform/win32/text.h"
#include "platform/win32/window_size.h"

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

std::string Hex(const std::wstring& text) {
  std::string out;
  char buffer[8];
  for (wchar_t c : text) {
    std::snprintf(buffer, sizeof buffer, "%04X ", static_cast<unsigned>(c));
    out += buffer;
  }
  return out;
}

void CheckTexts() {
  struct Case {
    const char* bytes;
    int length;  // -1: UTF-8, zero-terminated
    std::wstring expected;
  };
  const Case cases[] = {
      {"エラー発生", -1, L"\u30A8\u30E9\u30FC\u767A\u751F"},
      {"標準明朝", -1, L"\u6A19\u6E96\u660E\u671D"},
      {"DirectSoundの協調に失敗しました", -1,
       L"DirectSound\u306E\u5354\u8ABF\u306B\u5931\u6557\u3057\u307E\u3057\u305F"},
      {"", -1, L""},
      {"\x95\x57\x8f\x80\x96\xbe\x92\xa9", 8, L"\u6A19\u6E96\u660E\u671D"},
      {"\x83\x47\x83\x89\x81\x5b", 6, L"\u30A8\u30E9\u30FC"},
      {"TURN: -5", 8, L"TURN: -5"},
      {"ABCDEF", 3, L"ABC"},  // the length counts, not the terminator
      {"\"map.txt\" not found.", 20, L"\"map.txt\" not found."},
      {"x", 0, L""},
  };
  for (const Case& c : cases) {
    const std::wstring got =
        c.length < 0 ? WideFromUtf8(c.bytes) : WideFromShiftJis(c.bytes, c.length);
    Check(got == c.expected, std::string("text conversion of \"") + c.bytes + "\": got " + Hex(got) +
                                 " expected " + Hex(c.expected));
  }
  Check(WideFromUtf8(nullptr).empty(), "null UTF-8 text gives an empty string");
}

void CheckFontDescription() {
  FontRequest request;
  request.height = 18;
  request.italic = false;
  request.faceName = "標準明朝";
  LOGFONTW font = LogFontFromRequest(request);
  Check(std::wstring(font.lfFaceName) == L"\u6A19\u6E96\u660E\u671D", "Mincho face name in UTF-16");
  Check(font.lfHeight == 18 && font.lfWidth == 0 && font.lfWeight == 400 && font.lfItalic == 0 &&
            font.lfCharSet == 128 && font.lfEscapement == 0 && font.lfUnderline == 0 &&
            font.lfStrikeOut == 0 && font.lfQuality == 0 && font.lfPitchAndFamily == 0,
        "font description fields");
  request.italic = true;
  request.faceName = "";
  font = LogFontFromRequest(request);
  Check(font.lfItalic == TRUE && font.lfFaceName[0] == L'\0', "italic, no face name");
  const std::string longName(40, 'F');
  request.faceName = longName.c_str();
  font = LogFontFromRequest(request);
  Check(std::wstring(font.lfFaceName) == std::wstring(31, L'F'), "face name cut to 31 characters");
}

void CheckHelpers() {
  const std::pair<std::uint32_t, std::uint32_t> buttons[] = {
      {0u, 0u}, {1u, 1u}, {6u, 6u}, {0xFu, 0xFu}, {0x10u, 0u}, {0x1Fu, 0xFu}, {0xFFFFFFFFu, 0xFu}};
  for (const auto& [system, game] : buttons) {
    Check(GameButtons(system) == game, "joystick buttons " + std::to_string(system));
  }

  struct SizeCase {
    RECT outer;
    int clientWidth, clientHeight;
    int width, height;
  };
  const SizeCase sizes[] = {
      {{0, 0, 646, 505}, 640, 480, 646, 505},   // already right: the same size again
      {{10, 20, 650, 500}, 634, 455, 646, 505},  // the first showing, outer 640x480
      {{-5, -5, 700, 600}, 0, 0, 1345, 1085},
  };
  for (const SizeCase& c : sizes) {
    const OuterSize size = OuterSizeForClient(c.outer, c.clientWidth, c.clientHeight);
    Check(size.width == c.width && size.height == c.height,
          "outer size for client " + std::to_string(c.clientWidth) + "x" +
              std::to_string(c.clientHeight) + ": got " + std::to_string(size.width) + "x" +
              std::to_string(size.height));
  }

  struct ModeCase {
    const char* script;
    const char* frame;
    const char* picture;
    bool on;
    bool error;
    long long expectedFrame;
  };
  const ModeCase modes[] = {
      {nullptr, nullptr, nullptr, false, false, 0},
      {nullptr, "5", "out.ppm", false, false, 0},  // off without a script
      {"s.txt", "10", "out.ppm", true, false, 10},
      {"s.txt", "1", "out.ppm", true, false, 1},
      {"s.txt", "0", "out.ppm", false, true, 0},
      {"s.txt", "-3", "out.ppm", false, true, 0},
      {"s.txt", "12a", "out.ppm", false, true, 0},
      {"s.txt", "", "out.ppm", false, true, 0},
      {"s.txt", nullptr, "out.ppm", false, true, 0},
      {"s.txt", "99999999999999999999", "out.ppm", false, true, 0},
      {"s.txt", "10", nullptr, false, true, 0},
      {"s.txt", "10", "", false, true, 0},
      {"", "10", "out.ppm", false, true, 0},
  };
  for (const ModeCase& c : modes) {
    std::string error;
    const auto settings = ParseTestMode(c.script, c.frame, c.picture, error);
    const std::string label = std::string("test mode ") + (c.script ? c.script : "-") + " " +
                              (c.frame ? c.frame : "-") + " " + (c.picture ? c.picture : "-");
    Check(settings.has_value() == c.on, label + ": on");
    Check(error.empty() != c.error, label + ": error \"" + error + "\"");
    if (settings) Check(settings->frame == c.expectedFrame, label + ": frame");
  }

  const std::string path = "racer_wine_checks.ppm";
  Check(WritePpm(path, 2, 1, std::string("\x01\x02\x03\xFF\x00\x80", 6)), "PPM written");
  std::FILE* file = std::fopen(path.c_str(), "rb");
  std::string bytes;
  if (file != nullptr) {
    char buffer[64];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
    bytes.assign(buffer, n);
    std::fclose(file);
  }
  Check(bytes == std::string("P6\n2 1\n255\n\x01\x02\x03\xFF\x00\x80", 17), "PPM bytes");
  Check(!WritePpm(path, 2, 2, std::string(6, '\0')), "PPM of the wrong size refused");
  Check(!WritePpm(path, 0, 0, std::string()), "empty PPM refused");
  std::remove(path.c_str());
}

// A DirectDraw object in normal mode with no window, for off-screen surfaces.
IDirectDraw7* OpenDirectDraw() {
  IDirectDraw7* ddraw = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&ddraw), IID_IDirectDraw7,
                                nullptr))) {
    return nullptr;
  }
  ddraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
  return ddraw;
}

// 640x480 off-screen, in the desktop's format or in 16-bit 565.
IDirectDrawSurface7* MakeSurface(IDirectDraw7* ddraw, bool rgb565) {
  DDSURFACEDESC2 desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  desc.dwWidth = 640;
  desc.dwHeight = 480;
  if (rgb565) {
    desc.dwFlags |= DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = 16;
    desc.ddpfPixelFormat.dwRBitMask = 0xF800;
    desc.ddpfPixelFormat.dwGBitMask = 0x07E0;
    desc.ddpfPixelFormat.dwBBitMask = 0x001F;
  }
  IDirectDrawSurface7* surface = nullptr;
  if (FAILED(ddraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
  return surface;
}

struct Pixels {
  int width = 0;
  int height = 0;
  std::string rgb;
  std::uint32_t At(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[i])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(rgb[i + 1])) << 8 |
           static_cast<unsigned char>(rgb[i + 2]);
  }
};

Pixels Read(DirectDrawSurface& surface) {
  Pixels p;
  p.rgb = ReadRgbPixels(surface.get(), p.width, p.height);
  return p;
}

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;  // inclusive
  long long count = 0;
};

Box InkBox(const Pixels& p, std::uint32_t background) {
  Box box;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      if (p.At(x, y) == background) continue;
      ++box.count;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

void CheckSurface(IDirectDraw7* ddraw, bool rgb565) {
  const std::string format = rgb565 ? " (565)" : " (desktop format)";
  IDirectDrawSurface7* raw = MakeSurface(ddraw, rgb565);
  Check(raw != nullptr, "off-screen surface" + format);
  if (raw == nullptr) return;
  DirectDrawSurface surface(raw);

  DrawContext* dc = surface.GetDC();
  Check(dc != nullptr, "context lent" + format);
  Check(surface.GetDC() == nullptr, "no second context while one is out" + format);
  surface.ReleaseDC(dc);
  DrawContext* again = surface.GetDC();
  Check(again != nullptr, "context lent again after it was given back" + format);
  if (again != nullptr) {
    Check(again->SelectPen(nullptr) == nullptr, "selecting no pen gives none back");
    Check(again->SelectFont(nullptr) == nullptr, "selecting no font gives none back");
    surface.ReleaseDC(again);
  }

  struct Fill {
    std::uint32_t raw;
    std::uint32_t rgb;
  };
  const std::vector<Fill> fills =
      rgb565 ? std::vector<Fill>{{0xFFFFFF, 0xFFFFFF}, {0xF800, 0xFF0000}, {0x0841, 0x080808},
                                 {0x07E0, 0x00FF00}, {0x10000, 0x000000}}
             : std::vector<Fill>{{0xFFFFFF, 0xFFFFFF}, {0xE1E1FF, 0xE1E1FF}, {0x0F0FFF, 0x0F0FFF},
                                 {0, 0}};
  for (const Fill& f : fills) {
    surface.ColorFill(f.raw);
    const Pixels p = Read(surface);
    Check(p.width == 640 && p.height == 480, "surface read back" + format);
    if (p.width != 640) return;
    char label[96];
    std::snprintf(label, sizeof label, "fill 0x%X reads 0x%06X at both corners, got 0x%06X", f.raw,
                  f.rgb, p.At(0, 0));
    Check(p.At(0, 0) == f.rgb && p.At(639, 479) == f.rgb, label + format);
  }

  GameState gs{};
  gs.DDBack = &surface;
  const std::uint32_t white = 0xFFFFFF;

  surface.ColorFill(white);
  DD_DrawLine(gs, 100, 100, 100, 100, 1, 0, 0, 0);
  Check(InkBox(Read(surface), white).count == 0, "a one-pixel line of no length sets nothing" + format);

  surface.ColorFill(white);
  DD_DrawLine(gs, 10, 10, 20, 10, 1, 256, 511, 0);
  Pixels p = Read(surface);
  Check(p.At(10, 10) == 0x00FF00 && p.At(19, 10) == 0x00FF00, "colour components: low 8 bits" + format);
  Check(p.At(20, 10) == white, "a one-pixel line leaves its end point" + format);
  Check(InkBox(p, white).count == 10, "a ten-pixel line sets ten pixels" + format);

  for (int width : {2, 3, 4, 5, 8}) {
    surface.ColorFill(white);
    DD_DrawLine(gs, 100, 100, 100, 100, width, 5, 155, 255);
    const Box box = InkBox(Read(surface), white);
    const int across = box.right - box.left + 1;
    const int high = box.bottom - box.top + 1;
    Check(across == width && high == width,
          "a dot of width " + std::to_string(width) + " is that many pixels across: got " +
              std::to_string(across) + "x" + std::to_string(high) + " at (" +
              std::to_string(box.left) + "," + std::to_string(box.top) + ")" + format);
  }

  surface.ColorFill(white);
  DD_FontShow(gs, "", 18, 50, 50, 5, 155, 255, false);
  Check(InkBox(Read(surface), white).count == 0, "an empty text draws nothing" + format);
  DrawContext* after = surface.GetDC();
  Check(after != nullptr, "the context came back after an empty text" + format);
  surface.ReleaseDC(after);

  DD_FontShow(gs, "MAP_DATA", 18, 320, 420, 5, 155, 255, false);
  const Box text = InkBox(Read(surface), white);
  Check(text.count > 50 && text.left >= 320 && text.top >= 420 && text.bottom < 420 + 18 &&
            text.right < 320 + 120,
        "MAP_DATA in its cell: " + std::to_string(text.count) + " pixels in x " +
            std::to_string(text.left) + ".." + std::to_string(text.right) + ", y " +
            std::to_string(text.top) + ".." + std::to_string(text.bottom) + format);

  // The HUD's opaque text: a box in the context's default background,
  // white, from the given corner, as high as the font's cell and as wide as
  // the text's advance.
  surface.ColorFill(0);
  SIZE extent{};
  TEXTMETRICW metrics{};
  DrawContext* hud = surface.GetDC();
  if (hud != nullptr) {
    FontRequest request;
    request.height = 20;
    Font* font = hud->CreateFont(request);
    Font* kept = hud->SelectFont(font);
    hud->SetBkMode(BkMode::Opaque);
    hud->SetTextColor(RGBRef(0, 0, 0));
    hud->TextOut(40, 20, "goalCount: 0", 12);
    const HDC hdc = static_cast<GdiContext*>(hud)->hdc();
    GetTextExtentPoint32W(hdc, L"goalCount: 0", 12, &extent);
    GetTextMetricsW(hdc, &metrics);
    hud->SelectFont(kept);
    hud->DeleteFont(font);
    surface.ReleaseDC(hud);
  }
  const Box box = InkBox(Read(surface), 0);
  Check(extent.cx > 0 && box.left == 40 && box.top == 20 && box.right == 40 + extent.cx - 1 &&
            box.bottom == 20 + metrics.tmHeight - 1,
        "opaque text box from (40,20), " + std::to_string(extent.cx) + "x" +
            std::to_string(metrics.tmHeight) + ": got x " + std::to_string(box.left) + ".." +
            std::to_string(box.right) + ", y " + std::to_string(box.top) + ".." +
            std::to_string(box.bottom) + format);
}

int DescribeFonts() {
  HDC screen = GetDC(nullptr);
  HDC hdc = CreateCompatibleDC(screen);
  struct Ask {
    int height;
    const char* face;
  };
  for (const Ask& ask : {Ask{20, ""}, Ask{18, "標準明朝"}, Ask{18, ""}, Ask{20, "標準明朝"}}) {
    FontRequest request;
    request.height = ask.height;
    request.faceName = ask.face;
    const LOGFONTW description = LogFontFromRequest(request);
    HFONT font = CreateFontIndirectW(&description);
    HGDIOBJ kept = SelectObject(hdc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(hdc, LF_FACESIZE, face);
    TEXTMETRICW metrics{};
    GetTextMetricsW(hdc, &metrics);
    char name[128] = {};
    WideCharToMultiByte(CP_UTF8, 0, face, -1, name, sizeof name, nullptr, nullptr);
    std::printf("height %d face \"%s\": %s, cell %ld = ascent %ld + descent %ld, internal leading %ld, average width %ld\n",
                ask.height, ask.face, name, metrics.tmHeight, metrics.tmAscent, metrics.tmDescent,
                metrics.tmInternalLeading, metrics.tmAveCharWidth);
    SelectObject(hdc, kept);
    DeleteObject(font);
  }
  DeleteDC(hdc);
  ReleaseDC(nullptr, screen);
  return 0;
}

LRESULT CALLBACK SizingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    KeepClientSize(hwnd, wParam, lParam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// The windowed program's window: asked for at an outer 640x480, shown, and
// then its client area is 640x480 whatever the frame takes.
void CheckWindowSize() {
  WNDCLASSW windowClass{};
  windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT;
  windowClass.lpfnWndProc = SizingProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"Sizing Check";
  Check(RegisterClassW(&windowClass) != 0, "window class registered");
  const HWND hwnd = CreateWindowExW(0, L"Sizing Check", L"sizing check", WS_CAPTION | WS_SYSMENU,
                                    CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
  Check(hwnd != nullptr, "window created");
  if (hwnd == nullptr) return;
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  PumpMessages();
  RECT client{};
  GetClientRect(hwnd, &client);
  Check(client.right == 640 && client.bottom == 480,
        "client area after the first showing: " + std::to_string(client.right) + "x" +
            std::to_string(client.bottom));
  RECT before{};
  GetWindowRect(hwnd, &before);
  SendMessageW(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
  RECT after{};
  GetWindowRect(hwnd, &after);
  Check(EqualRect(&before, &after) != 0, "a minimised size notification leaves the window alone");
  // A wrong client size makes the window grow by the difference, and the
  // notification of that resize brings it back: the same place and size.
  SendMessageW(hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(600, 400));
  PumpMessages();
  GetWindowRect(hwnd, &after);
  GetClientRect(hwnd, &client);
  Check(EqualRect(&before, &after) != 0 && client.right == 640 && client.bottom == 480,
        "after a client of 600x400 was reported the window is as it was");
  DestroyWindow(hwnd);
  PumpMessages();
}

int DrawTestCard(const char* path, bool rgb565) {
  IDirectDraw7* ddraw = OpenDirectDraw();
  if (ddraw == nullptr) {
    std::fprintf(stderr, "no DirectDraw\n");
    return 1;
  }
  int status = 1;
  if (IDirectDrawSurface7* raw = MakeSurface(ddraw, rgb565)) {
    DirectDrawSurface surface(raw);
    if (DrawPattern(surface)) {
      int width = 0;
      int height = 0;
      const std::string rgb = ReadRgbPixels(surface.get(), width, height);
      if (WritePpm(path, width, height, rgb)) status = 0;
    }
  }
  ddraw->Release();
  if (status != 0) std::fprintf(stderr, "cannot draw the test card into %s\n", path);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "--pattern") == 0) {
    const bool rgb565 = argc >= 4 && std::strcmp(argv[3], "--16") == 0;
    return DrawTestCard(argv[2], rgb565);
  }
  if (argc >= 2 && std::strcmp(argv[1], "--fonts") == 0) return DescribeFonts();
  CheckTexts();
  CheckFontDescription();
  CheckHelpers();
  CheckWindowSize();
  IDirectDraw7* ddraw = OpenDirectDraw();
  Check(ddraw != nullptr, "DirectDraw object");
  if (ddraw != nullptr) {
    CheckSurface(ddraw, false);
    CheckSurface(ddraw, true);
    ddraw->Release();
  }
  std::printf("%d checks, %d failed\n", checks, failures);
  return failures;
}
