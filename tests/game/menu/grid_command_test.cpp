#include <gtest/gtest.h>

#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "tests/game/menu/menu_fixture.h"
#include "tools/content/sim_content.h"

namespace {

class Commands : public MenuGame {
 protected:
  void TearDown() override {
    if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Clear_Region();
    g_WarRoom_Target_Region = 0;
    MenuGame::TearDown();
  }
};

TEST_F(Commands, TheGridBuildsEachModesLinesAllDark) {
  Start();
  CMenu_Grid& grid = g_Menu_Mgr.m_Grid;
  struct Case {
    int mode;
    size_t lines;
    size_t wall_lines;
  };
  const Case cases[] = {{1, 13 + 9, 0}, {2, 3 * 8 + 3 * 10 + 2 * 8, 24}, {3, 16 + 23, 0}, {4, 16 + 23, 0}, {0, 0, 0}};
  for (const Case& c : cases) {
    grid.Set_Mode(c.mode);
    EXPECT_EQ(grid.m_Lines.size(), c.lines) << c.mode;
    size_t walls = 0;
    for (const CMenu_Grid::Line& line : grid.m_Lines) {
      walls += line.flags & 1;
      EXPECT_EQ(line.phase, 0.0f) << "every line starts dark";
    }
    EXPECT_EQ(walls, c.wall_lines) << c.mode;
  }
  grid.Set_Mode(1);
  grid.Update(0.0f);
  for (const CMenu_Grid::Line& line : grid.m_Lines) EXPECT_EQ(line.phase, 0.0f) << "a paused grid stays dark";
  for (int i = 0; i < 400; ++i) grid.Update(1.0f);
  size_t lit = 0;
  for (const CMenu_Grid::Line& line : grid.m_Lines) {
    lit += line.phase >= 1.0f;
    EXPECT_LE(line.phase, 3.0f);
    EXPECT_GE(line.brightness, 0.0f);
  }
  EXPECT_GT(lit, grid.m_Lines.size() / 2) << "lines light up one by one and stay lit";
}

TEST_F(Commands, SimulatorTabKeptForArgumentsOutsideOneToFive) {
  Start();
  struct Case {
    int argument;
    int want_tab;
  };
  const Case cases[] = {{3, 3}, {0, 3}, {6, 3}, {5, 5}, {1, 1}, {-2, 1}};
  for (const Case& c : cases) {
    g_Menu_Mgr.Command(kCommand_Simulator, c.argument);
    EXPECT_EQ(g_Menu_Mgr.m_Simulator.m_Requested_Tab, c.want_tab) << c.argument;
    EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible);
    EXPECT_EQ(g_Menu_Mgr.m_Grid.m_Mode, CMenu_Grid::kSimulator);
  }
}

TEST_F(Commands, TheWarRoomPicksAndStoresARandomRegionAndKeepsARunningCampaign) {
  Start();
  g_WarRoom_Target_Region = 0;
  plat::Seed_Random(7);
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  ASSERT_TRUE(g_WarRoom_Sim.m_Initialised);
  const int region = g_WarRoom_Target_Region;
  EXPECT_GE(region, 1);
  EXPECT_LE(region, 8);
  EXPECT_EQ(g_WarRoom_Sim.m_Region_Id, region);
  EXPECT_EQ(g_Popup_Mgr.Set(), CPopup_Mgr::kWarRoom_Menu);
  EXPECT_TRUE(g_Menu_Mgr.m_WarRoom.m_Visible);
  g_WarRoom_Target_Region = region == 8 ? 1 : region + 1;
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  EXPECT_EQ(g_WarRoom_Sim.m_Region_Id, region) << "a running campaign is not restarted";
  g_Menu_Mgr.Command(kCommand_End_Mission, 1);
  EXPECT_TRUE(g_WarRoom_Sim.m_Initialised) << "the report keeps the campaign";
  EXPECT_EQ(g_Menu_Mgr.m_Grid.m_Mode, CMenu_Grid::kReport_Success);
  g_Menu_Mgr.Command(kCommand_Console, 0);
  EXPECT_FALSE(g_WarRoom_Sim.m_Initialised) << "the console ends it";
  g_WarRoom_Target_Region = 12;
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  EXPECT_GE(g_WarRoom_Target_Region, 1);
  EXPECT_LE(g_WarRoom_Target_Region, 8);
  g_Menu_Mgr.Command(kCommand_Simulator, 0);
  EXPECT_FALSE(g_WarRoom_Sim.m_Initialised) << "the simulator screen ends it";
}

TEST_F(Commands, OnlyCodesZeroAndOneLeaveThePause) {
  Start();
  struct Case {
    int code;
    bool want_paused;
  };
  const Case cases[] = {{0, true}, {1, true}, {2, false}, {3, false}, {10, false}, {6, false}};
  for (const Case& c : cases) {
    Set_Game_Paused(true);
    g_Menu_Mgr.Command(c.code, 0);
    EXPECT_EQ(g_Game_Paused, c.want_paused) << c.code;
    EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus) << c.code;
  }
  Set_Game_Paused(false);
}

TEST_F(Commands, AVariantOutsideZeroToThreeLaunchesNothing) {
  Start();
  g_Menu_Mgr.Command(kCommand_Simulator, 2);
  g_Menu_Mgr.Command(kCommand_Launch_Training, 4);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible) << "the menus stay";
  g_Menu_Mgr.Command(kCommand_Launch_Site, -1);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
  g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_TRUE(g_Menu_Mgr.Is_Suspended()) << "a launch suspends the screens";
  EXPECT_FALSE(g_Menu_Mgr.m_Grid.m_Initialised);
}

TEST_F(Commands, TheAmbienceStopsOncePerPauseAndStaysSilentAtZeroVolume) {
  Start();
  Record_Sounds();
  const uint32_t ambience = CMenu_Mgr::kAmbience_Sound;
  Set_Game_Paused(true);
  Set_Game_Paused(true);
  g_Menu_Mgr.On_Pause(true);
  EXPECT_EQ(sounds->Count(false, ambience), 1) << "one stop for a double pause";
  EXPECT_EQ(sounds->Count(true, ambience), 0);
  g_Game_State.SoundFX_Volume = 0.0f;
  Set_Game_Paused(false);
  EXPECT_EQ(sounds->Count(true, ambience), 0) << "silent at volume 0";
  g_Game_State.SoundFX_Volume = 0.8f;
  Set_Game_Paused(true);
  Set_Game_Paused(false);
  ASSERT_EQ(sounds->Count(true, ambience), 1);
  const Recording_Sound_Mgr::Call& play = sounds->calls.back();
  EXPECT_EQ(play.flags & 1, 1) << "looped";
  EXPECT_FLOAT_EQ(play.volume, 0.8f);
  g_Game_State.SoundFX_Volume = 1.0f;
}

// Every screen command resumes the menus and starts the ambience again, not only the first one
// after a suspension; the volume gate still holds.
TEST_F(Commands, EveryResumeStartsTheAmbienceAgain) {
  Start();
  Record_Sounds();
  const uint32_t ambience = CMenu_Mgr::kAmbience_Sound;
  ASSERT_FALSE(g_Menu_Mgr.Is_Suspended());
  const int screens[] = {kCommand_Simulator, kCommand_Console, kCommand_Simulator};
  int plays = 0;
  for (const int code : screens) {
    g_Menu_Mgr.Command(code, 0);
    EXPECT_EQ(sounds->Count(true, ambience), ++plays) << "command " << code;
    for (const Recording_Sound_Mgr::Call& call : sounds->calls)
      if (call.play && call.id == ambience) {
        EXPECT_EQ(call.flags & 1, 1) << "looped";
      }
  }
  g_Game_State.SoundFX_Volume = 0.05f;
  g_Menu_Mgr.Command(kCommand_Console, 0);
  EXPECT_EQ(sounds->Count(true, ambience), plays) << "silent at or below 0.05";
  g_Game_State.SoundFX_Volume = 1.0f;
}

// Closing the screens before a launch leaves the modal dialog to its opener.
TEST_F(Commands, ClosingTheScreensLeavesAnOpenDialog) {
  Start();
  ASSERT_TRUE(g_Modal_Dlg.Init(CVector3{0.0f, 0.0f, 100.0f},
                               CVector2{0.5f * CMenuItem::Screen_W(), 0.5f * CMenuItem::Screen_H()},
                               0.4f * CMenuItem::Screen_W(), 0.0f, CModal_Dlg::kMode_Message));
  g_Menu_Mgr.Close_All();
  EXPECT_TRUE(g_Modal_Dlg.Is_Open());
  EXPECT_TRUE(g_Menu_Mgr.Is_Suspended());
  EXPECT_FALSE(g_Menu_Mgr.m_Console.m_Initialised);
  g_Modal_Dlg.Term();
}

TEST_F(Commands, TheConsoleTabTogglesOncePerClick) {
  Start();
  ASSERT_TRUE(g_Menu_Mgr.m_Console.m_Visible);
  // The console slides open (and shut) over about 0.76 s; its tab moves with it.
  harness.Step(60);
  ASSERT_EQ(g_Menu_Mgr.m_Console.m_Open_Fraction, 1.0f);
  const float W = CMenuItem::Screen_W(), H = CMenuItem::Screen_H();
  harness.Move_Mouse(static_cast<int>(0.9f * W), static_cast<int>(H / 2));
  harness.Left_Down();
  harness.Left_Up();
  harness.Pump();
  EXPECT_FALSE(g_Menu_Mgr.m_Console.m_Visible) << "press toggles, release only taken";
  harness.Step(60);
  ASSERT_EQ(g_Menu_Mgr.m_Console.m_Open_Fraction, 0.0f);
  harness.Move_Mouse(static_cast<int>(0.01f * W), static_cast<int>(H / 2));
  harness.Left_Down();
  harness.Left_Up();
  harness.Pump();
  EXPECT_TRUE(g_Menu_Mgr.m_Console.m_Visible) << "the closed console's tab is at the left edge";
  harness.Char('`');
  harness.Pump();
  EXPECT_FALSE(g_Menu_Mgr.m_Console.m_Visible);
}

}  // namespace
