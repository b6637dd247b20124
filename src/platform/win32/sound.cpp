#include "platform/win32/display.h"

#include "shell/error_report.h"
#include "platform/win32/api.h"

#include <dsound.h>

struct SoundObject {
  IDirectSound* sound = nullptr;
};

namespace win32 {

bool DS_INIT(GameState& gs) {
  IDirectSound* sound = nullptr;
  if (FAILED(DirectSoundCreate(nullptr, &sound, nullptr)) || sound == nullptr) {
    return Error(gs, kSoundCreateFailed);
  }
  gs.DSObject = new SoundObject{sound};
  const HWND hwnd = gs.hwnd != nullptr ? static_cast<HWND>(gs.hwnd->native) : nullptr;
  if (FAILED(sound->SetCooperativeLevel(hwnd, DSSCL_NORMAL))) {
    return Error(gs, kSoundCooperationFailed);
  }
  return true;
}

void DS_END(GameState& gs) {
  if (gs.DSObject == nullptr) return;
  gs.DSObject->sound->Release();
  delete gs.DSObject;
  gs.DSObject = nullptr;
}

}  // namespace win32
