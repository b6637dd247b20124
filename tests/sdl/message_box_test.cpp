// The SDL message box over SDL's dummy video driver: what answers it, and
// that it leaves nothing queued that the game would act on.
#include "platform/sdl/message_box.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "media/message_box.h"

namespace {

constexpr char kText[] = "DirectSoundの協調に失敗しました";

enum Step { Return, KeypadEnter, Space, Escape, LetterA, RepeatedReturn, ClickOk, ClickBesideOk,
            PressOkReleaseBeside, CloseButton };

// What the player does, pushed once the box is shown; a quit request a
// second later ends a box that those steps did not answer.
struct Player {
  std::vector<Step> steps;
  Uint32 owner = 0;
  Uint32 box = 0;
  SDL_TimerID giveUp = 0;
};

SDL_Event Make(Uint32 type, Uint32 window) {
  SDL_Event e{};
  e.type = type;
  e.window.windowID = window;  // the same place in key and button events
  return e;
}

void Push(const Player& p, Step step) {
  const soft::BoxRect button = soft::LayoutMessageBox(kText).ok;
  const SDL_Point ok{button.left + 5, button.top + 5};
  SDL_Event e = Make(SDL_KEYDOWN, p.box);
  const SDL_Keycode keys[] = {SDLK_RETURN, SDLK_KP_ENTER, SDLK_SPACE, SDLK_ESCAPE, SDLK_a, SDLK_RETURN};
  if (step <= RepeatedReturn) {
    e.key.keysym.sym = keys[step];
    e.key.repeat = step == RepeatedReturn;
    SDL_PushEvent(&e);
  } else if (step == CloseButton) {
    e = Make(SDL_WINDOWEVENT, p.box);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    SDL_PushEvent(&e);
  } else {
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
      const bool beside = step == ClickBesideOk || (step == PressOkReleaseBeside && type == SDL_MOUSEBUTTONUP);
      e = Make(type, p.box);
      e.button.button = SDL_BUTTON_LEFT;
      e.button.x = beside ? ok.x - 10 : ok.x;
      e.button.y = ok.y;
      SDL_PushEvent(&e);
    }
  }
}

int SDLCALL PlayWhenShown(void* data, SDL_Event* event) {
  auto* p = static_cast<Player*>(data);
  if (p->box != 0 || event->type != SDL_WINDOWEVENT || event->window.event != SDL_WINDOWEVENT_SHOWN) return 0;
  p->box = event->window.windowID;
  // The owner's input and close button are not for it while the box is up;
  // its other events are.
  SDL_Event e = Make(SDL_KEYDOWN, p->owner);
  e.key.keysym.sym = SDLK_RETURN;
  SDL_PushEvent(&e);
  e = Make(SDL_WINDOWEVENT, p->owner);
  for (Uint8 what : {SDL_WINDOWEVENT_CLOSE, SDL_WINDOWEVENT_EXPOSED}) {
    e.window.event = what;
    SDL_PushEvent(&e);
  }
  for (Step step : p->steps) Push(*p, step);
  p->giveUp = SDL_AddTimer(1000, [](Uint32, void*) -> Uint32 {
    SDL_Event quit = Make(SDL_QUIT, 0);
    SDL_PushEvent(&quit);
    return 0;
  }, nullptr);
  return 0;
}

struct Left {  // what the box left queued
  int quits = 0;
  int exposed = 0;
  int stray = 0;  // the box's own events, the owner's keys and close requests
};

Left ShowAndPlay(SDL_Window* owner, const std::vector<Step>& steps, bool answered) {
  SDL_PumpEvents();
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  Player player{steps, SDL_GetWindowID(owner)};
  SDL_AddEventWatch(&PlayWhenShown, &player);
  EXPECT_TRUE(ShowSdlMessageBox(owner, kText, "エラー発生"));
  SDL_DelEventWatch(&PlayWhenShown, &player);
  if (answered) SDL_RemoveTimer(player.giveUp);
  EXPECT_NE(player.box, 0u);
  Left left;
  SDL_Event e;
  while (SDL_PollEvent(&e) == 1) {
    left.quits += e.type == SDL_QUIT;
    const bool window = e.type == SDL_WINDOWEVENT;
    left.exposed += window && e.window.event == SDL_WINDOWEVENT_EXPOSED;
    left.stray += e.window.windowID == player.box || e.type == SDL_KEYDOWN ||
                  (window && e.window.event == SDL_WINDOWEVENT_CLOSE);
  }
  return left;
}

TEST(SdlMessageBox, AnsweredLikeADesktopBoxLeavingTheOwnersEventsQueued) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  EXPECT_FALSE(ShowSdlMessageBox(nullptr, kText, ""));  // no video: no box
  ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER), 0) << SDL_GetError();
  SDL_Window* owner = SDL_CreateWindow("owner", 0, 0, 640, 480, 0);
  ASSERT_NE(owner, nullptr) << SDL_GetError();
  struct Case {
    std::vector<Step> steps;
    bool answered;
  };
  const Case cases[] = {
      {{Return}, true}, {{KeypadEnter}, true}, {{Space}, true}, {{Escape}, true},
      {{ClickOk}, true}, {{CloseButton}, true},
      {{LetterA}, false}, {{RepeatedReturn}, false}, {{ClickBesideOk}, false},
      {{PressOkReleaseBeside}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.steps));
    const Left left = ShowAndPlay(owner, c.steps, c.answered);
    EXPECT_EQ(left.quits, c.answered ? 0 : 1);  // a quit request ends the box and is the game's
    EXPECT_EQ(left.exposed, 1);
    EXPECT_EQ(left.stray, 0);
  }
  SDL_DestroyWindow(owner);
  SDL_Quit();
}

}  // namespace
