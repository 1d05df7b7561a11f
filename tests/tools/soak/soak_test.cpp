// The soak's player: its stray clicks on the in-run menu are closed again before they can pick
// an entry, and a run that leaves without its summary is reported at once.
#include <gtest/gtest.h>

#include <string>

#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "platform/d3d/d3d8_test_hooks.h"
#include "platform/system/message_box.h"
#include "tests/support/game_harness.h"
#include "tests/support/harness_play.h"
#include "tools/soak/Soak.h"

namespace {

// While one of these lives, frames run with the device answering as lost: the game updates
// everything and skips the drawing, the most of a frame's cost in the sanitizer build. The test
// is about input, not pixels.
class Undrawn {
 public:
  Undrawn() { D3D8Test_InjectCooperativeLevel(D3DERR_DEVICELOST); }
  ~Undrawn() { D3D8Test_InjectCooperativeLevel(D3D_OK); }
  Undrawn(const Undrawn&) = delete;
  Undrawn& operator=(const Undrawn&) = delete;
};

class SoakPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Set_Message_Recorder([](const std::string&, const std::string&) {});
    std::string error;
    ASSERT_TRUE(game.Prepare(&error)) << error;
    ASSERT_TRUE(game.Start());
    // The login as vt_test::Log_In does it, with the frames that only wait undrawn.
    game.Set_Draw_Every(kDraw_Every);
    ASSERT_TRUE(game.Wait_For_Screen("login", 400));
    for (char c : std::string("Soaker")) game.Char(static_cast<unsigned char>(c));
    game.Char(13);
    game.Step(2, 16);
    game.Char('y');
    // The new account's private message may hold the opening with its notice.
    for (int frame = 0; frame < 400 && !vt_test::Simulator_Open(); ++frame) {
      vt_test::Dismiss_Messages(game);
      Step_Undrawn_Unless_A_Dialog_Is_Open();
    }
    game.Step(1, soak::kFrame_Ms);
    ASSERT_TRUE(vt_test::Simulator_Open()) << soak::Game_State_Text(game);
  }
  void TearDown() override {
    game.Shut_Down();
    plat::Set_Message_Recorder(nullptr);
  }
  // A dialog opens and takes its answer by its own clock, which runs in drawn frames only.
  void Step_Undrawn_Unless_A_Dialog_Is_Open() {
    if (g_Modal_Dlg.Is_Open()) game.Step(1, soak::kFrame_Ms);
    else game.Step_Undrawn(1, soak::kFrame_Ms);
  }
  // A run launched from the simulator screen and under way.
  void Launch(soak::Soak& player, soak::Run_Result& result) {
    {
      const Undrawn undrawn;
      ASSERT_TRUE(player.Pick_And_Launch(result)) << result.failure;
      game.Step(29, soak::kFrame_Ms);
    }
    game.Step(1, soak::kFrame_Ms);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  }
  // A click on the in-run menu's tab in the top left corner, as a stray click of the player,
  // once a menu closed before has folded back into it.
  void Click_Menu_Tab() {
    game.Step_Undrawn(5, soak::kFrame_Ms);
    // vt_test::Click_At's press and release, their frames undrawn.
    game.Move_Mouse(static_cast<int>(0.06f * CMenuItem::Screen_W()), static_cast<int>(0.01f * CMenuItem::Screen_H() + 10.0f));
    game.Step_Undrawn(1, 16);
    game.Left_Down();
    game.Step_Undrawn(1, 16);
    game.Left_Up();
    game.Step_Undrawn(1, 16);
  }

  vt_test::Game_Harness game;
  // Only the first frame of each stretch is drawn: the test is about input, not pixels.
  static constexpr int kDraw_Every = 1000;
};

TEST_F(SoakPlayer, AClickThatOpensTheInRunMenuIsAnsweredWithEscBeforeTheNextInput) {
  soak::Soak player(game, 5, kDraw_Every);
  soak::Run_Result result;
  Launch(player, result);
  constexpr int kOpenings = 20;
  for (int i = 0; i < kOpenings; ++i) {
    Click_Menu_Tab();
    ASSERT_TRUE(g_Popup_Mgr.Is_Open()) << "the tab did not open the menu, opening " << i;
    player.Play_Frame(result);
    EXPECT_FALSE(g_Popup_Mgr.Is_Open()) << "left open after the soak's frame, opening " << i;
    EXPECT_FALSE(g_Game_Paused) << i;
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation) << "a stray click picked an entry, opening " << i;
  }
  // Often the frame's own click closed the menu already; the rest took the Esc.
  EXPECT_GT(result.menus_closed, 0);
  EXPECT_LE(result.menus_closed, kOpenings);
}

TEST_F(SoakPlayer, ARunThatLeavesWithoutItsSummaryIsReportedAtOnce) {
  soak::Soak player(game, 5, kDraw_Every);
  soak::Run_Result result;
  Launch(player, result);
  g_Popup_Mgr.Do_Action(CPopup_Mgr::kAction_Leave);
  game.Step(5, soak::kFrame_Ms);
  EXPECT_FALSE(player.Play_Until_Summary(result));
  EXPECT_NE(result.failure.find("left without its summary"), std::string::npos) << result.failure;
  EXPECT_LT(result.frames, 5) << "the soak played on in the trainer";
}

}  // namespace
