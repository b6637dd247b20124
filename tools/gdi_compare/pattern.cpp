#include "pattern.h"

#include <cstring>

namespace {

constexpr int kCellWidth = 64;
constexpr int kCellHeight = 48;
constexpr int kColumns = 10;
constexpr int kTextTop = 7 * kCellHeight;  // the texts' rows start below the line cells

enum class Kind { Thin, Wide, Text };

struct Element {
  Kind kind;
  int x1, y1, x2, y2;  // lines, relative to the cell's centre
  int width;
  const char* text;
  int height;
  const char* face;
  bool opaque;
  ColorRef color;
};

struct Vec {
  int x, y;
};

// One octant's directions; the others follow by turning them.
constexpr Vec kDirections[] = {{20, 0}, {20, 5}, {20, 10}, {20, 20},
                               {10, 20}, {5, 20}, {0, 20}, {19, 7}};

Vec Turn(Vec v, int quarter) {
  for (int i = 0; i < quarter; ++i) v = Vec{-v.y, v.x};
  return v;
}

constexpr ColorRef kBlack = RGBRef(0, 0, 0);
constexpr ColorRef kNeedle = RGBRef(155, 5, 5);
constexpr ColorRef kDot = RGBRef(5, 155, 255);
constexpr const char* kMincho = "標準明朝";

std::vector<Element> Elements() {
  std::vector<Element> out;
  for (int quarter = 0; quarter < 4; ++quarter) {
    for (Vec v : kDirections) {
      const Vec t = Turn(v, quarter);
      out.push_back({Kind::Thin, 0, 0, t.x, t.y, 1, nullptr, 0, nullptr, false, kBlack});
    }
  }
  for (Vec v : kDirections) {
    out.push_back({Kind::Thin, v.x, v.y, 0, 0, 1, nullptr, 0, nullptr, false, kBlack});
  }
  constexpr Vec kWideDirections[] = {{20, 0}, {20, 10}, {20, 20}, {0, 20}};
  for (int width : {2, 3, 4, 5, 8}) {
    for (Vec v : kWideDirections) {
      out.push_back({Kind::Wide, -v.x / 2, -v.y / 2, v.x / 2, v.y / 2, width, nullptr, 0, nullptr,
                     false, kNeedle});
    }
  }
  for (int width = 2; width <= 9; ++width) {
    out.push_back({Kind::Wide, 0, 0, 0, 0, width, nullptr, 0, nullptr, false, kDot});
  }
  // The texts as the game draws them: the HUD's default face at 20 pixels
  // on an opaque box, the readouts' and map's Mincho at 18, transparent.
  const Element texts[] = {
      {Kind::Text, 0, 0, 0, 0, 0, "carPosition: 94057", 20, "", true, kBlack},
      {Kind::Text, 0, 0, 0, 0, 0, "SPEED 4867 GRIP 9173", 20, "", true, kBlack},
      {Kind::Text, 0, 0, 0, 0, 0, "D/M/G:debug/map/ghost disp", 20, "", true, kBlack},
      {Kind::Text, 0, 0, 0, 0, 0, "\"map.txt\" not found.", 20, "", true, kBlack},
      {Kind::Text, 0, 0, 0, 0, 0, "TURN_DEV: -1234", 18, kMincho, false, kDot},
      {Kind::Text, 0, 0, 0, 0, 0, "GRIP_MIN:    100", 18, kMincho, false, kDot},
      {Kind::Text, 0, 0, 0, 0, 0, "MAP_DATA", 18, kMincho, false, kDot},
      {Kind::Text, 0, 0, 0, 0, 0, "SPEED/BRAKE: 12000/400", 18, kMincho, false, kDot},
  };
  for (const Element& e : texts) out.push_back(e);
  return out;
}

PatternCell CellAt(std::size_t index, const Element& e) {
  PatternCell cell;
  if (e.kind == Kind::Text) {
    const std::size_t textIndex = index - 68;  // 32 + 8 + 20 + 8 line cells before
    cell.left = static_cast<int>(textIndex % 2) * 320;
    cell.top = kTextTop + static_cast<int>(textIndex / 2) * 36;
    cell.right = cell.left + 320;
    cell.bottom = cell.top + 36;
    cell.label = std::string("text h") + std::to_string(e.height) +
                 (e.face[0] != '\0' ? " mincho" : " default") + " \"" + e.text + "\"";
    return cell;
  }
  cell.left = static_cast<int>(index % kColumns) * kCellWidth;
  cell.top = static_cast<int>(index / kColumns) * kCellHeight;
  cell.right = cell.left + kCellWidth;
  cell.bottom = cell.top + kCellHeight;
  const bool dot = e.x1 == e.x2 && e.y1 == e.y2;
  cell.label = (e.kind == Kind::Thin ? std::string("thin") : "wide w" + std::to_string(e.width)) +
               (dot ? std::string(" dot")
                    : " (" + std::to_string(e.x1) + "," + std::to_string(e.y1) + ")->(" +
                          std::to_string(e.x2) + "," + std::to_string(e.y2) + ")");
  return cell;
}

}  // namespace

std::vector<PatternCell> PatternCells() {
  const std::vector<Element> elements = Elements();
  std::vector<PatternCell> cells;
  for (std::size_t i = 0; i < elements.size(); ++i) cells.push_back(CellAt(i, elements[i]));
  return cells;
}

bool DrawPattern(Surface& surface) {
  surface.ColorFill(0xFFFFFF);
  DrawContext* dc = surface.GetDC();
  if (dc == nullptr) return false;
  const std::vector<Element> elements = Elements();
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const Element& e = elements[i];
    const PatternCell cell = CellAt(i, e);
    if (e.kind == Kind::Text) {
      FontRequest request;
      request.height = e.height;
      request.faceName = e.face;
      Font* font = dc->CreateFont(request);
      Font* kept = dc->SelectFont(font);
      dc->SetBkMode(e.opaque ? BkMode::Opaque : BkMode::Transparent);
      dc->SetTextColor(e.color);
      dc->TextOut(cell.left + 8, cell.top + 8, e.text, static_cast<int>(std::strlen(e.text)));
      dc->SelectFont(kept);
      dc->DeleteFont(font);
      continue;
    }
    const int cx = (cell.left + cell.right) / 2;
    const int cy = (cell.top + cell.bottom) / 2;
    Pen* pen = dc->CreatePen(e.width, e.color);
    Pen* kept = dc->SelectPen(pen);
    dc->MoveTo(cx + e.x1, cy + e.y1);
    dc->LineTo(cx + e.x2, cy + e.y2);
    dc->SelectPen(kept);
    dc->DeletePen(pen);
  }
  surface.ReleaseDC(dc);
  return true;
}
