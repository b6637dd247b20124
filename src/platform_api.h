// The seam between the game and a platform: every service the game asks of
// one, in one place. The game's code keeps the Win32 names the design gives
// these services (GetAsyncKeyState, QueryPerformanceCounter, DD_INIT, ...);
// each section says what a platform must do to answer them.
//
// Three platforms provide them, each in a folder of its own that nothing
// else reaches into:
//   src/platform/sdl/    Linux: SDL2 for the window, keys, joystick, timers,
//                        presentation and sound; the back buffer is the
//                        software one of src/media/.
//   src/platform/win32/  Windows: the Win32 API, DirectDraw 7 surfaces drawn
//                        on with GDI, DirectSound and winmm.
//   src/platform/web/    A browser page, over WebAssembly: a canvas, the
//                        page's keys and gamepad, Web Audio and alert; the
//                        software back buffer with glyphs from a table.
// Without a window at all, src/headless/ runs the game's frames for the
// tools and the tests.
#pragma once

#include <cstdint>
#include <functional>

#include "game_state.h"

class MessageQueue;

// The two programs of the game: racer takes the whole screen, racer_window
// runs in a 640x480 window. Apart from the screen they play the same.
enum class Program { FullScreen, Windowed };

// ---------------------------------------------------------------------------
// Keys and joystick 1, polled by MainLoopControl once a frame.

// Virtual-key codes of the keys the game polls.
enum VirtualKey : int {
  VK_ESCAPE_KEY = 0x1B,
  VK_LEFT_KEY = 0x25, VK_UP_KEY = 0x26, VK_RIGHT_KEY = 0x27, VK_DOWN_KEY = 0x28,
  VK_B_KEY = 0x42, VK_C_KEY = 0x43, VK_D_KEY = 0x44, VK_G_KEY = 0x47,
  VK_I_KEY = 0x49, VK_M_KEY = 0x4D, VK_O_KEY = 0x4F, VK_S_KEY = 0x53,
};

// Key-state answer bits.
constexpr std::uint16_t kKeyDownNow = 0x8000;
constexpr std::uint16_t kKeyWentDown = 0x0001;

struct JoystickInfo {
  std::uint32_t xPos = 32768;  // 0 to 65535, centre 32768
  std::uint32_t buttons = 0;   // button 1 = bit 0 ... button 4 = bit 3
};

class InputDevice {
 public:
  // Top bit: the key is down now; bit 0: it went down since this key's
  // previous query. Windows answers from the system; SDL builds the answer
  // from its key events (shell/key_state.h).
  virtual std::uint16_t GetAsyncKeyState(int virtualKey) = 0;
  // Joystick 1 (joyGetPosEx; on SDL the first joystick, axis 0 and buttons
  // 0 to 3). False when there is none or the query failed.
  virtual bool JoyGetPos(JoystickInfo& info) = 0;

 protected:
  ~InputDevice() = default;
};

// ---------------------------------------------------------------------------
// Clock and sleep, for the frame wait (shell/pacing.h).

class Clock {
 public:
  // The high-resolution counter and its counts per second (on Linux the
  // monotonic clock in nanoseconds); a counter that cannot be read answers 0.
  virtual std::int64_t QueryPerformanceCounter() = 0;
  virtual std::int64_t QueryPerformanceFrequency() = 0;
  // Milliseconds, wrapping after 49 days (SDL_GetTicks).
  virtual std::uint32_t timeGetTime() = 0;
  // Sleep(0) gives up the rest of the time slice; Sleep(n) sleeps n ms.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // A sleep until the counter reads `count`, on a timer that wakes within a
  // fraction of a millisecond of it. Where there is one (Linux), the frame
  // wait sleeps to its deadline and spins only the last moment; Windows
  // keeps its millisecond sleeps, yields and spin.
  virtual bool SleepsUntil() const { return false; }
  virtual void SleepUntil(std::int64_t /*count*/) {}
  // The system timer's resolution for the length of the loop, so that
  // Sleep(1) sleeps about a millisecond. Linux sleeps that finely anyway:
  // there the pair does nothing.
  virtual void timeBeginPeriod(std::uint32_t) {}
  virtual void timeEndPeriod(std::uint32_t) {}

 protected:
  ~Clock() = default;
};

// ---------------------------------------------------------------------------
// Window events. The game has its own message model (shell/window_messages.h);
// a platform feeds it the events of the game's window through an EventSource.

// Message numbers, as the window procedures know them.
enum WindowMessage : std::uint32_t {
  WM_NULL_MSG = 0,  // a platform event the game has no use for
  WM_DESTROY_MSG = 2,
  WM_CLOSE_MSG = 16,
  WM_QUIT_MSG = 18,
  WM_KEYDOWN_MSG = 256,
};

struct PlatformWindow;

struct Message {
  PlatformWindow* hwnd = nullptr;
  std::uint32_t message = WM_NULL_MSG;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
};

class WindowProcedure {
 public:
  virtual std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message,
                              std::uint64_t wParam, std::int64_t lParam) = 0;

 protected:
  ~WindowProcedure() = default;
};

// A window as the message model sees it. The handle stays valid memory for
// the life of the queue, so a stale handle can still be asked about.
struct PlatformWindow {
  WindowProcedure* procedure = nullptr;
  void* native = nullptr;  // the platform's window (HWND, SDL_Window*)
  std::function<void()> releaseNative;
  bool alive = true;
  bool destroying = false;
};

// Where the platform's input and window events come from: a key going down
// is WM_KEYDOWN_MSG with its virtual key, the close button and the desktop's
// quit request are WM_CLOSE_MSG, anything else WM_NULL_MSG. Poll returns
// false when none is waiting; it never waits.
class EventSource {
 public:
  virtual bool Poll(Message& out) = 0;

 protected:
  ~EventSource() = default;
};

// ---------------------------------------------------------------------------
// The display: a 640x480 back buffer the game draws on through a borrowed
// drawing context, GDI-style. The software back buffer (media/soft_surface.h)
// answers these calls on Linux and in the tools; GDI does on Windows.

// Colour reference: red in the lowest byte, green in the next, blue in the third.
using ColorRef = std::uint32_t;

constexpr ColorRef RGBRef(int red, int green, int blue) {
  return static_cast<ColorRef>(red & 0xFF) |
         (static_cast<ColorRef>(green & 0xFF) << 8) |
         (static_cast<ColorRef>(blue & 0xFF) << 16);
}

struct Pen;   // opaque: made by DrawContext::CreatePen
struct Font;  // opaque: made by DrawContext::CreateFont

// What a font is asked for by. A height above zero is the character cell's
// height in pixels. An empty face name means the platform's default face.
struct FontRequest {
  int height = 0;
  int width = 0;
  int weight = 400;
  bool italic = false;
  int charSet = 128;          // Shift-JIS
  const char* faceName = "";  // UTF-8
};

enum class BkMode { Transparent = 1, Opaque = 2 };

// A borrowed drawing context of a surface. Pens and fonts are created,
// selected and deleted by the caller, as with GDI; Select returns what was
// selected before so the caller can put it back.
class DrawContext {
 public:
  virtual Pen* CreatePen(int width, ColorRef color) = 0;  // solid
  virtual Pen* SelectPen(Pen* pen) = 0;
  virtual void DeletePen(Pen* pen) = 0;

  virtual Font* CreateFont(const FontRequest& request) = 0;
  virtual Font* SelectFont(Font* font) = 0;
  virtual void DeleteFont(Font* font) = 0;

  virtual void SetBkMode(BkMode mode) = 0;
  virtual void SetTextColor(ColorRef color) = 0;

  // Lines with the selected pen. A one-pixel pen never paints the end point;
  // a wider pen paints a round-ended stroke of its width.
  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;

  // Text at its top-left corner, `length` bytes of Shift-JIS or ASCII.
  virtual void TextOut(int x, int y, const char* text, int length) = 0;

 protected:
  ~DrawContext() = default;
};

// A 640x480 surface the game draws on. Only one context may be borrowed at a
// time; GetDC returns null when it cannot give one.
class Surface {
 public:
  virtual DrawContext* GetDC() = 0;
  virtual void ReleaseDC(DrawContext* dc) = 0;
  // Fills the whole surface with a raw pixel value of its format.
  virtual void ColorFill(std::uint32_t raw) = 0;

 protected:
  ~Surface() = default;
};

// ---------------------------------------------------------------------------
// The display and sound devices, defined by each platform. A failing
// start-up step reports its own message through Error
// (shell/error_report.h) and the operation returns false.

// The full-screen program's display: gs.DDBack becomes a 640x480 back
// buffer in 16 bits. Windows: DirectDraw in exclusive 640x480x16 mode, a
// flipping primary surface and its back buffer. SDL: the window made to
// cover the desktop, the picture scaled up as far as it fits (aspect kept,
// black bars, square pixels), a software back buffer.
bool DD_INIT(GameState& gs);
// Releases the device and gives the desktop back; nothing without a device.
void DD_END(GameState& gs);
// One copy of the whole back buffer to the screen. A lost screen is
// restored instead (on SDL: a copy that failed remakes the screen texture),
// and that frame is not shown.
void DD_Present(GameState& gs);

namespace windowed {
// The windowed program's display: gs.DDBack becomes a 640x480 back buffer
// in the desktop's format, shown one to one in the window's client area.
// No message of its own: 1 when ready, 0 when not. Windows: DirectDraw in
// normal mode, a clipper bound to the window and an off-screen surface.
// SDL: a renderer on the window and a 32-bit software back buffer.
int DD_INIT(GameState& gs);
// Releases whatever DD_INIT made, each part once. Always 1.
int DD_END(GameState& gs);
void DD_Present(GameState& gs);
}  // namespace windowed

// The sound device: opened at start-up, never played, released at the end.
// Windows: DirectSound for the main window; SDL: the default playback
// device, left paused.
bool DS_INIT(GameState& gs);
// Nothing without a device.
void DS_END(GameState& gs);

// The devices as one program's start-up, frame loop and window procedure
// call them, and the desktop beside them: the cursor over the game and
// minimising its window. Tests put recorders in their place.
struct ShellDevices {
  std::function<bool(GameState&)> DD_INIT;
  std::function<void(GameState&)> DD_END;
  std::function<void(GameState&)> DD_Present;
  std::function<bool(GameState&)> DS_INIT;
  std::function<void(GameState&)> DS_END;
  std::function<void(bool show)> ShowCursor;
  std::function<void(PlatformWindow*)> CloseWindow;
};

// A program's devices from the platform's functions above and its desktop.
// Only a platform's own code calls it, where those functions are defined.
inline ShellDevices DevicesFor(Program program, void (*showCursor)(bool),
                               void (*closeWindow)(PlatformWindow*)) {
  if (program == Program::FullScreen) {
    return {&DD_INIT, &DD_END, &DD_Present, &DS_INIT, &DS_END, showCursor, closeWindow};
  }
  return {[](GameState& gs) { return windowed::DD_INIT(gs) != 0; },
          [](GameState& gs) { windowed::DD_END(gs); },
          &windowed::DD_Present,
          &DS_INIT,
          &DS_END,
          showCursor,
          closeWindow};
}

// ---------------------------------------------------------------------------
// The error box: a modal box with an OK button over `owner`, waited for.
// False when none could be shown. The platform installs its box with
// SetMessageBoxPresenter (shell/error_report.h); standard error gets every
// text whether or not a box shows.
using MessageBoxPresenter =
    std::function<bool(PlatformWindow* owner, const char* text, const char* caption)>;

// ---------------------------------------------------------------------------
// What a platform hands a program's entry (shell/program.h,
// windowed/program.h): the services above and the program's window.
class Platform {
 public:
  virtual InputDevice& input() = 0;
  virtual Clock& clock() = 0;
  virtual const ShellDevices& devices() = 0;

  // Brings the platform up, makes the program's window with `procedure`,
  // shows it, installs the error box, and from then on feeds the window's
  // events to `queue`. Null, after any message the program gives for it,
  // when there is no window.
  virtual PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                                     WindowProcedure& procedure) = 0;

  // Around each frame. The Windows programs' test mode plays an input
  // script there and closes the game after the frame it pictures.
  virtual void BeforeFrame() {}
  virtual void AfterFrame(GameState&) {}
  // The exit status after the quit message: 0 unless the platform failed
  // at something of its own (the test mode's picture).
  virtual int QuitStatus() { return 0; }

 protected:
  ~Platform() = default;
};
