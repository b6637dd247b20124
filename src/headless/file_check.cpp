#include "headless/file_check.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string_view>

#include "shell/main_proc.h"

namespace file_check {
namespace {

// The readers' reports, kept past their calls.
struct SettingsLine {
  int number;
  bool rest;
  int fields;
  bool beyondRange;
  std::string word;
  std::int32_t value;
  int key;
};

struct CourseLine {
  int number;
  bool rest;
  std::string text;
  int fields;
  bool beyondRange;
  std::int32_t section;
  std::int32_t value;
  bool stored;
};

// Whether a piece holds characters past a line's first 159. A line of
// exactly 159 leaves only its end, which the reader hands on as a piece of
// its own that changes nothing.
bool Rest(const LineReport& r) { return r.continued && std::string_view(r.text) != "\n"; }

class Listener final : public FileObserver {
 public:
  void ConfigFile(const char* name) override { configFile = name != nullptr ? name : ""; }
  void ConfigLine(const ConfigLineReport& r) override {
    config.push_back({r.number, Rest(r), r.fields, r.beyondRange, r.word, r.value, r.key});
  }
  void MapFile(const char* name) override { mapFile = name != nullptr ? name : ""; }
  void MapLine(const MapLineReport& r) override {
    map.push_back({r.number, Rest(r), r.text, r.fields, r.beyondRange, r.section, r.value, r.stored});
  }

  std::string configFile;
  std::string mapFile;
  std::vector<SettingsLine> config;
  std::vector<CourseLine> map;
};

using std::to_string;

int KeyOf(std::int32_t GameState::*field) {
  int key = 0;
  while (kConfigKeys[key].field != field) ++key;
  return key;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The key a misspelt word most likely meant, or nothing when none is close.
std::string NearestKey(std::string word) {
  for (char& c : word) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::string best;
  std::size_t bestDistance = 0;
  for (const ConfigKey& key : kConfigKeys) {
    const std::string_view name = key.name;
    const std::size_t distance = EditDistance(word, name);
    if (distance <= 1 + name.size() / 6 && (best.empty() || distance < bestDistance)) {
      best = key.name;
      bestDistance = distance;
    }
  }
  return best;
}

class Checker {
 public:
  explicit Checker(Report& report) : report_(report) {}

  void Settings(const Listener& heard) {
    Missing("config.txt", "config_bak.txt", heard.configFile, "its built-in settings");
    file_ = heard.configFile;
    Encoding();
    std::array<std::int32_t, kConfigKeyCount> value;
    std::array<int, kConfigKeyCount> setter{};  // the last line naming the key
    for (int k = 0; k < kConfigKeyCount; ++k) value[k] = kConfigKeys[k].builtIn;
    for (const SettingsLine& line : heard.config) {
      const int n = line.number;
      LongLine(line.rest, n);
      // A line without fields repeats the last assignment, as the game does.
      if (line.key >= 0) value[line.key] = line.value;
      if (line.fields == 0) continue;
      // Up to a line's worth of text may be one word.
      const std::string quoted = "\"" + (line.word.size() > 32 ? line.word.substr(0, 29) + "..." : line.word) + "\"";
      if (line.key < 0) {
        const std::string nearest = NearestKey(line.word);
        Add(n, "no setting named " + quoted + ": the line sets nothing" + (nearest.empty() ? "" : " (" + nearest + "?)"));
        continue;
      }
      const std::string name = kConfigKeys[line.key].name;
      if (line.word != name) Add(n, quoted + " sets " + name + ", the first key name found inside it");
      if (line.fields == 1) Add(n, "no number after " + quoted + ": " + name + " takes " + to_string(line.value) + ", the number read last");
      if (line.beyondRange) Add(n, "the number lies beyond the 32-bit range: " + name + " takes " + to_string(line.value));
      if (setter[line.key] != 0) Add(setter[line.key], name + " is set again on line " + to_string(n) + ", which wins");
      setter[line.key] = n;
    }
    for (int k = 0; k < kConfigKeyCount; ++k) report_.settings[k] = {value[k], setter[k]};

    Setting& rail = report_.settings[KeyOf(&GameState::configRidgeRail)];
    if (rail.value > kRidgeRailLimit) {
      Add(rail.line, "RIDGE_RAIL " + to_string(rail.value) + " is held to " + to_string(kRidgeRailLimit));
      rail.value = kRidgeRailLimit;
    }
    // What the game does with values it cannot work with as written.
    const Setting& speed = report_.settings[KeyOf(&GameState::configVelocityMax)];
    if (speed.value <= 0) {
      Add(speed.line, "SPEED " + to_string(speed.value) +
                          ": the car can go no faster than the lowest speed, 64, so a lap takes about 38 minutes");
    }
    const Setting& grip = report_.settings[KeyOf(&GameState::configGripMin)];
    if (grip.value == 10000) {
      Add(grip.line, "GRIP_MIN 10000: grip stays full, so the car never slides and braking costs no grip "
                     "(the grip formulas divide by 10000 - GRIP_MIN, taken as 1)");
    } else if (grip.value > 10000) {
      Add(grip.line, "GRIP_MIN " + to_string(grip.value) +
                         ": grip starts above full, 10000, and the grip formulas, dividing by 10000 - GRIP_MIN "
                         "below 0, let it grow without bound; the car's sideways travel runs away");
    }
    const Setting& wide = report_.settings[KeyOf(&GameState::configCourseViewWide)];
    if (wide.value == 0) Add(wide.line, "COURSE_WIDE 0: the view is drawn as with COURSE_WIDE 1");
    const Setting& arch = report_.settings[KeyOf(&GameState::configCornerArch)];
    if (arch.value < 1) {
      Add(arch.line, "CORNER_ARCH " + to_string(arch.value) + ": the course is smoothed as with CORNER_ARCH 1");
    }
  }

  void Course(const Listener& heard) {
    Missing("map.txt", "map_bak.txt", heard.mapFile, "a straight course");
    file_ = heard.mapFile;
    Encoding();
    longLine_ = 0;
    auto gs = std::make_unique<GameState>();
    ClearMap(*gs);
    std::array<int, kCourseSections> giver{};  // the line whose value the section keeps
    for (const CourseLine& line : heard.map) {
      const int n = line.number;
      const std::string section = "section " + to_string(line.section);
      if (line.stored) gs->mapDataX[line.section] = line.value;
      LongLine(line.rest, n);
      if (line.fields == 0) {
        // Repeats the last line's section and value: no change.
        std::string text = line.text;
        while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
        text.erase(0, std::min(text.size(), text.find_first_not_of(" \t\v\f\r")));
        if (!text.empty()) Add(n, "cannot read \"" + text + "\" as a section and a value: the line changes nothing");
        continue;
      }
      if (line.fields == 1) Add(n, "only one number: " + section + " takes " + to_string(line.value) + ", the value read last");
      if (line.beyondRange) Add(n, "a number lies beyond the 32-bit range and is taken as the nearest limit");
      if (!line.stored) {
        Add(n, section + " lies outside the course, 0 to 799: the line is ignored");
      } else if (line.section >= kCourseSections) {
        Add(n, section + " lies past the last section, 799: the course's copy overwrites it, so the line has no effect");
      } else {
        if (giver[line.section] != 0) Add(giver[line.section], section + " is given again on line " + to_string(n) + ", which wins");
        giver[line.section] = n;
      }
    }
    for (int s = 0; s < kCourseSections; ++s) {
      const std::int32_t v = gs->mapDataX[s];
      if (giver[s] == 0) continue;
      if (s > 0 && v == kUnsetSection) {
        Add(giver[s], to_string(kUnsetSection) + " marks section " + to_string(s) + " as not given: it takes the value of the section before");
        giver[s] = 0;
      } else if (v > kCourseValueLimit || v < -kCourseValueLimit) {
        Add(giver[s], "section " + to_string(s) + ": " + to_string(v) + " is held to " + to_string(v > 0 ? kCourseValueLimit : -kCourseValueLimit));
      }
    }

    FillMap(*gs);
    std::copy(gs->mapDataX, gs->mapDataX + kCourseSections, report_.given.begin());
    const std::int32_t arch = report_.settings[KeyOf(&GameState::configCornerArch)].value;
    gs->configCornerArch = arch;
    SmoothMap(*gs);
    std::copy(gs->mapDataX, gs->mapDataX + kCourseSections, report_.course.begin());
    Summarize(giver, std::max(arch, 1));
  }

  // The diagnostics of the file just checked, by line.
  void InLineOrder() {
    auto& all = report_.diagnostics;
    std::stable_sort(all.begin() + static_cast<std::ptrdiff_t>(sorted_), all.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
    sorted_ = all.size();
  }

 private:
  void Add(int line, const std::string& message) {
    if (unreadable_ && line > 0) return;
    report_.diagnostics.push_back({file_, line, message});
  }

  // What an editor may save that the game, reading bytes, takes otherwise
  // than the editor shows it.
  void Encoding() {
    unreadable_ = false;
    if (file_.empty()) return;
    std::ifstream in(file_, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string plain = "save it as plain text (ANSI or UTF-8 without a byte-order mark)";
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
      // A NUL beside every character: no word or number the game can scan.
      Add(0, "saved as UTF-16 (Notepad's \"Unicode\"), of which the game reads nothing: it runs as if the file were "
             "empty; " + plain);
      unreadable_ = true;
      return;
    }
    // Control bytes no editor writes into text: a picture, an archive, a
    // file of another kind under the name.
    const auto control = std::find_if(bytes.begin(), bytes.end(), [](char c) {
      return (c >= 0 && c < ' ' && std::string_view("\t\n\v\f\r\x1A").find(c) == std::string_view::npos) || c == 0x7F;
    });
    if (control != bytes.end()) {
      const auto byte = static_cast<unsigned char>(*control);
      const std::string code = std::string("0x") + "0123456789ABCDEF"[byte >> 4] + "0123456789ABCDEF"[byte & 15];
      Add(0, "is not a text file (byte " + code + " on line " +
                 to_string(1 + std::count(bytes.begin(), control, '\n')) +
                 "): the game reads it as text all the same, finding what numbers it can; its lines are not listed here");
      unreadable_ = true;
      return;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
      Add(1, "starts with a UTF-8 byte-order mark, which the game reads as part of the first line; " + plain);
    }
    // A CR with more text after it on the line the game reads.
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) {
      if (bytes[i] != '\r' || bytes[i + 1] == '\r' || bytes[i + 1] == '\n') continue;
      const int line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i), '\n'));
      Add(line, "lines end in CR alone (as on old Macs), which the game does not take as a line end: it reads them "
                "as one line; save the file with Windows (CR LF) or Unix (LF) line ends");
      break;
    }
  }

  // The game says so on the screen while the car is slow.
  void Missing(const std::string& name, const std::string& backup, const std::string& read, const std::string& fallback) {
    file_ = name;
    if (read == backup) Add(0, "not found: the game reads " + backup + " instead");
    if (read.empty()) Add(0, "not found, nor " + backup + ": the game runs on " + fallback);
  }

  void LongLine(bool rest, int n) {
    if (rest && n != longLine_) Add(n, "the line is longer than 159 characters: the rest is read as a line of its own");
    if (rest) longLine_ = n;
  }

  void Summarize(const std::array<int, kCourseSections>& giver, std::int32_t arch) {
    const auto& given = report_.given;
    const auto& course = report_.course;
    std::vector<std::string>& out = report_.summary;
    // Each section's value comes from the line that gave it or from the
    // nearest given section before.
    std::array<int, kCourseSections> source{};
    std::vector<int> filled;
    for (int s = 0; s < kCourseSections; ++s) {
      source[s] = giver[s] != 0 ? giver[s] : (s > 0 ? source[s - 1] : 0);
      if (giver[s] == 0) filled.push_back(s);
    }
    if (filled.empty()) {
      out.push_back("every section is given");
    } else {
      out.push_back(to_string(filled.size()) + " sections are not given and take the value of the one before (section 0: 0): " + Ranges(filled));
    }

    std::vector<int> moved;
    int largest = 0;
    for (int s = 0; s < kCourseSections; ++s) {
      if (course[s] == given[s]) continue;
      moved.push_back(s);
      if (std::abs(course[s] - given[s]) > std::abs(course[largest] - given[largest])) largest = s;
    }
    const std::string step = " (CORNER_ARCH " + to_string(arch) + ")";
    if (moved.empty()) {
      out.push_back("the smoothing moves no section" + step);
    } else {
      out.push_back("the smoothing moves " + to_string(moved.size()) + " sections" + step + ": " + Ranges(moved));
      Add(source[largest], "the smoothing drives section " + to_string(largest) + " as " + to_string(course[largest]) +
                               ", not " + to_string(given[largest]) + ": the largest of its " + to_string(moved.size()) + " moves");
    }
    // The smoothing's passes stop at the pair (797, 798).
    const int last = kCourseSections - 1;
    for (int neighbour : {last - 1, 0}) {
      const std::int64_t difference = std::int64_t{course[last]} - course[neighbour];
      if (difference > arch || difference < -arch) {
        Add(source[last], "section 799 is left out of the smoothing: it differs by " + to_string(difference) +
                              " from section " + to_string(neighbour) + step);
      }
    }

    std::int64_t total = 0;
    for (std::int32_t v : course) total += v;
    out.push_back("total bend: " + to_string(total));
    const auto [low, high] = std::minmax_element(course.begin(), course.end());
    for (Bend* bend : {&report_.right, &report_.left}) {
      const bool right = bend == &report_.right;
      const std::int32_t v = right ? *high : *low;
      const char* way = right ? "right" : "left";
      if (right ? v <= 0 : v >= 0) {
        out.push_back(std::string("no ") + way + " bends");
        continue;
      }
      bend->value = v;
      for (int s = 0; s < kCourseSections; ++s) {
        if (course[s] == v) bend->sections.push_back(s);
      }
      const char* at = bend->sections.size() == 1 ? " at section " : " at sections ";
      out.push_back(std::string("tightest ") + way + " bend: " + to_string(v) + at + Ranges(bend->sections));
    }
  }

  Report& report_;
  std::string file_;
  int longLine_ = 0;
  bool unreadable_ = false;  // the file's lines say nothing worth telling
  std::size_t sorted_ = 0;
};

}  // namespace

std::string Line(const Diagnostic& d, const std::string& folder) {
  return folder + d.file + (d.line > 0 ? ":" + to_string(d.line) : "") + ": " + d.message;
}

std::string Ranges(const std::vector<int>& sections) {
  std::string out;
  for (std::size_t i = 0; i < sections.size();) {
    std::size_t j = i;
    while (j + 1 < sections.size() && sections[j + 1] == sections[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += to_string(sections[i]);
    if (j > i) out += "-" + to_string(sections[j]);
    i = j + 1;
  }
  return out;
}

Report Check() {
  Listener heard;
  auto gs = std::make_unique<GameState>();
  Initialize(*gs, &heard);
  Report report{};
  report.configFile = heard.configFile;
  report.mapFile = heard.mapFile;
  Checker checker(report);
  checker.Settings(heard);
  checker.InLineOrder();
  checker.Course(heard);
  checker.InLineOrder();
  return report;
}

}  // namespace file_check
