// The game's message box on SDL: a window of its own showing the picture of
// media/message_box.h, modal over the game's window. SDL's own box draws
// Japanese with the X server's core fonts, which few desktops have.
#pragma once

#include <SDL.h>

// Shows `text` (UTF-8) with an OK button in a window captioned `caption`,
// centred over `owner` (or the screen when null) and kept above it, and
// waits until it is answered: Enter, Space or Escape pressed and let go in
// it, a click on OK, or the close button. The owner takes no input
// meanwhile. The desktop's quit request also ends the wait and stays queued
// for the game. False when SDL's video is not up.
bool ShowSdlMessageBox(SDL_Window* owner, const char* text, const char* caption);

// The game's box: ShowSdlMessageBox; without fonts, SDL's own box, which
// shows at least the Latin letters. False when SDL's video is not up.
bool ShowGameMessageBox(SDL_Window* owner, const char* text, const char* caption);
