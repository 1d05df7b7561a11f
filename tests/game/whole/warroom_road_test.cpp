// The road of a War Room mission from start-up: a new login, the console's commands for the
// access level and the mission alert, the "To War-Room" button, the briefing and its acceptance,
// the shuttle's flight, the map, an infected site chosen and flown to, its site simulation fought
// with the gun, until the infection source falls and the region is clear; the end-of-mission
// report, and the trainer after it. The account on disk then holds the mission, and a second
// start loads it back.
#include <cstdio>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/core/Settings.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CMenu_EndGame.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/game/whole/game_road.h"

namespace {

constexpr const char* kUser = "Warden";
// The report's panel has slid down and shows its items after this much of its time.
constexpr float kReport_Shown = 15.0f;
// Of the frames the road steps, every n-th is drawn.
constexpr int kDraw_Every = 8;

class WarRoomRoad : public GameRoad {
 protected:
  static CMenu_WarRoom& war_room() { return g_Menu_Mgr.m_WarRoom; }
  static bool On_Travel_Page() { return war_room().m_Visible && war_room().m_Page == CMenu_WarRoom::kTravel; }

  // A console command typed with the console pulled open by the back-quote key.
  void Console_Command(const std::string& command) {
    game().Char('`');
    Step_Sparse_Frames(60, 16);
    Type(command);
    game().Char(13);
    Step_Sparse_Frames(5, 16);
    game().Char('`');
    Step_Sparse_Frames(60, 16);
  }
  void Step_Sparse_Frames(int frames, uint32_t ms) {
    for (int frame = 0; frame < frames; ++frame) Step_Sparse(ms);
  }

  // Picks the site on the map by clicking its point and launches the shuttle.
  void Fly_To(int site) {
    // A message may open over the map at any moment (the help, the source's hint): read it first.
    for (int attempt = 0; attempt < 3 && g_WarRoom_Sim.m_Target_Site != site; ++attempt) {
      vt_test::Dismiss_Messages(game());
      const CVector3 point = g_Camera.World_To_Screen(war_room().m_Map.Get_Site_Position(site));
      vt_test::Click_At(game(), point.x, point.y);
    }
    ASSERT_EQ(g_WarRoom_Sim.m_Target_Site, site) << "the click picks the site";
    vt_test::Dismiss_Messages(game());
    ASSERT_TRUE(Click_Button(war_room().m_Panel, "Launch Shuttle"));
  }

  // Fights the site simulation until its closing has taken the program back to the menus. The
  // run meets enemies; the source's also the infested meteorite, and only the source's.
  void Fight_Site(bool source) {
    int fired = 0;
    bool enemies = false, boss = false;
    for (int frame = 0; frame < 4000 && g_Game.Get_Mode() == kMode_Simulation; ++frame) {
      if (Aim_And_Fire_Sparse()) ++fired;
      Step_Sparse();
      enemies = enemies || Enemy_In_World();
      boss = boss || g_World.Find_Object_By_Type(kBoss_Type, 0);
    }
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus) << "the site's run ends and its closing leaves it";
    EXPECT_GT(fired, 0) << "enemies and targets to fire at";
    EXPECT_TRUE(enemies) << "enemy ammunition or emplacements in the run";
    EXPECT_EQ(boss, source) << "the meteorite stands at the infection source alone";
  }
  static constexpr uint32_t kBoss_Type = 68;
  // Enemy ammunition, an emplacement (types 50-54), a UFO (8), a tile (66) or a digger (67).
  static bool Enemy_In_World() {
    constexpr uint32_t kKind_Enemy_Ammunition = 0x20;
    if (g_World.Find_Object_By_Flags(kKind_Enemy_Ammunition, 0)) return true;
    for (uint32_t type : {8u, 50u, 51u, 52u, 53u, 54u, 66u, 67u})
      if (g_World.Find_Object_By_Type(type, 0)) return true;
    return false;
  }
};

// The account as the program left it loaded, for comparing with its file.
struct Mission_Account {
  uint32_t level = 0, credits = 0, flown = 0, won = 0;
  uint8_t last_result = 0xff;
};

Mission_Account Read(const CClient_Data& account) {
  return {account.m_Access_Level, account.m_Credits, account.m_Missions_Flown, account.m_Missions_Won,
          account.m_Results[0]};
}

void Expect_Mission_Kept(const Mission_Account& kept, const Mission_Account& seen) {
  EXPECT_EQ(kept.flown, 1u);
  EXPECT_EQ(kept.won, 1u);
  EXPECT_EQ(kept.last_result, 1) << "the won mission is the newest result";
  EXPECT_EQ(kept.level, 2u) << "destroying the source raised the access level";
  EXPECT_EQ(kept.credits, seen.credits);
  EXPECT_EQ(kept.level, seen.level);
}

TEST_F(WarRoomRoad, FromStartUpThroughAMissionToTheReportAndTheAccountOnDiskAndBack) {
  harness.Render_Audio_To_Buffer(true);
  // The smallest display mode: the road is long.
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Resolution", 0));
  Start();
  ASSERT_TRUE(Log_In(kUser, true));
  // No check from here on looks at a picture: most frames run undrawn.
  Draw_Sparse_Every(kDraw_Every);
  harness.Set_Draw_Every(kDraw_Every);
  Console_Command("cheat_incacc");
  Console_Command("cheat_mission");
  CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  CMenuItem_Button* to_war_room = nullptr;
  ASSERT_TRUE(Step_Sparse_Until(
      [&] {
        to_war_room = vt_test::Find_Button(simulator.m_Panel, "To War-Room");
        return vt_test::Button_Enabled(to_war_room);
      },
      400))
      << "the mission alert lights the button";
  Click_Item(*to_war_room);
  ASSERT_TRUE(harness.Wait_For_Screen("briefing", 100, kFrame_Ms));
  ASSERT_TRUE(Click_Button(simulator.m_Panel, "Accept Mission"));
  ASSERT_TRUE(Step_Sparse_Reading_Until(On_Travel_Page, 2000)) << "the flight, then the map's travel page";
  const int source = g_WarRoom_Sim.m_Infected_Site;
  ASSERT_TRUE(g_WarRoom_Sim.Is_Site(source));
  EXPECT_EQ(Sim_Access_Level(), 1u) << "the console raised the access level";

  // Fly for the source; every infected site on the way is entered and fought on arrival, and
  // the War Room comes back after each run.
  int runs = 0;
  for (int leg = 0; leg < 12 && !g_Menu_Mgr.m_EndGame.m_Visible; ++leg) {
    if (On_Travel_Page() && !g_WarRoom_Sim.m_Disinfection_Mode && g_WarRoom_Sim.m_Current_Site != source) {
      Fly_To(source);
      if (HasFatalFailure()) return;
    }
    ASSERT_TRUE(Step_Sparse_Reading_Until(
        [] { return g_Game.Get_Mode() == kMode_Simulation || g_Menu_Mgr.m_EndGame.m_Visible; }, 3000))
        << "an infected site's simulation starts on arrival, or the report comes";
    if (g_Menu_Mgr.m_EndGame.m_Visible) break;
    const size_t launched = harness.Audio_Frame_Peaks().size();
    Fight_Site(g_WarRoom_Sim.m_Current_Site == source);
    if (HasFatalFailure()) return;
    ++runs;
    EXPECT_GT(Peak(launched, launched + 200), 1000) << "the site's music is heard";
    ASSERT_TRUE(Step_Sparse_Reading_Until([] { return On_Travel_Page() || g_Menu_Mgr.m_EndGame.m_Visible; }, 3000))
        << "the War Room after the site's run";
  }
  ASSERT_GT(runs, 0);
  EXPECT_TRUE(g_WarRoom_Sim.m_Disinfection_Mode) << "the source fell";
  ASSERT_TRUE(g_Menu_Mgr.m_EndGame.m_Visible) << "the region clears into the report";
  CMenu_EndGame& report = g_Menu_Mgr.m_EndGame;
  EXPECT_TRUE(report.m_Success);
  EXPECT_GT(report.m_Award, 0u);
  EXPECT_FALSE(report.m_Message.empty()) << "a correspondent's message on the report";
  Mission_Account seen;
  g_Communications_Mgr.m_Client_Data.Use_Loaded([&seen](CClient_Data& account) { seen = Read(account); });

  // The button comes once the panel is down and the message typed; it leads back to the trainer.
  CMenuItem_Button* back = nullptr;
  ASSERT_TRUE(Step_Sparse_Until(
      [&] {
        back = vt_test::Find_Button(report.m_Panel, "Return to QOR Trainer");
        return vt_test::Button_Enabled(back) && report.m_Elapsed >= kReport_Shown;
      },
      2000));
  Click_Item(*back);
  ASSERT_TRUE(Step_Sparse_Reading_Until(vt_test::Simulator_Open, 1000))
      << "the trainer after the report";
  EXPECT_FALSE(g_Menu_Mgr.m_EndGame.m_Visible);
  harness.Shut_Down();

  CClient_Data account;
  ASSERT_TRUE(account.Load(kUser));
  Expect_Mission_Kept(Read(account), seen);

  // A second start loads the mission back.
  Start_Again();
  if (HasFatalFailure()) return;
  ASSERT_TRUE(Log_In(kUser, false));
  Mission_Account loaded;
  ASSERT_TRUE(g_Communications_Mgr.m_Client_Data.Use_Loaded([&loaded](CClient_Data& record) { loaded = Read(record); }));
  Expect_Mission_Kept(loaded, seen);
  EXPECT_EQ(Sim_Access_Level(), 2u);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
