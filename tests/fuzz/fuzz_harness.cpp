#include "fuzz_harness.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "data/files.h"
#include "headless/frame_checks.h"
#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "headless/trace.h"
#include "support/test_support.h"

namespace fuzz {
namespace {

using testing_support::WriteFile;

using i64 = std::int64_t;

// True when the two states differ anywhere outside the bytes [begin, end).
bool ChangedOutside(const GameState& a, const GameState& b, std::size_t begin, std::size_t end) {
  const auto* pa = reinterpret_cast<const unsigned char*>(&a);
  const auto* pb = reinterpret_cast<const unsigned char*>(&b);
  return std::memcmp(pa, pb, begin) != 0 || std::memcmp(pa + end, pb + end, sizeof(GameState) - end) != 0;
}

std::string Fail(const char* what, long long index = -1, long long value = 0) {
  if (index < 0) return what;
  return std::string(what) + " (at " + std::to_string(index) + ", value " + std::to_string(value) + ")";
}

// The script line by line, so that one bad line costs only its own frame
// (played with nothing pressed) rather than the whole script.
std::vector<ScriptFrame> LenientFrames(std::string_view script) {
  std::vector<ScriptFrame> frames;
  while (!script.empty()) {
    const std::size_t newline = script.find('\n');
    const std::string line(script.substr(0, newline));
    script = newline == std::string_view::npos ? std::string_view() : script.substr(newline + 1);
    ScriptParseResult parsed = ParseInputScript(line);
    frames.push_back(parsed.ok && parsed.frames.size() == 1 ? parsed.frames[0] : ScriptFrame{});
  }
  return frames;
}

std::FILE* NullSink() {
  static std::FILE* sink = std::fopen("/dev/null", "wb");
  return sink;
}

// The states the readers fill are large; they are made once and only the
// fields a reader may write are reset between inputs, while the rest must
// stay as zero as it started.
struct ReaderStates {
  std::unique_ptr<GameState> zero = std::make_unique<GameState>();
  std::unique_ptr<GameState> first = std::make_unique<GameState>();
  std::unique_ptr<GameState> second = std::make_unique<GameState>();
};

// One set per reader, so that either may run after the other.
enum Reader { kSettings, kCourse };
ReaderStates& States(Reader reader) {
  static ReaderStates states[2];
  return states[reader];
}

void ResetRange(GameState& gs, std::size_t begin, std::size_t end) {
  std::memset(reinterpret_cast<unsigned char*>(&gs) + begin, 0, end - begin);
}

}  // namespace

std::string RunSettings(std::string_view data) {
  if (!WriteFile("config.txt", std::string(data))) return "cannot write config.txt";
  const std::size_t begin = offsetof(GameState, configDevice);
  const std::size_t end = offsetof(GameState, noConfigFileFlag) + sizeof(std::int32_t);
  ReaderStates& st = States(kSettings);
  GameState& gs = *st.first;
  GameState& again = *st.second;
  ResetRange(gs, begin, end);
  ResetRange(again, begin, end);
  InitializeConfig(gs);
  if (gs.noConfigFileFlag != 0) return Fail("config.txt was there but counted as missing");
  if (gs.configRidgeRail > 1000) return Fail("RIDGE_RAIL above 1000 after reading", 0, gs.configRidgeRail);
  if (ChangedOutside(gs, *st.zero, begin, end)) return Fail("reading the settings wrote outside the settings");

  // Reading the same file a second time must give the same settings: the
  // reader keeps nothing from one file to the next.
  InitializeConfig(again);
  if (std::memcmp(&gs, &again, sizeof(GameState)) != 0) return Fail("a second read differs");
  return {};
}

std::string RunCourse(std::string_view data) {
  if (!WriteFile("map.txt", std::string(data))) return "cannot write map.txt";
  // The smoothing's rules on the course scaled down: a pass moves a pair by
  // one unit, so the game's full-size bends can cost half a second (the
  // figure of frame_bench's start-up), these a few dozen passes.
  constexpr std::int32_t kArch = 2;
  constexpr std::int32_t kScale = 250;
  const std::size_t begin = offsetof(GameState, mapDataX);
  const std::size_t end = offsetof(GameState, noMapFileFlag) + sizeof(std::int32_t);
  ReaderStates& st = States(kCourse);
  GameState* raw = st.first.get();
  GameState* gs = st.second.get();
  ResetRange(*raw, begin, end);
  ResetRange(*gs, begin, end);
  ReadMap(*raw);
  if (raw->noMapFileFlag != 0) return Fail("map.txt was there but counted as missing");
  if (ChangedOutside(*raw, *st.zero, begin, end)) return Fail("reading the course wrote outside the course");

  for (int i = 0; i < kCourseSections; ++i) {
    const std::int32_t v = raw->mapDataX[i];
    if (v < -kCourseValueLimit || v > kCourseValueLimit) return Fail("value beyond the limit", i, v);
    gs->mapDataX[i] = v / kScale;
  }
  std::int32_t r[kCourseSections];
  std::copy(gs->mapDataX, gs->mapDataX + kCourseSections, r);
  gs->configCornerArch = kArch;
  SmoothMap(*gs);
  gs->configCornerArch = 0;
  const std::int32_t* m = gs->mapDataX;
  i64 sum = 0;
  i64 rawSum = 0;
  bool rawSmooth = true;
  for (int i = 0; i < kCourseSections; ++i) {
    if (m[i + kCourseSections] != m[i]) return Fail("second copy differs from the first", i, m[i + kCourseSections]);
    if (i >= 1 && i <= kCourseSections - 2) {
      const i64 step = i64{m[i]} - m[i - 1];
      if (step > kArch || step < -kArch) return Fail("neighbours differ by more than CORNER_ARCH", i, step);
      const i64 rawStep = i64{r[i]} - r[i - 1];
      if (rawStep > kArch || rawStep < -kArch) rawSmooth = false;
    }
    sum += m[i];
    rawSum += r[i];
  }
  if (sum != rawSum) return Fail("smoothing changed the course's total bend", 0, sum - rawSum);
  if (rawSmooth && !std::equal(r, r + kCourseSections, m)) return Fail("smoothing changed a smooth course");
  return {};
}

std::string RunScript(std::string_view data) {
  const std::string text(data);
  const ScriptParseResult parsed = ParseInputScript(text);
  std::size_t lines = 0;
  for (char c : text) lines += c == '\n';
  if (!text.empty() && text.back() != '\n') ++lines;
  if (!parsed.ok) {
    if (!parsed.frames.empty()) return Fail("failed parse kept frames");
    if (parsed.error.empty()) return Fail("failed parse without a message");
    if (parsed.errorLine < 1 || static_cast<std::size_t>(parsed.errorLine) > lines) {
      return Fail("error line outside the script", parsed.errorLine, static_cast<long long>(lines));
    }
    return {};
  }
  if (parsed.frames.size() != lines) return Fail("frames are not one a line", static_cast<long long>(lines), 0);

  std::string rewritten;
  for (const ScriptFrame& f : parsed.frames) {
    if (f.joyX > 65535) return Fail("JX beyond 65535", 0, f.joyX);
    if (f.joyButtons > 15) return Fail("JB beyond 15", 0, f.joyButtons);
    if ((f.held | f.tapped) >> kScriptKeyCount) return Fail("key bit beyond the scripted keys");
    rewritten += FormatScriptLine(f) + "\n";
  }
  // The frames written out again read back the same. How a script's frames
  // answer the game's queries, InputScript.KeyAnswers holds.
  const ScriptParseResult again = ParseInputScript(rewritten);
  if (!again.ok || again.frames != parsed.frames) return Fail("the rewritten script reads back otherwise");
  return {};
}

RunParts SplitRunInput(std::string_view data) {
  RunParts parts;
  std::size_t cut = data.find(kPartSeparator);
  parts.settings = std::string(data.substr(0, cut));
  if (cut == std::string_view::npos) return parts;
  data.remove_prefix(cut + kPartSeparator.size());
  cut = data.find(kPartSeparator);
  parts.course = std::string(data.substr(0, cut));
  if (cut == std::string_view::npos) return parts;
  parts.script = std::string(data.substr(cut + kPartSeparator.size()));
  return parts;
}

std::string RunWhole(std::string_view data, int frames) {
  const RunParts parts = SplitRunInput(data);
  if (!WriteFile("config.txt", parts.settings) || !WriteFile("map.txt", parts.course)) {
    return "cannot write the data files";
  }
  std::vector<ScriptFrame> script = LenientFrames(parts.script);
  const long long scriptFrames = static_cast<long long>(script.size());
  ScriptInput input(std::move(script));

  auto gs = std::make_unique<GameState>();
  SoftSurface back16(PixelFormat::Rgb565);
  SoftSurface back32(PixelFormat::Xrgb8888);
  // The full-screen program starts the shade at 0, the windowed one at 255.
  gs->dispColor = data.size() % 2 == 0 ? 255 : 0;
  frame_checks::Baseline baseline;
  for (long long f = 1; f <= frames; ++f) {
    // A short script plays again from its start.
    input.BeginFrame(scriptFrames > 0 ? (f - 1) % scriptFrames + 1 : f);
    const bool fullscreen = f % 2 == 1;
    gs->DDBack = fullscreen ? static_cast<Surface*>(&back16) : static_cast<Surface*>(&back32);
    HeadlessFrame(*gs, fullscreen ? Program::FullScreen : Program::Windowed, input);
    if (back16.borrowed() || back32.borrowed()) return Fail("back buffer context still out after the frame", f);
    if (f == 1) baseline = frame_checks::TakeBaseline(*gs);
    if (std::string broken = frame_checks::CheckFrame(*gs, baseline, f); !broken.empty()) return broken;
    if (std::FILE* sink = NullSink()) WriteTraceRow(sink, f, *gs, true);
  }
  return {};
}

}  // namespace fuzz
