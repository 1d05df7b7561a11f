// The draw-state warm-up in the running game: start-up warms nothing before the first menu frame
// and leaves the rest to the menus' frames; a launch warms what its first world frame draws.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "game/core/CGame.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "tests/game/core/running_game.h"
#include "tests/support/scoped_env.h"
#include "tools/content/sim_content.h"

namespace {

// The suites start the game without the warm-up (VT_HARNESS_WARM_UP=0); these starts keep it,
// and count the draw states of the device from its first draw.
class WarmUpGame : public RunningGame {
 protected:
  void SetUp() override {
    m_Warm_Up.emplace("VT_HARNESS_WARM_UP", "1");
    D3D8Test_CountDrawStatesOfNewDevices(true);
    RunningGame::SetUp();
  }
  void TearDown() override {
    RunningGame::TearDown();
    D3D8Test_CountDrawStatesOfNewDevices(false);
    m_Warm_Up.reset();
  }

  static UINT States() { return D3D8Test_DrawStatesSeen(g_pDirect3DDevice); }

 private:
  std::optional<ScopedEnv> m_Warm_Up;
};

// Start-up draws no state before the first menu frame and leaves the menus' warm-up to the
// frames that follow it. A launch then warms what its first world frame draws, even after a
// sprite array left its point states on (as it does) and with the score board's pictures, whose
// sides are no powers of two: that frame meets no new draw state.
TEST_F(WarmUpGame, TheStartWarmsNothingBeforeTheFirstMenuFrameAndALaunchAllItsFirstWorldFrameDraws) {
  Start();
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
  EXPECT_EQ(States(), 0u) << "draw states warmed before the first menu frame";
  EXPECT_TRUE(Warm_Up_Pending());
  harness.Step(1);
  EXPECT_GT(States(), 0u) << "the first menu frame drew nothing";
  // Two seconds in the menus, the fog fading in from nothing to its range, all but the last
  // frame undrawn (the menus' warm-up goes on in drawn frames only, a slice after each).
  harness.Step_Undrawn(119);
  harness.Step(1);
  EXPECT_TRUE(Warm_Up_Pending());

  g_pRenderStateMgr->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
  g_pRenderStateMgr->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
  g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
  ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_FALSE(Warm_Up_Pending()) << "the launch warmed everything held";
  ASSERT_TRUE(D3D8Test_DescribeDrawStates(g_pDirect3DDevice, true));
  D3D8Test_TakeDrawStateDescriptions(g_pDirect3DDevice);
  const UINT launched = States();
  harness.Step(1);
  std::string met;
  for (const std::string& line : D3D8Test_TakeDrawStateDescriptions(g_pDirect3DDevice)) met += "\n  " + line;
  EXPECT_EQ(States(), launched) << "the first world frame met new draw states:" << met;
  D3D8Test_DescribeDrawStates(g_pDirect3DDevice, false);
}

}  // namespace
