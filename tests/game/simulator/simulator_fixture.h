#pragma once
// The whole program with the simulator screen opened for a logged-in user "pilot": the screen
// is driven by direct calls (no frames run), sounds are recorded, and the account, forum and
// score tables are the running communications manager's.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "platform/system/random.h"
#include "tests/game/menu/menu_fixture.h"

class SimulatorScreen : public MenuGame {
 protected:
  void SetUp() override {
    MenuGame::SetUp();
    Start();
    plat::Seed_Random(7);
    g_Menu_Mgr.m_Console.m_User_Name = "pilot";
  }
  void TearDown() override {
    g_Modal_Dlg.Term();
    g_Sequence_Mgr.Clear();
    MenuGame::TearDown();
  }

  static CMenu_Simulator& screen() { return g_Menu_Mgr.m_Simulator; }
  static CClient_Data& account() { return g_Communications_Mgr.m_Client_Data; }
  static CForum_Data& forum() { return g_Communications_Mgr.m_Forum_Data; }

  // Shows the screen on the page and runs its opening to the open state.
  static void Open(int page) {
    g_Menu_Mgr.Command(kCommand_Simulator, page);
    for (int i = 0; i < 400 && screen().m_Anim_State != CMenu_Simulator::kOpen; ++i) screen().Update(0.25f);
    ASSERT_EQ(screen().m_Anim_State, CMenu_Simulator::kOpen);
  }
  // Hides the screen (which saves and stops the stores) and runs the closing to the end.
  static void Close() {
    screen().Show(false);
    for (int i = 0; i < 400 && screen().m_Anim_State != CMenu_Simulator::kClosed; ++i) screen().Update(0.25f);
  }
  // Closes and opens again on the page: the stores are read back from their files.
  static void Reopen(int page) {
    Close();
    Open(page);
  }

  static CMenuItem_List* List(int id) {
    return static_cast<CMenuItem_List*>(screen().m_Panel.Find_Item(id, kItem_List));
  }
  static std::string Text(int id) {
    auto* item = static_cast<CMenuItem_Text*>(screen().m_Panel.Find_Item(id, kItem_Text));
    if (!item) return "<missing>";
    std::string joined;
    for (const std::string& line : item->m_Lines) joined += (joined.empty() ? "" : "\n") + line;
    return joined;
  }
  static CMenuItem_Button* Button(int id) {
    return static_cast<CMenuItem_Button*>(screen().m_Panel.Find_Item(id, kItem_Button));
  }
  static bool Enabled(int id) {
    const CMenuItem_Button* button = Button(id);
    return button && (button->m_Flags & CMenuItem_Button::kHidden) == 0;
  }
  static std::string Dialog_Line(int index) {
    if (!g_Modal_Dlg.Is_Open() || index >= static_cast<int>(g_Modal_Dlg.m_Line_Count)) return "";
    return g_Modal_Dlg.m_Lines[index].text;
  }
  static const CSequence* Last_Sequence() {
    const std::vector<const CSequence*> running = g_Sequence_Mgr.Running();
    return running.empty() ? nullptr : running.back();
  }
  // The account as its file holds it.
  static CClient_Data Saved_Account() {
    CClient_Data saved;
    saved.Load("pilot");
    return saved;
  }
  int Alert_Beeps() const { return sounds ? sounds->Count(true, 0x22000124) : 0; }
};
