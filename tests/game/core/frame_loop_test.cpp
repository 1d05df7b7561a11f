#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "game/player/CPlayer.h"
#include "tests/game/core/running_game.h"
#include "game/sim/CMusic_Track.h"
#include "tools/content/sim_content.h"

namespace {

using Frame_Loop = RunningGame;

// One frame of the given raw milliseconds from a fresh smoothed step of 25 ms.
TEST_F(Frame_Loop, TimeStepClampsScalesAndSmooths) {
  Start();
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
  struct Case {
    uint32_t raw_ms;
    float want_smoothed;
    unsigned want_step;
  };
  // Menus scale time by 1.5; the scaled time is clamped to 1-100 and smoothed by 0.1.
  const Case cases[] = {
      {40, 25.0f + (60.0f - 25.0f) * 0.1f, 28},
      {5000, 25.0f + (100.0f - 25.0f) * 0.1f, 32},
      {0, 25.0f + (1.0f - 25.0f) * 0.1f, 22},
      {16, 25.0f + (24.0f - 25.0f) * 0.1f, 24},
  };
  for (const Case& c : cases) {
    // Re-arm the smoothing from its start value.
    g_Game.Term();
    ASSERT_TRUE(g_Game.Init());
    const int menus = kMode_Menus;
    ASSERT_TRUE(g_Game.Set_Mode(menus, 0, nullptr));
    harness.Step(1, c.raw_ms);
    EXPECT_FLOAT_EQ(g_Game.Smoothed_Step(), c.want_smoothed) << c.raw_ms;
    const CFrame_Info& frame = g_Game.Last_Frame();
    EXPECT_FLOAT_EQ(frame.Unpaused_Delta, static_cast<float>(c.want_step) * 0.0035f) << c.raw_ms;
    EXPECT_FLOAT_EQ(frame.Delta, frame.Unpaused_Delta);
    EXPECT_EQ(frame.Reserved, 0u);
  }
}

TEST_F(Frame_Loop, ASteadyFrameRateInTheMenusSettlesAtOneAndAHalfTimesIt) {
  Start();
  // The step is timed, not drawn: the frames run undrawn but for the last.
  harness.Step_Undrawn(199, 40);
  harness.Step(1, 40);
  EXPECT_NEAR(g_Game.Smoothed_Step(), 60.0f, 0.01f);
  EXPECT_FLOAT_EQ(g_Game.Last_Frame().Unpaused_Delta, 59.0f * 0.0035f);
}

TEST_F(Frame_Loop, WhilePausedDeltaIsZeroAndTheUnpausedStepRuns) {
  Start();
  Set_Game_Paused(true);
  harness.Step(3, 16);
  EXPECT_EQ(g_Game.Last_Frame().Delta, 0.0f);
  EXPECT_GT(g_Game.Last_Frame().Unpaused_Delta, 0.0f);
  EXPECT_EQ(g_Time_Factor, 0.0f);
  Set_Game_Paused(false);
  harness.Step(1, 16);
  EXPECT_EQ(g_Game.Last_Frame().Delta, g_Game.Last_Frame().Unpaused_Delta);
  EXPECT_FLOAT_EQ(g_Time_Factor, 0.0035f);
}

TEST_F(Frame_Loop, MenuFrameUpdatesAndDrawsInOrder) {
  Start();
  harness.Step(1, 16);
  const bool warming = Warm_Up_Pending();
  harness.Step(1, 16);
  std::vector<std::string> want = {
      "callouts", "popups", "camera", "player", "fade", "menus", "sequencer", "screen effects",
      "render menus", "render screen effects", "render camera effects", "render popups", "render cursor",
      "present"};
  // While the menus' draw-state warm-up is pending, a slice of it ends the frame.
  if (warming) want.push_back("warm up slice");
  EXPECT_EQ(Last_Frame_Steps(), want);
}

TEST_F(Frame_Loop, SimulationFrameUpdatesDrawsAndSweepsInOrder) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  harness.Step(2, 16);
  const std::vector<std::string> want = {
      "callouts", "world", "popups", "camera", "player", "bullets", "sparks", "brain", "fade", "menus",
      "sequencer", "screen effects", "render world", "render brain", "render screen effects",
      "render camera effects", "render popups", "render cursor", "present", "sweep"};
  EXPECT_EQ(Last_Frame_Steps(), want);
}

TEST_F(Frame_Loop, AFrameOnAFreedDeviceDrawsAndSweepsNothing) {
  Start();
  g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  harness.Activate(false);
  harness.Pump();
  // As when a display-mode reset fails on reactivation: active again, the device still freed.
  g_App_Active = true;
  trace.clear();
  harness.Step(1, 16);
  const std::vector<std::string> want = {
      "callouts", "world", "popups", "camera", "player", "bullets", "sparks", "brain", "fade", "menus",
      "sequencer", "screen effects", "frame skipped"};
  EXPECT_EQ(Last_Frame_Steps(), want);
  harness.Activate(true);
  harness.Step(1, 16);
  EXPECT_EQ(Last_Frame_Steps().back(), "sweep");
}

TEST_F(Frame_Loop, TheBackgroundFadesToTheSimulationsClearColour) {
  Start();
  harness.Move_Mouse(320, 240);  // the cursor away from the corner probed below
  g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_EQ(g_Game.Target_Color(), 0x00402030u);
  // The colour alone: the run would end into its dialog before the fade is done.
  g_Music_Track.Term();
  harness.Step_Undrawn(399, 40);  // the fade is updated, not drawn
  harness.Step(1, 40);
  EXPECT_EQ(g_Game.Clear_Color(), 0x00402030u);
  EXPECT_FLOAT_EQ(g_Game.Fog_Far(), 5000.0f);
  EXPECT_FLOAT_EQ(g_Game.Fog_Near(), 1250.0f);
  // Looking straight up from the middle of the world, nothing but the cleared sky is in view.
  g_Camera.Look_At(CVector3{800.0f, 100.0f, 800.0f}, CVector3{800.0f, 1000.0f, 800.01f});
  g_Player.Release_Gun();  // the player's gun, aimed at the cursor, would stand in the view
  harness.Step(1, 40);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  ASSERT_GT(width, 0u);
  const uint32_t corner = pixels[(height / 2) * width + width / 2] & 0xFFFFFF;
  EXPECT_NEAR(static_cast<int>((corner >> 16) & 0xFF), 0x40, 2);
  EXPECT_NEAR(static_cast<int>((corner >> 8) & 0xFF), 0x20, 2);
  EXPECT_NEAR(static_cast<int>(corner & 0xFF), 0x30, 2);
}

}  // namespace
