// The SDL display and sound devices over SDL's dummy drivers: every step
// runs, nothing needs a screen or a sound card.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <SDL.h>

#include <memory>

#include "media/soft_surface.h"
#include "platform_api.h"
#include "shell/window_messages.h"

namespace {

class NoProc final : public WindowProcedure {
 public:
  std::int64_t Handle(PlatformWindow*, std::uint32_t, std::uint64_t, std::int64_t) override { return 0; }
};

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
    DS_END(*gs);
    DD_END(*gs);
    SDL_DestroyWindow(window_);
    SDL_Quit();
  }
  void GiveTheWindow() { gs->hwnd = queue.CreateWindow(proc, window_); }
  // The colour at the middle of what the window shows.
  std::uint32_t Shown() {
    SDL_Renderer* renderer = SDL_GetRenderer(window_);
    const SDL_Rect middle{320, 240, 1, 1};
    std::uint32_t pixel = 0;
    SDL_RenderReadPixels(renderer, &middle, SDL_PIXELFORMAT_RGB888, &pixel, 4);
    return pixel & 0xFFFFFF;
  }

  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  MessageQueue queue;
  NoProc proc;
  SDL_Window* window_ = nullptr;
};

TEST_F(SdlDevices, EachProgramsDisplayHasItsBackBuffer) {
  struct Case {
    bool fullscreen;
    PixelFormat format;
  };
  for (const Case& c : {Case{true, PixelFormat::Rgb565}, Case{false, PixelFormat::Xrgb8888}}) {
    gs = std::make_unique<GameState>();
    EXPECT_FALSE(c.fullscreen ? DD_INIT(*gs) : windowed::DD_INIT(*gs) != 0);  // no window, no device
    GiveTheWindow();
    ASSERT_TRUE(c.fullscreen ? DD_INIT(*gs) : windowed::DD_INIT(*gs) != 0) << SDL_GetError();
    ASSERT_NE(gs->DDObject, nullptr);
    auto* back = static_cast<SoftSurface*>(gs->DDBack);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->format(), c.format);
    EXPECT_EQ(gs->DDFront->GetDC(), nullptr);  // all drawing goes to the back buffer
    c.fullscreen ? DD_END(*gs) : void(windowed::DD_END(*gs));
    EXPECT_EQ((std::array{static_cast<void*>(gs->DDObject), static_cast<void*>(gs->DDFront),
                          static_cast<void*>(gs->DDBack)}),
              (std::array<void*, 3>{}));
    c.fullscreen ? DD_END(*gs) : void(windowed::DD_END(*gs));  // once released, nothing more to do
  }
}

// A device reset loses the screen: the next presentation restores it and
// shows nothing; the one after shows again.
TEST_F(SdlDevices, LostScreenIsRestoredAndThatFrameNotShown) {
  GiveTheWindow();
  ASSERT_EQ(windowed::DD_INIT(*gs), 1) << SDL_GetError();
  gs->DDBack->ColorFill(0xFF0000);
  windowed::DD_Present(*gs);
  EXPECT_EQ(Shown(), 0xFF0000u);
  SDL_Event reset{};
  reset.type = SDL_RENDER_DEVICE_RESET;
  SDL_PushEvent(&reset);
  gs->DDBack->ColorFill(0x00FF00);
  windowed::DD_Present(*gs);
  EXPECT_EQ(Shown(), 0xFF0000u);
  windowed::DD_Present(*gs);
  EXPECT_EQ(Shown(), 0x00FF00u);
}

TEST_F(SdlDevices, SoundOpensAndCloses) {
  ASSERT_TRUE(DS_INIT(*gs));
  EXPECT_NE(gs->DSObject, nullptr);
  DS_END(*gs);
  EXPECT_EQ(gs->DSObject, nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  DS_END(*gs);  // nothing open: nothing happens
}

}  // namespace
