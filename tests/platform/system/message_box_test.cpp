#include "platform/system/message_box.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/system/debug.h"

namespace {

TEST(MessageBox, TheRecorderReceivesCaptionAndTextInsteadOfShowingThem) {
  std::vector<std::pair<std::string, std::string>> seen;
  plat::Set_Message_Recorder(
      [&seen](const std::string& caption, const std::string& text) { seen.emplace_back(caption, text); });
  testing::internal::CaptureStderr();
  EXPECT_EQ(plat::Show_Message_Box("Message", "Initialization failure.\n"), plat::kMessageBoxOk);
  EXPECT_EQ(plat::Show_Message_Box(nullptr, nullptr), plat::kMessageBoxOk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  plat::Set_Message_Recorder(nullptr);

  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].first, "Message");
  EXPECT_EQ(seen[0].second, "Initialization failure.\n");
  EXPECT_EQ(seen[1].first, "");
  EXPECT_EQ(seen[1].second, "");
}

TEST(MessageBox, WithoutADisplayTheMessageGoesToStderr) {
  ASSERT_EQ(setenv("SDL_VIDEODRIVER", "offscreen", 1), 0);
  testing::internal::CaptureStderr();
  EXPECT_EQ(plat::Show_Message_Box("Message", "Error: hWnd is NULL"), plat::kMessageBoxOk);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Message: Error: hWnd is NULL\n");
}

TEST(DebugOutput, IsSilentUntilSwitchedOnAndRecordableAlways) {
  EXPECT_FALSE(plat::Debug_Output_Enabled());
  testing::internal::CaptureStderr();
  OutputDebugStringA("hidden\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  plat::Set_Debug_Output_Enabled(true);
  testing::internal::CaptureStderr();
  plat::Debug_Output("shown\n");
  plat::Debug_Output(nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "shown\n");

  std::string recorded;
  plat::Set_Debug_Recorder([&recorded](const std::string& text) { recorded += text; });
  testing::internal::CaptureStderr();
  plat::Debug_Output("to the recorder\n");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  plat::Set_Debug_Recorder(nullptr);
  plat::Set_Debug_Output_Enabled(false);
  EXPECT_EQ(recorded, "to the recorder\n");
}

}  // namespace
