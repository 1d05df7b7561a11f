// The world's drawing shortcuts against the plain drawing: each view is drawn with the shortcut
// on and off, and the two pictures must agree to within a few grey levels in every pixel.
// Set VT_WORLD_SHOTS to a folder to keep the pictures.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/sim/CMusic_Track.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

// How far apart two pictures are: the largest difference of one channel, and how many pixels
// differ by more than the tolerance in some channel.
struct Picture_Difference {
  int largest = 0;
  int pixels_over = 0;
};

constexpr int kGrey_Levels = 4;

Picture_Difference Compare(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  Picture_Difference d;
  if (a.size() != b.size()) return Picture_Difference{255, static_cast<int>(std::max(a.size(), b.size()))};
  for (size_t i = 0; i < a.size(); ++i) {
    int worst = 0;
    for (int shift : {0, 8, 16})
      worst = std::max(worst, std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF)));
    d.largest = std::max(d.largest, worst);
    if (worst > kGrey_Levels) ++d.pixels_over;
  }
  return d;
}

class World_Shortcuts : public RunningGame {
 protected:
  void TearDown() override {
    g_World.m_Shortcuts = CWorld::Drawing_Shortcuts{};
    Shut_Down();
    RunningGame::TearDown();
  }
  void Shut_Down() {
    Give_Back_Gun();
    harness.Shut_Down();
  }
  void Give_Back_Gun() {
    if (gun) g_Player.m_Gun = gun;
    gun = nullptr;
  }

  // A training launch with mirrors on, in the environment given, the track stopped: the first
  // starts the program, the next leave the run for the menus and launch again from there.
  void Launch(int environment) {
    if (harness.Running()) {
      Give_Back_Gun();
      g_Menu_Mgr.Command(kCommand_Simulator, 0);
      ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
    } else {
      Start();
    }
    g_Game_State.Mirrors_Enable = true;
    g_Menu_Mgr.Command(kCommand_Launch_Training, environment, content::kLaneTrackIds[environment],
                       content::kLaneMusicIds[environment]);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
    g_Music_Track.Term();
    // The fade is updated, not drawn: its frames run undrawn but for the last.
    harness.Step_Undrawn(199, 40);
    harness.Step(1, 40);
    ASSERT_TRUE(g_World.Walls_Built());
    // The gun sways from frame to frame; the world alone is compared.
    gun = g_Player.m_Gun;
    g_Player.m_Gun = nullptr;
  }

  std::vector<uint32_t> Picture(const std::string& name) {
    harness.Step(1, 16);
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    EXPECT_TRUE(harness.Read_Back(pixels, width, height));
    if (const char* dir = std::getenv("VT_WORLD_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
    return pixels;
  }

  // The view drawn with every shortcut on, with the one given off, and with all on again (which
  // must match the first: nothing else in the scene moves).
  void Expect_Same_Picture(const CVector3& from, const CVector3& at, bool CWorld::Drawing_Shortcuts::*shortcut,
                           const std::string& name) {
    SCOPED_TRACE(name);
    g_Camera.Look_At(from, at);
    g_World.m_Shortcuts = CWorld::Drawing_Shortcuts{};
    const std::vector<uint32_t> quick = Picture(name + "_quick.png");
    g_World.m_Shortcuts.*shortcut = false;
    const std::vector<uint32_t> plain = Picture(name + "_plain.png");
    g_World.m_Shortcuts = CWorld::Drawing_Shortcuts{};
    const std::vector<uint32_t> again = Picture(name + "_again.png");
    const Picture_Difference still = Compare(quick, again);
    ASSERT_EQ(still.largest, 0) << "the scene changed by itself between two frames";
    const Picture_Difference d = Compare(quick, plain);
    EXPECT_EQ(d.pixels_over, 0) << "largest difference " << d.largest;
  }

  CPlayer_Weapon_Gun* gun = nullptr;
};

using Shortcuts = CWorld::Drawing_Shortcuts;

// Level toward the edge, where the glass walls stand beyond the corners over the ground and the
// sky, and down into a corner where the walls meet the reflected ground.
TEST_F(World_Shortcuts, MirrorWallsAfterTheGroundAgainstBeforeIt) {
  for (int environment : {1, 3}) {
    Launch(environment);
    Expect_Same_Picture(CVector3{800.0f, 300.0f, 800.0f}, CVector3{-5000.0f, 300.0f, 800.0f},
                        &Shortcuts::walls_after_ground, "walls_level_" + std::to_string(environment));
    Expect_Same_Picture(CVector3{400.0f, 500.0f, 400.0f}, CVector3{-600.0f, 0.0f, -600.0f}, &Shortcuts::walls_after_ground,
                        "walls_corner_" + std::to_string(environment));
  }
}

// Across the fences from inside, low and high, so that their whole height is in view.
TEST_F(World_Shortcuts, FencesCutShortAgainstTheirWholeHeight) {
  for (int environment : {1, 3}) {
    Launch(environment);
    Expect_Same_Picture(CVector3{800.0f, 60.0f, 800.0f}, CVector3{-1000.0f, 400.0f, 800.0f}, &Shortcuts::fences_cut_short,
                        "fences_low_" + std::to_string(environment));
    Expect_Same_Picture(CVector3{200.0f, 900.0f, 800.0f}, CVector3{0.0f, 800.0f, 800.0f}, &Shortcuts::fences_cut_short,
                        "fences_high_" + std::to_string(environment));
  }
}

}  // namespace
