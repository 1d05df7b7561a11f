// Closing the program while the communications manager runs saves the account: the manager's
// destructor would drop it unsaved.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "game/menu/CMenu_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "tests/game/core/running_game.h"

namespace {

class ShutDownAccount : public RunningGame {
 protected:
  void TearDown() override {
    g_Menu_Mgr.m_Console.m_User_Name.clear();
    RunningGame::TearDown();
  }
};

TEST_F(ShutDownAccount, ClosingWithTheManagerRunningSavesTheAccount) {
  Start();
  g_Menu_Mgr.m_Console.m_User_Name = "Closer";
  ASSERT_TRUE(g_Communications_Mgr.Init());
  g_Communications_Mgr.m_Client_Data.m_Credits = 777;
  harness.Shut_Down();
  EXPECT_FALSE(g_Communications_Mgr.Is_Running());
  CClient_Data account;
  ASSERT_TRUE(account.Load("closer"));
  EXPECT_EQ(account.m_Credits, 777u);
}

}  // namespace
