// A War Room mission played through the whole program: the shuttle arrives at an infected
// site, the site simulation launches from the site list, points clean the site and the closing
// flies back; at the infection source the source falls, the region recedes to all clear, the
// closing sequence leads to the report, and the account on disk holds the win.
#include <gtest/gtest.h>

#include <string>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "tests/game/menu/menu_fixture.h"
#include "tests/support/stand_in_target.h"

namespace {

constexpr const char* kPilot = "pilot";

class MissionRoad : public MenuGame {
 protected:
  static CMenu_WarRoom& screen() { return g_Menu_Mgr.m_WarRoom; }

  // Steps until the condition holds; false when it never does within the frames. No check here
  // looks at a picture: only every few frames is drawn (the render path's own work, such as the
  // sweep of dead objects, goes on in those).
  template <typename Condition>
  bool Step_Until(Condition done, int frames, uint32_t milliseconds) {
    for (int frame = 0; frame < frames; ++frame) {
      if (done()) return true;
      if (g_Modal_Dlg.Is_Open()) g_Modal_Dlg.Term();  // help and messages: the pilot reads on
      if (stepped++ % kDraw_Every == 0)
        harness.Step(1, milliseconds);
      else
        harness.Step_Undrawn(1, milliseconds);
    }
    return done();
  }
  static constexpr int kDraw_Every = 8;
  int stepped = 0;

  // Arrives at the site with the map open: the arrival enters it.
  void Arrive_At(int site) {
    CWarRoom_Sim& sim = g_WarRoom_Sim;
    sim.m_Current_Site = site;
    sim.m_Sites[site].flags |= CWarRoom_Site::kInfected;
    sim.m_Sites[site].infection = 0.6f;
    // Time enough for the mission.
    sim.m_Growth_Rate = 0.001f;
    sim.m_Farthest_Distance = sim.m_Infection_Radius + 10.0f;
    screen().Set_Page(CMenu_WarRoom::kMap_Opening);
    ASSERT_TRUE(Step_Until([] { return g_Game.Get_Mode() == kMode_Simulation; }, 200, 50))
        << "the arrival launches the site simulation" << (messages.empty() ? "" : messages.back());
  }

  void Expect_Launched(const CWarRoom_Sim_Entry& entry) {
    EXPECT_EQ(g_Music_Track.m_Sim_Key, std::to_string(entry.track_id));
  }

  // Scores until the site is clean, then waits for the closing to fly back to the War Room.
  void Clean_Site(int site) {
    ASSERT_TRUE(Step_Until(
        [site] {
          g_Score_Board_Mgr.Award_Points(2000, 1.0f);
          g_Score_Board_Mgr.Commit_Points();
          return !(g_WarRoom_Sim.m_Sites[site].flags & CWarRoom_Site::kInfected);
        },
        200, 50));
    ASSERT_TRUE(Step_Until([] { return g_Game.Get_Mode() == kMode_Menus && screen().m_Visible; }, 400, 50))
        << "the closing returns to the War Room";
  }
};

TEST_F(MissionRoad, ASiteThenTheSourceThenAllClearIntoTheReportAndTheAccount) {
  Start();
  g_Menu_Mgr.m_Console.m_User_Name = kPilot;
  {
    CClient_Data account;
    ASSERT_TRUE(account.Load(kPilot));
    account.m_Access_Level = 1;
    ASSERT_TRUE(account.Save());
  }
  plat::Seed_Random(9);
  g_WarRoom_Target_Region = 1;
  g_Menu_Mgr.Command(kCommand_WarRoom, 0);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  ASSERT_TRUE(sim.m_Initialised);
  const int source = sim.m_Infected_Site;
  ASSERT_GE(source, 0);

  // An ordinary site first.
  int site = 0;
  while (site == source) ++site;
  Arrive_At(site);
  Expect_Launched(Build_Site_Sim_List()[sim.m_Sites[site].simulation_choice]);
  Clean_Site(site);
  EXPECT_FALSE(sim.m_Disinfection_Mode);

  // The source: its simulation holds what destroys it.
  Arrive_At(source);
  Expect_Launched(Build_Source_Sim_List()[sim.m_Sites[source].simulation_choice]);
  vt_test::Stand_In_Target* meteorite = vt_test::Stand_In_Target::Spawn_Sphere(800.0f, 200.0f, 1200.0f, 60.0f);
  ASSERT_NE(meteorite, nullptr);
  meteorite->m_Kind_Flags |= 0x08;
  Clean_Site(source);
  EXPECT_TRUE(sim.m_Disinfection_Mode) << "the source fell";

  // The region recedes to all clear; the closing sequence shows the report.
  for (int i = 0; i < sim.Site_Count(); ++i) {
    sim.m_Sites[i].flags &= ~CWarRoom_Site::kInfected;
    sim.m_Sites[i].infection = 0.0f;
  }
  ASSERT_TRUE(Step_Until([] { return g_Menu_Mgr.m_EndGame.m_Visible; }, 600, 50)) << "the report";
  EXPECT_TRUE(g_Menu_Mgr.m_EndGame.m_Success);
  CClient_Data account;
  ASSERT_TRUE(account.Load(kPilot));
  EXPECT_EQ(account.m_Missions_Flown, 1u);
  EXPECT_EQ(account.m_Missions_Won, 1u);
  EXPECT_EQ(account.m_Results[0], 1);
  EXPECT_GT(account.m_Credits, 0u);
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
