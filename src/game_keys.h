// Every key the game knows, in one table. Adding a key is one line here and
// the line of sim/controls.cpp that reads it: the virtual-key list, the input
// scripts' names, the SDL and page key maps and the test drivers' key lists
// all come from this table. (A touch button for it, if it wants one, is a
// line of the page's touch controls.)
#pragma once

#include <cstdint>
#include <string_view>

// The scripted keys first, in the order a script line names them.
// X(NAME, virtual-key code, name in input scripts ("" for none), SDL's key
// name (SDL_GetKeyFromName), the page's KeyboardEvent.key, upper case).
// Letters go by their meaning in the player's layout, as virtual keys do.
#define RACER_GAME_KEYS(X)                            \
  X(LEFT, 0x25, "LEFT", "Left", "ARROWLEFT")      \
  X(RIGHT, 0x27, "RIGHT", "Right", "ARROWRIGHT")  \
  X(UP, 0x26, "UP", "Up", "ARROWUP")              \
  X(DOWN, 0x28, "DOWN", "Down", "ARROWDOWN")      \
  X(B, 0x42, "B", "B", "B")                       \
  X(S, 0x53, "S", "S", "S")                       \
  X(D, 0x44, "D", "D", "D")                       \
  X(M, 0x4D, "M", "M", "M")                       \
  X(G, 0x47, "G", "G", "G")                       \
  X(O, 0x4F, "O", "O", "O")                       \
  X(I, 0x49, "I", "I", "I")                       \
  X(C, 0x43, "C", "C", "C")                       \
  X(ESCAPE, 0x1B, "", "Escape", "ESCAPE")

// VK_LEFT_KEY and the rest.
enum VirtualKey : int {
#define RACER_KEY_ENUM(name, code, script, sdl, page) VK_##name##_KEY = code,
  RACER_GAME_KEYS(RACER_KEY_ENUM)
#undef RACER_KEY_ENUM
};

struct GameKey {
  int virtualKey;
  std::string_view scriptName;
  const char* sdlName;
  std::string_view pageName;
};

inline constexpr GameKey kGameKeys[] = {
#define RACER_KEY_ROW(name, code, script, sdl, page) {code, script, sdl, page},
    RACER_GAME_KEYS(RACER_KEY_ROW)
#undef RACER_KEY_ROW
};
