#include "platform/sdl/display.h"

#include <SDL.h>

#include "shell/error_report.h"

struct SoundObject {
  SDL_AudioDeviceID device = 0;
};

namespace sdl {

// The steps as SDL has them:
//   creating the sound object   -> starting SDL's audio with its driver
//   the cooperative level       -> opening the default playback device
bool DS_INIT(GameState& gs) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    return Error(gs, kSoundCreateFailed);
  }
  gs.DSObject = new SoundObject;
  SDL_AudioSpec want{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 1024;
  // No callback and never unpaused: the device is open and silent.
  gs.DSObject->device = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr,
                                            SDL_AUDIO_ALLOW_ANY_CHANGE);
  if (gs.DSObject->device == 0) return Error(gs, kSoundCooperationFailed);
  return true;
}

void DS_END(GameState& gs) {
  if (gs.DSObject == nullptr) return;
  if (gs.DSObject->device != 0) SDL_CloseAudioDevice(gs.DSObject->device);
  delete gs.DSObject;
  gs.DSObject = nullptr;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

}  // namespace sdl
