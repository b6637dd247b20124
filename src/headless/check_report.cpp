#include "headless/check_report.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <set>

namespace file_check {
namespace {

// printf's line onto the text, however long (a lap's rail contacts can
// make a long one).
[[gnu::format(printf, 2, 3)]] void Append(std::string& text, const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list measuring;
  va_copy(measuring, args);
  const int length = std::vsnprintf(nullptr, 0, format, measuring);
  va_end(measuring);
  const std::size_t at = text.size();
  text.resize(at + length);
  // The line's terminator lands on the string's own.
  std::vsnprintf(text.data() + at, length + 1, format, args);
  va_end(args);
}

void AppendDiagnostics(std::string& text, const Report& report, const std::string& folder, bool course) {
  for (const Diagnostic& d : report.diagnostics) {
    if (d.file.starts_with("map") == course) text += Line(d, folder) + "\n";
  }
}

std::string Named(const std::string& folder, const std::string& file, const char* none) {
  return file.empty() ? none : folder + file;
}

void AppendSettings(std::string& text, const Report& report, const std::string& folder) {
  text += "settings: " + Named(folder, report.configFile, "none, the built-in values") + "\n";
  AppendDiagnostics(text, report, folder, false);
  for (int k = 0; k < kConfigKeyCount; ++k) {
    const Setting& setting = report.settings[k];
    const std::string from = setting.line > 0 ? "line " + std::to_string(setting.line) : "built-in";
    Append(text, "  %-20s %11d  %s\n", kConfigKeys[k].name, setting.value, from.c_str());
  }
}

void AppendCourse(std::string& text, const Report& report, const std::string& folder) {
  text += "course: " + Named(folder, report.mapFile, "none, a straight course") + "\n";
  AppendDiagnostics(text, report, folder, true);
  for (const std::string& line : report.summary) text += "  " + line + "\n";
}

void AppendDrive(std::string& text, const autodrive::RunSummary& run) {
  Append(text, "drive: %d laps of the closed-loop driver with these settings\n", kDriveLaps);
  for (std::size_t lap = 0; lap < run.lapTimes.size(); ++lap) {
    Append(text, "  lap %zu: %d frames, %.2f s\n", lap + 1, run.lapTimes[lap], run.lapTimes[lap] / 60.0);
  }
  if (run.lapTimes.size() < kDriveLaps) {
    Append(text, "  the driver cannot lap the course: after %lld frames (%lld minutes), laps done: %zu, in section %d\n",
           run.frames, run.frames / 3600, run.lapTimes.size(), run.endPosition / kSectionUnits);
  }
  if (run.contacts.empty()) {
    text += "  rail contacts: none\n";
    return;
  }
  std::map<int, std::set<int>> sections;  // by lap
  for (const autodrive::Contact& contact : run.contacts) sections[contact.lap].insert(contact.section);
  std::string where;
  for (const auto& [lap, set] : sections) {
    where += (where.empty() ? "" : "; ") + std::string("lap ") + std::to_string(lap) + ": ";
    // A car that keeps hitting the rail would fill a page.
    if (set.size() > 20) {
      where += std::to_string(set.size()) + " sections from " + std::to_string(*set.begin()) + " to " +
               std::to_string(*set.rbegin());
    } else {
      where += (set.size() == 1 ? "section " : "sections ") + Ranges({set.begin(), set.end()});
    }
  }
  Append(text, "  rail contacts: %zu (%s)\n", run.contacts.size(), where.c_str());
}

}  // namespace

autodrive::Drive DriveLaps() { return autodrive::DriveGame({.frames = kDriveFrames, .laps = kDriveLaps}); }

bool CleanDrive(const autodrive::RunSummary& run) { return run.lapTimes.size() >= kDriveLaps && run.contacts.empty(); }

std::string ReportText(const Report& report, const autodrive::RunSummary& run, const std::string& folder) {
  std::string text;
  AppendSettings(text, report, folder);
  AppendCourse(text, report, folder);
  AppendDrive(text, run);
  return text;
}

}  // namespace file_check
