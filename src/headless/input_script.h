// Input scripts: line k holds the keys and joystick of frame k, so that a
// run without a keyboard (racer_sim, the tests, the test mode)
// plays exactly as scripted.
#pragma once

#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "game_keys.h"
#include "platform_api.h"

// The keys a script names lead the key table; key i is bit i of a frame's
// held and tapped keys.
constexpr int kScriptKeyCount = [] {
  int count = 0;
  while (count < static_cast<int>(std::size(kGameKeys)) && !kGameKeys[count].scriptName.empty()) ++count;
  return count;
}();
static_assert(kScriptKeyCount <= 16, "one bit a scripted key in 16 bits");
static_assert([] {
  for (int i = kScriptKeyCount; i < static_cast<int>(std::size(kGameKeys)); ++i) {
    if (!kGameKeys[i].scriptName.empty()) return false;
  }
  return true;
}(), "the scripted keys come first in the key table");

struct ScriptFrame {
  std::uint16_t held = 0;    // one bit per scripted key
  std::uint16_t tapped = 0;  // pressed and released since the previous frame
  std::uint32_t joyX = 32768;
  std::uint32_t joyButtons = 0;
  bool operator==(const ScriptFrame&) const = default;
};

struct ScriptParseResult {
  bool ok = true;
  int errorLine = 0;  // from 1
  std::string error;  // names the problem
  std::vector<ScriptFrame> frames;
};

ScriptParseResult ParseInputScript(const std::string& text);

// One frame as a script line that parses back to it: the held keys, "+KEY"
// for the tapped ones, JX and JB where they are not centred and none.
std::string FormatScriptLine(const ScriptFrame& frame);

// Reads and parses the script in the file `path` ("-": standard input).
// Empty on success; otherwise "cannot open input script PATH", "cannot
// read input script PATH" or "PATH:LINE: what is wrong", and no frames.
std::string ReadInputScript(const std::string& path, std::vector<ScriptFrame>& frames);

// Answers the game's queries from the script, frame by frame.
class ScriptInput final : public InputDevice {
 public:
  explicit ScriptInput(std::vector<ScriptFrame> frames) : frames_(std::move(frames)) {}
  // Call before each frame, with frames counted from 1.
  void BeginFrame(long long frame);
  // Or plays the given frame, for a driver that decides as it goes.
  void BeginFrame(const ScriptFrame& frame);

  std::uint16_t GetAsyncKeyState(int virtualKey) override;
  bool JoyGetPos(JoystickInfo& info) override;

 private:
  std::vector<ScriptFrame> frames_;
  ScriptFrame current_;
  std::uint16_t previousHeld_ = 0;
  std::uint16_t queried_ = 0;
};
