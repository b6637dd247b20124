// The display and sound devices over SDL's dummy drivers and its disk
// audio driver: every step runs, nothing needs a screen or a sound card.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform_api.h"
#include "media/soft_surface.h"
#include "shell/error_report.h"
#include "shell/window_messages.h"

namespace {

class NoProc final : public WindowProcedure {
 public:
  std::int64_t Handle(PlatformWindow*, std::uint32_t, std::uint64_t, std::int64_t) override {
    return 0;
  }
};

class SdlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    previous_ = SetMessageBoxPresenter([this](PlatformWindow*, const char* text, const char* caption) {
      boxes.push_back(std::string(caption) + "|" + text);
      return true;
    });
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
  }
  void TearDown() override {
    DS_END(*gs);
    DD_END(*gs);
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    SDL_Quit();
    SetMessageBoxPresenter(previous_);
  }

  void MakeWindow() {
    window_ = SDL_CreateWindow("test", 0, 0, 640, 480, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
    gs->hwnd = queue.CreateWindow(proc, window_);
  }

  std::unique_ptr<GameState> gs = std::make_unique<GameState>();
  MessageQueue queue;
  NoProc proc;
  std::vector<std::string> boxes;

 private:
  SDL_Window* window_ = nullptr;
  MessageBoxPresenter previous_;
};

TEST_F(SdlDeviceTest, FullScreenDisplayHasA16BitBackBuffer) {
  MakeWindow();
  ASSERT_TRUE(DD_INIT(*gs)) << SDL_GetError();
  EXPECT_TRUE(boxes.empty());
  ASSERT_NE(gs->DDObject, nullptr);
  ASSERT_NE(gs->DDFront, nullptr);
  ASSERT_NE(gs->DDBack, nullptr);
  EXPECT_NE(static_cast<void*>(gs->DDFront), static_cast<void*>(gs->DDBack));
  auto* back = static_cast<SoftSurface*>(gs->DDBack);
  EXPECT_EQ(back->format(), PixelFormat::Rgb565);
  DD_Present(*gs);
  DD_Present(*gs);
  // The screen lends no drawing context: all drawing goes to the back buffer.
  EXPECT_EQ(gs->DDFront->GetDC(), nullptr);
  DD_END(*gs);
  EXPECT_EQ(gs->DDObject, nullptr);
  EXPECT_EQ(gs->DDFront, nullptr);
  EXPECT_EQ(gs->DDBack, nullptr);
  DD_END(*gs);  // once released, nothing more to do
}

TEST_F(SdlDeviceTest, WindowedDisplayHasA32BitBackBuffer) {
  MakeWindow();
  ASSERT_TRUE(windowed::DD_INIT(*gs)) << SDL_GetError();
  auto* back = static_cast<SoftSurface*>(gs->DDBack);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->format(), PixelFormat::Xrgb8888);
  windowed::DD_Present(*gs);
  EXPECT_EQ(windowed::DD_END(*gs), 1);
  EXPECT_EQ(gs->DDObject, nullptr);
  EXPECT_EQ(gs->DDBack, nullptr);
  EXPECT_EQ(windowed::DD_END(*gs), 1);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SdlDeviceTest, NoWindowNoDisplayAndNoMessageOfItsOwn) {
  EXPECT_FALSE(DD_INIT(*gs));
  EXPECT_FALSE(windowed::DD_INIT(*gs));
  EXPECT_EQ(gs->DDObject, nullptr);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SdlDeviceTest, PresentingWithoutADeviceDoesNothing) {
  DD_Present(*gs);
  windowed::DD_Present(*gs);
  DD_END(*gs);
  EXPECT_EQ(windowed::DD_END(*gs), 1);
}

TEST_F(SdlDeviceTest, SoundOpensAndCloses) {
  ASSERT_TRUE(DS_INIT(*gs));
  ASSERT_NE(gs->DSObject, nullptr);
  EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  DS_END(*gs);
  EXPECT_EQ(gs->DSObject, nullptr);
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
  DS_END(*gs);  // nothing open: nothing happens
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SdlDeviceTest, SoundDriverThatCannotStartGivesTheCreationMessage) {
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(DS_INIT(*gs));
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(gs->DSObject, nullptr);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "エラー発生|DirectSoundが生成できませんDirectSoundの使用が不可能です");
  EXPECT_NE(err.find("DirectSoundが生成できませんDirectSoundの使用が不可能です\n"), std::string::npos);
}

TEST_F(SdlDeviceTest, DeviceThatCannotOpenGivesTheCooperationMessage) {
  // The disk driver starts, but cannot write its output here.
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/sound.raw", 1);
  EXPECT_FALSE(DS_INIT(*gs));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0], "エラー発生|DirectSoundの協調に失敗しました");
  unsetenv("SDL_DISKAUDIOFILE");
}

}  // namespace
