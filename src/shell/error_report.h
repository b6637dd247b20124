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
// The full-screen display's own messages for its start-up steps: the
// exclusive full screen, the 640x480 mode, the primary surface, the back
// buffer.
inline constexpr const char kFullScreenFailed[] = "フルスクリーン化できません";
inline constexpr const char kDisplayModeFailed[] = "解像度が変更できません";
inline constexpr const char kPrimarySurfaceFailed[] = "プライマリィサーフェースが生成できません";
inline constexpr const char kBackBufferFailed[] = "バックバッファが生成できません";
// The sound device's own messages for its two start-up steps: creating the
// device, then setting its cooperative level.
inline constexpr const char kSoundCreateFailed[] =
    "DirectSoundが生成できませんDirectSoundの使用が不可能です";
inline constexpr const char kSoundCooperationFailed[] = "DirectSoundの協調に失敗しました";

// Whose boxes show the messages: the running program's platform. Without
// one only standard error gets the text. Returns the previous one.
Platform* SetMessageBoxes(Platform* platform);

// Writes the text as one line on standard error, then shows it in a box.
void ShowMessage(PlatformWindow* owner, const char* text, const char* caption);

// A device's failing start-up step. Always false, so the step can end with
// `return Error(gs, "...")`.
bool Error(GameState& gs, const char* text);
