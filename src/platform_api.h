// The seam between the game and a platform: everything the game asks of one,
// through one interface, Platform, made for one of the two programs. The
// operations keep the Win32 names the game has always used for them
// (GetAsyncKeyState, QueryPerformanceCounter, DD_INIT, DS_INIT, ...); each
// section says what a platform must do to answer them. What a platform does
// about it is said in its own folder, src/platform/NAME/, the only place that
// includes its system's headers; src/platform/null/ is the template of a new
// one.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "game_keys.h"
#include "game_state.h"

class MessageQueue;

// The two programs of the game: racer takes the whole screen, racer_window
// runs in a 640x480 window. Apart from the screen they play the same.
enum class Program { FullScreen, Windowed };

// ---------------------------------------------------------------------------
// Keys and joystick 1, polled by MainLoopControl once a frame. The virtual-key
// codes are those of game_keys.h.

// Key-state answer bits.
constexpr std::uint16_t kKeyDownNow = 0x8000;
constexpr std::uint16_t kKeyWentDown = 0x0001;

struct JoystickInfo {
  std::uint32_t xPos = 32768;  // 0 to 65535, centre 32768
  std::uint32_t buttons = 0;   // button 1 = bit 0 ... button 4 = bit 3
};

// The X axis of a pad whose d-pad is held left or right: at its end, as a
// stick held fully over, whatever the stick says.
constexpr std::uint32_t SteerWithDpad(std::uint32_t stickX, bool left, bool right) {
  if (left == right) return stickX;
  return left ? 0 : 65535;
}

// What the game polls: the player's keys and joystick, or a script's.
class InputDevice {
 public:
  // Top bit: the key is down now; bit 0: it went down since this key's
  // previous query.
  virtual std::uint16_t GetAsyncKeyState(int virtualKey) = 0;
  // Joystick 1: its X axis and buttons 1 to 4. False when there is none or
  // the query failed.
  virtual bool JoyGetPos(JoystickInfo& info) = 0;

 protected:
  ~InputDevice() = default;
};

// ---------------------------------------------------------------------------
// Clock and sleep, for the frame wait (shell/pacing.h).

class Clock {
 public:
  // The high-resolution counter and its counts per second; a counter that
  // cannot be read answers 0.
  virtual std::int64_t QueryPerformanceCounter() = 0;
  virtual std::int64_t QueryPerformanceFrequency() = 0;
  // Milliseconds, wrapping after 49 days.
  virtual std::uint32_t timeGetTime() = 0;
  // Sleep(0) gives up the rest of the time slice; Sleep(n) sleeps n ms.
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // A sleep until the counter reads `count`, on a timer that wakes within a
  // fraction of a millisecond of it. Where there is one, the frame wait
  // sleeps to its deadline and spins only the last moment; elsewhere it
  // keeps to millisecond sleeps, yields and a spin.
  virtual bool SleepsUntil() const { return false; }
  virtual void SleepUntil(std::int64_t /*count*/) {}
  // The system timer's resolution for the length of the loop, so that
  // Sleep(1) sleeps about a millisecond. Where sleeps are that fine anyway
  // the pair does nothing.
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
  WM_KILLFOCUS_MSG = 8,  // the window lost the keyboard: no key-up will come
  WM_KEYDOWN_MSG = 256,
  WM_KEYUP_MSG = 257,
};

// A key-down message's lParam bit for the auto-repeat of a held key.
constexpr std::int64_t kKeyRepeatBit = std::int64_t{1} << 30;

struct PlatformWindow;

struct Message {
  PlatformWindow* hwnd = nullptr;
  std::uint32_t message = WM_NULL_MSG;
  std::uint64_t wParam = 0;
  std::int64_t lParam = 0;
};

class WindowProcedure {
 public:
  virtual ~WindowProcedure() = default;
  virtual std::int64_t Handle(PlatformWindow* hwnd, std::uint32_t message,
                              std::uint64_t wParam, std::int64_t lParam) = 0;
};

// For a window that only shows frames: every message is left alone.
class NullProcedure final : public WindowProcedure {
 public:
  std::int64_t Handle(PlatformWindow*, std::uint32_t, std::uint64_t, std::int64_t) override { return 0; }
};

// A window as the message model sees it. The handle stays valid memory for
// the life of the queue, so a stale handle can still be asked about.
struct PlatformWindow {
  WindowProcedure* procedure = nullptr;
  void* native = nullptr;  // the platform's own window
  std::function<void()> releaseNative;
  bool alive = true;
  bool destroying = false;
};

// Where the platform's input and window events come from: a key going down
// is WM_KEYDOWN_MSG with its virtual key (kKeyRepeatBit set for the
// auto-repeat), a key let go WM_KEYUP_MSG, the window losing the keyboard
// WM_KILLFOCUS_MSG, the close button and the desktop's quit request
// WM_CLOSE_MSG, anything else WM_NULL_MSG. Poll returns false when none is
// waiting; it never waits.
class EventSource {
 public:
  virtual bool Poll(Message& out) = 0;

 protected:
  ~EventSource() = default;
};

// ---------------------------------------------------------------------------
// The display: a 640x480 back buffer the game draws on through a borrowed
// drawing context, GDI-style. The software back buffer (media/soft_surface.h)
// answers these calls wherever the platform has no drawing of its own.

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
  // The pixels as 8-bit red, green, blue, row by row from the top, for a
  // picture of the frame; empty when the surface cannot be read.
  virtual std::string ReadRgb(int& width, int& height) = 0;

 protected:
  ~Surface() = default;
};

// ---------------------------------------------------------------------------
// What a platform is: made for one program, it answers everything above and
// opens the program's window and devices. Both programs run over it the same
// start-up, loop and way out (shell/frame_loop.h).
class Platform {
 public:
  // Keys and joystick 1. A system that keeps a key state of its own answers
  // GetAsyncKeyState here; elsewhere the answer is nothing, and the shell
  // answers from the key events the platform sends (shell/player_input.h).
  virtual std::optional<std::uint16_t> SystemKeyState(int /*virtualKey*/) { return std::nullopt; }
  virtual bool JoyGetPos(JoystickInfo& info) = 0;

  virtual Clock& clock() = 0;

  // Brings the platform up, makes the program's window with `procedure`,
  // shows it, and from then on feeds the window's events to `queue`. Null,
  // after any message the platform gives for it, when there is no window.
  virtual PlatformWindow* OpenWindow(GameState& gs, MessageQueue& queue,
                                     WindowProcedure& procedure) = 0;

  // The error box: a modal box with an OK button over `owner`, waited for.
  // False when none could be shown; standard error has the text anyway
  // (shell/error_report.h).
  virtual bool ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) = 0;

  // The display device. DD_INIT makes gs.DDBack a 640x480 back buffer: the
  // full-screen program's in 16 bits over the whole screen, the windowed
  // one's in the desktop's format, shown one to one in the window. A failing
  // step of the full-screen start-up reports its own message through Error
  // (shell/error_report.h); the windowed start-up has none of its own.
  virtual bool DD_INIT(GameState& gs) = 0;
  // Releases whatever DD_INIT made, each part once; nothing without a device.
  virtual void DD_END(GameState& gs) = 0;
  // One copy of the whole back buffer to the screen. A lost screen is
  // restored instead, and that frame is not shown.
  virtual void DD_Present(GameState& gs) = 0;

  // The sound device: opened at start-up, never played, released at the end.
  // A failing step reports kSoundCreateFailed or kSoundCooperationFailed
  // through Error. DS_END does nothing without a device.
  virtual bool DS_INIT(GameState& gs) = 0;
  virtual void DS_END(GameState& gs) = 0;

  // The desktop around the game: the cursor over it, and the window
  // minimised, which the full-screen program's way out does just before it
  // destroys the window. Where nothing can be minimised it does nothing.
  virtual void ShowCursor(bool show) = 0;
  virtual void MinimizeWindow(PlatformWindow* hwnd) = 0;

 protected:
  ~Platform() = default;
};
