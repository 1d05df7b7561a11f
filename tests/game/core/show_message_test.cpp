#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/core/WinMain.h"
#include "platform/system/debug.h"
#include "platform/system/message_box.h"

namespace {

struct Shown {
  std::string caption;
  std::string text;
};

class ShowMessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([this](const std::string& caption, const std::string& text) {
      shown.push_back({caption, text});
    });
    plat::Set_Debug_Recorder([this](const std::string& text) { debug_texts.push_back(text); });
  }
  void TearDown() override {
    plat::Set_Message_Recorder(nullptr);
    plat::Set_Debug_Recorder(nullptr);
  }
  std::vector<Shown> shown;
  std::vector<std::string> debug_texts;
};

TEST_F(ShowMessageTest, FormatsTheTextUnderTheMessageCaption) {
  EXPECT_EQ(Show_Message("Application is already running.\nShutting down."), plat::kMessageBoxOk);
  EXPECT_EQ(Show_Message("%s %d%%", "loaded", 75), plat::kMessageBoxOk);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].caption, "Message");
  EXPECT_EQ(shown[0].text, "Application is already running.\nShutting down.");
  EXPECT_EQ(shown[1].caption, "Message");
  EXPECT_EQ(shown[1].text, "loaded 75%");
}

TEST_F(ShowMessageTest, BothPrintsKeepAtMostTheFirst255Characters) {
  struct Case {
    size_t length;
    size_t kept;
  };
  const Case cases[] = {{254, 254}, {255, 255}, {256, 255}, {1000, 255}};
  for (const Case& c : cases) {
    std::string text;
    for (size_t i = 0; i < c.length; ++i) text += static_cast<char>('a' + i % 26);
    shown.clear();
    debug_texts.clear();
    Show_Message("%s", text.c_str());
    Debug_Printf("%s", text.c_str());
    ASSERT_EQ(shown.size(), 1u);
    ASSERT_EQ(debug_texts.size(), 1u);
    EXPECT_EQ(shown[0].text, text.substr(0, c.kept)) << c.length;
    EXPECT_EQ(debug_texts[0], text.substr(0, c.kept)) << c.length;
  }
}

TEST_F(ShowMessageTest, DebugPrintfGoesToTheDebugSinkOnly) {
  Debug_Printf("Error: Couldn't pick render mode\n");
  Debug_Printf("value %u", 7u);
  EXPECT_TRUE(shown.empty());
  EXPECT_EQ(debug_texts, (std::vector<std::string>{"Error: Couldn't pick render mode\n", "value 7"}));
}

}  // namespace
