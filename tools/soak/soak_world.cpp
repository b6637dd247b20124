#include "soak_world.h"

#include <cstdio>

namespace soak {
namespace {

constexpr std::int32_t kSpecial[] = {0, 1, -1, 2, 1000, 10000, 9999, 10001, INT32_MAX, INT32_MIN, INT32_MAX - 1,
                                     INT32_MIN + 1, 65535, 99999999};

constexpr std::uint32_t kJoyEdges[] = {0, 16383, 16384, 32768, 49152, 49153, 65535};

std::int32_t Pick(Rng& rng, std::int32_t builtIn) {
  switch (rng.Below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
      return builtIn;
    case 4:
    case 5:
    case 6: {  // within a factor of four either way, sign kept
      const std::int64_t scaled = std::int64_t{builtIn} * static_cast<std::int64_t>(rng.Below(400) + 25) / 100;
      return static_cast<std::int32_t>(scaled);
    }
    case 7:
    case 8:
      return kSpecial[rng.Below(std::size(kSpecial))];
    default:
      return rng.AnyInt32();
  }
}

void AppendLine(std::string& text, Rng& rng, const char* key, long long value) {
  static constexpr const char* kSeparators[] = {" ", "=", ",", " = ", "\t", "  "};
  char line[96];
  std::snprintf(line, sizeof line, "%s%s%lld%s", key, kSeparators[rng.Below(std::size(kSeparators))], value,
                rng.Chance(0.2) ? " # note" : "");
  text += line;
  text += rng.Chance(0.1) ? "\r\n" : "\n";
}

double HabitChance(Rng& rng) {
  static constexpr double kChances[] = {0.0, 0.0005, 0.005, 0.05, 0.3, 1.0};
  return kChances[rng.Below(std::size(kChances))];
}

}  // namespace

std::uint64_t Mix(std::uint64_t v) {
  v += 0x9E3779B97F4A7C15ull;
  v = (v ^ (v >> 30)) * 0xBF58476D1CE4E5B9ull;
  v = (v ^ (v >> 27)) * 0x94D049BB133111EBull;
  return v ^ (v >> 31);
}

std::uint64_t Rng::Next() {
  const std::uint64_t out = Mix(state_);
  state_ += 0x9E3779B97F4A7C15ull;
  return out;
}

std::string RandomSettings(Rng& rng) {
  std::string text = "# soak settings\n";
  AppendLine(text, rng, "DEVICE", static_cast<long long>(rng.Below(2)));
  for (int k = 1; k < kSettingCount; ++k) {
    if (rng.Chance(0.1)) continue;  // left at the built-in value
    AppendLine(text, rng, kConfigKeys[k].name, Pick(rng, kConfigKeys[k].builtIn));
  }
  return text;
}

std::string SettingsText(const std::array<std::int32_t, kSettingCount>& values) {
  std::string text;
  for (int k = 0; k < kSettingCount; ++k) {
    text += std::string(kConfigKeys[k].name) + " " + std::to_string(values[k]) + "\n";
  }
  return text;
}

std::string RandomCourse(Rng& rng) {
  std::string text;
  char line[64];
  switch (rng.Below(5)) {
    case 0: {  // a bendy course, every section given
      std::int64_t bend = 0;
      const std::int64_t reach = static_cast<std::int64_t>(rng.Below(400)) + 1;
      for (int s = 0; s < 800; ++s) {
        bend += static_cast<std::int64_t>(rng.Below(5)) - 2;
        if (bend > reach) bend = reach;
        if (bend < -reach) bend = -reach;
        std::snprintf(line, sizeof line, "%d %lld\n", s, static_cast<long long>(bend));
        text += line;
      }
      break;
    }
    case 1: {  // a few sections given, out of order
      const int lines = static_cast<int>(rng.Below(60));
      for (int i = 0; i < lines; ++i) {
        std::snprintf(line, sizeof line, "%d,%d\n", static_cast<int>(rng.Below(800)),
                      static_cast<int>(rng.Below(801)) - 400);
        text += line;
      }
      break;
    }
    case 2: {  // wild values and section numbers
      const int lines = static_cast<int>(rng.Below(200));
      for (int i = 0; i < lines; ++i) {
        const std::int32_t section = rng.Chance(0.7) ? static_cast<std::int32_t>(rng.Below(1700)) - 50 : rng.AnyInt32();
        const std::int32_t value = rng.Chance(0.5) ? rng.AnyInt32() : kSpecial[rng.Below(std::size(kSpecial))];
        std::snprintf(line, sizeof line, "%d=%d\n", section, value);
        text += line;
      }
      break;
    }
    case 3: {  // the sharpest course the limits allow, in one direction
      const int sign = rng.Chance(0.5) ? 1 : -1;
      for (int s = 0; s < 800; s += 1 + static_cast<int>(rng.Below(40))) {
        std::snprintf(line, sizeof line, "%d %d\n", s, sign * 2000);
        text += line;
      }
      break;
    }
    default:  // no course at all
      break;
  }
  return text;
}

RandomPlayer::RandomPlayer(Rng& rng) {
  for (Habit& h : habits_) {
    h.flip = HabitChance(rng);
    h.tap = HabitChance(rng);
  }
  joyMove_ = HabitChance(rng);
  joyButtonChange_ = HabitChance(rng);
  joyMissing_ = rng.Chance(0.3) ? HabitChance(rng) : 0.0;
}

void RandomPlayer::NextFrame(Rng& rng) {
  for (int k = 0; k < kKeys; ++k) {
    wasHeld_[k] = held_[k];
    if (rng.Chance(habits_[k].flip)) held_[k] = !held_[k];
    tapped_[k] = rng.Chance(habits_[k].tap);
    queried_[k] = false;
  }
  if (rng.Chance(joyMove_)) {
    joy_.xPos = rng.Chance(0.5) ? kJoyEdges[rng.Below(std::size(kJoyEdges))] : static_cast<std::uint32_t>(rng.Below(65536));
  }
  if (rng.Chance(joyButtonChange_)) joy_.buttons = static_cast<std::uint32_t>(rng.Below(16));
  joyPresent_ = !rng.Chance(joyMissing_);
}

std::uint16_t RandomPlayer::GetAsyncKeyState(int virtualKey) {
  for (int k = 0; k < kKeys; ++k) {
    if (kGameKeys[k].virtualKey != virtualKey) continue;
    const bool first = !queried_[k];
    queried_[k] = true;
    const bool wentDown = first && (tapped_[k] || (held_[k] && !wasHeld_[k]));
    return static_cast<std::uint16_t>((held_[k] ? kKeyDownNow : 0) | (wentDown ? kKeyWentDown : 0));
  }
  return 0;
}

bool RandomPlayer::JoyGetPos(JoystickInfo& info) {
  if (!joyPresent_) {
    info.xPos = 12345;  // what a failed query leaves: nothing to trust
    info.buttons = 0xF;
    return false;
  }
  info = joy_;
  return true;
}

}  // namespace soak
