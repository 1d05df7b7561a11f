#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "game/core/CGame_State.h"
#include "game/core/CCamera.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CMenu_WarRoom.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

class WarRoomScreen : public MenuGame {
 protected:
  void SetUp() override {
    MenuGame::SetUp();
    Start();
    plat::Seed_Random(21);
    g_WarRoom_Target_Region = 1;
    g_Menu_Mgr.Command(4, 0);
    ASSERT_TRUE(screen().m_Initialised);
    ASSERT_TRUE(g_WarRoom_Sim.m_Initialised);
  }
  void TearDown() override {
    g_Modal_Dlg.Term();
    if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Clear_Region();
    g_WarRoom_Target_Region = 0;
    MenuGame::TearDown();
  }
  static CMenu_WarRoom& screen() { return g_Menu_Mgr.m_WarRoom; }
  static std::string Item_Text(int id) {
    auto* item = static_cast<CMenuItem_Text*>(screen().m_Panel.Find_Item(id, kItem_Text));
    return item && !item->m_Lines.empty() ? item->m_Lines[0] : std::string();
  }
  static uint32_t Item_Colour(int id) {
    auto* item = static_cast<CMenuItem_Text*>(screen().m_Panel.Find_Item(id, kItem_Text));
    return item ? item->m_Colour : 0;
  }
  // The travel page with every site clean, the time remaining set to about t.
  static void Open_Travel_Page(float t) {
    CWarRoom_Sim& sim = g_WarRoom_Sim;
    for (int i = 0; i < sim.Site_Count(); ++i) {
      sim.m_Sites[i].flags &= ~CWarRoom_Site::kInfected;
      sim.m_Sites[i].infection = 0.0f;
    }
    Set_Time_Remaining(t);
    screen().Set_Page(CMenu_WarRoom::kTravel);
  }
  static void Set_Time_Remaining(float t) {
    CWarRoom_Sim& sim = g_WarRoom_Sim;
    // A reach so small that only the source lies within it.
    sim.m_Growth_Rate = 0.001f;
    sim.m_Infection_Radius = 0.001f;
    sim.m_Farthest_Distance = 0.001f + t * 0.001f;
  }
};

TEST_F(WarRoomScreen, ShowingFliesAndEachPageSetsItsFades) {
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kFlying);
  EXPECT_EQ(screen().m_Travel_Countdown, 10.0f) << "no target: a short hop";
  struct Case {
    int page;
    float fade;
    float map_fade;
    int world_mode;
  };
  const Case cases[] = {{CMenu_WarRoom::kBefore_Flight, 1.0f, 0.0f, CWarRoom_World::kDocked},
                        {CMenu_WarRoom::kArriving, 1.0f, 0.0f, CWarRoom_World::kArriving},
                        {CMenu_WarRoom::kAfter_Flight, 0.0f, 0.0f, CWarRoom_World::kArriving},
                        {CMenu_WarRoom::kMap_Opening, 1.0f, 0.0f, CWarRoom_World::kDocked},
                        {CMenu_WarRoom::kTravel, 1.0f, 1.0f, CWarRoom_World::kDocked},
                        {CMenu_WarRoom::kLeaving, 1.0f, 1.0f, CWarRoom_World::kDocked}};
  for (const Case& c : cases) {
    screen().Set_Page(c.page);
    EXPECT_EQ(screen().m_Page, c.page);
    EXPECT_EQ(screen().m_Fade, c.fade) << c.page;
    EXPECT_EQ(screen().m_Map_Fade[0], c.map_fade) << c.page;
    EXPECT_EQ(screen().m_World.m_Mode, c.world_mode) << c.page;
    EXPECT_EQ(screen().m_Map.m_Initialised, c.page == CMenu_WarRoom::kTravel) << "only the travel page has the map";
  }
  screen().Set_Page(11);
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kLeaving) << "pages end at 10";
  screen().Show(false);
  EXPECT_FALSE(screen().m_Initialised);
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kOff);
}

TEST_F(WarRoomScreen, LeavingTheArrivalMakesTheFlightTargetCurrent) {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int from = sim.m_Current_Site;
  const int to = sim.m_Sites[from].links[0];
  sim.Set_Target_Site(to);
  screen().m_Flight_Target = to;
  screen().Set_Page(CMenu_WarRoom::kAfter_Flight);
  screen().Set_Page(CMenu_WarRoom::kMap_Opening);
  EXPECT_EQ(sim.m_Current_Site, to);
  EXPECT_EQ(sim.m_Target_Site, -1);
  EXPECT_EQ(screen().m_Flight_Target, -1);
  EXPECT_EQ(sim.m_History[sim.m_History_Top], to);
}

TEST_F(WarRoomScreen, TheRefreshAdvancesTheInfectionByHowTheShownTimeMoved) {
  Open_Travel_Page(300.0f);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int site = sim.m_Infected_Site == 0 ? 1 : 0;
  EXPECT_EQ(screen().m_Shown_Time, 300);
  EXPECT_EQ(Item_Text(1), "5:00");
  EXPECT_EQ(Item_Colour(1), 0xff77bbccu);
  struct Case {
    float time;
    float want_rise;  // of a started site's level
  };
  // n ticks raise a level by n x min(n, 3) x 0.0006.
  const Case cases[] = {{300.4f, 0.0f},    {299.5f, 0.0054f}, {250.5f, 0.0054f}, {252.5f, 0.0024f},
                        {253.5f, 0.0006f}, {257.5f, 0.0054f}, {1.5f, 0.0054f},   {1.5f, 0.0006f},
                        {1.2f, 0.0006f}};
  for (const Case& c : cases) {
    sim.m_Sites[site].infection = 0.1f;
    Set_Time_Remaining(c.time);
    screen().Update(0.0f);
    EXPECT_NEAR(sim.m_Sites[site].infection - 0.1f, c.want_rise, 1e-5f) << c.time;
  }
  EXPECT_EQ(Item_Text(1), "0:01");
  EXPECT_EQ(Item_Colour(1), 0xffff8888u) << "red below a minute";
}

TEST_F(WarRoomScreen, TheTargetRowsFollowTheShuttleTarget) {
  Open_Travel_Page(300.0f);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  EXPECT_EQ(Item_Text(2), sim.m_Sites[sim.m_Current_Site].name);
  EXPECT_EQ(Item_Text(3), "");
  const int to = sim.m_Sites[sim.m_Current_Site].links[0];
  sim.Set_Target_Site(to);
  screen().Update(0.0f);
  EXPECT_EQ(Item_Text(3), sim.m_Sites[to].name);
  char travel[16];
  std::snprintf(travel, sizeof travel, "%d:%.2d", static_cast<int>(sim.Get_Travel_Time()) / 60,
                static_cast<int>(sim.Get_Travel_Time()) % 60);
  EXPECT_EQ(Item_Text(4), travel);
  sim.Set_Target_Site(-1);
  screen().Update(0.0f);
  EXPECT_EQ(Item_Text(3), "");
  EXPECT_EQ(Item_Text(4), "");
}

TEST_F(WarRoomScreen, StatusLinesFadeInOverFourAndOutOverTheirLastThree) {
  Open_Travel_Page(300.0f);
  screen().m_Status_Time_Left = 0.0f;
  screen().Post_Status_Line(2, 5);
  EXPECT_EQ(std::string(screen().m_Status_Text), std::string("...Infected City Detected: ") + g_WarRoom_Sim.m_Sites[5].name + "...");
  screen().Post_Status_Line(3, 6);
  EXPECT_EQ(std::string(screen().m_Status_Text).rfind("...Infected", 0), 0u) << "a line with time left stays";
  struct Case {
    float step;
    float want_age_share;   // min(1, age / 4) before the step
    float want_left_share;  // min(1, time left / 3) before the step
  };
  const Case cases[] = {{0.0f, 0.0f, 1.0f}, {2.0f, 0.0f, 1.0f}, {2.0f, 0.5f, 1.0f}, {19.0f, 1.0f, 1.0f}, {0.5f, 1.0f, 2.0f / 3.0f}};
  for (const Case& c : cases) {
    const float left = screen().m_Status_Time_Left;
    screen().Update(c.step);
    const float wobble = 0.9f + 0.065f * std::sin(1.5f * left);
    const float want = std::min(255.0f, wobble * c.want_age_share * c.want_left_share * 0.7f * 255.0f);
    EXPECT_NEAR(static_cast<float>(Item_Colour(6) >> 24), want, 1.5f) << left;
    EXPECT_EQ(Item_Colour(6) & 0xffffffu, 0xaa8877u);
  }
  screen().Post_Status_Line(2, 47);
  EXPECT_EQ(std::string(screen().m_Status_Text).rfind("...Infected City Detected: ", 0), 0u);
}

TEST_F(WarRoomScreen, TheOrdersSoundPlaysOncePerMission) {
  Record_Sounds();
  screen().m_Status_Time_Left = 0.0f;
  g_WarRoom_Sim.m_Orders_Announced = false;
  for (int i = 0; i < 3; ++i) {
    screen().m_Status_Time_Left = 0.0f;
    screen().Post_Status_Line(1, -1);
    EXPECT_EQ(std::string(screen().m_Status_Text), "...Orders: Find and Destroy Infested Meteorite...");
    EXPECT_EQ(screen().m_Status_Time_Left, 35.0f);
  }
  EXPECT_EQ(sounds->Count(true, 0x220001c9), 1);
  EXPECT_NEAR(sounds->Volume_Of(0x220001c9), g_Game_State.SoundFX_Volume * 0.925f, 1e-5f)
      << "the effect volume times 0.925, once";
  EXPECT_TRUE(g_WarRoom_Sim.m_Orders_Announced);
}

TEST_F(WarRoomScreen, TheIncomingMessageComesOnceAndNeverWithTwelveOrLessLeft) {
  struct Case {
    float time;
    int hint;
    bool want_message;
  };
  const Case cases[] = {{200.0f, 100, false}, {90.0f, 100, true}, {11.99f, 100, false}, {11.0f, 100, false},
                        {90.0f, 0, false}};
  for (const Case& c : cases) {
    g_Modal_Dlg.Term();
    screen().Set_Page(CMenu_WarRoom::kMap_Opening);
    Open_Travel_Page(c.time);
    g_WarRoom_Sim.m_Source_Hint_Time = c.hint;
    screen().Update(0.0f);
    EXPECT_EQ(g_Modal_Dlg.Is_Open(), c.want_message) << c.time;
    EXPECT_EQ(g_WarRoom_Sim.m_Source_Hint_Time, c.want_message ? 0 : c.hint) << c.time;
  }
  g_Modal_Dlg.Term();
  screen().Update(0.0f);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open()) << "the message comes once";
}

// While Shift is held the map labels every site, and only then.
TEST_F(WarRoomScreen, HoldingShiftLabelsEverySite) {
  Open_Travel_Page(300.0f);
  ASSERT_TRUE(screen().m_Map.m_Initialised);
  for (SDL_Keymod mods : {KMOD_LSHIFT, KMOD_NONE, KMOD_RSHIFT, KMOD_LCTRL}) {
    SDL_SetModState(mods);
    screen().Update(0.1f);
    EXPECT_EQ(screen().m_Map.All_Labels_Shown(), (mods & KMOD_SHIFT) != 0) << mods;
  }
  SDL_SetModState(KMOD_NONE);
}

TEST_F(WarRoomScreen, ASecondPressOnTheTargetWithinTheDoubleClickLaunches) {
  Open_Travel_Page(300.0f);
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int to = sim.m_Sites[sim.m_Current_Site].links[0];
  const CVector3 at = g_Camera.World_To_Screen(screen().m_Map.Get_Site_Position(to));
  harness.Move_Mouse(static_cast<int>(at.x + 0.5f), static_cast<int>(at.y + 0.5f));
  harness.Pump();
  ASSERT_EQ(screen().m_Map.Pick_Site(), to);
  screen().On_Left_Down();
  EXPECT_EQ(sim.m_Target_Site, to) << "the first press picks";
  screen().Update(1.3f);
  screen().On_Left_Down();
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kTravel) << "after 1.25 a press only reselects";
  screen().Update(1.0f);
  screen().On_Left_Down();
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kLeaving) << "a double click launches";
  EXPECT_EQ(screen().m_Flight_Target, sim.Is_Site(sim.m_Route[1]) && sim.m_Route_Count > 2 ? sim.m_Route[1] : to);
  EXPECT_EQ(screen().m_Next_Page, CMenu_WarRoom::kBefore_Flight);
}

TEST_F(WarRoomScreen, LaunchingWithoutADestinationAsksForOne) {
  Open_Travel_Page(300.0f);
  g_WarRoom_Sim.Set_Target_Site(-1);
  screen().Launch_Shuttle();
  EXPECT_TRUE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kTravel);
  g_Modal_Dlg.Term();
  g_WarRoom_Sim.m_Disinfection_Mode = true;
  g_WarRoom_Sim.Set_Target_Site(g_WarRoom_Sim.m_Sites[g_WarRoom_Sim.m_Current_Site].links[0]);
  screen().Launch_Shuttle();
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(screen().m_Page, CMenu_WarRoom::kTravel) << "no launches while the infection recedes";
}

TEST_F(WarRoomScreen, AnInfestedArrivalGoesToTheSiteSimulation) {
  Record_Sounds();
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  const int site = sim.m_Current_Site;
  ASSERT_NE(site, sim.m_Infected_Site);
  sim.m_Sites[site].flags |= CWarRoom_Site::kInfected;
  Set_Time_Remaining(300.0f);
  screen().Set_Page(CMenu_WarRoom::kMap_Opening);
  screen().Update(0.0f);
  EXPECT_EQ(sounds->Count(true, 0x2200011c), 1);
  EXPECT_NEAR(sounds->Volume_Of(0x2200011c), g_Game_State.SoundFX_Volume * 0.925f, 1e-5f);
  EXPECT_EQ(screen().m_Next_Page, CMenu_WarRoom::kEntering_Site);
}

TEST_F(WarRoomScreen, TheTravelPageClosesTheMissionThroughItsSequenceIntoTheReport) {
  struct Case {
    const char* name;
    bool disinfection;
    float time_remaining;
    int sequence;
    int next_page;
    bool won;
  } cases[] = {{"time up", false, 0.5f, 12, CMenu_WarRoom::kTime_Up, false},
               {"region cleared", true, 300.0f, 11, CMenu_WarRoom::kRegion_Cleared, true}};
  for (const Case& c : cases) {
    g_Menu_Mgr.Command(kCommand_WarRoom, 0);
    g_Sequence_Mgr.Clear();
    g_WarRoom_Sim.m_Disinfection_Mode = c.disinfection;
    Open_Travel_Page(c.time_remaining);
    screen().Update(10.0f);
    screen().Update(10.0f);
    EXPECT_EQ(screen().m_Next_Page, c.next_page) << c.name;
    ASSERT_EQ(g_Sequence_Mgr.Running().size(), 1u) << c.name;
    EXPECT_EQ(g_Sequence_Mgr.Running()[0]->kind, c.sequence) << c.name;
    screen().Update(0.1f);
    EXPECT_EQ(g_Sequence_Mgr.Running().size(), 1u) << c.name << ": the closing starts once";
    // The sequence runs its seven seconds and shows the report of the outcome.
    for (int second = 0; second < 8; ++second) g_Sequence_Mgr.Update(Frame(1.0f));
    EXPECT_TRUE(g_Menu_Mgr.m_EndGame.m_Visible) << c.name;
    EXPECT_EQ(g_Menu_Mgr.m_EndGame.m_Success, c.won) << c.name;
  }
}

}  // namespace
