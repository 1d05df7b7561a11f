#include <gtest/gtest.h>

#include "game/core/CCursor_Mgr.h"
#include "game/core/CGame.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun_Machine_0.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/window/cursor.h"
#include "tests/game/core/running_game.h"
#include "tools/content/sim_content.h"

namespace {

class InputRouting : public RunningGame {
 protected:
  void TearDown() override {
    g_Modal_Dlg.Term();
    g_WarRoom_Sim.m_Initialised = false;
    g_Communications_Mgr.m_Client_Data.Clear();
    RunningGame::TearDown();
  }
  // Launches with the machine gun, whose trigger shows whether the player took the press.
  void Launch() {
    g_Communications_Mgr.m_Client_Data.m_Loaded = true;
    g_Communications_Mgr.m_Client_Data.m_Current_Gun = 2;
    g_Menu_Mgr.Command(kCommand_Launch_Training, 0, content::kLaneTrackIds[0], content::kLaneMusicIds[0]);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  }
};

TEST_F(InputRouting, ALeftPressGoesToTheFirstTakerAndItsReleaseFollowsIt) {
  Start();
  enum Opened { kNothing, kDialog, kPopup };
  struct Case {
    bool simulation;
    Opened opened;
    int want_receiver;
    bool want_fire;
  };
  const Case cases[] = {
      {false, kNothing, kReceiver_Menu_Mgr, false}, {false, kDialog, kReceiver_Modal_Dlg, false},
      {false, kPopup, kReceiver_Popup_Mgr, false},  {true, kNothing, kReceiver_Player, true},
      {true, kDialog, kReceiver_Modal_Dlg, false},  {true, kPopup, kReceiver_Popup_Mgr, false},
  };
  for (const Case& c : cases) {
    if (c.simulation) Launch();
    if (c.opened == kDialog) g_Modal_Dlg.Init(CVector3{0.0f, 0.0f, 100.0f}, CVector2{320.0f, 240.0f}, 200.0f, 0.0f, CModal_Dlg::kMode_Message);
    if (c.opened == kPopup) g_Popup_Mgr.Toggle_Menu(c.simulation ? CPopup_Mgr::kSim_Menu : CPopup_Mgr::kMain_Menu);
    harness.Move_Mouse(100, 100);
    harness.Left_Down();
    harness.Pump();
    EXPECT_EQ(g_Game.Left_Receiver(), c.want_receiver) << c.simulation << c.opened;
    EXPECT_EQ(g_Gun_Machine.m_Trigger_Held != 0, c.want_fire) << c.simulation << c.opened;
    harness.Left_Up();
    harness.Pump();
    EXPECT_FALSE(g_Gun_Machine.m_Trigger_Held) << "the player's release ends the fire";
    g_Modal_Dlg.Term();
    g_Popup_Mgr.Close_All(true);
    g_Menu_Mgr.Command(kCommand_Simulator, 0);
  }
}

TEST_F(InputRouting, APausedPlayerDoesNotFire) {
  Start();
  Launch();
  Set_Game_Paused(true);
  EXPECT_FALSE(g_Game.On_Left_Down());
  EXPECT_EQ(g_Game.Left_Receiver(), kReceiver_Player);
}

struct Capturing_Item : CMenuItem {
  bool On_Mouse_Up() override {
    ++ups;
    return true;
  }
  int ups = 0;
};

TEST_F(InputRouting, TheCaptureHolderGetsTheReleaseAndLosesTheCaptureToAnotherItem) {
  Start();
  Capturing_Item first, second;
  g_Game.Set_Capture(&first);
  g_Game.Set_Capture(&second);
  EXPECT_EQ(first.ups, 1);
  EXPECT_EQ(second.ups, 0);
  g_Game.On_Left_Up();
  EXPECT_EQ(second.ups, 1);
  EXPECT_EQ(g_Game.Capture_Holder(), nullptr);
  g_Game.Set_Capture(&first);
  g_Game.On_Left_Down();  // a new press drops the capture first
  EXPECT_EQ(first.ups, 2);
}

TEST_F(InputRouting, PauseToggledByKeyOrCharacterUnlessADialogOrPopupIsOpen) {
  Start();
  struct Case {
    bool simulation;
    bool dialog_open;
    bool popup_open;
    bool as_character;
    bool want_paused;
  };
  const Case cases[] = {
      {false, false, false, false, true}, {false, false, false, true, true}, {false, false, true, false, true},
      {true, false, false, false, true},  {true, false, false, true, true},  {true, false, true, false, true},
  };
  // An open pop-up pauses the game itself; the key then leaves that pause alone.
  for (const Case& c : cases) {
    if (c.simulation) Launch();
    Set_Game_Paused(false);
    if (c.popup_open) g_Popup_Mgr.Toggle_Menu(c.simulation ? CPopup_Mgr::kSim_Menu : CPopup_Mgr::kMain_Menu);
    if (c.as_character)
      harness.Char(19);
    else
      harness.Key(VK_PAUSE);
    harness.Pump();
    EXPECT_EQ(g_Game_Paused, c.want_paused) << c.simulation << c.popup_open << c.as_character;
    Set_Game_Paused(false);
    g_Popup_Mgr.Close_All(true);
    g_Menu_Mgr.Command(kCommand_Simulator, 0);
  }
}

TEST_F(InputRouting, AMessageDialogTakesEveryKeyAndNothingElseHappens) {
  Start();
  Launch();
  g_Modal_Dlg.Init(CVector3{0.0f, 0.0f, 100.0f}, CVector2{320.0f, 240.0f}, 200.0f, 0.0f, CModal_Dlg::kMode_Message);
  harness.Key(VK_PAUSE);
  harness.Pump();
  EXPECT_TRUE(g_Modal_Dlg.Is_Open()) << "a message stays until its clock allows closing";
  EXPECT_TRUE(g_Game_Paused) << "the pause key did not toggle the dialog's pause";
  // The dialog's clock runs in drawn frames, by their smoothed step: once undrawn frames have
  // smoothed it to the longest (100 ms), a dozen drawn ones take the clock past its closing time.
  harness.Step_Undrawn(40, 100);
  harness.Step(12, 100);
  harness.Char('M');
  harness.Pump();
  EXPECT_FALSE(g_Modal_Dlg.Is_Open()) << "the key activated the dialog's button";
  EXPECT_FALSE(g_Popup_Mgr.Is_Open()) << "the key went nowhere else";
  EXPECT_FALSE(g_Game_Paused);
}

TEST_F(InputRouting, SimulationKeysOpenThePopupLeaveAndRestart) {
  Start();
  Launch();
  harness.Char('M');
  harness.Pump();
  EXPECT_EQ(g_Popup_Mgr.Open_Menu(), CPopup_Mgr::kSim_Menu);
  harness.Char(27);
  harness.Pump();
  EXPECT_FALSE(g_Popup_Mgr.Is_Open());
  harness.Char('m');
  harness.Pump();
  EXPECT_FALSE(g_Popup_Mgr.Is_Open()) << "only the capital letter is a command";

  trace.clear();
  harness.Char('R');
  harness.Pump();
  EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string("world init")), 0) << "R needs the menu open";
  harness.Char('M');
  harness.Char('R');
  harness.Pump();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), std::string("world init")), 1) << "restarted";

  g_WarRoom_Sim.m_Initialised = true;
  harness.Char('M');
  harness.Char('Q');
  harness.Pump();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Simulation) << "Q does not leave a War Room mission";
  g_WarRoom_Sim.m_Initialised = false;
  harness.Char('Q');
  harness.Pump();
  EXPECT_EQ(g_Game.Get_Mode(), kMode_Menus);
}

TEST_F(InputRouting, TheWheelReachesTheMenusOnlyWhenNothingIsOpen) {
  Start();
  EXPECT_FALSE(g_Game.On_Mouse_Wheel(1)) << "the menus take no wheel yet";
  g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
  EXPECT_FALSE(g_Game.On_Mouse_Wheel(1));
  Launch();
  EXPECT_FALSE(g_Game.On_Mouse_Wheel(-1)) << "a simulation ignores the wheel";
}

TEST_F(InputRouting, ARightPressThePlayerDoesNotTakeLeavesTheMouseFree) {
  Start();
  Launch();
  harness.Right_Down();
  harness.Pump();
  EXPECT_FALSE(g_Right_Button_Captured);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_TRUE(g_Cursor_Mgr.m_Show);
  harness.Right_Up();
  harness.Pump();
  EXPECT_TRUE(g_Cursor_Mgr.m_Show);
}

TEST_F(InputRouting, OnlyTheListedKeysReachTheGame) {
  Start();
  Launch();
  // F1 (0x70) and the letter keys as keys are not passed on; 'M' as a key would open the popup.
  harness.Key('M');
  harness.Key(0x70);
  harness.Pump();
  EXPECT_FALSE(g_Popup_Mgr.Is_Open());
}

}  // namespace
