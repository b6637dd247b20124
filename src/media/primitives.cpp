#include "media/primitives.h"

#include <cstring>

#include "platform_api.h"

namespace {
constexpr const char* kFontShowFace = "標準明朝";
}  // namespace

void DD_BackInit(GameState& gs) {
  if (gs.DDBack != nullptr) gs.DDBack->ColorFill(0xFFFFFF);
}

void DD_FontShow(GameState& gs, const char* text, int height, int x, int y, int red, int green,
                 int blue, bool italic) {
  if (gs.DDBack == nullptr) return;
  DrawContext* dc = gs.DDBack->GetDC();
  if (dc == nullptr) return;
  FontRequest request;
  request.height = height;
  request.weight = 400;
  request.italic = italic;
  request.charSet = 128;
  request.faceName = kFontShowFace;
  Font* font = dc->CreateFont(request);
  Font* previous = dc->SelectFont(font);
  dc->SetBkMode(BkMode::Transparent);
  dc->SetTextColor(RGBRef(red, green, blue));
  dc->TextOut(x, y, text, static_cast<int>(std::strlen(text)));
  dc->SelectFont(previous);
  dc->DeleteFont(font);
  gs.DDBack->ReleaseDC(dc);
}

void DD_DrawLine(GameState& gs, int x1, int y1, int x2, int y2, int width, int red, int green,
                 int blue) {
  if (gs.DDBack == nullptr) return;
  DrawContext* dc = gs.DDBack->GetDC();
  if (dc == nullptr) return;
  Pen* pen = dc->CreatePen(width, RGBRef(red, green, blue));
  Pen* previous = dc->SelectPen(pen);
  dc->MoveTo(x1, y1);
  dc->LineTo(x2, y2);
  dc->SelectPen(previous);
  dc->DeletePen(pen);
  gs.DDBack->ReleaseDC(dc);
}
