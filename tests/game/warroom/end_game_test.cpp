// The end-of-mission report: what showing it books in the account, its message, its layout and
// the return to the trainer.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenuItem_Typed_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CMenu_EndGame.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

constexpr const char* kPilot = "pilot";

class EndGameReport : public MenuGame {
 protected:
  void SetUp() override {
    MenuGame::SetUp();
    Start();
    ASSERT_TRUE(messages.empty()) << messages.front();
    g_Menu_Mgr.m_Console.m_User_Name = kPilot;
    saved_difficulty = g_Difficulty_Factor;
    g_Difficulty_Factor = 1.0f;
    g_Sequence_Mgr.Clear();
  }
  void TearDown() override {
    g_Difficulty_Factor = saved_difficulty;
    MenuGame::TearDown();
  }
  static CMenu_EndGame& report() { return g_Menu_Mgr.m_EndGame; }

  static void Write_Account(uint32_t access_level, uint32_t credits, uint32_t flown = 0, uint32_t won = 0) {
    CClient_Data account;
    ASSERT_TRUE(account.Load(kPilot));
    account.m_Access_Level = access_level;
    account.m_Credits = credits;
    account.m_Missions_Flown = flown;
    account.m_Missions_Won = won;
    ASSERT_TRUE(account.Save());
  }
  static CClient_Data Read_Account() {
    CClient_Data account;
    EXPECT_TRUE(account.Load(kPilot));
    return account;
  }
  // Shows the report of a mission, as the closing sequence does.
  static void Show(bool won) {
    report().Activate(false, false);
    g_Menu_Mgr.Command(kCommand_End_Mission, won ? 1 : 0);
    ASSERT_TRUE(report().m_Visible) << (g_Menu_Mgr.m_EndGame.m_Initialised ? "initialised" : "not initialised");
  }
  static std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (CMenuItem* item : report().m_Panel.Items())
      if (item->m_Kind == kItem_Text) {
        auto* text = static_cast<CMenuItem_Text*>(item);
        texts.push_back(text->m_Lines.empty() ? "" : text->m_Lines.front());
      }
    return texts;
  }
  static bool Has_Text(const std::string& wanted) {
    for (const std::string& text : Texts())
      if (text == wanted) return true;
    return false;
  }
  static CMenuItem_Button* Return_Button() {
    return static_cast<CMenuItem_Button*>(report().m_Panel.Find_Item(CMenu_EndGame::kReturn_Item, kItem_Button));
  }

  float saved_difficulty = 1.0f;
};

TEST_F(EndGameReport, AWonMissionIsBookedWithItsAwardAndAFailedOneWithout) {
  Write_Account(2, 1000, 4, 3);
  plat::Seed_Random(5);
  Show(true);
  CClient_Data account = Read_Account();
  EXPECT_EQ(account.m_Missions_Flown, 5u);
  EXPECT_EQ(account.m_Missions_Won, 4u);
  EXPECT_EQ(account.m_Results[0], 1);
  const uint32_t award = report().m_Award;
  const double lowest = 0.9 * std::pow(2.0, 0.35) * 7953.0, highest = 1.1 * std::pow(2.0, 0.35) * 7953.0;
  EXPECT_GE(award, static_cast<uint32_t>(lowest));
  EXPECT_LE(award, static_cast<uint32_t>(highest));
  EXPECT_EQ(account.m_Credits, 1000u + award);
  EXPECT_TRUE(Has_Text("Mission Successful"));
  EXPECT_TRUE(Has_Text("Credits Awarded For Mission:"));
  EXPECT_TRUE(Has_Text("4")) << "successful missions";
  EXPECT_TRUE(Has_Text("1")) << "failed missions";

  Show(false);
  account = Read_Account();
  EXPECT_EQ(account.m_Missions_Flown, 6u);
  EXPECT_EQ(account.m_Missions_Won, 4u);
  EXPECT_EQ(account.m_Results[0], 0);
  EXPECT_EQ(account.m_Results[1], 1);
  EXPECT_EQ(account.m_Credits, 1000u + award) << "a failed mission earns nothing";
  EXPECT_TRUE(Has_Text("Mission Failed"));
  EXPECT_FALSE(Has_Text("Credits Awarded For Mission:"));
  EXPECT_TRUE(Has_Text("2")) << "failed missions";
}

TEST_F(EndGameReport, AccessLevelZeroAwardsAsLevelOneAndTheCreditsSaturate) {
  struct Case {
    uint32_t level;
    uint32_t credits;
    float difficulty;
  };
  const Case cases[] = {{0, 0, 1.0f}, {1, 0, 1.0f}, {0, 0xFFFFFF00u, 1.0f}, {1, 0, 2.0f}};
  uint32_t awards[4] = {};
  Show(true);
  for (int i = 0; i < 4; ++i) {
    Write_Account(cases[i].level, cases[i].credits);
    g_Difficulty_Factor = cases[i].difficulty;
    plat::Seed_Random(77);
    report().Build_Report();
    awards[i] = report().m_Award;
    const uint64_t sum = static_cast<uint64_t>(cases[i].credits) + awards[i];
    EXPECT_EQ(Read_Account().m_Credits, sum > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(sum)) << i;
  }
  EXPECT_EQ(awards[0], awards[1]);
  EXPECT_GE(awards[0], static_cast<uint32_t>(0.9 * 7953));
  EXPECT_LE(awards[0], static_cast<uint32_t>(1.1 * 7953));
  EXPECT_EQ(awards[2], awards[0]);
  EXPECT_NEAR(static_cast<double>(awards[3]), 2.0 * awards[1], 1.0) << "difficulty scales the award";
}

TEST_F(EndGameReport, TheMessageComesFromTheKeyZeroRecordsOnceEachThenTheReportHasNone) {
  Write_Account(1, 0);
  std::vector<std::string> messages_seen;
  for (int mission = 0; mission < 3; ++mission) {
    Show(true);
    messages_seen.push_back(report().m_Message);
  }
  // The content holds two unrepeatable won-mission records, both with key 0.
  EXPECT_FALSE(messages_seen[0].empty());
  EXPECT_FALSE(messages_seen[1].empty());
  EXPECT_NE(messages_seen[0], messages_seen[1]);
  EXPECT_TRUE(messages_seen[2].empty()) << "each record is delivered once";
  EXPECT_EQ(messages_seen[0].find('%'), std::string::npos) << "placeholders filled in";
  // With no message the button is there at once.
  ASSERT_NE(Return_Button(), nullptr);
  EXPECT_TRUE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);
  report().Update(0.02f);
  EXPECT_FALSE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);
}

TEST_F(EndGameReport, TheButtonWaitsForTheMessageAndASecondPressDoesNothing) {
  Write_Account(1, 0);
  Show(true);
  ASSERT_FALSE(report().m_Message.empty());
  report().Update(0.02f);
  EXPECT_TRUE(Return_Button()->m_Flags & CMenuItem_Button::kHidden) << "the message is still typing";
  auto* message =
      static_cast<CMenuItem_Typed_Text*>(report().m_Panel.Find_Item(CMenu_EndGame::kMessage_Item, kItem_Typed_Text));
  ASSERT_NE(message, nullptr);
  for (int frame = 0; frame < 20000 && message->Pending_Count() > 0; ++frame) message->Render(Frame(1.0f));
  report().Update(0.02f);
  EXPECT_FALSE(Return_Button()->m_Flags & CMenuItem_Button::kHidden);

  report().Return_To_Trainer();
  report().Return_To_Trainer();
  ASSERT_EQ(g_Sequence_Mgr.Running().size(), 1u);
  EXPECT_EQ(g_Sequence_Mgr.Running()[0]->kind, 5);
}

TEST_F(EndGameReport, WithNoAccountToLoadNothingIsWrittenAndTheReportStillShows) {
  // A folder where the account file should be: the account cannot be read.
  const std::string file = CClient_Data::Get_File_Name(kPilot);
  std::filesystem::create_directory(file);
  Show(true);
  EXPECT_TRUE(Has_Text("Mission Successful"));
  EXPECT_TRUE(std::filesystem::is_directory(file));
  EXPECT_FALSE(std::filesystem::exists(file + "_tmp"));
  std::filesystem::remove(file);
}

}  // namespace
