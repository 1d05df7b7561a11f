// The harness's aiming and waiting, with the whole game: waits that reach their mode or screen
// and waits that run out, and a cursor aimed at a target so that the gun's shot strikes it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/window/cursor.h"
#include "platform/window/window.h"
#include "tests/game/core/running_game.h"
#include "tests/support/stand_in_target.h"

namespace {

using vt_test::Stand_In_Target;

class HarnessVerbs : public RunningGame {
 protected:
  bool Run(const std::string& script) {
    error.clear();
    return harness.Run_Script(script, harness.Work_Dir(), &error);
  }
  // The cursor as the game reads it, in client pixels.
  static POINT Cursor() {
    POINT p{0, 0};
    GetCursorPos(&p);
    ScreenToClient(g_Main_Window, &p);
    return p;
  }
  // A training launch on flat ground, looking down the field.
  void Launch(int gun) {
    ASSERT_TRUE(Run("frames 5\nloadout " + std::to_string(gun) +
                    " 0\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\n"))
        << error;
  }
  std::string error;
};

TEST_F(HarnessVerbs, WaitsReachTheirModeAndScreenOrRunOut) {
  Start();
  // The waits draw only their last frame until the drawing itself is looked at below.
  harness.Set_Draw_Every(1000);
  EXPECT_TRUE(harness.Wait_For_Mode(kMode_Menus, 5)) << "already in the menus: reached without a frame";
  const uint32_t before = harness.Now();
  EXPECT_FALSE(harness.Wait_For_Mode(kMode_Simulation, 20)) << "nothing launches a run";
  EXPECT_EQ(harness.Now() - before, 20u * 16u) << "a wait that runs out steps exactly its frames";
  EXPECT_TRUE(harness.Wait_For_Screen("login", 600)) << "the console types its banner and asks for a login";
  EXPECT_FALSE(harness.Wait_For_Screen("report", 10));
  EXPECT_FALSE(harness.Wait_For_Screen("no such screen", 10));

  // The script lines: a launch reaches mode 2; the statistics never open in 30 frames of a run.
  EXPECT_TRUE(Run("command 7 1 0x220003E1 0x220003F1\nwait mode 2 100\nwait screen simulation 10")) << error;
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_FALSE(Run("wait screen summary 30 40"));
  EXPECT_NE(error.find("line 1: wait screen summary: not reached within 30 frames"), std::string::npos) << error;
  EXPECT_FALSE(Run("frames 1\nwait screen lobby"));
  EXPECT_NE(error.find("line 2: wait screen: unknown name lobby"), std::string::npos) << error;
  EXPECT_NE(error.find("summary"), std::string::npos) << "the error lists the names there are: " << error;
  // Drawing only every fourth frame: the others run undrawn; a wait that reaches its screen
  // ends on a drawn frame.
  ASSERT_TRUE(Run("draw 4")) << error;
  trace.clear();
  EXPECT_FALSE(harness.Wait_For_Screen("report", 8));
  EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string("frame skipped")), 6);
  // The run's play, drawing fewer of its frames: it too ends on a drawn one.
  harness.Set_Draw_Every(25);
  trace.clear();
  EXPECT_TRUE(harness.Play_Until_Screen("summary", 1000, 100, 5)) << "the run ends";
  ASSERT_FALSE(trace.empty());
  EXPECT_NE(trace.back(), "frame skipped") << "the last frame is drawn";
  // Stepped frames follow the same setting: of nine, the first, fifth and ninth are drawn.
  trace.clear();
  ASSERT_TRUE(Run("draw 4\nframes 9 40")) << error;
  EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string("frame skipped")), 6);
  ASSERT_FALSE(trace.empty());
  EXPECT_NE(trace.back(), "frame skipped") << "the last frame is drawn";
  EXPECT_FALSE(Run("draw 0"));
  EXPECT_FALSE(Run("wait mode x"));
  EXPECT_FALSE(Run("wait mode 1 ten"));
}

TEST_F(HarnessVerbs, ScriptedPlayHitsTheTrackTargetsUntilTheRunEndsInTheSummary) {
  Start();
  // Aiming and hitting are updated, not drawn: the frames draw only now and then, and last.
  ASSERT_TRUE(Run("draw 25\nframes 5\ncommand 7 1 0x220003E0 0x220003F0\nwait mode 2 50\nplay 100 40 5")) << error;
  EXPECT_FALSE(Run("play until summary 10 40")) << "the run lasts longer than ten frames";
  EXPECT_NE(error.find("play until summary: not reached within 10 frames"), std::string::npos) << error;
  ASSERT_TRUE(Run("play until summary 1500 40 5")) << error;
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_GT(g_Sim_Stats.m_Shots, 0u) << "shots at the targets in view";
  EXPECT_GT(g_Sim_Stats.m_Hits, 0u) << "aimed shots strike the track's targets";
  EXPECT_FALSE(Run("play until lobby"));
  EXPECT_FALSE(Run("play 10 0"));
  // Once open, its button returns to the trainer. The dialog opens as it is drawn, by the frames'
  // step: every frame up to the click is drawn, the first dozen of 100 ms.
  const std::string button = std::to_string(static_cast<int>(0.74f * g_Camera.Screen_Width())) + " " +
                             std::to_string(static_cast<int>(0.75f * g_Camera.Screen_Height()));
  EXPECT_TRUE(Run("draw 1\nframes 12 100\nmove " + button +
                  "\nframes 2\nclick\ndraw 25\nwait mode 1 100\nwait screen simulator 600 40"))
      << error;
}

TEST_F(HarnessVerbs, AimPutsTheCursorOnTheNearestTargetAndAClickThereStrikesIt) {
  Start();
  // The gun's swing and its shot are updated, not drawn: stepped frames draw only now and then.
  harness.Set_Draw_Every(30);
  Launch(1);
  ASSERT_TRUE(Run("spawn sphere 650 0 1100 60\nspawn sphere 950 0 1400 60\nframes 2")) << error;
  const auto& targets = Stand_In_Target::All();
  ASSERT_EQ(targets.size(), 2u);
  ASSERT_TRUE(harness.Aim());
  const POINT at = Cursor();
  const CVector3 near_one = g_Camera.World_To_Screen(targets[0]->m_Position);
  EXPECT_NEAR(at.x, near_one.x, 1.0) << "the nearer sphere is chosen";
  EXPECT_NEAR(at.y, near_one.y, 1.0);
  // The game's own cursor ray passes through the sphere's centre.
  const CVector3 ray = g_Camera.Get_Cursor_Ray();
  CVector3 to_centre;
  targets[0]->m_Position.Subtract(g_Camera.Position(), to_centre);
  const float along = to_centre.Dot(ray);
  const float miss_sq = to_centre.Dot(to_centre) - along * along;
  EXPECT_LT(miss_sq, 4.0f * 4.0f) << "the ray passes within 4 units of the centre";

  // The charge fills once the gun has woken; the gun swings onto the cursor, and a click where
  // the cursor is strikes the sphere.
  const uint32_t shots_before = g_Sim_Stats.m_Shots;
  ASSERT_TRUE(Run("frames 120\naim\nframes 10\nclick\nframes 30")) << error;
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots_before + 1) << "the click fired";
  EXPECT_GE(targets[0]->Hits(), 1) << "the ball struck the aimed sphere";
  EXPECT_EQ(targets[1]->Hits(), 0) << "the other sphere stays untouched";

  // A type index aims at that type only; a type with nothing in view fails with its reason.
  EXPECT_TRUE(Run("aim 72")) << error;
  EXPECT_FALSE(Run("aim 40"));
  EXPECT_NE(error.find("no live object of type 40 in view"), std::string::npos) << error;
}

TEST_F(HarnessVerbs, AimFailsWhenNoTargetIsInView) {
  Start();
  EXPECT_FALSE(harness.Aim()) << "the menus hold no target";
  Launch(1);
  // A sphere behind the camera is out of view.
  ASSERT_TRUE(Run("spawn sphere 800 0 100 40\nframes 2")) << error;
  EXPECT_FALSE(Run("aim"));
  EXPECT_NE(error.find("aim: no live target in view"), std::string::npos) << error;
  EXPECT_FALSE(Run("aim x"));
}

TEST_F(HarnessVerbs, AimSitePutsTheCursorOnAMapSiteThatAClickPicks) {
  Start();
  EXPECT_FALSE(harness.Aim_Site("infected")) << "no map before the War Room";
  // The War Room's opening draws only now and then until its map is up.
  ASSERT_TRUE(Run("draw 25\ncommand 4 0\nwait screen map 3000 40")) << error;
  CWarRoom_Map& map = g_Menu_Mgr.m_WarRoom.m_Map;
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  ASSERT_TRUE(harness.Aim_Site("source"));
  EXPECT_EQ(map.Pick_Site(), sim.m_Infected_Site) << "the map picks the site under the cursor";
  ASSERT_TRUE(Run("aim site infected\nframes 2\nclick\nframes 2")) << error;
  const int picked = map.Pick_Site();
  ASSERT_TRUE(sim.Is_Site(picked));
  EXPECT_TRUE(sim.m_Sites[picked].flags & CWarRoom_Site::kInfected) << "an infected site";
  EXPECT_NE(picked, sim.m_Current_Site);
  EXPECT_EQ(sim.m_Target_Site, picked) << "the click made it the destination";
  EXPECT_TRUE(Run("aim site 0")) << error;
  EXPECT_FALSE(Run("aim site 99"));
  EXPECT_NE(error.find("aim site: no map site 99 in view"), std::string::npos) << error;
  EXPECT_FALSE(Run("aim site elsewhere"));
}

}  // namespace
