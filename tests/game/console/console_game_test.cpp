// The console through the window's keys, in the running program: a new login is typed at the
// banner's prompt, "y" creates the account and the screens move on to the simulator; the
// back-quote key pulls the console open again over it for a cheat.
#include <gtest/gtest.h>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "platform/system/files.h"
#include "tests/game/menu/menu_fixture.h"

namespace {

class ConsoleInGame : public MenuGame {
 protected:
  void Type(const std::string& text) {
    for (char c : text) harness.Char(static_cast<unsigned char>(c));
  }
  // The console types, slides and takes its keys in updated frames: a wait draws its last only.
  void Wait(int frames) {
    harness.Step_Undrawn(frames - 1);
    harness.Step(1);
  }
};

TEST_F(ConsoleInGame, ANewLoginMovesOnToTheSimulatorAndACheatReachesTheAccount) {
  Start();
  CMenu_Console& console = g_Menu_Mgr.m_Console;
  Wait(240);
  ASSERT_EQ(console.m_Prompt_State, CMenu_Console::kPrompt_Login) << "the banner ends at the login prompt";
  Type("Rookie");
  harness.Char(13);
  harness.Step(2);
  ASSERT_EQ(console.m_Prompt_State, CMenu_Console::kPrompt_Create);
  harness.Char('y');
  harness.Step(2);
  EXPECT_EQ(console.m_User_Name, "Rookie");
  EXPECT_EQ(Current_User_Name(), "Rookie");
  Wait(600);
  EXPECT_FALSE(console.m_Visible) << "the console slid away";
  EXPECT_TRUE(g_Menu_Mgr.m_Simulator.m_Visible) << "the simulator screen is shown";

  harness.Char('`');
  Wait(60);
  ASSERT_TRUE(console.m_Visible);
  EXPECT_EQ(console.m_Prompt_State, CMenu_Console::kPrompt_Command);
  Type("cheat_inccred");
  harness.Char(13);
  harness.Step(2);
  g_Communications_Mgr.m_Client_Data.Use_Loaded([](CClient_Data& account) {
    EXPECT_EQ(account.m_Credits, 25000u);
  });
  EXPECT_TRUE(plat::File_Exists("client_rookie.dat"));
}

}  // namespace
