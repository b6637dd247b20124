// racer_check: what it says about a folder's files and its drive, and that
// what it reports of any pair of files is what the game starts with.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <optional>
#include <random>
#include <sstream>
#include <tuple>
#include <vector>

#include "headless/check_report.h"
#include "shell/main_proc.h"
#include "support/run_tool.h"

using namespace testing_support;

namespace {

struct CheckRun : ToolRun {
  std::vector<std::string> diagnostics;  // the lines that start with a file's name
};

// racer_check on the current directory.
CheckRun RacerCheck(const std::string& args) {
  CheckRun r{RunTool(RACER_CHECK_PATH, args), {}};
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("config") || line.starts_with("map")) r.diagnostics.push_back(line);
  }
  return r;
}

constexpr char kStraight[] = "0 0\n";

// Text as Notepad saves it as "Unicode": UTF-16 after a byte-order mark.
std::string Utf16(const std::string& ascii, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char c : ascii) out += bigEndian ? std::string{'\0', c} : std::string{c, '\0'};
  return out;
}

TEST(RacerCheck, SaysWhatEachLineDoes) {
  const std::string plain = "save it as plain text (ANSI or UTF-8 without a byte-order mark)";
  const std::string utf16 =
      ": saved as UTF-16 (Notepad's \"Unicode\"), of which the game reads nothing: it runs as if the file were empty; " +
      plain;
  struct Case {
    std::optional<std::string> config;  // none: the shipped file, "-": none at all
    std::optional<std::string> map;     // "-": none at all
    std::vector<std::string> diagnostics;
    int status;
    std::string drive = "";  // a line of the drive's report, if any
    bool backup = false;     // the settings in config_bak.txt
  };
  const Case cases[] = {
      {{}, {}, {}, 0, "  rail contacts: none\n"},
      {"DEVICE 1\nSPEDD 15000\nSPEED\nRIDGE_RAIL 5000\nCORNER_ARCH 0\nMAX_SPEED 13000 # faster\nGRIP_QUICK 9999999999\n",
       kStraight,
       {"config.txt:2: no setting named \"SPEDD\": the line sets nothing (SPEED?)",
        "config.txt:3: no number after \"SPEED\": SPEED takes 15000, the number read last",
        "config.txt:3: SPEED is set again on line 6, which wins",
        "config.txt:4: RIDGE_RAIL 5000 is held to 1000",
        "config.txt:5: CORNER_ARCH 0: the course is smoothed as with CORNER_ARCH 1",
        "config.txt:6: \"MAX_SPEED\" sets SPEED, the first key name found inside it",
        "config.txt:7: the number lies beyond the 32-bit range: GRIP_QUICK takes 2147483647"},
       1},
      {"COURSE_WIDE 0\nSPEED 0\n", "-",
       {"config.txt:1: COURSE_WIDE 0: the view is drawn as with COURSE_WIDE 1",
        "config.txt:2: SPEED 0: the car can go no faster than the lowest speed, 64, so a lap takes about 38 minutes",
        "map.txt: not found, nor map_bak.txt: the game runs on a straight course"},
       1, "  the driver cannot lap the course: after 36000 frames (10 minutes), laps done: 0, in section 210\n"},
      {"-", "0 0\n5 0\n900 3\n-3 4\n abc\n" + std::string(160, ' ') + "5 0\n7\n9 99999999999\n",
       {"config.txt: not found, nor config_bak.txt: the game runs on its built-in settings",
        "map.txt:2: section 5 is given again on line 6, which wins",
        "map.txt:3: section 900 lies past the last section, 799: the course's copy overwrites it, so the line has no effect",
        "map.txt:4: section -3 lies outside the course, 0 to 799: the line is ignored",
        "map.txt:5: cannot read \"abc\" as a section and a value: the line changes nothing",
        "map.txt:6: the line is longer than 159 characters: the rest is read as a line of its own",
        "map.txt:7: only one number: section 7 takes 0, the value read last",
        "map.txt:7: the smoothing drives section 8 as 1749, not 0: the largest of its 134 moves",
        "map.txt:8: a number lies beyond the 32-bit range and is taken as the nearest limit",
        "map.txt:8: section 9: 2147483647 is held to 2000",
        "map.txt:8: section 799 is left out of the smoothing: it differs by 267 from section 0 (CORNER_ARCH 2)"},
       1},
      {{}, "0 -2001\n100 5000\n200 99999999\n300 0\n",
       {"map.txt:1: section 0: -2001 is held to -2000",
        "map.txt:1: the smoothing drives section 99 as 170, not -2000: the largest of its 647 moves",
        "map.txt:2: section 100: 5000 is held to 2000",
        "map.txt:3: 99999999 marks section 200 as not given: it takes the value of the section before",
        "map.txt:4: section 799 is left out of the smoothing: it differs by 28 from section 0 (CORNER_ARCH 2)"},
       1},
      // The rest of a long line is a line of its own: here only spaces. A
      // line of 159 leaves only its end.
      {"GRIP_MIN 10000\n" + std::string(159, ' ') + "\n" + std::string(160, ' ') + "\n", {},
       {"config.txt:1: GRIP_MIN 10000: grip stays full, so the car never slides and braking costs no grip (the grip "
        "formulas divide by 10000 - GRIP_MIN, taken as 1)",
        "config.txt:3: the line is longer than 159 characters: the rest is read as a line of its own"},
       1, "  rail contacts: 1 (lap 2: section 240)\n"},
      {"GRIP_MIN 20000\n", {},
       {"config.txt: not found: the game reads config_bak.txt instead",
        "config_bak.txt:1: GRIP_MIN 20000: grip starts above full, 10000, and the grip formulas, dividing by 10000 - "
        "GRIP_MIN below 0, let it grow without bound; the car's sideways travel runs away"},
       1, "  rail contacts: 2675 (lap 1: 756 sections from 0 to 799; lap 2: 800 sections from 0 to 799)\n", true},
      // Clean files, but the car scrapes the rails with this little steering.
      {"RIDGE_RAIL 0\nLR_TURN 100\n", {}, {}, 1,
       "  rail contacts: 4 (lap 1: sections 219, 269; lap 2: sections 219, 270)\n"},
      // Every section given, after a long first line; the smoothing stops at the pair (797, 798): 799 stands apart.
      {{}, std::string(160, ' ') + "0 0\n799 10\n" +
               [] { std::string m; for (int s = 1; s < 799; ++s) m += std::to_string(s) + " 0\n"; return m; }(),
       {"map.txt:1: the line is longer than 159 characters: the rest is read as a line of its own",
        "map.txt:2: section 799 is left out of the smoothing: it differs by 10 from section 798 (CORNER_ARCH 2)",
        "map.txt:2: section 799 is left out of the smoothing: it differs by 10 from section 0 (CORNER_ARCH 2)"},
       1, "  every section is given\n  the smoothing moves no section (CORNER_ARCH 2)\n  total bend: 10\n"
          "  tightest right bend: 10 at section 799\n"},
      // The driver steers by the grip a high GRIP_MIN leaves: laps of their own.
      {"GRIP_MIN 5000\n", {}, {}, 0, "  lap 1: 1120 frames, 18.67 s\n  lap 2: 1074 frames, 17.90 s\n"},
      // What editors save: the game reads the bytes.
      {Utf16("SPEED 6000\r\n", false), "\xEF\xBB\xBF" "0 0\n100 5\n",
       {"config.txt" + utf16, "map.txt: the smoothing drives section 99 as 2, not 0: the largest of its 2 moves",
        "map.txt:1: starts with a UTF-8 byte-order mark, which the game reads as part of the first line; " + plain,
        "map.txt:1: cannot read \"\xEF\xBB\xBF" "0 0\" as a section and a value: the line changes nothing",
        "map.txt:2: section 799 is left out of the smoothing: it differs by 5 from section 0 (CORNER_ARCH 2)"},
       1, "  SPEED                      12000  built-in\n"},
      // Files of another kind: their lines are not listed, what they set is; high bytes are text (Shift JIS).
      {"SPEED 6000 # \xFF\x82\xA0\nGRIP_MIN 20\x7F\n\x03 9\n", std::string("0 0\n\0 5\n", 8),
       {"config.txt: is not a text file (byte 0x7F on line 2): the game reads it as text all the same, finding what "
        "numbers it can; its lines are not listed here",
        "map.txt: is not a text file (byte 0x00 on line 2): the game reads it as text all the same, finding what "
        "numbers it can; its lines are not listed here"},
       1, "  SPEED                       6000  line 1\n"},
      {"# settings\r1\nSPEED 6000\rGRIP_MIN 5000\r\n", Utf16("0 0\n100 5\n", true),
       {"config.txt:1: lines end in CR alone (as on old Macs), which the game does not take as a line end: it reads "
        "them as one line; save the file with Windows (CR LF) or Unix (LF) line ends",
        "map.txt" + utf16},
       1, "  GRIP_MIN                     100  built-in\n"},
  };
  for (const Case& c : cases) {
    ScopedTempDir dir;
    UseShippedFiles();
    if (c.config == "-" || c.backup) std::remove("config.txt");
    if (c.config && c.config != "-") WriteFile(c.backup ? "config_bak.txt" : "config.txt", *c.config);
    if (c.map == "-") std::remove("map.txt");
    if (c.map && c.map != "-") WriteFile("map.txt", *c.map);
    const CheckRun r = RacerCheck(".");
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    EXPECT_EQ(r.diagnostics, c.diagnostics) << r.out;
    EXPECT_TRUE(c.drive.empty() || r.out.find(c.drive) != std::string::npos) << c.drive << r.out;
    EXPECT_EQ(r.err, "");
  }
}

// The shipped files in "play/", named without the slash (the root keeps its own): the table, the course,
// two laps, the picture, and a script that racer_sim replays to the same laps.
TEST(RacerCheck, ShippedFilesAndTheirDrive) {
  ScopedTempDir dir;
  std::filesystem::create_directory("play");
  for (const char* name : {"config.txt", "map.txt"}) WriteFile(std::string("play/") + name, ReadFile(kDataDir + "/" + name));
  EXPECT_NE(RacerCheck("/").out.find("\n/config.txt: not found"), std::string::npos);
  const CheckRun r = RacerCheck("play/ --png course.png --script drive.txt");
  ASSERT_EQ(r.status, 0) << r.out << r.err;
  // The whole report as read: tests/golden/racer_check_shipped.txt.
  EXPECT_EQ(r.out, ReadFile(std::string(RACER_TESTS_DIR) + "/golden/racer_check_shipped.txt"));
  // The picture as looked at: tests/golden/course.png.
  EXPECT_TRUE(ReadFile("course.png") == ReadFile(std::string(RACER_TESTS_DIR) + "/golden/course.png"));

  const std::string script = ReadFile("drive.txt");
  const std::string frames = std::to_string(std::count(script.begin(), script.end(), '\n'));
  std::filesystem::current_path("play");
  ASSERT_EQ(RunTool(RACER_SIM_PATH, "--frames " + frames + " --input ../drive.txt --trace ../trace.csv").status, 0);
  std::filesystem::current_path("..");
  const std::string trace = ReadFile("trace.csv");
  const std::string last = trace.substr(trace.rfind('\n', trace.size() - 2) + 1);
  // goalCount, timeCount, goalRecord0 to 2: the second lap ended this frame.
  EXPECT_NE(last.find(",2,1,0,1086,1125,"), std::string::npos) << last;
}

// Each course of data/courses/ with the shipped settings, as racer_check would
// pass it: every line taken as written, nothing for the smoothing to move, and
// two laps of the driver without a rail contact.
TEST(RacerCheck, FurtherCoursesAreCleanAndLapped) {
  int courses = 0;
  for (const auto& course : std::filesystem::directory_iterator(kDataDir + "/courses")) {
    SCOPED_TRACE(course.path().filename().string());
    ScopedTempDir dir;
    WriteFile("config.txt", ReadFile(kDataDir + "/config.txt"));
    WriteFile("map.txt", ReadFile(course.path().string()));
    std::vector<std::string> diagnostics;
    for (const file_check::Diagnostic& d : file_check::Check().diagnostics) diagnostics.push_back(file_check::Line(d));
    EXPECT_EQ(diagnostics, std::vector<std::string>{});
    EXPECT_TRUE(file_check::CleanDrive(file_check::DriveLaps().summary));
    ++courses;
  }
  EXPECT_GE(courses, 3);
}

// The drive's lines for runs the shipped files do not make: no lap in the
// time, and rail contacts in a lap listed up to 20 sections, counted past.
TEST(RacerCheck, DriveLines) {
  auto contacts = [](int lap, int sections) {
    std::vector<autodrive::Contact> list;
    for (int s = 0; s < sections; ++s) list.push_back({0, lap, 2 * s});
    return list;
  };
  std::vector<autodrive::Contact> both = contacts(1, 20);
  for (const autodrive::Contact& c : contacts(2, 21)) both.push_back(c);
  auto summary = [](long long frames, std::vector<int> laps, std::vector<autodrive::Contact> contacts) {
    autodrive::RunSummary run;
    std::tie(run.frames, run.lapTimes, run.contacts, run.endPosition) = std::tuple(frames, laps, contacts, 5 * 1024 + 7);
    return run;
  };
  const std::pair<autodrive::RunSummary, std::string> cases[] = {
      {summary(3599, {}, {}),
       "  the driver cannot lap the course: after 3599 frames (0 minutes), laps done: 0, in section 5\n"
       "  rail contacts: none\n"},
      {summary(2000, {1000, 990}, both),
       "  lap 1: 1000 frames, 16.67 s\n  lap 2: 990 frames, 16.50 s\n  rail contacts: 41 (lap 1: sections 0, 2, 4, "
       "6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38; lap 2: 21 sections from 0 to 40)\n"},
  };
  for (const auto& [run, lines] : cases) {
    const std::string text = file_check::ReportText(file_check::Report{}, run, "");
    EXPECT_EQ(text.substr(text.find("drive: 2 laps")), "drive: 2 laps of the closed-loop driver with these settings\n" + lines);
    EXPECT_FALSE(file_check::CleanDrive(run));
  }
}

// A picture's pixels as 0xRRGGBB, row by row; none when it cannot be read.
std::vector<std::uint32_t> ReadPicture(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<std::uint8_t> rgb;
  if (png_image_begin_read_from_file(&image, path.c_str()) != 0) {
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) rgb.clear();
  }
  std::vector<std::uint32_t> pixels;
  for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) pixels.push_back(std::uint32_t{rgb[i]} << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
  return pixels;
}

// Bends of 128 right at section 400 and 64 left at 0-1, left as given: the strip runs up
// column 399 to row 440 and on up column 401, the course map leaning 2 there.
TEST(RacerCheck, DrawsTheCourse) {
  ScopedTempDir dir;
  WriteFile("config.txt", "CORNER_ARCH 200\n");
  WriteFile("map.txt", "0 -64\n2 0\n400 128\n401 0\n");
  ASSERT_EQ(RacerCheck(". --png course.png").status, 0);
  const std::vector<std::uint32_t> pixels = ReadPicture("course.png");
  ASSERT_EQ(pixels.size(), 800u * 1044u);
  auto block = [&](int x, int y) {  // 28 by 16, the room of a section number
    std::vector<std::uint32_t> b;
    for (int row = y; row < y + 16; ++row) b.insert(b.end(), &pixels[row * 800u + x], &pixels[row * 800u + x + 28]);
    return b;
  };
  const std::uint32_t white = 0xFFFFFF, ink = 0x191919, right = 0xC72821;
  // A straight section, 3 wide; the arrowhead at section 300, 12 long and 12 wide, pointing up the strip; the ring round
  // each bend's middle section, radius 11 and 2 wide; the bar, 70 high; the profile's heading, zero line and 100 tick;
  // section 0's bar.
  const std::tuple<int, int, std::uint32_t> probes[] = {
      {398, 600, 0x595959}, {402, 551, ink},   {410, 551, white}, {411, 440, right}, {413, 440, white},
      {400, 870, right},    {400, 869, white}, {300, 940, ink},   {100, 1019, ink},  {100, 1021, white},
      {400, 600, 0x7A7A7A}, {395, 828, 0x2161C7}, {42, 852, ink}, {0, 950, 0x2161C7}};
  for (const auto& [x, y, color] : probes) EXPECT_EQ(pixels[y * 800u + x], color) << x << "," << y;
  // "400" left of the strip is the profile's "400", the bend's label ending
  // short of it; "800" ends the profile's scale.
  EXPECT_EQ(block(361, 432), block(403, 1022));
  EXPECT_EQ(block(415, 532), block(303, 1022));  // right of the strip below the bend
  const std::vector<std::uint32_t> blank(28 * 16, white);
  // The start's label goes left: section 0 stands on the picture's middle.
  for (auto [x, y] : {std::pair{300, 432}, {403, 1022}, {772, 1022}, {200, 832}}) {
    EXPECT_NE(block(x, y), blank) << x << "," << y;
  }
}

TEST(RacerCheck, BadUseSaysSoInOneLine) {
  ScopedTempDir dir;
  for (const char* args : {"--bogus", "a b", "--png", "no_such_folder", ". --script /no/such/dir/s.txt"}) {
    const CheckRun r = RacerCheck(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << args << ": " << r.err;
    EXPECT_TRUE(r.err.starts_with("racer_check: ")) << r.err;
  }
}

// Settings lines of every kind the reader meets: keys exact, inside longer
// words, misspelt or in small letters, each separator, numbers past 32 bits,
// lines with a part missing, blank, commented, in CR LF or too long.
std::string RandomLines(std::mt19937& rng, bool settings) {
  auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  const char* const separators[] = {" ", "=", ",", " = ", "\t", "=="};
  std::string text;
  for (int lines = pick(30); lines > 0; --lines) {
    std::string first = settings ? kConfigKeys[pick(kConfigKeyCount)].name : std::to_string(pick(10) == 0 ? pick(1700) - 50 : pick(800));
    if (settings && pick(6) == 0) first = "MAX_" + first;
    if (settings && pick(8) == 0) first[1] = static_cast<char>(first[1] + 1);
    if (settings && pick(10) == 0) first[0] = static_cast<char>(first[0] - 'A' + 'a');
    std::string value = std::to_string(pick(20) == 0 ? pick(20001) - 10000 : pick(601) - 300);
    if (pick(settings ? 8 : 30) == 0) value = std::vector<std::string>{"99999999999", "99999999", "5000", "-2147483649"}[pick(4)];
    std::string line = first + separators[pick(6)] + value;
    switch (pick(12)) {
      case 0: line = first; break;
      case 1: line = value; break;
      case 2: line = "abc"; break;
      case 3: line = "# " + line; break;
      case 4: line = std::string(165, ' ') + line; break;
      case 5: line += " # note"; break;
      default: break;
    }
    text += line + (pick(8) == 0 ? "\r\n" : "\n");
  }
  return text;
}

TEST(RacerCheck, ReportsWhatTheGameStartsWith) {
  std::mt19937 rng(14);
  for (int round = 0; round < 80; ++round) {
    ScopedTempDir dir;
    std::string settings = RandomLines(rng, true);
    // Steps of at least 20 keep the smoothing of wild courses quick.
    if (round % 10 != 0) settings += "CORNER_ARCH " + std::to_string(20 + rng() % 200) + "\n";
    if (round % 7 != 1) WriteFile(round % 7 == 2 ? "config_bak.txt" : "config.txt", settings);
    if (round % 7 != 3) WriteFile(round % 7 == 4 ? "map_bak.txt" : "map.txt", RandomLines(rng, false));

    const file_check::Report report = file_check::Check();
    auto gs = NewState();
    Initialize(*gs);
    for (int k = 0; k < kConfigKeyCount; ++k) {
      EXPECT_EQ(report.settings[k].value, gs.get()->*kConfigKeys[k].field) << kConfigKeys[k].name << "\n" << settings;
    }
    EXPECT_TRUE(std::equal(report.course.begin(), report.course.end(), gs->mapDataX)) << round;
  }
}

}  // namespace
