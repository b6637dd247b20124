#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

#include "headless/input_script.h"
#include "support/test_support.h"

using testing_support::ScopedTempDir;
using testing_support::WriteFile;

namespace {

struct RunResult {
  int status = -1;
  std::string err;
  std::vector<std::map<std::string, long long>> rows;
  std::vector<std::string> header;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs racer_sim in the current directory and reads its trace back.
RunResult RunSim(const std::string& args) {
  RunResult r;
  const std::string command = std::string(RACER_SIM_PATH) + " " + args + " 2> err.txt";
  const int raw = std::system(command.c_str());
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.err = Slurp("err.txt");
  std::ifstream trace("trace.csv");
  std::string line;
  if (std::getline(trace, line)) {
    std::stringstream ss(line);
    std::string name;
    while (std::getline(ss, name, ',')) r.header.push_back(name);
  }
  while (std::getline(trace, line)) {
    std::stringstream ss(line);
    std::string cell;
    std::map<std::string, long long> row;
    for (size_t i = 0; std::getline(ss, cell, ','); ++i) row[r.header.at(i)] = std::stoll(cell);
    r.rows.push_back(row);
  }
  return r;
}

TEST(RacerSim, WorkedTraceOnAStraight) {
  ScopedTempDir dir;
  WriteFile("input.txt", "\n\n\nRIGHT UP\nRIGHT UP\nRIGHT UP\nDOWN\nDOWN\nDOWN\n");
  const RunResult r = RunSim("--frames 9 --input input.txt --trace trace.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.rows.size(), 9u);
  const char* columns[] = {"carGrip",      "carGripCount", "carVelocity", "carPosition",
                           "carLRTurnDev", "carLRTurn",    "carLRMove",   "carLRPosition"};
  const long long expected[9][8] = {
      {5057, 0, 5999, 600, 0, 0, 0, 0},          {5108, 0, 5998, 1199, 0, 0, 0, 0},
      {5159, 0, 5997, 1798, 0, 0, 0, 0},         {5172, 0, 6008, 2398, 49, 196, 54, 1},
      {5185, 0, 6019, 2999, 97, 584, 177, 5},    {5198, 0, 6029, 3601, 144, 1160, 373, 14},
      {5249, 60, 6007, 4201, 141, 1724, 592, 28}, {5200, 60, 5985, 4799, 138, 2276, 798, 47},
      {5152, 60, 5963, 5395, 135, 2816, 990, 71},
  };
  for (int f = 0; f < 9; ++f) {
    EXPECT_EQ(r.rows[f].at("frame"), f + 1);
    for (int c = 0; c < 8; ++c) EXPECT_EQ(r.rows[f].at(columns[c]), expected[f][c]) << "frame " << f + 1 << " " << columns[c];
  }
  EXPECT_EQ(r.rows[0].at("goalRecord0"), 0);
  EXPECT_EQ(r.rows[0].at("timeCount"), 1);
  EXPECT_EQ(r.rows[8].at("dispColor"), 255);  // draws like the windowed program
}

TEST(RacerSim, HeaderAndViewColumns) {
  ScopedTempDir dir;
  RunResult r = RunSim("--frames 1 --trace trace.csv --view");
  ASSERT_EQ(r.status, 0) << r.err;
  std::string joined;
  for (size_t i = 0; i < 31; ++i) joined += (i ? "," : "") + r.header[i];
  EXPECT_EQ(joined,
            "frame,controlAcceleration,controlBrake,controlLeftRight,carGrip,carGripCount,carVelocity,"
            "carVelocityMax,carPosition,courseSlide,carLRTurnDev,carLRTurn,carLRMove,carLRPosition,"
            "carHitCount,goalCount,timeCount,goalRecord0,goalRecord1,goalRecord2,goalRecord3,goalRecord4,"
            "goalRecord5,goalRecord6,goalRecord7,dispDebug,dispMap,dispGhost,dispObject,dispIndicater,"
            "dispColor");
  ASSERT_EQ(r.header.size(), 331u);
  EXPECT_EQ(r.header[31], "drawViewX0");
  EXPECT_EQ(r.header[330], "drawViewX299");
}

TEST(RacerSim, LapsRecordsAndGhost) {
  // Full throttle on a straight: every lap takes the same frames once the
  // speed has settled, and the records shift newest first.
  ScopedTempDir dir;
  WriteFile("input.txt", "UP\n");
  const RunResult r = RunSim("--frames 2500 --input input.txt --trace trace.csv");
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<size_t> goals;
  for (size_t i = 1; i < r.rows.size(); ++i) {
    if (r.rows[i].at("goalCount") != r.rows[i - 1].at("goalCount")) {
      EXPECT_EQ(r.rows[i].at("goalCount"), r.rows[i - 1].at("goalCount") + 1);
      goals.push_back(i);
    }
  }
  ASSERT_GE(goals.size(), 3u);
  for (size_t g = 0; g < goals.size(); ++g) {
    const auto& row = r.rows[goals[g]];
    EXPECT_EQ(row.at("goalRecord0"), 0);
    EXPECT_EQ(row.at("timeCount"), 1);  // reset at the goal, then this frame recorded
    EXPECT_LE(row.at("carPosition"), 819200);
    // The lap time is the running count of the frame before the goal.
    EXPECT_EQ(row.at("goalRecord1"), r.rows[goals[g] - 1].at("goalRecord0"));
    const long long lapFrames = static_cast<long long>(goals[g]) - (g == 0 ? 0 : static_cast<long long>(goals[g - 1]));
    EXPECT_EQ(row.at("goalRecord1"), lapFrames - 1);
    if (g > 0) {
      EXPECT_EQ(row.at("goalRecord2"), r.rows[goals[g - 1]].at("goalRecord1"));
    }
  }
}

TEST(RacerSim, BadUseExitsWithTwoAndWritesNothing) {
  ScopedTempDir dir;
  WriteFile("bad.txt", "UP\nLEFT JX=70000\n");
  WriteFile("unknown.txt", "UP\n\nJUMP\n");
  struct Case {
    const char* args;
    const char* inMessage;
  };
  const Case cases[] = {
      {"", "--frames"},
      {"--frames", "--frames"},
      {"--frames -1", "--frames"},
      {"--frames 12x", "--frames"},
      {"--frames 3 --bogus", "unknown option: --bogus"},
      {"--frames 3 --input missing.txt --trace trace.csv", "missing.txt"},
      {"--frames 3 --input bad.txt --trace trace.csv", "bad.txt:2:"},
      {"--frames 3 --input unknown.txt --trace trace.csv", "unknown.txt:3: unknown token: JUMP"},
  };
  for (const Case& c : cases) {
    std::remove("trace.csv");
    const RunResult r = RunSim(c.args);
    EXPECT_EQ(r.status, 2) << c.args;
    EXPECT_NE(r.err.find(c.inMessage), std::string::npos) << c.args << ": " << r.err;
    EXPECT_TRUE(r.rows.empty() && r.header.empty()) << c.args;
  }
}

TEST(InputScript, KeyAnswers) {
  const ScriptParseResult parsed = ParseInputScript("LEFT\nLEFT # held on\n+B\n\tJX=0 JB=15  \nLEFT +LEFT\n");
  ASSERT_TRUE(parsed.ok) << parsed.error;
  ASSERT_EQ(parsed.frames.size(), 5u);
  ScriptInput in(parsed.frames);
  struct Query {
    long long frame;
    int key;
    std::uint16_t answers[2];  // first and second query of the frame
  };
  const Query queries[] = {
      {1, VK_LEFT_KEY, {0x8001, 0x8000}},  // went down this frame
      {2, VK_LEFT_KEY, {0x8000, 0x8000}},  // still down
      {3, VK_LEFT_KEY, {0, 0}},
      {3, VK_B_KEY, {0x0001, 0}},          // tapped between frames
      {5, VK_LEFT_KEY, {0x8001, 0x8000}},
      {6, VK_LEFT_KEY, {0, 0}},            // past the script: nothing
      {6, VK_ESCAPE_KEY, {0, 0}},          // not a scripted key
  };
  long long current = 0;
  for (const Query& q : queries) {
    while (current < q.frame) in.BeginFrame(++current);
    EXPECT_EQ(in.GetAsyncKeyState(q.key), q.answers[0]) << q.frame;
    EXPECT_EQ(in.GetAsyncKeyState(q.key), q.answers[1]) << q.frame;
  }
  ScriptInput joy(parsed.frames);
  JoystickInfo info;
  joy.BeginFrame(4);
  ASSERT_TRUE(joy.JoyGetPos(info));
  EXPECT_EQ(info.xPos, 0u);
  EXPECT_EQ(info.buttons, 15u);
  joy.BeginFrame(5);
  ASSERT_TRUE(joy.JoyGetPos(info));
  EXPECT_EQ(info.xPos, 32768u);
  EXPECT_EQ(info.buttons, 0u);
}

TEST(InputScript, BadLines) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"left\n", 1}, {"UP\nJX=-1\n", 2}, {"JX=65536\n", 1}, {"JB=16\n", 1}, {"JX=\n", 1},
      {"JX=12a\n", 1}, {"+\n", 1}, {"++UP\n", 1}, {"UP,DOWN\n", 1}, {"\n\n\nESC\n", 4},
  };
  for (const Case& c : cases) {
    const ScriptParseResult parsed = ParseInputScript(c.text);
    EXPECT_FALSE(parsed.ok) << c.text;
    EXPECT_EQ(parsed.errorLine, c.line) << c.text;
    EXPECT_FALSE(parsed.error.empty());
  }
  EXPECT_TRUE(ParseInputScript("# only a comment\r\n  \nJX=65535 JB=0 +C\n").ok);
}

}  // namespace
