#include "headless/test_mode.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "headless/input_script.h"

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

bool TestMode::Start(const TestModeSettings& settings, std::string& error) {
  settings_ = settings;
  std::vector<ScriptFrame> frames;
  error = ReadInputScript(settings_.script, frames);
  if (!error.empty()) return false;
  input_ = std::make_unique<ScriptInput>(std::move(frames));
  return true;
}

InputDevice& TestMode::BeginFrame() {
  input_->BeginFrame(++frame_);
  return *input_;
}

bool TestMode::AfterFrame(GameState& gs) {
  if (frame_ != settings_.frame) return false;
  if (settings_.picture.empty()) return true;
  int width = 0;
  int height = 0;
  const std::string rgb = gs.DDBack != nullptr ? gs.DDBack->ReadRgb(width, height) : std::string();
  if (!WritePpm(settings_.picture, width, height, rgb)) {
    std::fprintf(stderr, "test mode: cannot write the picture %s\n", settings_.picture.c_str());
    failed_ = true;
  }
  return true;
}

int RunProgramOrTestMode(const ProgramDefinition& program, Platform& platform) {
  std::string error;
  const auto settings = ParseTestMode(std::getenv("RACER_TEST_SCRIPT"), std::getenv("RACER_TEST_FRAME"),
                                      std::getenv("RACER_TEST_PICTURE"), error);
  if (!settings) {
    if (error.empty()) return RunProgram(program, platform);
  } else {
    TestMode test;
    if (test.Start(*settings, error)) return RunProgram(program, platform, &test);
  }
  std::fprintf(stderr, "test mode: %s\n", error.c_str());
  return 2;
}
