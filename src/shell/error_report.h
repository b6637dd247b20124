// How the program tells the player that something would not start: a
// message box owned by the main window, and the same text on standard
// error, which is all there is where no display exists.
#pragma once

#include "game_state.h"
#include "platform_api.h"

inline constexpr const char kErrorCaption[] = "エラー発生";
// The entries' own start-up messages, after a device's message of its own.
inline constexpr const char kDisplayStartFailed[] = "ダイレクトドローの初期化に失敗しました";
inline constexpr const char kSoundStartFailed[] = "ダイレクトサウンドの初期化に失敗しました";
// The sound device's own messages for its two start-up steps: creating the
// device, then setting its cooperative level.
inline constexpr const char kSoundCreateFailed[] =
    "DirectSoundが生成できませんDirectSoundの使用が不可能です";
inline constexpr const char kSoundCooperationFailed[] = "DirectSoundの協調に失敗しました";

// The platform layer installs its box; without one only standard error gets
// the text. Returns the previous presenter.
MessageBoxPresenter SetMessageBoxPresenter(MessageBoxPresenter presenter);

// Writes the text as one line on standard error, then shows it in a box.
void ShowMessage(PlatformWindow* owner, const char* text, const char* caption);

// A device's failing start-up step. Always false, so the step can end with
// `return Error(gs, "...")`.
bool Error(GameState& gs, const char* text);
