#include "platform/win32/layer.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "platform/win32/display.h"
#include "platform/win32/text.h"
#include "platform/win32/window_size.h"
#include "shell/error_report.h"
#include "shell/window_messages.h"

namespace {

// Message boxes with MessageBoxW, owned by the window where there is one.
// With the display device open the desktop's surface is put on the screen
// first, so that the box can be seen over the exclusive mode.
void InstallMessageBox(GameState& gs) {
  SetMessageBoxPresenter([&gs](PlatformWindow* owner, const char* text, const char* caption) {
    DD_FlipToGDISurface(gs);
    const HWND window = owner != nullptr ? static_cast<HWND>(owner->native) : nullptr;
    const std::wstring wideText = WideFromUtf8(text);
    const std::wstring wideCaption = WideFromUtf8(caption);
    return MessageBoxW(window, wideText.c_str(), wideCaption.c_str(), MB_OK) != 0;
  });
}

void ShowGameCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

void MinimizeWindow(PlatformWindow* hwnd) {
  if (hwnd != nullptr && hwnd->native != nullptr) ::CloseWindow(static_cast<HWND>(hwnd->native));
}

// The windowed program's native procedure: the size notification keeps the
// client area at 640x480; the rest is the game's window procedure.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    KeepClientSize(hwnd, wParam, lParam);
    return 0;
  }
  return GameWindowProc(hwnd, message, wParam, lParam);
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
                                          GameWindowProc, instance, instance);
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
                                          MainWindowProc, instance, nullptr);
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) return nullptr;
  return CreateWindowExW(0, kClassName, L"VELTIX RACE", WS_CAPTION | WS_SYSMENU,  // 0x00C80000
                         CW_USEDEFAULT, CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance,
                         nullptr);
}

}  // namespace

Win32Platform::Win32Platform(Program program, HINSTANCE instance, int showMode)
    : program_(program),
      instance_(instance),
      showMode_(showMode),
      devices_(DevicesFor(program, &ShowGameCursor, &MinimizeWindow)) {
  _setmode(_fileno(stderr), _O_BINARY);
}

bool Win32Platform::StartTestMode() {
  std::string error;
  if (test_.Start(error)) return true;
  std::fprintf(stderr, "test mode: %s\n", error.c_str());
  return false;
}

InputDevice& Win32Platform::input() { return test_.on() ? test_.input() : keyboard_; }

PlatformWindow* Win32Platform::OpenWindow(GameState& gs, MessageQueue& queue,
                                          WindowProcedure& procedure) {
  gs.hInstance = instance_;
  const HWND hwnd = program_ == Program::FullScreen ? CreateFullScreenWindow(instance_)
                                                    : CreateWindowedWindow(instance_);
  if (hwnd == nullptr) return nullptr;
  gs.hwnd = queue.CreateWindow(procedure, hwnd, [hwnd] { DestroyWindow(hwnd); });
  queue_ = &queue;
  BindGameWindow(queue, gs.hwnd);
  InstallMessageBox(gs);
  ShowWindow(hwnd, showMode_);
  UpdateWindow(hwnd);
  events_ = std::make_unique<Win32EventSource>(gs.hwnd);
  queue.SetEventSource(events_.get());
  return gs.hwnd;
}

void Win32Platform::AfterFrame(GameState& gs) {
  if (test_.AfterFrame(gs)) queue_->PostMessage(gs.hwnd, WM_CLOSE_MSG, 0, 0);
}
