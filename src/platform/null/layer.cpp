#include "platform/null/layer.h"

NullPlatform::~NullPlatform() = default;

PlatformWindow* NullPlatform::OpenWindow(GameState& gs, MessageQueue& queue,
                                         WindowProcedure& procedure) {
  gs.hwnd = queue.CreateWindow(procedure);
  player.Attach(queue, gs.hwnd);
  return gs.hwnd;
}

bool NullPlatform::ShowMessageBox(PlatformWindow* owner, const char* text, const char* caption) {
  boxes.push_back(std::string(owner != nullptr ? "owned " : "") + caption + "|" + text);
  return false;
}

bool NullPlatform::DD_INIT(GameState& gs) {
  back_ = std::make_unique<SoftSurface>(BackBufferFormat(program_));
  gs.DDBack = back_.get();
  return true;
}

void NullPlatform::DD_END(GameState& gs) {
  gs.DDBack = nullptr;
  back_.reset();
}
