// The test mode of the programs: the keys come from an input script in
// racer_sim's format instead of the player, and after a given frame (counted
// from 1) the game stops: the Windows programs write the back buffer's
// pixels as a binary PPM and close as if Escape had been pressed, the page
// keeps the frame on its canvas. So a test can set the picture a platform
// drew beside the one racer_sim draws for the same frame.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "game_state.h"
#include "platform_api.h"
#include "shell/frame_loop.h"

struct TestModeSettings {
  std::string script;
  long long frame = 0;
  std::string picture;  // empty: none written
};

// The settings from RACER_TEST_SCRIPT, RACER_TEST_FRAME and
// RACER_TEST_PICTURE (null: not set). Nothing when the script is not set; an
// error text when a value is missing or bad.
std::optional<TestModeSettings> ParseTestMode(const char* script, const char* frame,
                                              const char* picture, std::string& error);

// The picture as a binary PPM (P6, maxval 255): `rgb` holds three bytes a
// pixel, row by row. False when the file cannot be written or the size does
// not match.
bool WritePpm(const std::string& path, int width, int height, const std::string& rgb);

class ScriptInput;

class TestMode final : public FrameScript {
 public:
  TestMode();
  ~TestMode();
  TestMode(const TestMode&) = delete;
  TestMode& operator=(const TestMode&) = delete;

  // Reads the script. False, with the reason, when it cannot be read.
  bool Start(const TestModeSettings& settings, std::string& error);

  InputDevice& BeginFrame() override;
  bool AfterFrame(GameState& gs) override;
  bool failed() const override { return failed_; }

 private:
  TestModeSettings settings_;
  std::unique_ptr<ScriptInput> input_;
  long long frame_ = 0;
  bool failed_ = false;
};

// A desktop program's entry with the test mode of the environment: runs
// `program` (RunProgram), or returns 2 with the reason on standard error
// when the test mode was asked for and cannot run.
int RunProgramOrTestMode(const ProgramDefinition& program, Platform& platform);
