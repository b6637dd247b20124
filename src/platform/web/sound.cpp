#include "platform/web/layer.h"

#include "platform/web/browser.h"
#include "shell/error_report.h"

struct SoundObject {};

namespace web {

// The steps as a page has them:
//   creating the sound object   -> the browser has Web Audio
//   the cooperative level       -> it opens a context on the default output
// The context is never played.
bool DS_INIT(GameState& gs) {
  const int opened = racer_audio_open();
  if (opened == 1) return Error(gs, kSoundCreateFailed);
  gs.DSObject = new SoundObject;
  if (opened != 0) return Error(gs, kSoundCooperationFailed);
  return true;
}

void DS_END(GameState& gs) {
  if (gs.DSObject == nullptr) return;
  racer_audio_close();
  delete gs.DSObject;
  gs.DSObject = nullptr;
}

}  // namespace web
