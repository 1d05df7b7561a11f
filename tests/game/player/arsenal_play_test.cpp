// Scripted play with the whole game: each gun fired at stand-in spheres and boxes on the flat
// ground of a training launch. Set VT_ARSENAL_SHOTS to a folder to keep the pictures.
// The two arsenal screenshot scripts run here only (the screenshot suite leaves them out): their
// tests check the game's state, every picture the script writes and the resources it asks for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/player/CAttach_Bullet_Spray.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/debug.h"
#include "tests/game/core/running_game.h"
#include "tests/support/script_pictures.h"
#include "tests/support/stand_in_target.h"
#include "tests/support/test_dirs.h"

namespace {

using vt_test::Stand_In_Target;

class ArsenalPlay : public RunningGame {
 protected:
  void Run(const std::string& script) {
    std::string error;
    ASSERT_TRUE(harness.Run_Script(script, Shots_Dir(), &error)) << error;
  }
  std::string Shots_Dir() const {
    const char* keep = std::getenv("VT_ARSENAL_SHOTS");
    return keep ? keep : harness.Work_Dir();
  }
  // A committed screenshot script's text.
  static std::string Screenshot_Script(const std::string& name) {
    std::ifstream file(vt_test::Source_Dir() + "/tools/screenshot/scripts/" + name);
    EXPECT_TRUE(file) << "the script " << name << " is missing";
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  // Starts the game with its error output recorded, as the screenshot tool starts it.
  void Start_Recording_Errors() {
    plat::Set_Error_Recorder([this](const std::string& text) { errors.push_back(text); });
    Start();
  }
  // What the screenshot suite checks of a script's run: the game ends cleanly, every resource it
  // asked for was found, and every picture the script names was written and is not one colour.
  void Expect_Pictures_Of_A_Clean_Run(const std::string& script) {
    EXPECT_EQ(harness.Shut_Down(), 0) << "the game ends cleanly";
    plat::Set_Error_Recorder(nullptr);
    for (const std::string& text : errors)
      EXPECT_EQ(text.find("not found"), std::string::npos) << "every resource the script's game asks for exists: " << text;
    const std::vector<std::string> shots = vt_test::Script_Shots(script);
    EXPECT_FALSE(shots.empty());
    for (const std::string& shot : shots) {
      SCOPED_TRACE(shot);
      uint32_t common = 0;
      const double share = vt_test::Largest_Colour_Share(Shots_Dir() + "/" + shot, &common);
      ASSERT_GE(share, 0.0) << "no readable picture";
      EXPECT_LT(share, 1.0) << "one colour, " << std::hex << common;
    }
  }
  void TearDown() override {
    plat::Set_Error_Recorder(nullptr);
    RunningGame::TearDown();
  }
  std::vector<std::string> errors;
  // Launches a training run with the loadout, the camera looking down the field, and three
  // stand-ins: two spheres and a box between them.
  void Launch(int gun) {
    std::ostringstream s;
    s << "loadout " << gun << " 0\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\n"
      << "spawn sphere 650 0 1100 60\nspawn box 800 0 1250 60\nspawn sphere 950 0 1100 60\n";
    Run(s.str());
  }
  // The screen point of a stand-in's centre, or of a point above it: shots leave the gun below
  // the eye, so aiming at a target's upper part strikes its middle.
  static std::string Screen_Of(const Stand_In_Target* target, float above = 0.0f) {
    const CVector3 p = g_Camera.World_To_Screen(
        CVector3{target->m_Position.x, target->m_Position.y + above, target->m_Position.z});
    std::ostringstream s;
    s << static_cast<int>(p.x) << " " << static_cast<int>(p.y);
    return s.str();
  }
  // Pixels of the last frame inside a box given in view units at the heat gauge's depth (15 ahead
  // of the eye, 45 degree field of view), x to the right and y up from the centre of the view.
  struct Picture {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
  };
  Picture Read_Picture() {
    Picture p;
    EXPECT_TRUE(harness.Read_Back(p.pixels, p.width, p.height));
    return p;
  }
  static int Changed_In_Gauge_Box(const Picture& a, const Picture& b, float x0, float x1, float y0, float y1) {
    if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return -1;
    const float per_unit = 0.5f * float(a.height) / (15.0f * std::tan(0.3926991f));
    const auto px = [&](float x) { return int(0.5f * float(a.width) + x * per_unit); };
    const auto py = [&](float y) { return int(0.5f * float(a.height) - y * per_unit); };
    int changed = 0;
    for (int y = std::max(py(y1), 0); y < std::min(py(y0), int(a.height)); ++y)
      for (int x = std::max(px(x0), 0); x < std::min(px(x1), int(a.width)); ++x) {
        const uint32_t u = a.pixels[size_t(y) * a.width + x], v = b.pixels[size_t(y) * a.width + x];
        for (int shift = 0; shift < 24; shift += 8)
          if (std::abs(int((u >> shift) & 0xFF) - int((v >> shift) & 0xFF)) > 40) {
            ++changed;
            break;
          }
      }
    return changed;
  }
  int Total_Hits() const {
    int hits = 0;
    for (const Stand_In_Target* target : Stand_In_Target::All()) hits += target->Hits();
    return hits;
  }
};

TEST_F(ArsenalPlay, SteelBallsFlyAndStrikeTheSpheresAndTheBox) {
  Start();
  Run("frames 5\n");
  Launch(1);
  const auto& targets = Stand_In_Target::All();
  ASSERT_EQ(targets.size(), 3u);
  const uint32_t shots_before = g_Sim_Stats.m_Shots;
  // The charge starts empty and fills only once the gun has woken: a shot costs 0.2.
  Run("move " + Screen_Of(targets[0]) + "\nframes 120\nclick " + Screen_Of(targets[0]) + "\nframes 3\n");
  EXPECT_EQ(g_Sim_Stats.m_Shots, shots_before + 1) << "the click fired one ball";
  EXPECT_NE(g_World.List_Head(2), nullptr) << "the ball flies in the fixed-step list";
  Run("frames 20\nmove " + Screen_Of(targets[1]) + "\nframes 10\nclick " + Screen_Of(targets[1]) + "\nframes 25\n");
  EXPECT_GE(targets[0]->Hits(), 1) << "a ball struck the first sphere";
  EXPECT_GT(targets[0]->Moved(), 5.0f) << "and pushed it";
  EXPECT_GE(targets[1]->Hits(), 1) << "a ball struck the box";
  EXPECT_EQ(targets[2]->Hits(), 0) << "the sphere nobody aimed at stays untouched";
}

TEST_F(ArsenalPlay, AHeldMachineGunBurstStrikesTheBoxAndMarksTheGround) {
  Start();
  Run("frames 5\n");
  Launch(2);
  const auto& targets = Stand_In_Target::All();
  ASSERT_EQ(targets.size(), 3u);
  const int decals_before = g_World_Decal_Mgr.Live_Count();
  Run("move " + Screen_Of(targets[1], 45.0f) + "\nframes 60\npress " + Screen_Of(targets[1], 45.0f) + "\n");
  for (int i = 0; i < 6; ++i) Run("move " + Screen_Of(targets[1], 45.0f) + "\nframes 10\n");
  EXPECT_GT(g_Bullet_Machine_Mgr.Live_Count(), 0u) << "bullets in flight while the trigger is held";
  Run("release " + Screen_Of(targets[1], 45.0f) + "\nframes 10\n");
  EXPECT_GE(targets[1]->Hits(), 2) << "the burst struck the box more than once";
  EXPECT_GT(targets[1]->Moved(), 1.0f) << "and pushed it";
  Run("move 400 480\nframes 20\npress 400 480\nframes 20\nrelease 400 480\nframes 40\n");
  EXPECT_GT(g_World_Decal_Mgr.Live_Count(), decals_before) << "bullets striking the ground leave marks";
  EXPECT_EQ(g_Bullet_Machine_Mgr.Live_Count(), 0u) << "every bullet ends within its life";
}

TEST_F(ArsenalPlay, TheHeatGaugeBarRisesWhileTheMachineGunFires) {
  Start();
  Run("frames 5\n");
  Launch(2);
  // Past the gauge's slide into view, cold: the bar is empty.
  Run("move 400 240\nframes 480\n");
  ASSERT_EQ(g_Gun_Machine.m_Heat, 0.0f);
  const Picture cold = Read_Picture();
  Run("press 400 240\nframes 150\n");
  ASSERT_GT(g_Gun_Machine.m_Heat, 0.3f) << "a long burst heats the gun";
  const Picture hot = Read_Picture();
  Run("release 400 240\nframes 2\n");
  // The left part of the bar, which fills first, inside the low frame at the lower left.
  const int changed = Changed_In_Gauge_Box(cold, hot, -7.5f, -6.9f, -5.8f, -5.55f);
  EXPECT_GT(changed, 100) << "the hot gun's gauge shows its coloured bar";
}

TEST_F(ArsenalPlay, ACannonShellBlastsTheBoxAndPushesTheSpheresNearIt) {
  Start();
  Run("frames 5\n");
  std::ostringstream s;
  s << "loadout 5 0\ncommand 7 1 0x220003E1 0x220003F1\ncamera 800 450 300 800 0 1300\n"
    << "spawn sphere 720 0 1250 40\nspawn box 800 0 1250 60\nspawn sphere 880 0 1250 40\n";
  Run(s.str());
  const auto& targets = Stand_In_Target::All();
  ASSERT_EQ(targets.size(), 3u);
  const std::string box = Screen_Of(targets[1]);
  Run("move " + box + "\nframes 100\nclick " + box + "\nframes 60\n");
  EXPECT_GE(targets[1]->Hits(), 2) << "struck by the shell and by its blast";
  EXPECT_GE(targets[0]->Hits(), 1) << "the blast strikes the spheres within reach";
  EXPECT_GE(targets[2]->Hits(), 1);
  EXPECT_GT(targets[0]->Moved(), 10.0f) << "and pushes them away";
  EXPECT_GT(targets[2]->Moved(), 10.0f);
}

TEST_F(ArsenalPlay, TheScreenshotScriptRunsAndShowsTheGuns) {
  const std::string script = Screenshot_Script("arsenal_1.txt");
  ASSERT_FALSE(script.empty());
  Start_Recording_Errors();
  Run(script);
  std::vector<uint32_t> pixels;
  uint32_t width = 0, height = 0;
  ASSERT_TRUE(harness.Read_Back(pixels, width, height));
  int red = 0;
  for (uint32_t p : pixels)
    if (((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) < 80 && (p & 0xFF) < 80) ++red;
  // Shaded faces of the red stand-in count too: the blast may leave it showing only its sides.
  EXPECT_GT(red, 200) << "the last picture shows a struck (red) stand-in";
  Expect_Pictures_Of_A_Clean_Run(script);
}

TEST_F(ArsenalPlay, TheSecondScreenshotScriptStrikesWithAMissileAndLightningAndShowsTheChargeDisplay) {
  const std::string script = Screenshot_Script("arsenal_2.txt");
  ASSERT_FALSE(script.empty());
  Start_Recording_Errors();
  const size_t lightning_part = script.find("loadout 4 0");
  const size_t display_part = script.find("loadout 1 2");
  ASSERT_NE(lightning_part, std::string::npos);
  ASSERT_NE(display_part, std::string::npos);
  Run(script.substr(0, lightning_part));
  ASSERT_EQ(Stand_In_Target::All().size(), 3u);
  EXPECT_EQ(g_Sim_Stats.m_Shots, 1u) << "one missile fired";
  EXPECT_GE(Total_Hits(), 1) << "its blast struck a stand-in";
  ASSERT_NE(g_Player.m_Gun, nullptr);
  EXPECT_EQ(g_Player.m_Gun->m_Kind, 3);
  Run(script.substr(lightning_part, display_part - lightning_part));
  ASSERT_EQ(Stand_In_Target::All().size(), 3u);
  EXPECT_EQ(g_Sim_Stats.m_Shots, 1u) << "one lightning burst";
  EXPECT_GE(Stand_In_Target::All()[1]->Hits(), 1) << "its bolts struck the box";
  Run(script.substr(display_part));
  ASSERT_NE(g_Player.m_Gun, nullptr);
  EXPECT_EQ(g_Player.m_Gun->m_Attachment, &g_Weapon_Attachment_Bullet_Spray);
  EXPECT_EQ(g_Weapon_Attachment_Bullet_Spray.m_Display.m_Charges, 3);
  EXPECT_GT(g_Weapon_Attachment_Bullet_Spray.m_Display.m_Fade, 0.5f) << "the device has slid into view";
  Expect_Pictures_Of_A_Clean_Run(script);
}

}  // namespace
