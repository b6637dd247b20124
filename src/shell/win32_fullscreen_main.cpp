// racer on Windows: the game in DirectDraw's exclusive full-screen mode.
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
#include "shell/window_events.h"

namespace {

class FullScreenFrame final : public FrameScreen {
 public:
  void BackInit(GameState& gs) override { DD_BackInit(gs); }
  void Present(GameState& gs) override { DD_Present(gs); }
};

constexpr UINT kClassStyle = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;  // 0x000B
constexpr DWORD kWindowStyle = WS_POPUP | WS_SYSMENU;              // 0x80080000

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showMode) {
  UseBinaryStandardError();
  TestMode test;
  if (std::string error; !test.Start(error)) {
    std::fprintf(stderr, "test mode: %s\n", error.c_str());
    return 2;
  }
  auto gs = std::make_unique<GameState>();

  WNDCLASSW windowClass{};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = GameWindowProc;
  windowClass.hInstance = instance;
  // The program has no icon resource of that name, so the class gets none.
  windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszMenuName = L"DEFAULT";
  windowClass.lpszClassName = L"DEFAULT";
  RegisterClassW(&windowClass);

  const HWND hwnd = CreateWindowExW(0, L"DEFAULT", L"DEFAULT", kWindowStyle, 0, 0,
                                    GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                    nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return 1;

  MessageQueue queue;
  Win32Input keyboard;
  Win32Clock clock;
  Win32ShellDevices devices(&DD_END);
  WindowProc procedure(*gs, queue, devices);
  gs->hwnd = AdoptWindow(queue, procedure, hwnd);
  gs->hInstance = instance;
  BindGameWindow(queue, gs->hwnd);
  InstallWin32MessageBox(*gs);
  ShowWindow(hwnd, showMode);
  UpdateWindow(hwnd);
  Win32EventSource events(gs->hwnd);
  queue.SetEventSource(&events);

  if (!DD_INIT(*gs)) {
    ShowMessage(gs->hwnd, kDisplayStartFailed, "");
    return EndFailedStart(*gs, queue, devices);
  }
  if (!DS_INIT(*gs)) {
    ShowMessage(gs->hwnd, kSoundStartFailed, "");
    return EndFailedStart(*gs, queue, devices);
  }
  devices.ShowCursor(false);
  StartPacing(*gs, clock);
  TimerResolution resolution;

  FullScreenFrame screen;
  InputDevice& input = test.on() ? test.input() : keyboard;
  RunMessageLoop(queue, [&] {
    test.BeforeFrame();
    RunFrame(*gs, input, clock, screen);
    if (test.AfterFrame(*gs)) queue.PostMessage(gs->hwnd, WM_CLOSE_MSG, 0, 0);
  });
  // The devices went with the window; a normal quit is a success.
  return test.failed() ? 1 : 0;
}
