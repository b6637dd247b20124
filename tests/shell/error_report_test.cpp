#include "shell/error_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/window_messages.h"

namespace {

struct Box {
  PlatformWindow* owner;
  std::string text;
  std::string caption;
};

class ErrorReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = SetMessageBoxPresenter([this](PlatformWindow* owner, const char* text,
                                              const char* caption) {
      boxes.push_back({owner, text, caption});
      return true;
    });
  }
  void TearDown() override { SetMessageBoxPresenter(previous_); }

  std::vector<Box> boxes;

 private:
  MessageBoxPresenter previous_;
};

TEST_F(ErrorReportTest, ErrorShowsABoxOwnedByTheWindowAndReturnsFalse) {
  auto gs = std::make_unique<GameState>();
  PlatformWindow window;
  gs->hwnd = &window;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Error(*gs, "フルスクリーン化できません"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "フルスクリーン化できません\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, &window);
  EXPECT_EQ(boxes[0].text, "フルスクリーン化できません");
  // The caption, byte for byte.
  EXPECT_EQ(boxes[0].caption, "\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC\xE7\x99\xBA\xE7\x94\x9F");
}

TEST_F(ErrorReportTest, ErrorWithoutWindowOrDisplayStillReports) {
  auto gs = std::make_unique<GameState>();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Error(*gs, "x"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "x\n");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST_F(ErrorReportTest, MessagesInTurnKeepTheirOrderAndCaptions) {
  ::testing::internal::CaptureStderr();
  ShowMessage(nullptr, "one", kErrorCaption);
  ShowMessage(nullptr, "two", "");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "one\ntwo\n");
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].caption, kErrorCaption);
  EXPECT_EQ(boxes[1].caption, "");
}

TEST(ErrorReportNoBoxTest, WithoutAPresenterOnlyStandardErrorGetsTheText) {
  const MessageBoxPresenter previous = SetMessageBoxPresenter({});
  auto gs = std::make_unique<GameState>();
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(Error(*gs, "DirectSoundの協調に失敗しました"));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "DirectSoundの協調に失敗しました\n");
  SetMessageBoxPresenter(previous);
}

}  // namespace
