// The Windows programs' test mode, off unless RACER_TEST_SCRIPT is set: the
// keys come from an input script in racer_sim's format instead of the
// keyboard, and after frame RACER_TEST_FRAME (counted from 1) the back
// buffer's pixels are written to RACER_TEST_PICTURE as a binary PPM and the
// game closes as if Escape had been pressed. So a test can set the picture
// GDI drew beside the one racer_sim draws for the same frame.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "game_state.h"
#include "platform_api.h"

struct TestModeSettings {
  std::string script;
  long long frame = 0;
  std::string picture;
};

// The settings from the three values (null: not set). Nothing when the
// script is not set; an error text when a value is missing or bad.
std::optional<TestModeSettings> ParseTestMode(const char* script, const char* frame,
                                              const char* picture, std::string& error);

// The 640x480 picture as a binary PPM (P6, maxval 255): `rgb` holds three
// bytes a pixel, row by row. False when the file cannot be written or the
// size does not match.
bool WritePpm(const std::string& path, int width, int height, const std::string& rgb);

class ScriptInput;

class TestMode {
 public:
  TestMode();
  ~TestMode();
  TestMode(const TestMode&) = delete;
  TestMode& operator=(const TestMode&) = delete;

  // Reads the environment and the script. False, with the reason, when the
  // test mode was asked for and cannot run.
  bool Start(std::string& error);
  bool on() const { return input_ != nullptr; }
  InputDevice& input();

  // Around each frame: the script's next line, then, after the frame that
  // was asked for, the picture. AfterFrame returns true once the picture
  // was taken (or could not be), when the game should close.
  void BeforeFrame();
  bool AfterFrame(const GameState& gs);
  bool failed() const { return failed_; }

 private:
  TestModeSettings settings_;
  std::unique_ptr<ScriptInput> input_;
  long long frame_ = 0;
  bool failed_ = false;
};
