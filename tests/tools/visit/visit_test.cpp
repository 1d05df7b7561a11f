// The visit of everything: its message log files every channel and tells problems from news.
// (The short visit itself runs as the test Visit.Short.)
#include <gtest/gtest.h>

#include <string>

#include "platform/system/debug.h"
#include "platform/system/message_box.h"
#include "tools/visit/Message_Log.h"

namespace {

using vt_visit::Message_Log;
using vt_visit::Visit_Message;

TEST(Visit_Message_Log, FilesEveryChannelUnderItsPlaceAndFindsTheProblems) {
  Message_Log log;
  log.Install();
  log.Set_Place("training run Elementary");
  plat::Show_Message_Box("Message", "Error in CTarget_Ball\nUnable to create renderable object...");
  testing::internal::CaptureStderr();
  plat::Error_Output("Get_Resource: Resource ID (22000456) not found.\n");
  testing::internal::GetCapturedStderr();
  plat::Debug_Output("I'm a CRezMgr_PreFetch_Loader_Thread.\n");
  log.Remove();
  // Removed: nothing more arrives.
  plat::Debug_Output("Error: Couldn't pick render mode\n");

  const std::vector<Visit_Message> messages = log.Messages();
  ASSERT_EQ(messages.size(), 3u);
  EXPECT_EQ(messages[0].channel, Visit_Message::kBox);
  EXPECT_EQ(messages[0].text, "Message: Error in CTarget_Ball\nUnable to create renderable object...");
  EXPECT_EQ(messages[1].channel, Visit_Message::kError);
  EXPECT_EQ(messages[1].text, "Get_Resource: Resource ID (22000456) not found.");
  EXPECT_EQ(messages[2].channel, Visit_Message::kDebug);
  for (const Visit_Message& message : messages) EXPECT_EQ(message.where, "training run Elementary");
  EXPECT_EQ(log.Count_Problems(), 2u);
  EXPECT_EQ(log.Count_Problems(2), 0u);
}

TEST(Visit_Message_Log, TellsFailuresFromNewsInDiagnostics) {
  struct Case {
    Visit_Message::Channel channel;
    const char* text;
    bool problem;
  };
  const Case cases[] = {
      {Visit_Message::kDebug, "Using Direct3D Device HAL", false},
      {Visit_Message::kDebug, "CRezMgr_PreFetch_Loader_Thread exitting.", false},
      {Visit_Message::kDebug, "Error in CPopup_Mgr\nUnable to initialize pop-up menu...", true},
      {Visit_Message::kDebug, "CD3DRenderStyles::LoadRenderStyle: Couldn't Load Renderstyle.", true},
      {Visit_Message::kDebug, "Warning: Create failed. Attempting to fall back...", true},
      {Visit_Message::kDebug, "the pack is damaged", true},
      {Visit_Message::kError, "anything at all on the error channel", true},
      {Visit_Message::kBox, "Message: Application is already running.", true},
  };
  for (const Case& c : cases) EXPECT_EQ(Message_Log::Is_Problem(Visit_Message{c.channel, c.text, ""}), c.problem) << c.text;
}

}  // namespace
