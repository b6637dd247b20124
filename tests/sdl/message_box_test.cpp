// The SDL message box over SDL's dummy video driver: what answers it, and
// that it leaves nothing queued that the game would act on.
#include "platform/sdl/message_box.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "media/message_box.h"
#include "shell/error_report.h"

namespace {

constexpr const char* kText = kSoundCooperationFailed;

// Keys go down and up, but for ReturnHeld, which only goes down.
enum Step { Return, KeypadEnter, Space, Escape, LetterA, RepeatedReturn, ReturnHeld,
            CloseButton, ClickOk, ClickBesideOk, PressOkReleaseBeside, PressBesideReleaseOk };

// What the player does, pushed once the box is shown, after the owner's
// key, close request and expose; a quit request queued after them ends a box
// that the step did not answer.
struct Player {
  Step step;
  Uint32 owner = 0;
  Uint32 box = 0;
  SDL_TimerID giveUp = 0;
  int x = 0, y = 0;  // where the box was shown
};

void Push(Uint32 type, Uint32 window, int detail = 0, int x = 0, int y = 0) {
  SDL_Event e{};
  e.type = type;
  if (type == SDL_WINDOWEVENT) {
    e.window = {type, 0, window, static_cast<Uint8>(detail), 0, 0, 0, 0, 0};
  } else if (type == SDL_KEYDOWN || type == SDL_KEYUP) {
    e.key.windowID = window;
    e.key.keysym.sym = detail;
    e.key.repeat = x;
  } else {
    e.button = {type, 0, window, 0, SDL_BUTTON_LEFT,
                static_cast<Uint8>(type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED), 1, 0, x, y};
  }
  SDL_PushEvent(&e);
}

int SDLCALL PlayWhenShown(void* data, SDL_Event* event) {
  auto* p = static_cast<Player*>(data);
  if (p->box != 0 || event->type != SDL_WINDOWEVENT || event->window.event != SDL_WINDOWEVENT_SHOWN) return 0;
  p->box = event->window.windowID;
  SDL_GetWindowPosition(SDL_GetWindowFromID(p->box), &p->x, &p->y);
  Push(SDL_KEYDOWN, p->owner, SDLK_RETURN);
  Push(SDL_WINDOWEVENT, p->owner, SDL_WINDOWEVENT_CLOSE);
  Push(SDL_WINDOWEVENT, p->owner, SDL_WINDOWEVENT_EXPOSED);
  const SDL_Keycode keys[] = {SDLK_RETURN, SDLK_KP_ENTER, SDLK_SPACE, SDLK_ESCAPE, SDLK_a, SDLK_RETURN, SDLK_RETURN};
  // A window manager that makes the box 100 pixels wider: the picture in its middle.
  const soft::MessageBoxLayout layout = soft::LayoutMessageBox(kText);
  SDL_SetWindowSize(SDL_GetWindowFromID(p->box), layout.width + 100, layout.height);
  const soft::BoxRect ok{layout.ok.left + 50, layout.ok.top, layout.ok.right + 50, layout.ok.bottom};
  if (p->step <= ReturnHeld) Push(SDL_KEYDOWN, p->box, keys[p->step], p->step == RepeatedReturn);
  if (p->step < ReturnHeld) Push(SDL_KEYUP, p->box, keys[p->step]);
  if (p->step == CloseButton) Push(SDL_WINDOWEVENT, p->box, SDL_WINDOWEVENT_CLOSE);
  if (p->step >= ClickOk) {
    const bool downOn = p->step == ClickOk || p->step == PressOkReleaseBeside;
    const bool upOn = p->step == ClickOk || p->step == PressBesideReleaseOk;
    Push(SDL_MOUSEBUTTONDOWN, p->box, 0, downOn ? ok.left + 5 : ok.left - 5, ok.top + 5);
    Push(SDL_MOUSEBUTTONUP, p->box, 0, upOn ? ok.left + 5 : ok.left - 5, ok.top + 5);
  }
  p->giveUp = SDL_AddTimer(100, [](Uint32, void*) -> Uint32 {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    return 0;
  }, nullptr);
  return 0;
}

TEST(SdlMessageBox, AnsweredLikeADesktopBoxLeavingTheOwnersEventsQueued) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  EXPECT_FALSE(ShowSdlMessageBox(nullptr, kText, ""));  // no video: no box
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
  SDL_Window* owner = SDL_CreateWindow("owner", -400, 0, 640, 480, 0);  // hanging off the screen
  ASSERT_NE(owner, nullptr) << SDL_GetError();
  for (int step = Return; step <= PressBesideReleaseOk; ++step) {
    const bool answers = step <= Escape || step == CloseButton || step == ClickOk;
    SCOPED_TRACE(step);
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    Player player{static_cast<Step>(step), SDL_GetWindowID(owner)};
    SDL_AddEventWatch(&PlayWhenShown, &player);
    EXPECT_TRUE(ShowSdlMessageBox(owner, kText, kErrorCaption));
    SDL_DelEventWatch(&PlayWhenShown, &player);
    if (answers) SDL_RemoveTimer(player.giveUp);

    int quits = 0, exposed = 0, stray = 0;  // stray: the box's, the owner's key and close
    for (SDL_Event e; SDL_PollEvent(&e) == 1;) {
      const bool window = e.type == SDL_WINDOWEVENT;
      quits += e.type == SDL_QUIT;
      exposed += window && e.window.event == SDL_WINDOWEVENT_EXPOSED;
      stray += e.window.windowID == player.box || e.type == SDL_KEYDOWN ||
               (window && e.window.event == SDL_WINDOWEVENT_CLOSE);
    }
    // Centred on its owner, but all of it on the screen.
    EXPECT_EQ(std::make_pair(player.x, player.y), std::make_pair(0, (480 - soft::LayoutMessageBox(kText).height) / 2));
    EXPECT_EQ(quits, answers ? 0 : 1);  // a quit request ends the box and is the game's
    EXPECT_EQ(exposed, 1);
    EXPECT_EQ(stray, 0);
  }
  SDL_DestroyWindow(owner);
  SDL_Quit();
}

}  // namespace
