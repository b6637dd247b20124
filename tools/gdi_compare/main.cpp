// gdi_compare: sets a picture that the Windows build drew with GDI beside
// the one the software back buffer draws from the same calls, and says
// where they differ.
//
//   gdi_compare pattern --gdi FILE.ppm [--fullscreen] [--diff FILE.ppm] [--save FILE.ppm]
//   gdi_compare frame --frames N [--input SCRIPT] [--fullscreen] --gdi FILE.ppm
//               [--ours FILE.png] [--diff FILE.ppm] [--save FILE.ppm]
//
// `pattern` compares the test card of pattern.h cell by cell. `frame` runs
// the game's frames like racer_sim (config.txt and map.txt from the current
// directory) and puts each differing pixel of the last frame down to the
// last call drawn over it: the scene's lines, the HUD texts, the debug
// readouts' and map's texts and lines. --ours checks the frame against the
// picture racer_sim wrote; --diff writes a picture of the differences and
// --save our own picture. The exit status is 0 when the comparison ran,
// whatever it found, and 2 when it could not.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "headless/command_line.h"
#include "headless/headless_frame.h"
#include "headless/input_script.h"
#include "headless/recording_surface.h"
#include "media/glyphs.h"
#include "pattern.h"
#include "picture.h"

namespace {

constexpr char kUsage[] =
    "gdi_compare pattern --gdi FILE.ppm [--fullscreen] [--diff FILE.ppm] [--save FILE.ppm] | "
    "gdi_compare frame --frames N [--input SCRIPT] [--fullscreen] --gdi FILE.ppm [--ours FILE.png] "
    "[--diff FILE.ppm] [--save FILE.ppm]";

constexpr int kFailed = 2;

struct Options {
  std::string mode;
  long long frames = -1;
  std::optional<std::string> input;
  std::string gdi;
  std::optional<std::string> ours;
  std::optional<std::string> diff;
  std::optional<std::string> save;  // our picture, as PPM
  bool fullscreen = false;
};

int Fail(const std::string& message) {
  std::fprintf(stderr, "gdi_compare: %s\n", message.c_str());
  return kFailed;
}

// Returns the exit status when the tool is to stop now.
std::optional<int> ParseOptions(int argc, char** argv, Options& options) {
  CommandLine line("gdi_compare", kUsage, argc, argv);
  if (line.Next()) {
    options.mode = line.Arg();
    if (options.mode != "pattern" && options.mode != "frame") line.Fail("unknown mode " + options.mode);
  } else {
    line.Fail("a mode is required: pattern or frame");
  }
  while (line.Next()) {
    if (line.Flag("--fullscreen", options.fullscreen) || line.Whole("--frames", options.frames, 1) ||
        line.Text("--input", options.input) || line.Text("--gdi", options.gdi) || line.Text("--ours", options.ours) ||
        line.Text("--diff", options.diff) || line.Text("--save", options.save)) {
      continue;
    }
    line.Unknown();
  }
  if (options.gdi.empty()) line.Fail("--gdi FILE is required");
  if (options.mode == "frame" && options.frames < 1) line.Fail("--frames N is required");
  return line.Finish();
}

int Brightness(std::uint32_t p) {
  return static_cast<int>((p >> 16) & 0xFF) + static_cast<int>((p >> 8) & 0xFF) +
         static_cast<int>(p & 0xFF);
}

struct Tally {
  long long pixels = 0;
  long long oursDarker = 0;  // ours drew ink where GDI left it lighter
  long long gdiDarker = 0;
  long long other = 0;

  void Add(std::uint32_t ours, std::uint32_t gdi) {
    ++pixels;
    const int a = Brightness(ours);
    const int b = Brightness(gdi);
    if (a < b) {
      ++oursDarker;
    } else if (b < a) {
      ++gdiDarker;
    } else {
      ++other;
    }
  }
};

void PrintTally(const char* label, const Tally& t) {
  std::printf("  %-34s %7lld differ: %lld darker in ours, %lld darker in GDI's, %lld same brightness\n",
              label, t.pixels, t.oursDarker, t.gdiDarker, t.other);
}

// Identical pixels stay as ours, faded; differing ones show red where ours
// is darker, blue where GDI's is, magenta otherwise.
Picture DiffPicture(const Picture& ours, const Picture& gdi) {
  Picture out = ours;
  for (std::size_t i = 0; i < ours.rgb.size(); ++i) {
    const std::uint32_t a = ours.rgb[i];
    const std::uint32_t b = gdi.rgb[i];
    if (a == b) {
      const std::uint32_t grey = 160u + static_cast<std::uint32_t>(Brightness(a)) / 8u;
      out.rgb[i] = grey << 16 | grey << 8 | grey;
    } else if (Brightness(a) < Brightness(b)) {
      out.rgb[i] = 0xFF0000;
    } else if (Brightness(b) < Brightness(a)) {
      out.rgb[i] = 0x0000FF;
    } else {
      out.rgb[i] = 0xFF00FF;
    }
  }
  return out;
}

long long CountSame(const Picture& a, const Picture& b) {
  long long same = 0;
  for (std::size_t i = 0; i < a.rgb.size(); ++i) same += a.rgb[i] == b.rgb[i] ? 1 : 0;
  return same;
}

void PrintShare(const char* what, long long same, long long total) {
  std::printf("%s: %lld of %lld pixels identical (%.3f%%)\n", what, same, total,
              100.0 * static_cast<double>(same) / static_cast<double>(total));
}

bool SameSize(const Picture& a, const Picture& b) {
  return a.width == b.width && a.height == b.height && a.width > 0;
}

// The differing pixels of one cell as "x,y ours/gdi" relative to the cell.
void PrintCellPixels(const Picture& ours, const Picture& gdi, const PatternCell& cell) {
  int shown = 0;
  std::printf("     ");
  for (int y = cell.top; y < cell.bottom; ++y) {
    for (int x = cell.left; x < cell.right; ++x) {
      if (ours.At(x, y) == gdi.At(x, y)) continue;
      if (shown++ < 12) {
        std::printf(" (%d,%d)%s", x - (cell.left + cell.right) / 2, y - (cell.top + cell.bottom) / 2,
                    Brightness(ours.At(x, y)) < Brightness(gdi.At(x, y)) ? "ours" : "gdi");
      }
    }
  }
  if (shown > 12) std::printf(" ...");
  std::printf("\n");
}

int ComparePattern(const Options& options, const Picture& gdi) {
  SoftSurface surface(options.fullscreen ? PixelFormat::Rgb565 : PixelFormat::Xrgb8888);
  if (!DrawPattern(surface)) return Fail("the software surface lent no context");
  const Picture ours = FromSurface(surface);
  if (options.save && !WritePicturePpm(*options.save, ours)) return Fail("cannot write " + *options.save);
  if (!SameSize(ours, gdi)) return Fail("the pictures differ in size");
  PrintShare("pattern", CountSame(ours, gdi), static_cast<long long>(ours.rgb.size()));
  int differing = 0;
  for (const PatternCell& cell : PatternCells()) {
    Tally t;
    for (int y = cell.top; y < cell.bottom; ++y) {
      for (int x = cell.left; x < cell.right; ++x) {
        if (ours.At(x, y) != gdi.At(x, y)) t.Add(ours.At(x, y), gdi.At(x, y));
      }
    }
    if (t.pixels == 0) {
      std::printf("  same    %s\n", cell.label.c_str());
      continue;
    }
    ++differing;
    std::printf("  DIFFER  %s: %lld pixels (%lld darker in ours, %lld darker in GDI's)\n",
                cell.label.c_str(), t.pixels, t.oursDarker, t.gdiDarker);
    PrintCellPixels(ours, gdi, cell);
  }
  std::printf("cells differing: %d of %zu\n", differing, PatternCells().size());
  if (options.diff && !WritePicturePpm(*options.diff, DiffPicture(ours, gdi))) {
    return Fail("cannot write " + *options.diff);
  }
  return 0;
}

// A line or a text of the frame, in the order they were drawn. A text's
// box is [x1, x2) x [y1, y2); its width is the font height.
struct DrawnElement {
  enum class Kind { Line, Text } kind = Kind::Line;
  int borrow = 0;
  int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  int width = 1;
  std::string text;
  std::string face;
  bool opaque = false;
};

std::vector<DrawnElement> ElementsOf(const RecordingSurface& recorder) {
  std::vector<DrawnElement> elements(recorder.lines.size() + recorder.texts.size());
  for (const RecordedLine& l : recorder.lines) {
    elements[static_cast<std::size_t>(l.order)] = {DrawnElement::Kind::Line, l.borrow, l.x1, l.y1, l.x2,
                                                   l.y2, l.width, "", "", false};
  }
  for (const RecordedText& t : recorder.texts) {
    FontRequest request;
    request.height = t.height;
    request.italic = t.italic;
    request.faceName = t.face.c_str();
    const TextExtent extent = MeasureText(request, t.text.data(), static_cast<int>(t.text.size()));
    elements[static_cast<std::size_t>(t.order)] = {DrawnElement::Kind::Text, t.borrow, t.x, t.y,
                                                   t.x + extent.width, t.y + extent.height, t.height,
                                                   t.text, t.face, t.mode == BkMode::Opaque};
  }
  return elements;
}

double DistanceToSegment(double px, double py, const DrawnElement& e) {
  const double ax = e.x1, ay = e.y1, bx = e.x2, by = e.y2;
  const double dx = bx - ax, dy = by - ay;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0.0 ? ((px - ax) * dx + (py - ay) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

bool Covers(const DrawnElement& e, int x, int y) {
  if (e.kind == DrawnElement::Kind::Text) {
    constexpr int kSlack = 3;  // the two fonts' boxes need not match exactly
    return x >= e.x1 - kSlack && x < e.x2 + kSlack && y >= e.y1 - kSlack && y < e.y2 + kSlack;
  }
  return DistanceToSegment(x, y, e) <= e.width / 2.0 + 1.0;
}

std::string Category(const DrawnElement& e) {
  const bool text = e.kind == DrawnElement::Kind::Text;
  if (e.borrow == 1) return text ? "scene texts" : "scene lines (one-pixel, ghost incl.)";
  if (e.borrow == 2) return text ? "HUD texts (height 20, default face)" : "HUD lines";
  return text ? "debug/map texts (DD_FontShow)" : "debug/map lines (DD_DrawLine)";
}

int CompareFrame(const Options& options, const Picture& gdi) {
  std::vector<ScriptFrame> frames;
  if (options.input) {
    if (std::string error = ReadInputScript(*options.input, frames); !error.empty()) return Fail(error);
  }
  const Program program = options.fullscreen ? Program::FullScreen : Program::Windowed;
  HeadlessGame game(program);
  RecordingSurface recorder(game.back.get());
  game.gs->DDBack = &recorder;
  ScriptInput input(std::move(frames));
  for (long long frame = 1; frame <= options.frames; ++frame) {
    input.BeginFrame(frame);
    recorder.Clear();
    game.Frame(input);
  }
  const SoftSurface& surface = *game.back;
  const Picture ours = FromSurface(surface);
  if (options.ours) {
    std::string error;
    const Picture sim = ReadPng(*options.ours, error);
    if (!error.empty()) return Fail(error);
    if (!SameSize(sim, ours) || CountSame(sim, ours) != static_cast<long long>(ours.rgb.size())) {
      return Fail("this frame is not the one racer_sim drew in " + *options.ours);
    }
    std::printf("racer_sim's picture %s: the same frame\n", options.ours->c_str());
  }
  if (options.save && !WritePicturePpm(*options.save, ours)) return Fail("cannot write " + *options.save);
  if (!SameSize(ours, gdi)) return Fail("the pictures differ in size");
  const long long total = static_cast<long long>(ours.rgb.size());
  PrintShare("frame", CountSame(ours, gdi), total);

  const std::vector<DrawnElement> elements = ElementsOf(recorder);
  std::map<std::string, Tally> byCategory;
  std::map<std::size_t, long long> byElement;
  Tally unexplained;
  for (int y = 0; y < ours.height; ++y) {
    for (int x = 0; x < ours.width; ++x) {
      const std::uint32_t a = ours.At(x, y);
      const std::uint32_t b = gdi.At(x, y);
      if (a == b) continue;
      bool found = false;
      for (std::size_t i = elements.size(); i-- > 0;) {
        if (!Covers(elements[i], x, y)) continue;
        byCategory[Category(elements[i])].Add(a, b);
        ++byElement[i];
        found = true;
        break;
      }
      if (!found) unexplained.Add(a, b);
    }
  }
  std::printf("differing pixels by the last call drawn over them:\n");
  for (const auto& [label, tally] : byCategory) PrintTally(label.c_str(), tally);
  if (unexplained.pixels > 0) PrintTally("near no call", unexplained);

  std::vector<std::pair<long long, std::size_t>> worst;
  for (const auto& [index, count] : byElement) worst.emplace_back(count, index);
  std::sort(worst.rbegin(), worst.rend());
  std::printf("calls with the most differing pixels:\n");
  for (std::size_t k = 0; k < worst.size() && k < 12; ++k) {
    const DrawnElement& e = elements[worst[k].second];
    if (e.kind == DrawnElement::Kind::Text) {
      std::printf("  %5lld  text \"%s\" at (%d,%d) height %d face \"%s\" %s\n", worst[k].first,
                  e.text.c_str(), e.x1, e.y1, e.width, e.face.c_str(),
                  e.opaque ? "opaque" : "transparent");
    } else {
      std::printf("  %5lld  line (%d,%d)->(%d,%d) width %d\n", worst[k].first, e.x1, e.y1, e.x2,
                  e.y2, e.width);
    }
  }
  if (options.diff && !WritePicturePpm(*options.diff, DiffPicture(ours, gdi))) {
    return Fail("cannot write " + *options.diff);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (const std::optional<int> status = ParseOptions(argc, argv, options)) return *status;
  std::string error;
  const Picture gdi = ReadPpm(options.gdi, error);
  if (!error.empty()) return Fail(error);
  return options.mode == "pattern" ? ComparePattern(options, gdi) : CompareFrame(options, gdi);
}
