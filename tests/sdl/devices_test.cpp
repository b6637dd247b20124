// The SDL display over SDL's dummy drivers: every step runs, nothing needs
// a screen. The sound device opens and closes in every end-to-end run.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "media/soft_surface.h"
#include "platform/null/layer.h"
#include "platform/sdl/display.h"
#include "platform/sdl/layer.h"
#include "shell/error_report.h"
#include "platform_api.h"
#include "shell/window_messages.h"

namespace {

class SdlDevices : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("test", 0, 0, 640, 480, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    platform.DS_END(*gs);
    platform.DD_END(*gs);
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  void GiveTheWindow() { gs->hwnd = queue.CreateWindow(proc, window_); }
  // The colour at (x, y) of what the window shows.
  std::uint32_t Shown(int x = 320, int y = 240) {
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    SDL_Rect at{x, y, 1, 1}, to{0, 0, 1, 1};
    SDL_Surface* one = SDL_CreateRGBSurfaceWithFormat(0, 1, 1, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_BlitSurface(screen, &at, one, &to);
    const std::uint32_t pixel = *static_cast<std::uint32_t*>(one->pixels);
    SDL_FreeSurface(one);
    return pixel & 0xFFFFFF;
  }

  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  MessageQueue queue;
  NullProcedure proc;
  SdlPlatform platform{Program::Windowed};
  SDL_Window* window_ = nullptr;
};

TEST_F(SdlDevices, EachProgramsDisplayHasItsBackBuffer) {
  struct Case { bool fullscreen; PixelFormat format; };
  for (const Case& c : {Case{true, PixelFormat::Rgb565}, Case{false, PixelFormat::Xrgb8888}}) {
    gs = std::make_unique<GameState>();
    SdlPlatform display(c.fullscreen ? Program::FullScreen : Program::Windowed);
    EXPECT_FALSE(display.DD_INIT(*gs));  // no window, no device
    GiveTheWindow();
    ASSERT_TRUE(display.DD_INIT(*gs)) << SDL_GetError();
    ASSERT_NE(gs->DDObject, nullptr);
    auto* back = static_cast<SoftSurface*>(gs->DDBack);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->format(), c.format);
    EXPECT_EQ(gs->DDFront->GetDC(), nullptr);  // all drawing goes to the back buffer
    display.DD_END(*gs);
    EXPECT_EQ((std::array{static_cast<void*>(gs->DDObject), static_cast<void*>(gs->DDFront),
                          static_cast<void*>(gs->DDBack)}),
              (std::array<void*, 3>{}));
    display.DD_END(*gs);  // once released, nothing more to do
  }
}

TEST_F(SdlDevices, PadsStartWithTheWindow) {  // SDL's game-controller interface with the window
  ASSERT_NE(platform.OpenWindow(*gs, queue, proc), nullptr);
  EXPECT_NE(SDL_WasInit(SDL_INIT_GAMECONTROLLER), 0u);
}

// A change of the window's size loses the screen: the next presentation
// restores it and shows nothing; the one after shows again.
TEST_F(SdlDevices, LostScreenIsRestoredAndThatFrameNotShown) {
  GiveTheWindow();
  ASSERT_TRUE(platform.DD_INIT(*gs)) << SDL_GetError();
  gs->DDBack->ColorFill(0xFF0000);
  platform.DD_Present(*gs);
  EXPECT_EQ(Shown(), 0xFF0000u);
  SDL_SetWindowSize(window_, 800, 600);
  gs->DDBack->ColorFill(0x00FF00);
  platform.DD_Present(*gs);
  EXPECT_EQ(Shown(), 0u);
  platform.DD_Present(*gs);
  EXPECT_EQ((std::array{Shown(), Shown(639, 479), Shown(640, 240)}), (std::array{0x00FF00u, 0x00FF00u, 0u}));
}

// Each start-up step that fails says which in a box of its own and stops
// there; what was made before it is released at the end.
TEST_F(SdlDevices, EachFailedStartUpStepHasItsMessage) {
  const char* messages[] = {kFullScreenFailed, kDisplayModeFailed, kPrimarySurfaceFailed, kBackBufferFailed};
  NullPlatform boxes(Program::FullScreen);
  Platform* previous = SetMessageBoxes(&boxes);
  SdlPlatform display(Program::FullScreen);
  GiveTheWindow();
  for (int step = 1; step <= 4; ++step) {
    boxes.boxes.clear();
    sdl_testing::failDisplayStep = step;
    EXPECT_FALSE(display.DD_INIT(*gs));
    EXPECT_EQ(boxes.boxes, std::vector<std::string>{std::string("owned ") + kErrorCaption + "|" + messages[step - 1]});
    EXPECT_EQ(gs->DDBack, nullptr) << step;
    display.DD_END(*gs);
  }
  sdl_testing::failDisplayStep = 0;
  SetMessageBoxes(previous);
}

}  // namespace
