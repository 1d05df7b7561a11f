#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/sim/CBrain.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/CText_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

class ModeMachine : public RunningGame {
 protected:
  void TearDown() override {
    g_Score_Board_Mgr.m_Refuse_Init = false;
    g_Communications_Mgr.m_Client_Data.Clear();
    RunningGame::TearDown();
  }

  // Nothing of a run is left standing.
  static void Expect_Run_Torn_Down() {
    EXPECT_FALSE(g_World.m_World_Ready);
    EXPECT_EQ(g_Game_State.m_Sim_Kind, 0u);
    EXPECT_EQ(g_Game_State.m_Brain, nullptr);
    EXPECT_EQ(g_Game_State.m_Mode_Flags, 0u);
    EXPECT_FALSE(g_Score_Board_Mgr.Is_Active());
    EXPECT_FALSE(g_Sim_Stats.Is_Running());
    EXPECT_FALSE(g_Text_Mgr.Is_Initialised());
    EXPECT_FALSE(g_Spark_Mgr.Is_Initialised());
    EXPECT_FLOAT_EQ(g_World.m_Gravity.y, -150.0f);
  }
};

TEST_F(ModeMachine, StartUpEntersTheMenus) {
  Start();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_FLOAT_EQ(g_Game.Time_Scale(), 1.5f);
  EXPECT_TRUE(g_Popup_Mgr.Is_Initialised());
  EXPECT_EQ(g_Popup_Mgr.Set(), 0);
  EXPECT_FALSE(g_Game_Paused);
  Expect_Run_Torn_Down();
}

TEST_F(ModeMachine, ALaunchLoadsTheSimulationAndLeavingItTearsItDown) {
  Start();
  for (int variant = 0; variant < 4; ++variant) {
    g_Menu_Mgr.Command(kCommand_Launch_Training, variant, content::kLaneTrackIds[variant], content::kLaneMusicIds[variant]);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation) << variant;
    EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
    EXPECT_FLOAT_EQ(g_Game.Time_Scale(), 1.0f);
    EXPECT_TRUE(g_World.m_World_Ready);
    EXPECT_EQ(g_Game_State.m_Sim_Kind, 1u);
    EXPECT_EQ(g_Game_State.m_Environment, variant);
    EXPECT_EQ(g_Game_State.m_Mode_Flags, 1u);
    ASSERT_NE(g_Game_State.m_Brain, nullptr);
    EXPECT_EQ(g_Game_State.m_Brain->m_Kind, 1);
    EXPECT_EQ(g_Popup_Mgr.Set(), 3);
    EXPECT_TRUE(g_Score_Board_Mgr.Is_Active());
    EXPECT_EQ(g_Game.Current_Desc().environment_variant, variant);
    harness.Step(3, 16);
    g_Menu_Mgr.Command(kCommand_Simulator, 0);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
    EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
    Expect_Run_Torn_Down();
  }
}

TEST_F(ModeMachine, ASiteSimulationRunsTheGameRulesBrain) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Site, 2, content::kLaneTrackIds[2], content::kLaneMusicIds[2]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  ASSERT_NE(g_Game_State.m_Brain, nullptr);
  EXPECT_EQ(g_Game_State.m_Brain->m_Kind, CBrain::kGame_Rules);
  EXPECT_EQ(g_Game_State.m_Mode_Flags, 0x11u);
  EXPECT_EQ(g_Game_State.m_Sim_Kind, 2u);
}

TEST_F(ModeMachine, AMissingWorldLeavesModeZeroAndTheMenuReturnsToModeOne) {
  Start();
  CSim_Desc desc;
  CMenu_Mgr::Build_Sim_Desc(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0], desc);
  desc.world_desc.world_id = 0x22FFFFF0;
  const int simulation = kMode_Simulation;
  EXPECT_FALSE(g_Game.Set_Mode(simulation, 1, &desc));
  EXPECT_EQ(g_Game.Get_Mode(), kMode_None);
  EXPECT_FALSE(g_World.m_World_Ready);
  EXPECT_EQ(g_Game_State.m_Sim_Kind, 0u);
  EXPECT_EQ(trace.back(), "mode failed");
  // Through the dispatcher the failed launch ends in the menus, with the run's managers down.
  g_Menu_Mgr.Command(kCommand_Console, 0);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
  Expect_Run_Torn_Down();
}

TEST_F(ModeMachine, ALaunchFailingAfterTheWorldStartedTakesTheWorldDownAgain) {
  Start();
  g_Score_Board_Mgr.m_Refuse_Init = true;
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus) << "the dispatcher returns to the menus";
  Expect_Run_Torn_Down();
  // The failed launch's own steps: the world started, was abandoned, and the mode failed (the
  // return to the menus follows them).
  const auto world_init = std::find(trace.rbegin(), trace.rend(), std::string("world init"));
  ASSERT_NE(world_init, trace.rend());
  const std::vector<std::string> failed(world_init.base() - 1, trace.end());
  ASSERT_GE(failed.size(), 3u);
  EXPECT_EQ(failed[1], "abandon launch");
  EXPECT_EQ(failed[2], "mode failed");
  EXPECT_EQ(std::count(failed.begin(), failed.end(), std::string("warm up")), 1) << "only the menus warm up";
  // A later launch starts cleanly.
  g_Score_Board_Mgr.m_Refuse_Init = false;
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_TRUE(g_World.m_World_Ready);
}

TEST_F(ModeMachine, TheGunComesFromTheProfileOnlyWhenItsKindIsInTheTable) {
  Start();
  struct Case {
    int gun;
    int attachment;
    int want_gun;
    int want_attachment_level;
  };
  const Case cases[] = {
      {2, 3, 2, 9},    // both in the tables
      {0, 0, 4, 0},    // no gun: the default gun; attachment 0 has no level
      {6, 15, 4, 45},  // past the last gun: the default gun
      {15, 16, 4, 0},  // a kind of 16 or more has no level
      {-1, -1, 4, 0},  // a negative kind never indexes the tables
      {100000, 7, 4, 21},
  };
  for (const Case& c : cases) {
    g_Communications_Mgr.m_Client_Data.Clear();
    g_Communications_Mgr.m_Client_Data.m_Loaded = true;
    for (int i = 0; i < CClient_Data::kKind_Slots; ++i) {
      g_Communications_Mgr.m_Client_Data.m_Gun_Levels[i] = 10 + i;
      g_Communications_Mgr.m_Client_Data.m_Attachment_Levels[i] = 3 * i;
    }
    g_Communications_Mgr.m_Client_Data.m_Current_Gun = c.gun;
    g_Communications_Mgr.m_Client_Data.m_Current_Attachment = c.attachment;
    g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
    ASSERT_NE(g_Player.m_Gun, nullptr);
    EXPECT_EQ(g_Player.m_Gun->m_Kind, c.want_gun) << c.gun;
    EXPECT_EQ(g_Player.m_Attachment_Level, c.want_attachment_level) << c.attachment;
    EXPECT_TRUE(g_Communications_Mgr.m_Client_Data.m_Loaded) << "a loaded profile stays loaded";
  }
  g_Communications_Mgr.m_Client_Data.Clear();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_FALSE(g_Communications_Mgr.m_Client_Data.m_Loaded) << "a profile loaded for the launch is cleared again";
}

TEST_F(ModeMachine, LeavingTheSimulationUnpausesTheGame) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  Set_Game_Paused(true);
  g_Menu_Mgr.Command(kCommand_Simulator, 0);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_FALSE(g_Game_Paused);
}

}  // namespace
