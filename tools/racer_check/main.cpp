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
#include <optional>
#include <string>
#include <system_error>

#include "headless/check_report.h"
#include "headless/command_line.h"
#include "picture.h"

namespace {

constexpr char kUsage[] = "racer_check [DIR] [--png FILE] [--script FILE]";

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
  const autodrive::Drive drive = file_check::DriveLaps();
  std::fputs(file_check::ReportText(report, drive.summary, Folder(options)).c_str(), stdout);

  if (options.png && !racer_check::WriteCoursePicture(report, options.png->string())) {
    std::fprintf(stderr, "racer_check: cannot write %s\n", options.png->c_str());
    return CommandLine::kBadUse;
  }
  if (options.script && !WriteText(*options.script, drive.script)) {
    std::fprintf(stderr, "racer_check: cannot write %s\n", options.script->c_str());
    return CommandLine::kBadUse;
  }
  return report.diagnostics.empty() && file_check::CleanDrive(drive.summary) ? 0 : 1;
}
