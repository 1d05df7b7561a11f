// The War Room brain's rules, the sequencer's timelines and the launch and vector helpers.
#include <cmath>

#include "game/core/CGame_State.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/game/sim/sim_run.h"

namespace {

// ---------------------------------------------------------------------------------------------
// The War Room brain

using GameBrain = SiteMission;

TEST_F(GameBrain, TheShieldsEndTheMissionOnlyAtZeroAndPickTheLinkedPreviousSite) {
  CWarRoom_Site& here = g_WarRoom_Sim.m_Sites[g_WarRoom_Sim.m_Current_Site];
  here.links[0] = 4;
  here.links[1] = 9;
  g_WarRoom_Sim.m_History[0] = 9;
  g_WarRoom_Sim.m_History[1] = 0;
  g_WarRoom_Sim.m_History_Top = 1;
  g_WarRoom_Sim.m_Shield_Level = 0.01f;
  brain->Check_Shields();
  EXPECT_FALSE(brain->m_Ended);
  g_WarRoom_Sim.m_Shield_Level = 0.0f;
  brain->Check_Shields();
  EXPECT_TRUE(brain->m_Ended);
  EXPECT_EQ(g_WarRoom_Sim.m_Target_Site, 9);
  EXPECT_TRUE(g_Music_Track.m_Ended);
  EXPECT_FALSE(g_Music_Track.m_Result);
}

TEST_F(GameBrain, WithoutALinkedPreviousSiteTheInfectionRushesIn) {
  g_WarRoom_Sim.m_History_Top = -1;
  g_WarRoom_Sim.m_Growth_Rate = 0.01f;
  g_WarRoom_Sim.m_Shield_Level = 0.0f;
  brain->Check_Shields();
  EXPECT_EQ(g_WarRoom_Sim.m_Growth_Rate, 100.0f);
  EXPECT_EQ(g_WarRoom_Sim.m_Target_Site, -1);
}

TEST_F(GameBrain, CommittedPointsCleanTheSiteDownToItsFloorOnce) {
  CWarRoom_Site& here = g_WarRoom_Sim.m_Sites[g_WarRoom_Sim.m_Current_Site];
  here.infection = 0.5f;
  g_Difficulty_Factor = 1.0f;
  brain->On_Points_Committed(1000);  // 0.125 of infection
  EXPECT_NEAR(here.infection, 0.375f, 1e-5f);
  EXPECT_FALSE(brain->m_Ended);
  g_Difficulty_Factor = 0.0f;  // counts as 0.001: a point is worth a million times more
  brain->On_Points_Committed(1);
  EXPECT_EQ(here.infection, 0.01f) << "the floor";
  EXPECT_TRUE(brain->m_Ended);
  EXPECT_EQ(here.flags & CWarRoom_Site::kInfected, 0u);
  EXPECT_TRUE(g_Music_Track.m_Ended);
  EXPECT_TRUE(g_Music_Track.m_Result);
  const size_t sequences = g_Sequence_Mgr.Running().size();
  brain->On_Points_Committed(5000);
  EXPECT_EQ(here.infection, 0.01f);
  EXPECT_EQ(g_Sequence_Mgr.Running().size(), sequences) << "later commits end nothing";
}

TEST_F(GameBrain, TheDrainFallsWithTheSquareOfTheDifficulty) {
  CWarRoom_Site& here = g_WarRoom_Sim.m_Sites[g_WarRoom_Sim.m_Current_Site];
  struct Case {
    float difficulty;
    uint32_t points;
    float drained;
  } cases[] = {{0.5f, 1000, 0.5f}, {2.0f, 1000, 0.03125f}, {1.5f, 900, 0.05f}, {0.25f, 100, 0.2f}};
  for (const Case& c : cases) {
    here.infection = 0.9f;
    g_Difficulty_Factor = c.difficulty;
    brain->On_Points_Committed(c.points);
    EXPECT_NEAR(0.9f - here.infection, c.drained, 1e-5f) << c.difficulty;
  }
  EXPECT_FALSE(brain->m_Ended);
}

TEST_F(GameBrain, TheTimeLeftIsAWholeNumberEvenWhenTheGrowthStops) {
  g_WarRoom_Sim.m_Farthest_Distance = 1.0e30f;
  g_WarRoom_Sim.m_Infection_Radius = 0.0f;
  g_WarRoom_Sim.m_Growth_Rate = 0.0f;
  EXPECT_EQ(CBrain_Game_Basic::Time_Left_Units(), 2000000000);
  g_WarRoom_Sim.m_Growth_Rate = std::nanf("");
  EXPECT_EQ(CBrain_Game_Basic::Time_Left_Units(), 0);
  g_WarRoom_Sim.m_Farthest_Distance = 1.0f;
  g_WarRoom_Sim.m_Infection_Radius = 2.0f;
  g_WarRoom_Sim.m_Growth_Rate = 1.0f;
  EXPECT_EQ(CBrain_Game_Basic::Time_Left_Units(), 0);
  g_WarRoom_Sim.m_Disinfection_Mode = true;
  EXPECT_EQ(CBrain_Game_Basic::Time_Left_Units(), 1) << "at least 0:01";
  brain->Render();
  EXPECT_STREQ(brain->m_Time_Text, "0:01");
  EXPECT_EQ(brain->m_Time_Colour, 0x44ff8888u);
}

// ---------------------------------------------------------------------------------------------
// The sequencer

class Sequencer : public SimRun {};

TEST_F(Sequencer, TheLaunchSequenceFiresItsLaunchOnceItsClockReachesNine) {
  ASSERT_TRUE(harness.Start());
  const int32_t launch = 7, variant = 0;
  const int32_t track = static_cast<int32_t>(content::kLaneTrackIds[0]);
  const int32_t music = static_cast<int32_t>(content::kLaneMusicIds[0]);
  g_Sequence_Mgr.Start_Sequence(6, launch, variant, track, music);
  float clock = 0.0f;
  int frames = 0;
  bool text_shown = false;
  while (g_Game.Get_Mode() != kMode_Simulation && frames < 400) {
    const auto running = g_Sequence_Mgr.Running();
    if (!running.empty()) clock = running[0]->clock;
    harness.Step(1, 40);
    for (const CScreen_FX_Record& r : g_Screen_FX_Mgr.Effects())
      text_shown |= r.kind == 5 && r.text == "...Calculating Simulation Environment...";
    ++frames;
  }
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_LT(clock, 9.0f) << "the frame before the launch had not reached 9";
  EXPECT_GT(clock, 8.5f);
  EXPECT_EQ(g_Music_Track.m_Sim_Key, std::to_string(track));
  EXPECT_TRUE(g_Sequence_Mgr.Running().empty());
  EXPECT_TRUE(text_shown);
}

TEST_F(Sequencer, StartingKindTwoCancelsKindOneAndKindOneReplacesKindOne) {
  ASSERT_TRUE(harness.Start());
  const int32_t zero = 0, delay = 16;
  g_Sequence_Mgr.Start_Sequence(1, zero, zero, zero, zero);
  g_Sequence_Mgr.Start_Sequence(1, delay, zero, zero, zero);
  auto running = g_Sequence_Mgr.Running();
  ASSERT_EQ(running.size(), 1u);
  EXPECT_EQ(running[0]->events[0].time, 35.0f) << "the delay moves every event";
  g_Sequence_Mgr.Start_Sequence(5, zero, zero, zero, zero);
  g_Sequence_Mgr.Start_Sequence(2, zero, zero, zero, zero);
  running = g_Sequence_Mgr.Running();
  ASSERT_EQ(running.size(), 2u);
  EXPECT_EQ(running[0]->kind, 5);
  EXPECT_EQ(running[1]->kind, 2);
  g_Sequence_Mgr.Start_Sequence(4, zero, zero, zero, zero);
  EXPECT_EQ(g_Sequence_Mgr.Running().size(), 2u) << "an unknown kind starts nothing";
}

TEST_F(Sequencer, ClosingTextsFollowTheSourceFlagAtTheStart) {
  ASSERT_TRUE(harness.Start());
  const bool saved = g_WarRoom_Sim.m_Disinfection_Mode;
  const int32_t zero = 0;
  g_WarRoom_Sim.m_Disinfection_Mode = true;
  g_Sequence_Mgr.Start_Sequence(8, zero, zero, zero, zero);
  g_WarRoom_Sim.m_Disinfection_Mode = false;
  g_Sequence_Mgr.Start_Sequence(8, zero, zero, zero, zero);
  const auto running = g_Sequence_Mgr.Running();
  ASSERT_EQ(running.size(), 2u);
  EXPECT_EQ(running[0]->events[1].text, "...Threat Eliminated...");
  EXPECT_EQ(running[1]->events[1].text, "...Site Cleared...");
  g_WarRoom_Sim.m_Disinfection_Mode = saved;
}

// ---------------------------------------------------------------------------------------------
// Helpers

TEST(LaunchHelpers, BallisticAndLaunchVelocitiesUnderTheWorldsGravity) {
  const CVector3 saved = g_World.m_Gravity;
  g_World.m_Gravity.Set(0.0f, -150.0f, 0.0f);
  const CVector3 v = Calc_Ballistic_Velocity(0.0f, 0.0f, 0.0f, CVector3{100.0f, 0.0f, 0.0f}, 1.0f, 1.0f);
  EXPECT_FLOAT_EQ(v.x, 100.0f);
  EXPECT_FLOAT_EQ(v.y, 75.0f);
  EXPECT_FLOAT_EQ(v.z, 0.0f);
  const CVector3 quick = Calc_Ballistic_Velocity(0.0f, 0.0f, 0.0f, CVector3{1.0f, 0.0f, 0.0f}, 0.0f, 1.0f);
  EXPECT_FLOAT_EQ(quick.x, 10000.0f) << "a flight time of 0 counts as 0.0001";
  // The launch comes down on the target: its flight covers the distance.
  const CVector3 target{300.0f, -50.0f, 400.0f};
  const CVector3 launch = Calc_Launch_Velocity(0.0f, 0.0f, 0.0f, target, 200.0f, 1.0f);
  EXPECT_EQ(launch.y, 200.0f);
  const float t = 200.0f / 150.0f + std::sqrt(2.0f * (50.0f + 200.0f * 200.0f / 300.0f) / 150.0f);
  EXPECT_NEAR(launch.x * t, 300.0f, 0.5f);
  EXPECT_NEAR(launch.z * t, 400.0f, 0.5f);
  const CVector3 straight_up = Calc_Launch_Velocity(5.0f, 0.0f, 5.0f, CVector3{5.0f, 100.0f, 5.0f}, 300.0f, 1.0f);
  EXPECT_EQ(straight_up.x, 0.0f) << "no sideways speed for a target straight above";
  EXPECT_EQ(straight_up.z, 0.0f);
  g_World.m_Gravity.Set(0.0f, 0.0f, 0.0f);
  const CVector3 weightless = Calc_Ballistic_Velocity(0.0f, 0.0f, 0.0f, CVector3{0.0f, 0.0f, 0.0f}, 2.0f, 1.0f);
  EXPECT_FLOAT_EQ(weightless.y, 0.1f) << "no gravity counts as -0.1";
  g_World.m_Gravity = saved;
}

TEST(LaunchHelpers, APerpendicularIsAUnitVectorAcrossTheDirection) {
  for (int i = 0; i < 50; ++i) {
    const CVector3 v = Random_Perpendicular_Vector(CVector3{0.0f, 1.0f, 0.0f});
    EXPECT_EQ(v.y, 0.0f);
    EXPECT_NEAR(v.Length(), 1.0f, 1e-5f);
  }
}

TEST(LaunchHelpers, OrdinalSuffixesAreEnglish) {
  const struct {
    unsigned n;
    const char* suffix;
  } cases[] = {{1, "st"},  {2, "nd"},  {3, "rd"},  {4, "th"},   {11, "th"},  {12, "th"},  {13, "th"},
               {21, "st"}, {22, "nd"}, {23, "rd"}, {31, "st"},  {41, "st"},  {50, "th"},  {111, "th"},
               {112, "th"}, {101, "st"}, {0, "th"}};
  for (const auto& c : cases) EXPECT_STREQ(Get_Ordinal_Suffix(c.n), c.suffix) << c.n;
}

TEST_F(Sequencer, TheWarRoomHelpShowsOncePerAccount) {
  ASSERT_TRUE(harness.Start());
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
  account.Clear();
  account.m_Loaded = true;
  Show_WarRoom_Info(2);
  ASSERT_TRUE(g_Modal_Dlg.Is_Open());
  ASSERT_EQ(g_Modal_Dlg.m_Line_Count, 4u) << "Info and three non-empty lines";
  EXPECT_STREQ(g_Modal_Dlg.m_Lines[0].text, "Info");
  EXPECT_STREQ(g_Modal_Dlg.m_Lines[3].text, "Infected areas are indicated in red.");
  g_Modal_Dlg.Term();
  Show_WarRoom_Info(2);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  Show_WarRoom_Info(7);
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  account.Clear();
}

}  // namespace

namespace {

TEST_F(Sequencer, AScriptsSequenceLineLaunchesFromTheMenus) {
  ASSERT_TRUE(harness.Start());
  std::string error;
  ASSERT_TRUE(harness.Run_Script("frames 5\nsequence 6 7 2 0x220003E2 0x220003F2\ndraw 10\nwait mode 2 80 40\n", "", &error))
      << error;
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_EQ(g_Music_Track.m_Sim_Key, std::to_string(0x220003E2));
  EXPECT_NE(g_Music_Track.m_Music_Channel, 0u);
  EXPECT_FALSE(harness.Run_Script("sequence 6 7 x\n", "", &error));
  EXPECT_NE(error.find("bad sequence value"), std::string::npos) << error;
}

}  // namespace
