#include "shell/win32_startup.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string>

#include "media/win32_display.h"
#include "media/win32_sound.h"
#include "shell/error_report.h"
#include "shell/win32_text.h"

void UseBinaryStandardError() { _setmode(_fileno(stderr), _O_BINARY); }

void InstallWin32MessageBox(GameState& gs) {
  SetMessageBoxPresenter([&gs](PlatformWindow* owner, const char* text, const char* caption) {
    DD_FlipToGDISurface(gs);
    const HWND window = owner != nullptr ? static_cast<HWND>(owner->native) : nullptr;
    const std::wstring wideText = WideFromUtf8(text);
    const std::wstring wideCaption = WideFromUtf8(caption);
    return MessageBoxW(window, wideText.c_str(), wideCaption.c_str(), MB_OK) != 0;
  });
}

PlatformWindow* AdoptWindow(MessageQueue& queue, WindowProcedure& procedure, HWND hwnd) {
  return queue.CreateWindow(procedure, hwnd, [hwnd] { DestroyWindow(hwnd); });
}

void Win32ShellDevices::ShowCursor(bool show) { ::ShowCursor(show ? TRUE : FALSE); }

void Win32ShellDevices::DD_END(GameState& gs) { displayEnd_(gs); }

void Win32ShellDevices::DS_END(GameState& gs) { ::DS_END(gs); }

void Win32ShellDevices::CloseWindow(PlatformWindow* hwnd) {
  if (hwnd != nullptr && hwnd->native != nullptr) ::CloseWindow(static_cast<HWND>(hwnd->native));
}

int EndFailedStart(GameState& gs, MessageQueue& queue, ShellDevices& devices) {
  devices.DS_END(gs);
  devices.DD_END(gs);
  queue.DestroyWindow(gs.hwnd);
  return 1;
}
