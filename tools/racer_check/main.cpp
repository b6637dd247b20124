// racer_check: what the game will make of a folder's config.txt and
// map.txt, read through the game's own readers, and whether its driver can
// lap the course.
//
//   racer_check [DIR] [--png FILE] [--script FILE]
//
// DIR         the folder with the files (default: the current one)
// --png F     write a picture of the course to F
// --script F  write the keys of the drive to F, a racer_sim input script
//
// It prints which files the game reads, a diagnostic "FILE:LINE: message"
// for every line that does not set what it seems to, the settings the game
// runs with, what the fill and the smoothing make of the course, and two
// laps of the closed-loop driver. Exit status: 0 when every line is taken
// as written and the driver laps without touching a rail, 1 when there is
// something to report, 2 for bad use.
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>

#include "headless/file_check.h"
#include "headless/autodrive.h"
#include "headless/command_line.h"
#include "picture.h"

namespace {

constexpr char kUsage[] = "racer_check [DIR] [--png FILE] [--script FILE]";
constexpr int kLaps = 2;
// Ten minutes of play for two laps; the built-in car laps in 19 seconds.
constexpr long long kDriveFrames = 10 * 60 * 60;

struct Options {
  std::string dir = ".";
  bool dirGiven = false;
  std::optional<std::filesystem::path> png;
  std::optional<std::filesystem::path> script;
};

// Returns the exit status when the tool is to stop now.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CommandLine line("racer_check", kUsage, argc, argv);
  std::optional<std::string> png, script;
  while (line.Next()) {
    if (line.Text("--png", png) || line.Text("--script", script)) continue;
    if (line.Arg().starts_with("-")) {
      line.Unknown();
    } else if (options.dirGiven) {
      line.Fail("one folder at most: " + std::string(line.Arg()));
    } else {
      options.dir = line.Arg();
      options.dirGiven = true;
    }
  }
  // Named from where racer_check was started, which it leaves for DIR.
  if (png) options.png = std::filesystem::absolute(*png);
  if (script) options.script = std::filesystem::absolute(*script);
  return line.Finish();
}

// Diagnostics name the files as seen from where racer_check was started:
// the folder as given, then the file.
std::string Folder(const Options& options) {
  std::string dir = options.dir;
  if (!options.dirGiven || dir == "." || dir == "./") return "";
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir == "/" ? dir : dir + "/";
}

std::string Where(const Options& options, const std::string& file) { return Folder(options) + file; }

void PrintDiagnostics(const Options& options, const file_check::Report& report, bool course) {
  for (const file_check::Diagnostic& d : report.diagnostics) {
    if (d.file.starts_with("map") == course) std::printf("%s\n", file_check::Line(d, Folder(options)).c_str());
  }
}

void PrintSettings(const Options& options, const file_check::Report& report) {
  std::printf("settings: %s\n", report.configFile.empty() ? "none, the built-in values" : Where(options, report.configFile).c_str());
  PrintDiagnostics(options, report, false);
  for (int k = 0; k < kConfigKeyCount; ++k) {
    const file_check::Setting& setting = report.settings[k];
    const std::string from = setting.line > 0 ? "line " + std::to_string(setting.line) : "built-in";
    std::printf("  %-20s %11d  %s\n", kConfigKeys[k].name, setting.value, from.c_str());
  }
}

void PrintCourse(const Options& options, const file_check::Report& report) {
  std::printf("course: %s\n", report.mapFile.empty() ? "none, a straight course" : Where(options, report.mapFile).c_str());
  PrintDiagnostics(options, report, true);
  for (const std::string& line : report.summary) std::printf("  %s\n", line.c_str());
}

// Returns whether the driver lapped twice without a rail contact.
bool PrintDrive(const autodrive::RunSummary& run) {
  std::printf("drive: %d laps of the closed-loop driver with these settings\n", kLaps);
  for (std::size_t lap = 0; lap < run.lapTimes.size(); ++lap) {
    std::printf("  lap %zu: %d frames, %.2f s\n", lap + 1, run.lapTimes[lap], run.lapTimes[lap] / 60.0);
  }
  const bool lapped = run.lapTimes.size() >= kLaps;
  if (!lapped) {
    std::printf("  the driver cannot lap the course: after %lld frames (%lld minutes), laps done: %zu, in section %d\n",
                run.frames, run.frames / 3600, run.lapTimes.size(), run.endPosition / kSectionUnits);
  }
  if (run.contacts.empty()) {
    std::printf("  rail contacts: none\n");
    return lapped;
  }
  std::map<int, std::set<int>> sections;  // by lap
  for (const autodrive::Contact& contact : run.contacts) sections[contact.lap].insert(contact.section);
  std::string where;
  for (const auto& [lap, set] : sections) {
    where += (where.empty() ? "" : "; ") + std::string("lap ") + std::to_string(lap) + ": ";
    // A car that keeps hitting the rail would fill a page.
    if (set.size() > 20) {
      where += std::to_string(set.size()) + " sections from " + std::to_string(*set.begin()) + " to " + std::to_string(*set.rbegin());
    } else {
      where += (set.size() == 1 ? "section " : "sections ") + file_check::Ranges({set.begin(), set.end()});
    }
  }
  std::printf("  rail contacts: %zu (%s)\n", run.contacts.size(), where.c_str());
  return false;
}

bool WriteText(const std::filesystem::path& path, const std::string& text) {
  std::FILE* out = std::fopen(path.c_str(), "w");
  bool written = out != nullptr && std::fputs(text.c_str(), out) >= 0;
  if (out != nullptr && std::fclose(out) != 0) written = false;
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options)) return *status;
  // The game reads its files from the current directory.
  std::error_code failed;
  std::filesystem::current_path(options.dir, failed);
  if (failed) {
    std::fprintf(stderr, "racer_check: cannot enter %s: %s\n", options.dir.c_str(), failed.message().c_str());
    return CommandLine::kBadUse;
  }

  const file_check::Report report = file_check::Check();
  PrintSettings(options, report);
  PrintCourse(options, report);
  const autodrive::Drive drive = autodrive::DriveGame({.frames = kDriveFrames, .laps = kLaps});
  const bool cleanDrive = PrintDrive(drive.summary);

  if (options.png && !racer_check::WriteCoursePicture(report, options.png->string())) {
    std::fprintf(stderr, "racer_check: cannot write %s\n", options.png->c_str());
    return CommandLine::kBadUse;
  }
  if (options.script && !WriteText(*options.script, drive.script)) {
    std::fprintf(stderr, "racer_check: cannot write %s\n", options.script->c_str());
    return CommandLine::kBadUse;
  }
  return report.diagnostics.empty() && cleanDrive ? 0 : 1;
}
