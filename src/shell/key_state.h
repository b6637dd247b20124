// The keyboard as the game polls it: for each virtual key, whether it is
// down now and whether it went down since that key's previous query. Fed
// from the platform's key events; platform-free.
#pragma once

#include <array>
#include <cstdint>

class KeyStateTracker {
 public:
  // `repeat` marks the platform's auto-repeat of a held key, which is not a
  // new press.
  void KeyDown(int virtualKey, bool repeat);
  void KeyUp(int virtualKey);
  // Every key up, as after the window loses the keyboard. Presses not yet
  // queried are kept.
  void ReleaseAll();

  // Top bit: down now; bit 0: went down since the previous query of this
  // key. The query clears bit 0. Keys outside 0..255 answer 0.
  std::uint16_t Query(int virtualKey);

 private:
  static bool Valid(int virtualKey) { return virtualKey >= 0 && virtualKey < 256; }
  std::array<bool, 256> down_{};
  std::array<bool, 256> wentDown_{};
};
