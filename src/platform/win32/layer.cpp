#include "platform/win32/layer.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "headless/test_mode.h"
#include "platform/win32/display.h"
#include "platform/win32/input.h"
#include "platform/win32/text.h"
#include "platform/win32/window_size.h"
#include "shell/error_report.h"
#include "shell/window_messages.h"

namespace {

// The windowed program's native procedure: the size notification keeps the
// client area at 640x480 (scaled with the display); moved to a display of
// another scale, the window takes the place Windows suggests, and its size
// from there; the rest is the game's window procedure.
LRESULT CALLBACK Win32WindowedWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED
  if (message == WM_SIZE) {
    KeepClientSize(hwnd, wParam, lParam);
    return 0;
  }
  if (message == kDpiChanged) {
    const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
  }
  return Win32GameWindowProc(hwnd, message, wParam, lParam);
}

// What both programs' window classes have: the standard arrow cursor, the
// stock black brush, no extra class or window bytes, and the icon
// "IDI_ICON1", which no module here has, so the class gets none.
WNDCLASSW GameWindowClass(UINT style, WNDPROC procedure, HINSTANCE instance, HINSTANCE iconModule) {
  WNDCLASSW windowClass{};
  windowClass.style = style;
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(iconModule, L"IDI_ICON1");
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  return windowClass;
}

// The full-screen program's window: class and title "DEFAULT", a pop-up
// with a system menu over the whole screen. The class's registration is
// not checked: the window's creation shows whether it took.
HWND CreateFullScreenWindow(HINSTANCE instance) {
  WNDCLASSW windowClass = GameWindowClass(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS,  // 0x000B
                                          Win32GameWindowProc, instance, instance);
  windowClass.lpszMenuName = L"DEFAULT";
  windowClass.lpszClassName = L"DEFAULT";
  RegisterClassW(&windowClass);
  return CreateWindowExW(0, L"DEFAULT", L"DEFAULT", WS_POPUP | WS_SYSMENU,  // 0x80080000
                         0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                         nullptr, nullptr, instance, nullptr);
}

// The windowed program's window: class "Main Window", titled "VELTIX RACE",
// a caption with the system menu and no sizing border, 640x480 outside
// until the first size notification makes the client area that size.
HWND CreateWindowedWindow(HINSTANCE instance) {
  constexpr wchar_t kClassName[] = L"Main Window";
  WNDCLASSW windowClass = GameWindowClass(CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT,  // 0x1003
                                          Win32WindowedWindowProc, instance, nullptr);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) return nullptr;
  return CreateWindowExW(0, kClassName, L"VELTIX RACE", WS_CAPTION | WS_SYSMENU,  // 0x00C80000
                         CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance,
                         nullptr);
}

}  // namespace

Win32Platform::Win32Platform(Program program, HINSTANCE instance, int showMode)
    : program_(program), instance_(instance), showMode_(showMode) {
  _setmode(_fileno(stderr), _O_BINARY);
}

std::optional<std::uint16_t> Win32Platform::SystemKeyState(int virtualKey) {
  return ::SystemKeyState(virtualKey);
}

bool Win32Platform::JoyGetPos(JoystickInfo& info) { return SystemJoyGetPos(info); }

PlatformWindow* Win32Platform::OpenWindow(GameState& gs, MessageQueue& queue,
                                          WindowProcedure& procedure) {
  const HWND hwnd = program_ == Program::FullScreen ? CreateFullScreenWindow(instance_)
                                                    : CreateWindowedWindow(instance_);
  if (hwnd == nullptr) return nullptr;
  gs.hwnd = queue.CreateWindow(procedure, hwnd, [hwnd] { DestroyWindow(hwnd); });
  gs_ = &gs;
  BindGameWindow(queue, gs.hwnd);
  ShowWindow(hwnd, showMode_);
  UpdateWindow(hwnd);
  events_ = std::make_unique<Win32EventSource>(gs.hwnd);
  queue.SetEventSource(events_.get());
  return gs.hwnd;
}

bool Win32Platform::ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) {
  if (gs_ != nullptr) win32::DD_FlipToGDISurface(*gs_);
  const HWND window = owner != nullptr ? static_cast<HWND>(owner->native) : nullptr;
  const std::wstring wideText = WideFromUtf8(text);
  const std::wstring wideCaption = WideFromUtf8(caption);
  return MessageBoxW(window, wideText.c_str(), wideCaption.c_str(), MB_OK) != 0;
}

bool Win32Platform::DD_INIT(GameState& gs) {
  return program_ == Program::FullScreen ? win32::DD_INIT(gs) : win32::windowed::DD_INIT(gs) != 0;
}

void Win32Platform::DD_END(GameState& gs) {
  if (program_ == Program::FullScreen) {
    win32::DD_END(gs);
  } else {
    win32::windowed::DD_END(gs);
  }
}

void Win32Platform::DD_Present(GameState& gs) {
  if (program_ == Program::FullScreen) {
    win32::DD_Present(gs);
  } else {
    win32::windowed::DD_Present(gs);
  }
}

bool Win32Platform::DS_INIT(GameState& gs) { return win32::DS_INIT(gs); }

void Win32Platform::DS_END(GameState& gs) { win32::DS_END(gs); }

void Win32Platform::ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

// Windows' CloseWindow minimises the window; it does not close it.
void Win32Platform::MinimizeWindow(PlatformWindow* hwnd) {
  if (hwnd != nullptr && hwnd->native != nullptr) ::CloseWindow(static_cast<HWND>(hwnd->native));
}

int Win32Main(const ProgramDefinition& program, HINSTANCE instance, int showMode) {
  Win32Platform platform(program.id, instance, showMode);
  return RunProgramOrTestMode(program, platform);
}
