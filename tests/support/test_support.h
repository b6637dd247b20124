// Shared helpers of the tests: a working directory of the test's own, files
// in it, and an input device the test sets by hand.
#pragma once

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "game_state.h"
#include "platform_api.h"

namespace testing_support {

// The shipped config.txt and map.txt, and the test data beside the tests.
inline const std::string kDataDir = RACER_DATA_DIR;
inline const std::string kTestsDir = RACER_TESTS_DIR;

// Makes a fresh directory the current one for its life, since the game
// reads its files from the current directory.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    char pattern[] = "/tmp/racer_test_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made != nullptr ? made : std::filesystem::temp_directory_path();
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScopedTempDir() {
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    if (path_.filename().string().starts_with("racer_test_")) std::filesystem::remove_all(path_, ignored);
  }
  ScopedTempDir(const ScopedTempDir&) = delete;
  ScopedTempDir& operator=(const ScopedTempDir&) = delete;

 private:
  std::filesystem::path path_, previous_;
};

inline bool WriteFile(const std::string& name, const std::string& content) {
  std::ofstream out(name, std::ios::binary);
  out << content;
  return static_cast<bool>(out.flush());
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Copies the shipped config.txt and map.txt into the current directory.
inline void UseShippedFiles() {
  for (const char* name : {"config.txt", "map.txt"}) WriteFile(name, ReadFile(kDataDir + "/" + name));
}

inline std::unique_ptr<GameState> NewState() { return std::make_unique<GameState>(); }

// Keys set by the test: held keys answer with the top bit, pressed keys with
// bit 0 at their next query only.
class FakeInput final : public InputDevice {
 public:
  std::array<bool, 256> held{}, pressed{};
  JoystickInfo joystick;
  bool joystickPresent = true;

  std::uint16_t GetAsyncKeyState(int vk) override {
    const auto i = static_cast<std::size_t>(vk & 0xFF);
    const auto answer = static_cast<std::uint16_t>((held[i] ? kKeyDownNow : 0) | (pressed[i] ? kKeyWentDown : 0));
    pressed[i] = false;
    return answer;
  }
  bool JoyGetPos(JoystickInfo& info) override {
    if (!joystickPresent) {
      info = {1, 0xF};  // garbage the game must not use
      return false;
    }
    info = joystick;
    return true;
  }
};

}  // namespace testing_support
