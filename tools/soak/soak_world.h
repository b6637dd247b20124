// The soak's random world: settings and course files and a player who
// holds, taps and lets go of every key and moves the joystick, all drawn
// from one seed so that a failing run can be played again exactly.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "data/files.h"
#include "platform_api.h"

namespace soak {

// SplitMix64: small, fast, and the same everywhere.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // 0 .. n-1 (n > 0).
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }
  bool Chance(double p) { return static_cast<double>(Next() >> 11) * 0x1.0p-53 < p; }
  std::int32_t AnyInt32() { return static_cast<std::int32_t>(static_cast<std::uint32_t>(Next())); }

 private:
  std::uint64_t state_;
};

std::uint64_t Mix(std::uint64_t v);

// The setting keys, in the order of the reader's table (data/files.h).
constexpr int kSettingCount = kConfigKeyCount;

// A settings file: each key built-in, near it, a special value or any
// 32-bit value, written in any of the file's separators; DEVICE 0 or 1.
std::string RandomSettings(Rng& rng);
// A settings file with the given values.
std::string SettingsText(const std::array<std::int32_t, kSettingCount>& values);
// A course file: a drivable bendy course, sparse lines, wild values or
// numbers outside the table, or nothing at all.
std::string RandomCourse(Rng& rng);

// Every key of the game (and Escape) plus joystick 1, random per frame with
// per-run habits: some keys stay down for long, some flicker, some are
// tapped every frame.
class RandomPlayer final : public InputDevice {
 public:
  explicit RandomPlayer(Rng& rng);
  // Before each frame.
  void NextFrame(Rng& rng);

  std::uint16_t GetAsyncKeyState(int virtualKey) override;
  bool JoyGetPos(JoystickInfo& info) override;

 private:
  static constexpr int kKeys = static_cast<int>(std::size(kGameKeys));
  struct Habit {
    double flip = 0;  // chance per frame that the key changes between up and down
    double tap = 0;   // chance per frame of a press and release between frames
  };
  std::array<Habit, kKeys> habits_{};
  std::array<bool, kKeys> held_{};
  std::array<bool, kKeys> wasHeld_{};
  std::array<bool, kKeys> tapped_{};
  std::array<bool, kKeys> queried_{};
  double joyMove_ = 0;
  double joyButtonChange_ = 0;
  double joyMissing_ = 0;
  JoystickInfo joy_;
  bool joyPresent_ = true;
};

}  // namespace soak
