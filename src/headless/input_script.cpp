#include "headless/input_script.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace {

int KeyBit(std::string_view name) {
  for (int i = 0; i < kScriptKeyCount; ++i) {
    if (kGameKeys[i].scriptName == name) return i;
  }
  return -1;
}

int KeyBitOfVirtualKey(int virtualKey) {
  for (int i = 0; i < kScriptKeyCount; ++i) {
    if (kGameKeys[i].virtualKey == virtualKey) return i;
  }
  return -1;
}

bool ParseNumber(std::string_view text, std::uint32_t max, std::uint32_t& out) {
  std::uint32_t v = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (ec != std::errc() || end != text.data() + text.size() || text.empty() || v > max) return false;
  out = v;
  return true;
}

bool ParseToken(std::string_view token, ScriptFrame& frame, std::string& error) {
  if (token.starts_with("JX=")) {
    if (ParseNumber(token.substr(3), 65535, frame.joyX)) return true;
    error = "JX takes a number from 0 to 65535: " + std::string(token);
    return false;
  }
  if (token.starts_with("JB=")) {
    if (ParseNumber(token.substr(3), 15, frame.joyButtons)) return true;
    error = "JB takes a number from 0 to 15: " + std::string(token);
    return false;
  }
  const bool tap = token.starts_with("+");
  const int bit = KeyBit(tap ? token.substr(1) : token);
  if (bit < 0) {
    error = "unknown token: " + std::string(token);
    return false;
  }
  (tap ? frame.tapped : frame.held) |= static_cast<std::uint16_t>(1u << bit);
  return true;
}

}  // namespace

ScriptParseResult ParseInputScript(const std::string& text) {
  ScriptParseResult result;
  std::string_view rest(text);
  int lineNumber = 0;
  while (!rest.empty()) {
    ++lineNumber;
    const size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);

    ScriptFrame frame;
    size_t pos = 0;
    while (pos < line.size()) {
      const size_t start = line.find_first_not_of(" \t\r", pos);
      if (start == std::string_view::npos) break;
      size_t end = line.find_first_of(" \t\r", start);
      if (end == std::string_view::npos) end = line.size();
      if (!ParseToken(line.substr(start, end - start), frame, result.error)) {
        result.ok = false;
        result.errorLine = lineNumber;
        result.frames.clear();
        return result;
      }
      pos = end;
    }
    result.frames.push_back(frame);
  }
  return result;
}

std::string ReadInputScript(const std::string& path, std::vector<ScriptFrame>& frames) {
  frames.clear();
  const bool fromStdin = path == "-";
  std::FILE* file = fromStdin ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) return "cannot open input script " + path;
  std::string text;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  const bool read = std::ferror(file) == 0;
  if (!fromStdin) std::fclose(file);
  if (!read) return "cannot read input script " + path;
  ScriptParseResult parsed = ParseInputScript(text);
  if (!parsed.ok) return path + ":" + std::to_string(parsed.errorLine) + ": " + parsed.error;
  frames = std::move(parsed.frames);
  return {};
}

void ScriptInput::BeginFrame(long long frame) {
  const bool scripted = frame >= 1 && frame <= static_cast<long long>(frames_.size());
  BeginFrame(scripted ? frames_[static_cast<size_t>(frame - 1)] : ScriptFrame{});
}

void ScriptInput::BeginFrame(const ScriptFrame& frame) {
  previousHeld_ = current_.held;
  current_ = frame;
  queried_ = 0;
}

std::string FormatScriptLine(const ScriptFrame& frame) {
  std::string line;
  auto add = [&](std::string_view prefix, std::string_view token) {
    if (!line.empty()) line += ' ';
    line.append(prefix).append(token);
  };
  for (int bit = 0; bit < kScriptKeyCount; ++bit) {
    if ((frame.held >> bit) & 1) add("", kGameKeys[bit].scriptName);
    if ((frame.tapped >> bit) & 1) add("+", kGameKeys[bit].scriptName);
  }
  if (frame.joyX != ScriptFrame{}.joyX) add("JX=", std::to_string(frame.joyX));
  if (frame.joyButtons != 0) add("JB=", std::to_string(frame.joyButtons));
  return line;
}

std::uint16_t ScriptInput::GetAsyncKeyState(int virtualKey) {
  const int bit = KeyBitOfVirtualKey(virtualKey);
  if (bit < 0) return 0;
  const std::uint16_t mask = static_cast<std::uint16_t>(1u << bit);
  const bool first = (queried_ & mask) == 0;
  queried_ |= mask;
  const bool held = (current_.held & mask) != 0;
  const bool wentDown = first && (((current_.tapped & mask) != 0) || (held && (previousHeld_ & mask) == 0));
  return static_cast<std::uint16_t>((held ? kKeyDownNow : 0) | (wentDown ? kKeyWentDown : 0));
}

bool ScriptInput::JoyGetPos(JoystickInfo& info) {
  info.xPos = current_.joyX;
  info.buttons = current_.joyButtons;
  return true;
}
