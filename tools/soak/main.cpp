// racer_soak: plays the game for a million frames with random settings,
// courses and keys, then with extreme settings, drawing every frame into the
// back buffer (the full-screen 16-bit one and the windowed 32-bit one by
// turns) and checking the state after each frame. Build it with
// -DRACER_SANITIZE=ON to run it under AddressSanitizer and
// UndefinedBehaviorSanitizer.
//
//   racer_soak [--pass random|extreme|both] [--frames N] [--seed S]
//              [--runs K] [--case I] [--draw-every N]
//
// The random pass splits N frames (1000000 by default) into K runs (20),
// each with its own world: run 0 uses seed S itself, so
// `--pass random --runs 1 --seed <run seed> --frames <run frames>` plays a
// failing run again. The extreme pass runs N frames over 60 cases: each
// setting in turn, then all of them together, at 0, -1, 2147483647 and
// -2147483648; `--pass extreme --case I --seed S --frames <N>` repeats one.
// Prints frames per second per pass; exits 1 at the first broken rule.
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <optional>
#include <unistd.h>

#include <filesystem>

#include "headless/command_line.h"
#include "headless/frame_checks.h"
#include "headless/headless_frame.h"
#include "soak_world.h"

namespace {

constexpr char kUsage[] =
    "racer_soak [--pass random|extreme|both] [--frames N] [--seed S] [--runs K] [--case I] [--draw-every N]";

constexpr std::int32_t kExtremeValues[] = {0, -1, INT32_MAX, INT32_MIN};
constexpr int kExtremeCases = (soak::kSettingCount + 1) * 4;

struct Options {
  std::string pass = "both";
  long long frames = 1000000;
  unsigned long long seed = 1;
  int runs = 20;
  int onlyCase = -1;
  int drawEvery = 1;
};

// Returns the exit status when the tool is to stop now.
std::optional<int> ParseOptions(int argc, char** argv, Options& o) {
  CommandLine line("racer_soak", kUsage, argc, argv);
  std::optional<std::string> seed;
  while (line.Next()) {
    if (line.Whole("--frames", o.frames, 1, (1ll << 40) - 1) || line.Whole("--runs", o.runs, 1, 100000) ||
        line.Whole("--case", o.onlyCase, 0, kExtremeCases - 1) || line.Whole("--draw-every", o.drawEvery, 1, 1000000) ||
        line.Text("--seed", seed, "a whole number") || line.Text("--pass", o.pass, "random, extreme or both")) {
      continue;
    }
    line.Unknown();
  }
  if (seed && !ReadWhole(*seed, o.seed)) line.Fail("--seed takes a whole number: " + *seed);
  if (o.pass != "random" && o.pass != "extreme" && o.pass != "both") line.Fail("--pass takes random, extreme or both: " + o.pass);
  return line.Finish();
}

bool WriteFile(const char* name, const std::string& text) {
  std::FILE* f = std::fopen(name, "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

// One game from start-up; false after printing the first broken rule.
bool PlayRun(const std::string& settings, const std::string& course, std::uint64_t seed, long long frames,
             int drawEvery, const std::string& replay, std::int32_t& device) {
  if (!WriteFile("config.txt", settings) || !WriteFile("map.txt", course)) {
    std::fprintf(stderr, "racer_soak: cannot write the data files\n");
    return false;
  }
  soak::Rng rng(seed);
  soak::RandomPlayer player(rng);
  auto gs = std::make_unique<GameState>();
  auto back16 = std::make_unique<SoftSurface>(PixelFormat::Rgb565);
  auto back32 = std::make_unique<SoftSurface>(PixelFormat::Xrgb8888);
  gs->dispColor = rng.Chance(0.5) ? 255 : 0;
  frame_checks::Baseline baseline;
  for (long long f = 1; f <= frames; ++f) {
    player.NextFrame(rng);
    const bool draw = (f - 1) % drawEvery == 0;
    const bool fullscreen = ((f - 1) / drawEvery) % 2 == 0;
    gs->DDBack = !draw ? nullptr : fullscreen ? static_cast<Surface*>(back16.get()) : back32.get();
    HeadlessFrame(*gs, fullscreen ? Program::FullScreen : Program::Windowed, player);
    std::string broken;
    if (back16->borrowed() || back32->borrowed()) broken = "back buffer context still out after the frame";
    if (f == 1) {
      baseline = frame_checks::TakeBaseline(*gs);
      device = gs->configDevice;
    }
    if (broken.empty()) broken = frame_checks::CheckFrame(*gs, baseline, f);
    if (!broken.empty()) {
      std::fprintf(stderr, "racer_soak: %s\nreplay with: %s\n", broken.c_str(), replay.c_str());
      return false;
    }
  }
  return true;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool RandomPass(const Options& o) {
  const long long perRun = o.frames / o.runs;
  std::printf("random pass: %d runs of %lld frames, seed %llu\n", o.runs, perRun,
              static_cast<unsigned long long>(o.seed));
  const auto start = std::chrono::steady_clock::now();
  soak::Rng seeds(o.seed);
  for (int r = 0; r < o.runs; ++r) {
    const std::uint64_t runSeed = r == 0 ? o.seed : seeds.Next();
    soak::Rng world(soak::Mix(runSeed));
    const std::string settings = soak::RandomSettings(world);
    const std::string course = soak::RandomCourse(world);
    const std::string replay = "racer_soak --pass random --runs 1 --seed " + std::to_string(runSeed) +
                               " --frames " + std::to_string(perRun) + " --draw-every " + std::to_string(o.drawEvery);
    std::printf("  run %d seed %llu:", r, static_cast<unsigned long long>(runSeed));
    std::fflush(stdout);
    std::int32_t device = 0;
    if (!PlayRun(settings, course, runSeed, perRun, o.drawEvery, replay, device)) return false;
    std::printf(" DEVICE %d, ok\n", device);
  }
  const double s = Seconds(start);
  std::printf("random pass: %lld frames in %.1f s, %.0f frames/s\n", perRun * o.runs, s, perRun * o.runs / s);
  return true;
}

bool ExtremePass(const Options& o) {
  const int first = o.onlyCase >= 0 ? o.onlyCase : 0;
  const int last = o.onlyCase >= 0 ? o.onlyCase : kExtremeCases - 1;
  const long long perCase = o.onlyCase >= 0 ? o.frames : o.frames / kExtremeCases;
  std::printf("extreme pass: %d cases of %lld frames, seed %llu\n", last - first + 1, perCase,
              static_cast<unsigned long long>(o.seed));
  const auto start = std::chrono::steady_clock::now();
  for (int c = first; c <= last; ++c) {
    const std::int32_t value = kExtremeValues[c % 4];
    const int key = c / 4;  // kSettingCount means every key at once
    std::array<std::int32_t, soak::kSettingCount> values;
    for (int k = 0; k < soak::kSettingCount; ++k) values[k] = kConfigKeys[k].builtIn;
    for (int k = 0; k < soak::kSettingCount; ++k) {
      if (k == key || key == soak::kSettingCount) values[k] = value;
    }
    const std::uint64_t runSeed = soak::Mix(o.seed + 1000 + static_cast<std::uint64_t>(c));
    soak::Rng world(soak::Mix(runSeed));
    const std::string course = soak::RandomCourse(world);
    const std::string replay = "racer_soak --pass extreme --case " + std::to_string(c) + " --seed " +
                               std::to_string(o.seed) + " --frames " + std::to_string(perCase) + " --draw-every " +
                               std::to_string(o.drawEvery);
    std::printf("  case %d: %s = %d:", c, key == soak::kSettingCount ? "every setting" : kConfigKeys[key].name,
                value);
    std::fflush(stdout);
    std::int32_t device = 0;
    if (!PlayRun(soak::SettingsText(values), course, runSeed, perCase, o.drawEvery, replay, device)) return false;
    std::printf(" ok\n");
  }
  const double s = Seconds(start);
  const long long total = perCase * (last - first + 1);
  std::printf("extreme pass: %lld frames in %.1f s, %.0f frames/s\n", total, s, total / s);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (const std::optional<int> status = ParseOptions(argc, argv, o)) return *status;
  // The game reads its files from the current directory: give it one.
  char pattern[] = "/tmp/racer_soak_XXXXXX";
  const char* dir = ::mkdtemp(pattern);
  if (dir == nullptr || ::chdir(dir) != 0) {
    std::fprintf(stderr, "racer_soak: cannot make a working directory\n");
    return 2;
  }
  bool ok = true;
  if (o.pass != "extreme") ok = RandomPass(o);
  if (ok && o.pass != "random") ok = ExtremePass(o);
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
  return ok ? 0 : 1;
}
