#include "headless/command_line.h"

#include <charconv>
#include <cstdio>

#ifndef RACER_VERSION
#define RACER_VERSION "unknown"
#endif

namespace {

template <typename T>
bool ReadAll(std::string_view text, T& out) {
  int base = 10;
  if (text.starts_with("0x")) {
    text.remove_prefix(2);
    base = 16;
  }
  // from_chars takes no '+', and a leading '-' for signed types only.
  T n{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n, base);
  if (ec != std::errc() || end != text.data() + text.size()) return false;
  out = n;
  return true;
}

std::string Range(long long min, long long max) {
  if (max == LLONG_MAX) return "of " + std::to_string(min) + " or more";
  return "from " + std::to_string(min) + " to " + std::to_string(max);
}

}  // namespace

bool ReadWhole(std::string_view text, long long& out) { return ReadAll(text, out); }
bool ReadWhole(std::string_view text, unsigned long long& out) { return ReadAll(text, out); }

CommandLine::CommandLine(std::string_view tool, std::string_view usage, int argc, char** argv)
    : tool_(tool), usage_(usage) {
  args_.emplace_back(tool);
  for (int i = 1; i < argc; ++i) {
    args_.emplace_back(argv[i]);
    if (question_.empty() && (args_.back() == "--help" || args_.back() == "--version")) {
      question_ = args_.back();
    }
  }
}

bool CommandLine::Next() {
  if (!question_.empty() || failed() || at_ + 1 >= args_.size()) return false;
  ++at_;
  return true;
}

void CommandLine::Fail(const std::string& message) {
  if (!failed()) error_ = message;
}

const std::string* CommandLine::Value(std::string_view name, std::string_view what) {
  if (at_ + 1 >= args_.size()) {
    Fail(std::string(name) + " needs " + std::string(what));
    return nullptr;
  }
  return &args_[++at_];
}

bool CommandLine::Flag(std::string_view name, bool& out) {
  if (Arg() != name) return false;
  out = true;
  return true;
}

bool CommandLine::Text(std::string_view name, std::string& out, std::string_view what) {
  if (Arg() != name) return false;
  if (const std::string* value = Value(name, what)) out = *value;
  return true;
}

bool CommandLine::Text(std::string_view name, std::optional<std::string>& out, std::string_view what) {
  std::string value;
  if (!Text(name, value, what)) return false;
  if (!failed()) out = value;
  return true;
}

bool CommandLine::Whole(std::string_view name, long long& out, long long min, long long max) {
  if (Arg() != name) return false;
  const std::string* value = Value(name, "a whole number");
  long long n = 0;
  if (value == nullptr) return true;
  if (!ReadWhole(*value, n) || n < min || n > max) {
    Fail(std::string(name) + " takes a whole number " + Range(min, max) + ": " + *value);
  } else {
    out = n;
  }
  return true;
}

bool CommandLine::Whole(std::string_view name, int& out, int min, int max) {
  long long n = out;
  if (!Whole(name, n, min, max)) return false;
  out = static_cast<int>(n);
  return true;
}

bool CommandLine::Real(std::string_view name, double& out, double min, double max) {
  if (Arg() != name) return false;
  const std::string* value = Value(name, "a number");
  double x = 0;
  if (value == nullptr) return true;
  const char* first = value->data();
  const char* last = first + value->size();
  const auto [end, ec] = std::from_chars(first, last, x, std::chars_format::fixed);
  // The comparison is false for a NaN too.
  if (ec != std::errc() || end != last || !(x >= min && x <= max)) {
    char range[64];
    std::snprintf(range, sizeof range, " takes a number from %g to %g: ", min, max);
    Fail(std::string(name) + range + *value);
  } else {
    out = x;
  }
  return true;
}

std::optional<int> CommandLine::Finish() const {
  if (question_ == "--help") {
    std::printf("usage: %s\n", usage_.c_str());
    return 0;
  }
  if (question_ == "--version") {
    std::printf("%s %s\n", tool_.c_str(), RACER_VERSION);
    return 0;
  }
  if (!failed()) return std::nullopt;
  std::fprintf(stderr, "%s: %s; usage: %s\n", tool_.c_str(), error_.c_str(), usage_.c_str());
  return kBadUse;
}
