// Shared helpers of the tests: a fresh working directory, files in it, a
// zeroed game state and an input device the test sets by hand.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "game_state.h"
#include "platform_api.h"

namespace testing_support {

// Runs the test in an empty directory of its own, since the game reads its
// files from the current directory.
class ScopedTempDir {
 public:
  ScopedTempDir() {
    char pattern[] = "/tmp/racer_test_XXXXXX";
    const char* made = ::mkdtemp(pattern);
    path_ = made != nullptr ? made : "/tmp";
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(path_);
  }
  ~ScopedTempDir() {
    std::filesystem::current_path(previous_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::filesystem::path previous_;
};

inline void WriteFile(const std::string& name, const std::string& content) {
  std::ofstream out(name, std::ios::binary);
  out << content;
}

inline std::unique_ptr<GameState> NewState() { return std::make_unique<GameState>(); }

// Keys set by the test: held keys answer with the top bit, pressed keys with
// bit 0 at their next query only.
class FakeInput final : public InputDevice {
 public:
  std::array<bool, 256> held{};
  std::array<bool, 256> pressed{};
  JoystickInfo joystick;
  bool joystickPresent = true;

  void Clear() {
    held.fill(false);
    pressed.fill(false);
  }

  std::uint16_t GetAsyncKeyState(int vk) override {
    const auto i = static_cast<size_t>(vk & 0xFF);
    std::uint16_t r = static_cast<std::uint16_t>((held[i] ? kKeyDownNow : 0) | (pressed[i] ? kKeyWentDown : 0));
    pressed[i] = false;
    return r;
  }
  bool JoyGetPos(JoystickInfo& info) override {
    if (!joystickPresent) {
      info.xPos = 1;  // garbage the game must not use
      info.buttons = 0xF;
      return false;
    }
    info = joystick;
    return true;
  }
};

// Reads a file's content through a stdio stream, as the game's readers do.
class MemoryFile {
 public:
  explicit MemoryFile(const std::string& content) : content_(content) {
    file_ = ::fmemopen(content_.empty() ? nullptr : content_.data(), content_.size(), "r");
    if (file_ == nullptr) file_ = std::tmpfile();
  }
  ~MemoryFile() {
    if (file_ != nullptr) std::fclose(file_);
  }
  std::FILE* get() const { return file_; }

 private:
  std::string content_;
  std::FILE* file_ = nullptr;
};

}  // namespace testing_support
