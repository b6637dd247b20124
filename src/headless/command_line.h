#pragma once
// The tools' command lines, read one argument at a time:
//
//   CommandLine line("racer_sim", kUsage, argc, argv);
//   while (line.Next()) {
//     if (line.Whole("--frames", frames, 0) || line.Text("--png", png) || line.Flag("--view", view)) continue;
//     line.Unknown();
//   }
//   if (const std::optional<int> status = line.Finish()) return *status;
//
// A number is read whole: "10x", "1e3" and "" are no numbers. A bad use is
// one line on stderr, "TOOL: what is wrong; usage: USAGE", and status 2.
// Anywhere on the line, --help prints "usage: USAGE" and --version
// "TOOL VERSION" on stdout, with status 0; the first of the two is answered.
#include <climits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CommandLine {
 public:
  static constexpr int kBadUse = 2;

  CommandLine(std::string_view tool, std::string_view usage, int argc, char** argv);

  // Moves to the next argument: false at the end, after a bad use and
  // when the line asks for the usage or the version.
  bool Next();
  std::string_view Arg() const { return args_[at_]; }

  // Each takes the argument at hand (and the value after it) when it is
  // NAME, and says whether it did; a missing or bad value is a bad use.
  bool Flag(std::string_view name, bool& out);
  bool Text(std::string_view name, std::string& out, std::string_view what = "a file name");
  bool Text(std::string_view name, std::optional<std::string>& out, std::string_view what = "a file name");
  bool Whole(std::string_view name, long long& out, long long min, long long max = LLONG_MAX);
  bool Whole(std::string_view name, int& out, int min, int max = INT_MAX);
  bool Real(std::string_view name, double& out, double min, double max);

  // A bad use; only the first one is told.
  void Fail(const std::string& message);
  void Unknown() { Fail("unknown option: " + std::string(Arg())); }
  bool failed() const { return !error_.empty(); }

  // After the arguments: the exit status when the tool is to stop now, the
  // usage, the version or the bad use written.
  std::optional<int> Finish() const;

 private:
  // The value after NAME, or nullptr after a bad use.
  const std::string* Value(std::string_view name, std::string_view what);

  std::string tool_;
  std::string usage_;
  std::vector<std::string> args_;
  std::size_t at_ = 0;  // 0 before the first argument
  std::string question_;  // "--help" or "--version" when the line asks
  std::string error_;
};

// A whole number written in decimal (or hexadecimal after "0x"), every
// character of it; false for anything else and for a number out of range.
bool ReadWhole(std::string_view text, long long& out);
bool ReadWhole(std::string_view text, unsigned long long& out);
