// racer_window on Windows: the game in a captioned window whose client area
// is 640x480, drawn off-screen and copied to the window once per frame.
#include <cstdio>
#include <memory>
#include <string>

#include "media/primitives.h"
#include "media/win32_display.h"
#include "media/win32_sound.h"
#include "shell/error_report.h"
#include "shell/frame_loop.h"
#include "shell/win32_clock.h"
#include "shell/win32_events.h"
#include "shell/win32_input.h"
#include "shell/win32_startup.h"
#include "shell/win32_test_mode.h"
#include "windowed/main_wnd_proc.h"
#include "windowed/win32_window_size.h"

namespace {

constexpr wchar_t kAppName[] = L"VELTIX RACE";
constexpr wchar_t kClassName[] = L"Main Window";
constexpr UINT kClassStyle = CS_HREDRAW | CS_VREDRAW | CS_BYTEALIGNCLIENT;  // 0x1003
constexpr DWORD kWindowStyle = WS_CAPTION | WS_SYSMENU;                     // 0x00C80000

class WindowedFrame final : public FrameScreen {
 public:
  void BackInit(GameState& gs) override { windowed::DD_BackInit(gs); }
  void Present(GameState& gs) override { windowed::DD_Present(gs); }
};

void EndDisplay(GameState& gs) { windowed::DD_END(gs); }

// The size notification keeps the client area at 640x480; the rest is the
// game's window procedure.
LRESULT CALLBACK MainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    KeepClientSize(hwnd, wParam, lParam);
    return 0;
  }
  return GameWindowProc(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  UseBinaryStandardError();
  TestMode test;
  if (std::string error; !test.Start(error)) {
    std::fprintf(stderr, "test mode: %s\n", error.c_str());
    return 2;
  }
  auto gs = std::make_unique<GameState>();
  gs->hInstance = instance;

  WNDCLASSW windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = MainWindowProc;
  windowClass.hInstance = instance;
  // Asked for without a module: the class gets no icon.
  windowClass.hIcon = LoadIconW(nullptr, L"IDI_ICON1");
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0) return 1;

  const HWND hwnd = CreateWindowExW(0, kClassName, kAppName, kWindowStyle, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 640, 480, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;

  MessageQueue queue;
  Win32Input keyboard;
  Win32Clock clock;
  Win32ShellDevices devices(&EndDisplay);
  MainWndProc procedure(*gs, queue, devices);
  gs->hwnd = AdoptWindow(queue, procedure, hwnd);
  BindGameWindow(queue, gs->hwnd);
  InstallWin32MessageBox(*gs);
  ShowWindow(hwnd, showMode);
  UpdateWindow(hwnd);
  Win32EventSource events(gs->hwnd);
  queue.SetEventSource(&events);

  // The windowed display answers 1 or 0 rather than true or false.
  const bool startFailed = !windowed::StartDevices(
      *gs, queue, [](GameState& g) { return windowed::DD_INIT(g) != 0; }, &DS_INIT);
  StartPacing(*gs, clock);
  gs->dispColor = 255;
  TimerResolution resolution;

  WindowedFrame screen;
  InputDevice& input = test.on() ? test.input() : keyboard;
  RunMessageLoop(queue, [&] {
    test.BeforeFrame();
    RunFrame(*gs, input, clock, screen);
    if (test.AfterFrame(*gs)) queue.PostMessage(gs->hwnd, WM_CLOSE_MSG, 0, 0);
  });
  return startFailed || test.failed() ? 1 : 0;
}
