// The road of one training simulation through the whole program: a new user logs in at the
// console, which moves on to the simulator screen; a simulation from the list is run, scores and
// ends; the score is then in the score file and the credits in the account's file.
#include <gtest/gtest.h>

#include <string>

#include "game/core/CGame.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CRank_Data.h"
#include "game/trainer/Sim_Table.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

// The test reads no pixels: of its long stretches only every n-th frame is drawn.
constexpr int kDraw_Every = 8;

class WholeGame : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Build_Sim_Table();
    saved_row = g_Sim_Table[1];
    // The first simulation of the list plays the short lane track, so the run ends in seconds.
    g_Sim_Table[1].Track_Id = content::kLaneTrackIds[1];
    g_Sim_Table[1].Music_Id = content::kLaneMusicIds[1];
    g_Sim_Table[1].Environment = 1;
    g_Sim_Table[1].Preview_Texture = nullptr;
  }
  void TearDown() override {
    RunningGame::TearDown();
    g_Sim_Table[1] = saved_row;
  }
  // One frame of a long stretch, its count-th, drawn only when it is the n-th.
  bool Step_Mostly_Undrawn(int count, uint32_t ms) {
    return count % kDraw_Every == 0 ? harness.Step(1, ms) : harness.Step_Undrawn(1, ms);
  }
  Sim_Entry saved_row;
};

TEST_F(WholeGame, ARunFromTheListEndsWithItsScoreAndCreditsKept) {
  Start();
  CMenu_Console& console = g_Menu_Mgr.m_Console;
  for (int i = 0; i < 240; ++i) Step_Mostly_Undrawn(i + 1, 16);
  ASSERT_EQ(console.m_Prompt_State, CMenu_Console::kPrompt_Login);
  for (char c : std::string("pilot")) harness.Char(static_cast<unsigned char>(c));
  harness.Char(13);
  harness.Step(2);
  ASSERT_EQ(console.m_Prompt_State, CMenu_Console::kPrompt_Create);
  harness.Char('y');
  CMenu_Simulator& screen = g_Menu_Mgr.m_Simulator;
  for (int i = 0; i < 1500 && !screen.m_Visible; ++i) Step_Mostly_Undrawn(i, 16);
  ASSERT_TRUE(screen.m_Visible) << "the login moves on to the simulator screen";
  for (int i = 0; i < 200 && screen.m_Anim_State != CMenu_Simulator::kOpen; ++i) Step_Mostly_Undrawn(i, 100);
  ASSERT_EQ(screen.m_Anim_State, CMenu_Simulator::kOpen);
  auto* list = static_cast<CMenuItem_List*>(screen.m_Panel.Find_Item(1, kItem_List));
  ASSERT_NE(list, nullptr);
  list->Select_Row(1);
  harness.Key(0x0D);  // Enter runs the selection
  for (int i = 0; i < 400 && g_Game.Get_Mode() != kMode_Simulation; ++i) Step_Mostly_Undrawn(i, 100);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation) << "the launch sequence starts the run";
  bool scored = false;
  for (int i = 0; i < 600 && !g_Music_Track.m_Ended; ++i) {
    Step_Mostly_Undrawn(i, 50);
    if (!scored && i > 20) {
      g_Score_Board_Mgr.m_Pending_Points += 12345;
      scored = true;
    }
  }
  ASSERT_TRUE(g_Music_Track.m_Ended);
  harness.Step(5, 50);

  CRank_Data tables;
  ASSERT_TRUE(tables.Load());
  const std::string key = std::to_string(content::kLaneTrackIds[1]);
  EXPECT_GE(tables.Get_Score(key.c_str(), "pilot"), 12345u) << "the score is in the score file";
  CClient_Data account;
  ASSERT_TRUE(account.Load("pilot"));
  EXPECT_GT(account.m_Credits, 0u) << "the credits are in the account";
  EXPECT_EQ(account.m_Runs_Finished, 1u);
  EXPECT_EQ(account.m_Pacing, 1u) << "the launch counted towards the next War Room offer";
}

}  // namespace
