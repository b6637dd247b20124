#include "shell/key_state.h"

#include "platform_api.h"

void KeyStateTracker::KeyDown(int virtualKey, bool repeat) {
  if (!Valid(virtualKey)) return;
  const auto k = static_cast<std::size_t>(virtualKey);
  // A repeat of a key we saw go down is no new press; one whose press we
  // missed (it went down before the window had the keyboard) still is.
  if (!repeat || !down_[k]) wentDown_[k] = true;
  down_[k] = true;
}

void KeyStateTracker::KeyUp(int virtualKey) {
  if (!Valid(virtualKey)) return;
  down_[static_cast<std::size_t>(virtualKey)] = false;
}

void KeyStateTracker::ReleaseAll() { down_.fill(false); }

std::uint16_t KeyStateTracker::Query(int virtualKey) {
  if (!Valid(virtualKey)) return 0;
  const auto k = static_cast<std::size_t>(virtualKey);
  std::uint16_t answer = 0;
  if (down_[k]) answer |= kKeyDownNow;
  if (wentDown_[k]) answer |= kKeyWentDown;
  wentDown_[k] = false;
  return answer;
}
