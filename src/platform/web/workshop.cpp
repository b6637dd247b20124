// The course workshop's side of the module, run in its worker: what the
// game and racer_check make of the files in the current directory, and the
// course map of the result.
#include <emscripten.h>

#include <string>

#include "headless/check_report.h"
#include "platform/web/course_strip.h"

namespace {

file_check::Report last;

void AppendNumbers(std::string& text, const char* name, const std::int32_t* numbers, int count) {
  text += name;
  for (int i = 0; i < count; ++i) text += " " + std::to_string(numbers[i]);
  text += "\n";
}

}  // namespace

extern "C" {

// The files' check, as lines: "given" and the 800 sections as written and
// filled, "course" and the 800 as the game drives them, "settings" and the
// 14 values the game runs with, "diagnostics" and their count; then
// racer_check's report, word for word.
EMSCRIPTEN_KEEPALIVE const char* web_workshop_check() {
  static std::string text;
  last = file_check::Check();
  const autodrive::Drive drive = file_check::DriveLaps();
  text.clear();
  AppendNumbers(text, "given", last.given.data(), kCourseSections);
  AppendNumbers(text, "course", last.course.data(), kCourseSections);
  std::int32_t settings[kConfigKeyCount];
  for (int k = 0; k < kConfigKeyCount; ++k) settings[k] = last.settings[k].value;
  AppendNumbers(text, "settings", settings, kConfigKeyCount);
  text += "diagnostics " + std::to_string(last.diagnostics.size()) + "\n";
  text += file_check::ReportText(last, drive.summary, "");
  return text.c_str();
}

// The last check's course as the M key draws it (course_strip.h).
EMSCRIPTEN_KEEPALIVE const std::uint8_t* web_course_strip() { return DrawCourseStrip(last.course.data(), kNoCar); }

// The largest bend the game keeps: values beyond it are held to it.
EMSCRIPTEN_KEEPALIVE int web_course_value_limit() { return kCourseValueLimit; }

// The settings as lines "NAME BUILT-IN", in the reader's order.
EMSCRIPTEN_KEEPALIVE const char* web_settings() {
  static std::string text;
  text.clear();
  for (const ConfigKey& key : kConfigKeys) text += std::string(key.name) + " " + std::to_string(key.builtIn) + "\n";
  return text.c_str();
}

}  // extern "C"
