#include "tests/game/whole/game_road.h"

#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/trainer/CMenu_Console.h"
#include "game/trainer/CMenu_Simulator.h"

void GameRoad::TearDown() {
  if (second) {
    second->Shut_Down();
    second.reset();
  }
  RunningGame::TearDown();
}

void GameRoad::Type(const std::string& text) {
  for (char c : text) game().Char(static_cast<unsigned char>(c));
}

void GameRoad::Click(float x, float y) {
  game().Move_Mouse(static_cast<int>(x), static_cast<int>(y));
  game().Step(1, 16);
  game().Left_Down();
  game().Step(1, 16);
  game().Left_Up();
  game().Step(1, 16);
}

void GameRoad::Click_Item(const CMenuItem& item) { Click(item.m_X + 0.5f * item.m_W, item.m_Y + 0.5f * item.m_H); }

void GameRoad::Dismiss_Messages() {
  for (int i = 0; i < 10 && g_Modal_Dlg.Is_Open() && g_Modal_Dlg.Mode() == CModal_Dlg::kMode_Message; ++i) {
    game().Char(13);
    game().Step(5, 16);
  }
}

CMenuItem_Button* GameRoad::Find_Button(const CMenu_Panel& panel, const std::string& caption) {
  for (CMenuItem* item : panel.Items())
    if (auto* button = dynamic_cast<CMenuItem_Button*>(item); button && button->m_Caption == caption) return button;
  return nullptr;
}

bool GameRoad::Click_Button(const CMenu_Panel& panel, const std::string& caption) {
  CMenuItem_Button* button = Find_Button(panel, caption);
  if (!button) return false;
  Click_Item(*button);
  return true;
}

bool GameRoad::Log_In(const std::string& name, bool create) {
  CMenu_Console& console = g_Menu_Mgr.m_Console;
  if (!Step_Until([&] { return console.m_Prompt_State == CMenu_Console::kPrompt_Login && console.m_Pending.empty(); },
                  400, 16))
    return false;
  Type(name);
  game().Char(13);
  game().Step(2, 16);
  if (create) {
    if (console.m_Prompt_State != CMenu_Console::kPrompt_Create) return false;
    game().Char('y');
  }
  CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  return Step_Until([&] { return simulator.m_Visible && simulator.m_Anim_State == CMenu_Simulator::kOpen; }, 400);
}

bool GameRoad::Turn_Mirrors_Off() {
  // The main menu folds out of its title box at the top left.
  Click(30, 12);
  game().Step(40, 16);
  CPopup_Menu& main = g_Popup_Mgr.m_Menus[CPopup_Mgr::kMain_Menu];
  if (!main.m_Open || !Click_Button(main.m_Panel, "Options Menu")) return false;
  game().Step(20, 16);
  CPopup_Menu& options = g_Popup_Mgr.m_Menus[CPopup_Mgr::kOptions_Menu];
  auto* mirrors =
      static_cast<CMenuItem_Button*>(options.m_Panel.Find_Item(CPopup_Mgr::kOption_Mirrors, kItem_Button));
  if (!options.m_Open || !mirrors) return false;
  Click_Item(*mirrors);
  if (mirrors->m_Caption != "Disabled") return false;
  if (!Click_Button(options.m_Panel, "Back")) return false;
  game().Step(20, 16);
  Click(30, 12);
  return Step_Until([] { return !g_Popup_Mgr.Is_Open(); }, 60, 16);
}

bool GameRoad::Aim_And_Fire(int type) {
  if (!game().Aim(type)) return false;
  // The gun swings onto the cursor, then fires.
  game().Step(2, kFrame_Ms);
  game().Left_Down();
  game().Step(1, kFrame_Ms);
  game().Left_Up();
  return true;
}

bool GameRoad::Summary_Shown() {
  if (!g_Modal_Dlg.Is_Open() || g_Modal_Dlg.Mode() != CModal_Dlg::kMode_Panel) return false;
  const auto& items = g_Modal_Dlg.m_Panel.Items();
  if (items.empty()) return false;
  auto* title = dynamic_cast<CMenuItem_Text*>(items.front());
  return title && !title->m_Lines.empty() && title->m_Lines.front() == "Simulation Statistics Summary" &&
         Find_Button(g_Modal_Dlg.m_Panel, "Return to Trainer");
}

void GameRoad::Start_Again() {
  harness.Shut_Down();
  second = std::make_unique<vt_test::Game_Harness>();
  std::string error;
  ASSERT_TRUE(second->Prepare_In(harness.Work_Dir(), &error)) << error;
  ASSERT_TRUE(second->Start()) << (messages.empty() ? std::string("no message") : messages.back());
}

int GameRoad::Peak(size_t first, size_t last) const {
  const std::vector<int>& peaks = second ? second->Audio_Frame_Peaks() : harness.Audio_Frame_Peaks();
  last = std::min(last, peaks.size());
  int peak = 0;
  for (size_t i = first; i < last; ++i) peak = std::max(peak, peaks[i]);
  return peak;
}
