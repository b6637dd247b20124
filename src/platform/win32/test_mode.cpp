#include "platform/win32/test_mode.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "headless/input_script.h"
#include "platform/win32/display.h"
#include "platform/win32/surface.h"

std::optional<TestModeSettings> ParseTestMode(const char* script, const char* frame,
                                              const char* picture, std::string& error) {
  error.clear();
  if (script == nullptr) return std::nullopt;
  TestModeSettings settings;
  settings.script = script;
  if (settings.script.empty()) {
    error = "RACER_TEST_SCRIPT names no file";
    return std::nullopt;
  }
  const char* end = frame != nullptr ? frame + std::strlen(frame) : nullptr;
  long long n = 0;
  if (frame == nullptr || frame == end ||
      std::from_chars(frame, end, n).ptr != end || n < 1) {
    error = "RACER_TEST_FRAME must be a frame number from 1";
    return std::nullopt;
  }
  settings.frame = n;
  if (picture == nullptr || *picture == '\0') {
    error = "RACER_TEST_PICTURE names no file";
    return std::nullopt;
  }
  settings.picture = picture;
  return settings;
}

bool WritePpm(const std::string& path, int width, int height, const std::string& rgb) {
  if (width <= 0 || height <= 0 ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = std::fprintf(file, "P6\n%d %d\n255\n", width, height) > 0;
  ok = ok && std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

TestMode::TestMode() = default;
TestMode::~TestMode() = default;

bool TestMode::Start(std::string& error) {
  auto settings = ParseTestMode(std::getenv("RACER_TEST_SCRIPT"), std::getenv("RACER_TEST_FRAME"),
                                std::getenv("RACER_TEST_PICTURE"), error);
  if (!settings) return error.empty();
  settings_ = *settings;
  std::vector<ScriptFrame> frames;
  error = ReadInputScript(settings_.script, frames);
  if (!error.empty()) return false;
  input_ = std::make_unique<ScriptInput>(std::move(frames));
  return true;
}

InputDevice& TestMode::input() { return *input_; }

void TestMode::BeforeFrame() {
  if (input_ != nullptr) input_->BeginFrame(++frame_);
}

bool TestMode::AfterFrame(const GameState& gs) {
  if (input_ == nullptr || frame_ != settings_.frame) return false;
  int width = 0;
  int height = 0;
  const std::string rgb = ReadRgbPixels(DD_BackSurface(gs), width, height);
  if (!WritePpm(settings_.picture, width, height, rgb)) {
    std::fprintf(stderr, "test mode: cannot write the picture %s\n", settings_.picture.c_str());
    failed_ = true;
  }
  return true;
}
